# Writes the ctest entries of the built tests, one per suite: `cmake -D TESTS=<pelmora_tests>
# -D OUTPUT=<file> -D ENGINE_TESTS=<regex> -P SuiteTests.cmake`.
#
# A suite's tests run in one process, so that what the suite starts once (a server, a throw-away
# user, the browser engine) is started once. The tests whose full name matches ENGINE_TESTS run
# the preview's browser engine: they form an entry of their own in their suite, named
# <suite>.engine, so that every other test of the suite runs with every check. The file sets
# pelmora_suites to every entry's name and pelmora_engine_suites to the engine's entries.
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${TESTS} --gtest_list_tests
  OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 60)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${TESTS} --gtest_list_tests failed (${result}):\n${listing}${errors}")
endif()

# The listing: a suite's name at the start of a line ending in "." (and perhaps a comment on its
# type parameter), its tests indented below it (perhaps with a comment on their value).
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(suites "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([^ #]+)\\.( |$)")
    set(suite ${CMAKE_MATCH_1})
    list(APPEND suites ${suite})
    set(engine_${suite} "")
    set(count_${suite} 0)
  elseif(line MATCHES "^  ([^ #]+)" AND DEFINED suite)
    set(test "${suite}.${CMAKE_MATCH_1}")
    math(EXPR count_${suite} "${count_${suite}} + 1")
    if(test MATCHES "${ENGINE_TESTS}")
      list(APPEND engine_${suite} "${test}")
    endif()
  endif()
endforeach()
if(NOT suites)
  message(FATAL_ERROR "${TESTS} lists no tests:\n${listing}")
endif()

# One entry; its cost (the number of its tests) starts the larger suites first under -j, and its
# time limit gives each test after the first another minute.
macro(entry name filter tests)
  math(EXPR timeout "300 + 60 * (${tests} - 1)")
  string(APPEND script "add_test([=[${name}]=] \"${TESTS}\" [=[--gtest_filter=${filter}]=])\n"
    "set_tests_properties([=[${name}]=] PROPERTIES COST ${tests} TIMEOUT ${timeout})\n")
  list(APPEND names "[=[${name}]=]")
endmacro()

set(script "")
set(names "")
set(engine_names "")
foreach(suite IN LISTS suites)
  list(LENGTH engine_${suite} engine_count)
  math(EXPR other_count "${count_${suite}} - ${engine_count}")
  list(JOIN engine_${suite} ":" engine_filter)
  if(other_count GREATER 0)
    set(filter "${suite}.*")
    if(engine_count GREATER 0)
      string(APPEND filter "-${engine_filter}")
    endif()
    entry("${suite}" "${filter}" ${other_count})
  endif()
  if(engine_count GREATER 0)
    entry("${suite}.engine" "${engine_filter}" ${engine_count})
    list(APPEND engine_names "[=[${suite}.engine]=]")
  endif()
endforeach()
list(JOIN names " " names)
list(JOIN engine_names " " engine_names)
string(APPEND script "set(pelmora_suites ${names})\nset(pelmora_engine_suites ${engine_names})\n")
file(WRITE ${OUTPUT} "${script}")
