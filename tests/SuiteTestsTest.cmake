# Checks SuiteTests.cmake on a listing of every kind gtest writes: `cmake -D SCRIPT=<SuiteTests.cmake>
# -D WORK=<folder> -P SuiteTestsTest.cmake`. Every test lands in exactly one entry, and the tests
# of the browser engine in their suite's engine entry.
cmake_minimum_required(VERSION 3.25)

file(MAKE_DIRECTORY ${WORK})
set(lister ${WORK}/list-tests.sh)
file(WRITE ${lister} [=[#!/bin/sh
cat <<'EOF'
Running main() from a test program
Plain.
  One
  Two
Editor.
  Undo
  ThePreviewShows
  Redo
  TheWindowRenders
PreviewWindow.
  Opens
Rows/Table.
  Case/0  # GetParam() = 4-byte object <01-00 00-00>
  Case/1  # GetParam() = 4-byte object <02-00 00-00>
Typed/0.  # TypeParam = int
  Works
EOF
]=])
file(CHMOD ${lister} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
execute_process(COMMAND ${CMAKE_COMMAND} -D TESTS=${lister} -D OUTPUT=${WORK}/suites.cmake
  -D "ENGINE_TESTS=Preview|WindowRenders" -P ${SCRIPT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "SuiteTests.cmake failed: ${result}")
endif()

# Read the entries back as ctest would: name, filter and cost of each.
set(entries "")
function(add_test name program filter)
  set(entries "${entries}${name} ${filter}\n" PARENT_SCOPE)
endfunction()
function(set_tests_properties name)
  list(JOIN ARGN " " properties)
  set(entries "${entries}${name} ${properties}\n" PARENT_SCOPE)
endfunction()
include(${WORK}/suites.cmake)

string(CONCAT expected
  "Plain --gtest_filter=Plain.*\nPlain PROPERTIES COST 2 TIMEOUT 360\n"
  "Editor --gtest_filter=Editor.*-Editor.ThePreviewShows:Editor.TheWindowRenders\n"
  "Editor PROPERTIES COST 2 TIMEOUT 360\n"
  "Editor.engine --gtest_filter=Editor.ThePreviewShows:Editor.TheWindowRenders\n"
  "Editor.engine PROPERTIES COST 2 TIMEOUT 360\n"
  "PreviewWindow.engine --gtest_filter=PreviewWindow.Opens\n"
  "PreviewWindow.engine PROPERTIES COST 1 TIMEOUT 300\n"
  "Rows/Table --gtest_filter=Rows/Table.*\nRows/Table PROPERTIES COST 2 TIMEOUT 360\n"
  "Typed/0 --gtest_filter=Typed/0.*\nTyped/0 PROPERTIES COST 1 TIMEOUT 300\n")
set(failures "")
if(NOT entries STREQUAL expected)
  string(APPEND failures "entries:\n${entries}expected:\n${expected}")
endif()
set(expected_suites Plain Editor Editor.engine PreviewWindow.engine Rows/Table Typed/0)
if(NOT pelmora_suites STREQUAL expected_suites)
  string(APPEND failures "pelmora_suites: ${pelmora_suites}\n")
endif()
if(NOT pelmora_engine_suites STREQUAL "Editor.engine;PreviewWindow.engine")
  string(APPEND failures "pelmora_engine_suites: ${pelmora_engine_suites}\n")
endif()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
