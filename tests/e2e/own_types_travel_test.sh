#!/usr/bin/env bash
# Two users on one display share one account on a real tern-server. A program that offers only types of
# its own (a binary application type with zero bytes, SVG and HTML, no plain text) is Remote-Copied by
# the first user; the second user's Remote Paste puts every type back byte for byte under its name.
set -euo pipefail
bin=$1
offer_app=$2
source "$(dirname "$0")/e2e_lib.sh"
e2e_init own-types

make_users ann bob

start_server
for user in ann bob; do as_user $user "$bin/tern" config set ServiceHost "$service"; done
echo "secret-pass" | as_user ann "$bin/tern" register "own@example.org" >/dev/null || fail "register"
echo "secret-pass" | as_user bob "$bin/tern" login "own@example.org" >/dev/null || fail "login"
as_user bob "$bin/tern" config set MainKey 24661 # Ctrl+Shift+U: Ann holds Ctrl+Shift+Y

env $(user_env ann) "$bin/tern-clipboard" 2>"$base/ann.log" &
pids+=($!)
wait_for 100 xdotool search --name "^TernClipboardStarted$" || fail "first program did not start"
env $(user_env bob) "$bin/tern-clipboard" 2>"$base/bob.log" &
pids+=($!)
wait_for 100 bash -c "[ \$(xdotool search --name '^TernClipboardStarted$' | wc -l) -ge 2 ]" ||
    fail "second program did not start"
sleep 1

printf 'tern\000test\000\377\001 binary bytes with zeros \000\000 end' >"$base/custom.bin"
printf '<svg xmlns="http://www.w3.org/2000/svg" width="8" height="8"><rect width="8" height="4" fill="#08f"/></svg>' \
    >"$base/picture.svg"
printf '<html><body><p>only <b>rich</b> text, no plain text</p></body></html>' >"$base/page.html"
types=(application/x-tern-test image/svg+xml text/html)
files=("$base/custom.bin" "$base/picture.svg" "$base/page.html")

"$offer_app" application/x-tern-test "$base/custom.bin" image/svg+xml "$base/picture.svg" \
    text/html "$base/page.html" &
pids+=($!)
wait_for 100 xdotool search --onlyvisible --name "^tern-test-offer$" || fail "the offering program did not appear"
xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^tern-test-offer$' | head -n 1)" ||
    fail "the offering program could not be activated"

# Ann: Remote Copy from her hotkey menu; the offering program answers the injected Ctrl+C.
xdotool key ctrl+shift+y
sleep 1
xdotool key Down Down Return
stored_all() {
    rm -rf "$base/stored"
    as_user ann "$bin/tern" paste --out "$base/stored" >/dev/null 2>&1 || return 1
    local file
    for file in "${files[@]}"; do
        local found=0 candidate
        for candidate in "$base"/stored/*.bin; do cmp -s "$candidate" "$file" && found=1; done
        [ $found = 1 ] || return 1
    done
}
wait_for 150 stored_all || fail "the copy did not store every type: $(ls "$base/stored" 2>&1)"
wait_for 50 balloon_shown || fail "no balloon after the copy"
shot "copied"

# Someone else takes the clipboard, so that what Bob's paste puts there is seen on its own.
echo "placeholder" | xclip -selection clipboard -i
wait_for 50 bash -c "[ \"\$(timeout 5 xclip -selection clipboard -o)\" = placeholder ]" || fail "xclip did not take the clipboard"

# Bob: Remote Paste from his hotkey menu.
xdotool key ctrl+shift+u
sleep 1
xdotool key Down Down Down Return
offers_type() { timeout 5 xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -qx "$1"; }
wait_for 150 offers_type application/x-tern-test || fail "the pasted clipboard lacks the program's own type"
for i in "${!types[@]}"; do
    offers_type "${types[$i]}" || fail "the pasted clipboard lacks ${types[$i]}"
    timeout 5 xclip -selection clipboard -o -t "${types[$i]}" >"$base/pasted.bin" || fail "cannot read ${types[$i]}"
    cmp "$base/pasted.bin" "${files[$i]}" || fail "${types[$i]} changed on the way"
done
shot "pasted"
echo "own types travel: ok"
