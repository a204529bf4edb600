#!/usr/bin/env bash
# Three users of one account on a real tern-server; Ann and Bob set the same end-to-end key, Carl none.
# Ann Remote-Copies text, HTML and a picture from a program that offers them; what the service stores
# opens only with the key. Bob's Remote Paste puts the text and the HTML back byte for byte and the
# picture pixel for pixel as stored. Carl's Remote Paste shows an error balloon and leaves his
# clipboard as it was. The programs run one after another, each ended through its quit message.
set -euo pipefail
bin=$1
offer_app=$2
source "$(dirname "$0")/e2e_lib.sh"
e2e_init keyed-copy-paste

make_users ann bob carl
start_server
passphrase="our shared end-to-end key"
for user in ann bob carl; do as_user $user "$bin/tern" config set ServiceHost "$service"; done
echo "secret-pass" | as_user ann "$bin/tern" register "keyed@example.org" >/dev/null || fail "register"
for user in bob carl; do
    echo "secret-pass" | as_user $user "$bin/tern" login "keyed@example.org" >/dev/null || fail "login $user"
done
for user in ann bob; do echo "$passphrase" | as_user $user "$bin/tern" key set >/dev/null || fail "key set $user"; done

printf 'Grüße, keyed text ✓' >"$base/text.txt"
printf '<html><body><p>keyed <b>rich</b> text</p></body></html>' >"$base/page.html"
/usr/bin/convert -size 64x48 gradient:'#e04010-#1050f0' "$base/picture.png" || fail "cannot draw the picture"

user_pid=
start_program() {
    env $(user_env "$1") "$bin/tern-clipboard" 2>>"$base/$1.log" &
    user_pid=$!
    pids+=($user_pid)
    wait_for 100 xdotool search --name "^TernClipboardStarted$" || fail "the program of $1 did not start"
}
stop_program() {
    as_user "$1" "$bin/tern" quit-running >/dev/null || fail "the program of $1 did not take its quit message"
    wait "$user_pid" || fail "the program of $1 did not end cleanly"
    wait_for 50 bash -c '! xdotool search --name "^TernClipboardStarted$"' || fail "a program window stayed"
}
program_menu() { menu_shown "$user_pid"; }
# Chooses the hotkey menu's item $1 items below its title.
choose() {
    press_hotkey_until ctrl+shift+y program_menu || fail "no hotkey menu"
    local keys=()
    for ((i = 0; i < $1; i++)); do keys+=(Down); done
    xdotool key "${keys[@]}" Return
}
clipboard_of() { timeout 5 xclip -selection clipboard -o -t "$1"; }

# Ann copies what the offering program puts on the clipboard.
start_program ann
"$offer_app" text/plain "$base/text.txt" text/html "$base/page.html" image/png "$base/picture.png" &
pids+=($!)
offer_pid=$!
wait_for 100 xdotool search --onlyvisible --name "^tern-test-offer$" || fail "the offering program did not appear"
xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^tern-test-offer$' | head -n 1)"
choose 2
# The stored copy, record by record, once it holds the picture (a JPEG file).
stored() {
    rm -rf "$base/stored"
    as_user ann "$bin/tern" paste --out "$base/stored" >/dev/null 2>&1 && grep -l -a "JFIF" "$base"/stored/*.bin
}
wait_for 150 stored || fail "the keyed copy did not reach the service"
wait_for 50 balloon_of "$user_pid" || fail "no balloon after the copy"
shot copied
kill "$offer_pid"
stop_program ann
# Without the key the stored copy does not open.
if as_user carl "$bin/tern" paste --out "$base/refused" >"$base/refused.txt" 2>&1; then
    fail "the stored copy opened without the key"
fi
grep -q "This copy was made with an end-to-end key" "$base/refused.txt" || fail "no key text: $(cat "$base/refused.txt")"

# Bob pastes: everything comes back.
# xclip -quiet serves the selection without forking away: cleanup ends it by its PID.
echo "placeholder" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
pids+=($!)
wait_for 50 bash -c "[ \"\$(timeout 5 xclip -selection clipboard -o)\" = placeholder ]" || fail "xclip did not take the clipboard"
start_program bob
choose 3
offers() { timeout 5 xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -qx "$1"; }
wait_for 150 offers text/html || fail "Bob's paste put no HTML on the clipboard"
clipboard_of UTF8_STRING | cmp - "$base/text.txt" || fail "the text changed on the way"
clipboard_of text/html | cmp - "$base/page.html" || fail "the HTML changed on the way"
clipboard_of image/png >"$base/pasted.png" || fail "Bob's paste put no picture on the clipboard"
jpeg=$(stored | head -n 1)
pixels() { /usr/bin/convert "$1" -depth 8 rgb:- | md5sum; }
[ "$(pixels "$base/pasted.png")" = "$(pixels "$jpeg")" ] || fail "the picture changed on the way"
wait_for 50 balloon_of "$user_pid" || fail "no balloon after Bob's paste"
shot pasted-with-key
stop_program bob

# Carl pastes without the key: an error balloon, and his clipboard keeps what it held.
printf 'carl keeps this' | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
pids+=($!)
pids+=($!)
wait_for 50 bash -c "[ \"\$(timeout 5 xclip -selection clipboard -o)\" = 'carl keeps this' ]" ||
    fail "xclip did not take the clipboard"
start_program carl
choose 3
wait_for 150 balloon_of "$user_pid" || fail "no balloon after Carl's paste"
shot pasted-without-key
[ "$(clipboard_of UTF8_STRING)" = "carl keeps this" ] || fail "Carl's clipboard changed"
stop_program carl
echo "keyed copy and paste: ok"
