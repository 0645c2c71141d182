#!/bin/bash
# Regenerates Doc.doc (Word 97-2003) from blank-record.fodt with LibreOffice,
# using a private, temporary profile.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
soffice=$(command -v soffice || true)
[[ -n "$soffice" ]] || soffice=/usr/lib/libreoffice/program/soffice
[[ -x "$soffice" ]] || { echo "make-blank-doc: soffice (LibreOffice Writer) is missing" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
"$soffice" "-env:UserInstallation=file://$work/profile" --headless --norestore --nolockcheck \
    --convert-to "doc:MS Word 97" --outdir "$work/out" "$here/blank-record.fodt" >/dev/null
[[ -s "$work/out/blank-record.doc" ]] || { echo "make-blank-doc: LibreOffice wrote no document" >&2; exit 1; }
mv -f -- "$work/out/blank-record.doc" "$here/Doc.doc"
echo "wrote $here/Doc.doc"
