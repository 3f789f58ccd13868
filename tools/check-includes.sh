#!/usr/bin/env bash
# Fails when a file under src/ includes a header of a folder that comes later in the map of
# docs/ARCHITECTURE.md: a folder may include itself and the folders above it in the table
# "Folders, lowest first", nothing below. A folder of src/ missing from the table fails too, so
# that a new folder takes its place in the map before it is used. src/main.cpp may include any.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# The folders in the table's order: its rows start with | `name/` |.
mapfile -t order < <(sed -n '/^## Folders, lowest first/,/^## /p' docs/ARCHITECTURE.md |
    sed -n 's/^| `\([a-z]*\)\/` |.*/\1/p')
declare -A rank
for i in "${!order[@]}"; do rank[${order[$i]}]=$i; done

status=0
for dir in src/*/; do
    folder=$(basename "$dir")
    if [[ -z ${rank[$folder]+set} ]]; then
        echo "src/$folder/ is not in the map of docs/ARCHITECTURE.md"
        status=1
    fi
done
while IFS=: read -r file line target; do
    folder=$(cut -d/ -f2 <<<"$file")
    [[ -n ${rank[$folder]+set} && -n ${rank[$target]+set} ]] || continue
    if ((rank[$target] > rank[$folder])); then
        echo "$file:$line: $folder/ includes $target/, which comes after it in the map"
        status=1
    fi
done < <(grep -rnoE --include='*.cpp' --include='*.h' --include='*.in' \
    '^#include "[a-z]+/' src | sed -E 's/#include "([a-z]+)\/$/\1/')
[[ $status -eq 0 ]] && echo "Every include under src/ follows the map (${#order[@]} folders)."
exit $status
