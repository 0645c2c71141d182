#!/usr/bin/env bash
# Writes the guidance texts the program shows (GBK, CR LF, the last line
# too) from their UTF-8 sources in source/. Run after editing a source; the
# test tests/library checks that both agree and that every article cited
# exists in the shipped text it names.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for src in source/*.txt; do
  out="$(basename "$src")"
  # Strict conversion: a character outside GBK stops the script.
  sed -e 's/\r$//' -e 's/$/\r/' "$src" | iconv -f UTF-8 -t GBK > "$out.tmp"
  mv "$out.tmp" "$out"
done
