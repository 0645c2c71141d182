#!/bin/bash
# Renders Word documents to PDF and PNG for looking at them, with the font
# configuration the program gives LibreOffice (宋体 drawn as Noto Serif CJK SC).
#   render-forms.sh <output folder> <file.doc>...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1; shift
mkdir -p -- "$out"
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
sed "s|@SYSTEM_FONTS_CONF@|/etc/fonts/fonts.conf|" "$here/../../word/fonts.conf" > "$work/fonts.conf"
FONTCONFIG_FILE="$work/fonts.conf" soffice "-env:UserInstallation=file://$work/profile" --headless --norestore \
    --nolockcheck --convert-to pdf --outdir "$out" "$@" >/dev/null
for pdf in "$out"/*.pdf; do
    pdftoppm -r 60 -png "$pdf" "${pdf%.pdf}"
done
