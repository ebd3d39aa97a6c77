#!/usr/bin/env bash
# Printing end to end: a CUPS server of our own (its own folders and socket, so a
# system CUPS is left alone) with Debian's cups-pdf as the PDF printer. With no
# printer defined the toolbar's Print must say "Printer Not Found"; with the PDF
# printer as default it must produce exactly one PDF of the "3 X 4" card's size
# (275 x 179 points) in the printer's output folder, whose QR code zbarimg reads,
# at 300 dpi, as the printed attendee's "QVX:1:1".
# Usage: run_cups_print.sh CHECK_PROGRAM   (needs root: cupsd and the cups-pdf backend)
set -euo pipefail
check="$1"
here="$(cd "$(dirname "$0")/../.." && pwd)"
printer=QuorvexCardPDF

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: the CUPS printing test starts its own cupsd and the cups-pdf backend, which need root"
    exit 77
fi
bash "$here/scripts/install-deps.sh"

work="$(mktemp -d /tmp/quorvex-cups.XXXXXX)"
cupsd_pid=""
cleanup() {
    if [ -n "$cupsd_pid" ] && kill -0 "$cupsd_pid" 2>/dev/null; then
        kill "$cupsd_pid" 2>/dev/null || true
        wait "$cupsd_pid" 2>/dev/null || true
    fi
    rm -f "/etc/cups/cups-pdf-$printer.conf"
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    echo "--- cupsd error log"; cat "$work/log/error_log" 2>/dev/null | tail -40 || true
    echo "--- cups-pdf log"; cat "$work/log/cups-pdf_log" "$work"/log/cups-pdf-*_log 2>/dev/null | tail -40 || true
    exit 1
}

mkdir -p "$work"/{etc/ppd,spool/tmp,cache,state,log,out}
# The filters run as the spooler's own user: they must reach the spool below our folder.
chmod 0755 "$work"
chmod 0710 "$work/spool"
cat > "$work/etc/cupsd.conf" <<CONF
Listen $work/cups.sock
LogLevel info
ErrorPolicy abort-job
Browsing Off
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$work/etc/cups-files.conf" <<CONF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
SystemGroup root
CONF
# cups-pdf reads the settings of the printer "cups-pdf:/NAME" from /etc/cups/cups-pdf-NAME.conf.
printf 'Out %s\nAnonDirName %s\nLog %s\n' "$work/out" "$work/out" "$work/log" > "/etc/cups/cups-pdf-$printer.conf"

export CUPS_SERVER="$work/cups.sock"
/usr/sbin/cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" > "$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!
for _ in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    kill -0 "$cupsd_pid" 2>/dev/null || fail "cupsd did not start: $(cat "$work/log/cupsd.out")"
    sleep 0.1
done
lpstat -r | grep -q "is running" || fail "the scheduler did not come up"

echo "== no printer defined"
"$check" noPrinterShowsPrinterNotFound || fail "no \"Printer Not Found\" without a printer"

echo "== the PDF printer as default"
lpadmin -p "$printer" -v "cups-pdf:/$printer" -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null \
    || fail "lpadmin could not add the printer"
lpadmin -d "$printer"
QUORVEX_TEST_PRINTER="$printer" "$check" toolbarPrintSendsOneCardToTheDefaultPrinter || fail "printing failed"

# The job is converted by the spooler after the program ended: wait for it (bounded).
for _ in $(seq 1 300); do
    [ -z "$(lpstat -W not-completed -o "$printer" 2>/dev/null)" ] && break
    sleep 0.2
done
shopt -s nullglob
pdfs=("$work"/out/*.pdf)
[ ${#pdfs[@]} -eq 1 ] || fail "expected one PDF in the printer's output folder, found ${#pdfs[@]}"
info="$(pdfinfo -box "${pdfs[0]}")"
echo "$info" | grep -E "^(Pages|Page size|MediaBox):"
echo "$info" | grep -Eq "^Pages: +1$" || fail "the PDF has not exactly one page"
echo "$info" | grep -Eq "^Page size: +275 x 179 pts" || fail "the page is not the 3 X 4 card's 275 x 179 points"
pdftoppm -png -r 300 -singlefile "${pdfs[0]}" "$work/printed" || fail "pdftoppm could not render the printed card"
code="$(zbarimg --quiet --raw -Sdisable -Sqrcode.enable "$work/printed.png" 2>/dev/null || true)"
[ "$code" = "QVX:1:1" ] || fail "the printed card's QR code reads \"$code\", not \"QVX:1:1\""
if [ -n "${QUORVEX_ARTEFACTS:-}" ]; then
    mkdir -p "$QUORVEX_ARTEFACTS"
    cp "${pdfs[0]}" "$QUORVEX_ARTEFACTS/cups-3x4.pdf"
    pdftoppm -png -r 200 -singlefile "${pdfs[0]}" "$QUORVEX_ARTEFACTS/cups-3x4" || true
fi

echo "== a batch of cards (File > Print Cards...) to the PDF printer"
rm -f "$work"/out/*.pdf
QUORVEX_TEST_PRINTER="$printer" "$check" printCardsSendsTheEventsCardsInOneJob || fail "printing the batch failed"
for _ in $(seq 1 300); do
    [ -z "$(lpstat -W not-completed -o "$printer" 2>/dev/null)" ] && break
    sleep 0.2
done
pdfs=("$work"/out/*.pdf)
[ ${#pdfs[@]} -eq 1 ] || fail "expected the batch as one PDF in the printer's output folder, found ${#pdfs[@]}"
info="$(pdfinfo "${pdfs[0]}")"
echo "$info" | grep -E "^(Pages|Page size):"
echo "$info" | grep -Eq "^Pages: +3$" || fail "the batch has not exactly three pages"
echo "$info" | grep -Eq "^Page size: +275 x 179 pts" || fail "the batch's pages are not the 3 X 4 card's 275 x 179 points"
pdftoppm -png -r 300 -f 3 -l 3 -singlefile "${pdfs[0]}" "$work/batch3" || fail "pdftoppm could not render the batch"
code="$(zbarimg --quiet --raw -Sdisable -Sqrcode.enable "$work/batch3.png" 2>/dev/null || true)"
[ "$code" = "QVX:1:3" ] || fail "the third card's QR code reads \"$code\", not \"QVX:1:3\""
echo "PASS: one card-sized PDF printed through CUPS, its QR code read back; a batch of three cards in one job; \"Printer Not Found\" without a printer"
