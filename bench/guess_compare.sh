#!/bin/sh
# Debian's uchardet against the program's own guess on the detection corpus of the tests
# (tests/text/guess_corpus): each text (a declaration naming its encoding), converted to Shift-JIS
# (CP932), EUC-JP and UTF-8 by glibc iconv, is given to `uchardet` (package uchardet) and the
# answers counted. The program's guess reads every one of them right (the test
# EncodingGuess.EveryCorpusTextIsReadInItsOwnEncoding); this shows how the library does.
# Usage: bench/guess_compare.sh [corpus folder]
corpus=${1:-$(dirname "$0")/../tests/text/guess_corpus}
command -v uchardet >/dev/null || { echo "uchardet is not installed (apt-get install uchardet)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
right=0
total=0
for source in "$corpus"/*; do
  for pair in CP932:SHIFT_JIS EUC-JP-MS:EUC-JP UTF-8:UTF-8; do
    from=${pair%%:*}
    want=${pair##*:}
    sed "s/%CHARSET%/$want/" "$source" | iconv -f UTF-8 -t "$from" >"$work/text" || continue
    got=$(uchardet "$work/text" | tr a-z A-Z)
    total=$((total + 1))
    if [ "$got" = "$want" ] || { [ "$want" = UTF-8 ] && [ "$got" = ASCII ]; }; then
      right=$((right + 1))
    else
      echo "$(basename "$source") in $from: uchardet says $got"
    fi
  done
done
echo "uchardet: $right of $total right"
