#!/usr/bin/env bash
# The public pages as a browser shows them: a text share, a JPEG share, a PNG share and the history
# page, served by the whole deployment over https and loaded in headless Chromium. The checks read
# the rendered page (what it says, which pictures loaded, whether it fits a phone's width); the
# screenshots are kept under BUILD/browser-pages (and in $TERN_ARTIFACTS_DIR when set).
#   browser_pages_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/deployment_lib.sh"
require chromedriver
require chromium
deployment_up

use_home ann
"$tern" config set ServiceHost "$url"
"$tern" config set CaFile "$ca"
printf 'secret\n' | "$tern" register ann@example.org >/dev/null

# A text with markup, a tab, non-Latin letters and a line far wider than a phone.
printf '<b>Meeting notes</b> & "plans"\n\tcaf\xc3\xa9, \xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82, \xe2\x9c\x93\n%s\n' \
    "$(printf 'long-line-%.0s' $(seq 1 40))" >"$work/note.txt"
text_link=$("$tern" share "$work/note.txt")
# A photograph-like picture is smaller as JPEG, a flat drawing as PNG.
convert=/usr/bin/convert
"$convert" -seed 7 -size 640x400 plasma:fractal "$work/photo.png"
"$convert" -size 480x300 xc:white -fill '#1d6a87' -draw 'rectangle 40,40 220,160' \
    -fill '#f2b33d' -draw 'circle 340,150 340,80' "$work/drawing.png"
jpeg_link=$("$tern" share "$work/photo.png")
png_link=$("$tern" share "$work/drawing.png")
history=$("$tern" history-url)

shots=$build/browser-pages
rm -rf "$shots"
mkdir -p "$shots"
python3 "$(dirname "$0")/browser_check.py" --shots "$shots" --trust-spki "$(
    openssl x509 -in "$deploy/tls/server.pem" -pubkey -noout |
        openssl pkey -pubin -outform der | openssl dgst -sha256 -binary | base64
)" --text "$text_link" "$work/note.txt" --jpeg "$jpeg_link" 640x400 --png "$png_link" 480x300 \
    --history "$history" ann@example.org
if [ -n "${TERN_ARTIFACTS_DIR:-}" ]; then
    mkdir -p "$TERN_ARTIFACTS_DIR/browser-pages"
    cp "$shots"/*.png "$TERN_ARTIFACTS_DIR/browser-pages/"
fi
echo "browser pages: ok"
