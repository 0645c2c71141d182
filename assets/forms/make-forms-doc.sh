#!/bin/bash
# Regenerates the blank inspection forms: the flat ODF sources ws1.fodt ...
# ws27.fodt from make-forms.py, then the Word 97-2003 files ws1.doc ...
# ws27.doc from them with LibreOffice, using a private, temporary profile.
#   make-forms-doc.sh [output folder]   (default: this folder)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
mkdir -p -- "$out"
out=$(cd "$out" && pwd)
soffice=$(command -v soffice || true)
[[ -n "$soffice" ]] || soffice=/usr/lib/libreoffice/program/soffice
[[ -x "$soffice" ]] || { echo "make-forms-doc: soffice (LibreOffice Writer) is missing" >&2; exit 1; }
command -v python3 >/dev/null || { echo "make-forms-doc: python3 is missing" >&2; exit 1; }
python3 -B "$here/make-forms.py" "$out"
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
"$soffice" "-env:UserInstallation=file://$work/profile" --headless --norestore --nolockcheck \
    --convert-to "doc:MS Word 97" --outdir "$work/out" "$out"/ws*.fodt >/dev/null
for source in "$out"/ws*.fodt; do
    name=$(basename "$source" .fodt)
    [[ -s "$work/out/$name.doc" ]] || { echo "make-forms-doc: LibreOffice wrote no $name.doc" >&2; exit 1; }
    mv -f -- "$work/out/$name.doc" "$out/$name.doc"
done
echo "wrote $(ls "$out"/ws*.doc | wc -l) Word documents to $out"
