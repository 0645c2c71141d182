#!/usr/bin/env bash
# Writes the office's example text files of the program folder (GBK, CR LF)
# from their UTF-8 sources in source/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for src in source/*.txt; do
  out="$(basename "$src")"
  sed -e 's/\r$//' -e 's/$/\r/' "$src" | iconv -f UTF-8 -t GBK > "$out.tmp"
  mv "$out.tmp" "$out"
done
