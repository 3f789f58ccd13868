#!/usr/bin/env bash
# Checks the program's Japanese texts against docs/glossary.md: no word of its "not" column, no
# half-width space after 「。」. The texts are the string literals of src/ and the shipped prose
# (guide, README, manual pages); the captions listed as kept are passed over.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
glossary=docs/glossary.md
kept=$(sed -n 's/^Kept: //p' "$glossary" | tr ',' '\n' | sed 's/^ *//; s/ *$//')
texts() {
    grep -rn --include='*.cpp' --include='*.h' -e '"' src
    grep -n '' docs/guide.md README.md docs/man/*.1
}
found=0
while IFS='|' read -r _ use avoid _; do
    avoid=$(echo "$avoid" | sed 's/^ *//; s/ *$//')
    [[ -z $avoid || $avoid == not || $avoid == ---* || $avoid == *「* ]] && continue
    use=$(echo "$use" | sed 's/^ *//; s/ *$//')
    # A word that the right one starts with (フォルダ in フォルダー) counts only where it ends there.
    hits=$(texts | sed "s/$use//g" | grep -F -- "$avoid" || true)
    while IFS= read -r k; do
        [[ -n $k ]] && hits=$(echo "$hits" | grep -vF -- "$k" || true)
    done <<<"$kept"
    if [[ -n $hits ]]; then
        echo "「$avoid」 where the glossary has 「$use」:"
        echo "$hits"
        found=1
    fi
done < <(grep '^|' "$glossary")
if texts | grep -n '。 [^ ]' | grep -v '^\S*:[0-9]*:\s*//' ; then
    echo "a half-width space after 「。」"
    found=1
fi
exit $found
