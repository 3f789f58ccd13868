#!/usr/bin/env bash
# Fails when a function defined under src/ is never called by the program or the build-time
# tool that links the same code, so that only the tests call it (or nothing does).
#
# Reads a build configured with -DPELMORA_USAGE_CHECK=ON and its targets pelmora and
# pelmora_utf8_to_cp932 built: nothing is inlined and the linker drops every function nothing
# refers to, so a function of the libraries that the programs never reach is missing from
# them. Functions kept for the tests on purpose are listed, one demangled name a line, in
# tools/test-hooks.txt; a listed name that the programs do use, or that no longer exists, fails
# the check as well, so the list stays true.
#
# Out of its reach: functions defined in headers (inline, templates), which the libraries only
# hold where the program's own code uses them.
set -euo pipefail

dir=${1:?usage: tools/check-unused.sh build-dir}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
hooks=$top/tools/test-hooks.txt

# Functions (global or file-local, not the weak copies of inline code) defined in the files.
functions() {
    nm --defined-only "$@" 2>/dev/null | awk '$2 == "T" || $2 == "t" { print $3 }' | sort -u
}

libraries=("$dir"/src/libpelmora_core.a "$dir"/src/libpelmora_ui.a)
programs=("$dir"/pelmora "$dir"/src/text/pelmora_utf8_to_cp932)
for file in "${libraries[@]}" "${programs[@]}"; do
    [[ -f $file ]] || { echo "check-unused: $file is missing; build it first" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
functions "${libraries[@]}" >"$work/defined"
nm --defined-only "${programs[@]}" 2>/dev/null | awk 'NF == 3 { print $3 }' | sort -u >"$work/kept"
comm -23 "$work/defined" "$work/kept" | c++filt | sort -u >"$work/unused"
{ grep -v -e "^#" -e "^[[:space:]]*$" "$hooks" || true; } | sort -u >"$work/hooks"

status=0
report() { # heading file
    [[ -s $2 ]] || return 0
    echo "$1"
    sed 's/^/  /' "$2"
    status=1
}
comm -23 "$work/unused" "$work/hooks" >"$work/found"
comm -13 "$work/unused" "$work/hooks" >"$work/stale"
report "Functions under src/ that the program never calls (call them, remove them, or list a test hook in tools/test-hooks.txt):" "$work/found"
report "Listed in tools/test-hooks.txt but used by the program or gone (remove the line):" "$work/stale"
[[ $status -eq 0 ]] && echo "Every function under src/ is used by the program (test hooks listed: $(wc -l <"$work/hooks"))."
exit $status
