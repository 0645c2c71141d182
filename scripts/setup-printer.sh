#!/bin/bash
# Makes a CUPS PDF printer the default destination on this machine, for the
# print tests. Idempotent; run as root. Starts the CUPS daemon when it is not
# running (no service manager needed) and prints where the printed PDF files
# appear.
set -euo pipefail

PRINTER=PDF
PPD=""
for candidate in /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd; do
    if [[ -r "$candidate" ]]; then PPD="$candidate"; break; fi
done
if [[ -z "$PPD" ]]; then
    echo "setup-printer: the cups-pdf PPD is missing (install printer-driver-cups-pdf)" >&2
    exit 1
fi
for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat; do
    if [[ ! -x "$tool" ]]; then
        echo "setup-printer: $tool is missing (install cups and cups-client)" >&2
        exit 1
    fi
done
if [[ $(id -u) -ne 0 ]]; then
    echo "setup-printer: must run as root" >&2
    exit 1
fi

scheduler_up() { /usr/bin/lpstat -r 2>/dev/null | grep -q "is running"; }

if ! scheduler_up; then
    mkdir -p /run/cups
    /usr/sbin/cupsd
    for _ in $(seq 1 100); do
        if [[ -S /run/cups/cups.sock ]] && scheduler_up; then break; fi
        sleep 0.1
    done
    if ! scheduler_up; then
        echo "setup-printer: the CUPS scheduler did not start" >&2
        exit 1
    fi
fi

if ! /usr/bin/lpstat -v "$PRINTER" >/dev/null 2>&1; then
    /usr/sbin/lpadmin -p "$PRINTER" -v cups-pdf:/ -P "$PPD" -E
fi
# Poppler turns the submitted PDF into the PostScript cups-pdf needs; it keeps
# the Latin text extractable (Ghostscript's conversion does not).
/usr/sbin/lpadmin -p "$PRINTER" -o pdftops-renderer-default=pdftops
/usr/sbin/cupsenable "$PRINTER"
/usr/sbin/cupsaccept "$PRINTER"
/usr/sbin/lpadmin -d "$PRINTER"

user_home=$(getent passwd "$(id -un)" | cut -d: -f6)
echo "default printer: $(/usr/bin/lpstat -d | sed 's/.*: //')"
echo "printed PDF files appear in: ${user_home}/PDF/"
