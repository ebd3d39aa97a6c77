#!/usr/bin/env bash
# Makes resources/Help.doc (Word 97) from Help.html with LibreOffice Writer.
# Needed only when the guide changes: apt-get install libreoffice-writer-nogui
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
soffice --headless --infilter="HTML (StarWriter)" --convert-to "doc:MS Word 97" --outdir "$out" "$here/Help.html"
cp "$out/Help.doc" "$here/../Help.doc"
