# Shared set-up of the desktop tests; sourced by each test script after `set -euo pipefail`.
#   e2e_init NAME   -- a temporary base folder, an artifacts folder, cleanup of every started PID
# Every process a test starts in the background goes into `pids`, which cleanup stops by PID.
# shellcheck source=tests/support/test_processes.sh
. "$(dirname "${BASH_SOURCE[0]}")/../support/test_processes.sh"

e2e_init() {
    test_name=$1
    [ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: run inside scripts/headless-desktop.sh"; exit 0; }
    base=$(mktemp -d)
    artifacts=${TERN_ARTIFACTS_DIR:-$base/artifacts}
    mkdir -p "$artifacts"
    pids=()
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    stop_started
    rm -rf "$base"
}

fail() {
    echo "FAIL: $*" >&2
    /usr/bin/import -window root "$artifacts/$test_name-failure.png" 2>/dev/null || true
    exit 1
}

# Users of their own on the one display: each has a home, settings, data and runtime folder under
# $base/NAME (temporary paths hold no blanks). `user_env NAME` prints the environment; `as_user NAME
# CMD...` runs a command in it (through env, so that $! of a background start is the command itself).
make_users() {
    local user
    for user in "$@"; do mkdir -p "$base/$user/runtime"; chmod 700 "$base/$user/runtime"; done
}
user_env() {
    echo "HOME=$base/$1 XDG_CONFIG_HOME=$base/$1/config XDG_DATA_HOME=$base/$1/data XDG_RUNTIME_DIR=$base/$1/runtime"
}
as_user() {
    local user=$1
    shift
    env $(user_env "$user") "$@"
}

# Presses the hotkey $1 until the command after it succeeds (a menu shows), three times at most. The
# program's window answers before its hotkey is registered and nothing outside shows the
# registration, so a press right after a start may come too early; a press while the menu is open
# goes to the menu's keyboard grab and does nothing.
press_hotkey_until() {
    local keys=$1 attempt
    shift
    for attempt in 1 2 3; do
        xdotool key "$keys"
        wait_for 20 "$@" && return 0
    done
    return 1
}

shot() { /usr/bin/import -window root "$artifacts/$test_name-$1.png"; }

# Waits up to 30 s for a new share link of $service on the clipboard, opens its page and downloads
# the picture it shows; sets `link` and `picture` (the picture's file, $base/$1.png or .jpg).
link=
shared_link() {
    local previous=$link page raw i
    link=
    for ((i = 0; i < 300; i++)); do
        link=$(timeout 5 xclip -selection clipboard -o 2>/dev/null || true)
        case "$link" in "$service"/d/*.html) [ "$link" != "$previous" ] && break ;; esac
        link=
        sleep 0.1
    done
    [ -n "$link" ] || fail "no share link on the clipboard ($1)"
    page=$(curl -fsS "$link") || fail "the share page does not open ($1)"
    raw=$(printf '%s' "$page" | grep -o '/d/[A-Za-z0-9_-]*\.\(png\|jpg\)' | head -1)
    [ -n "$raw" ] || fail "the share page shows no picture ($1)"
    picture="$base/$1.${raw##*.}"
    curl -fsS "$service$raw" -o "$picture" || fail "the picture does not download ($1)"
}

# Starts tern-server on a free loopback port with its data in $base/NAME, its output in $base/NAME.out
# and its access log in $base/NAME.log (NAME: $server_name, default "server"); sets `service` (its
# address) and `server_pid`. Extra arguments go to the server.
start_server() {
    local name=${server_name:-server}
    "$bin/tern-server" --listen 127.0.0.1:0 --data "$base/$name" "$@" >"$base/$name.out" 2>>"$base/$name.log" &
    server_pid=$!
    pids+=($server_pid)
    wait_for 100 grep -q "listening on" "$base/$name.out" || fail "tern-server did not start"
    service=$(sed -n 's/.*listening on \(http[^ ]*\).*/\1/p' "$base/$name.out")
}

# Visible windows of an xdotool search that are wider than a tray icon (the program's icon window
# carries the balloon's title and is at most 32 pixels wide).
big_windows() {
    local w
    for w in $(xdotool search --onlyvisible "$@" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -gt 32 ] && echo "$w"
    done
    return 0
}
balloon_count() { big_windows --name "^Tern Clipboard\$" | wc -l; }
balloon_shown() { [ "$(balloon_count)" -ge 1 ]; }

# Visible windows wider than a tray icon of the process $1 whose first EWMH window type is $2
# (DIALOG for dialogs and message boxes, TOOLTIP for the balloon, NORMAL for the menus).
windows_of_type() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -gt 32 ] || continue
        xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "= _NET_WM_WINDOW_TYPE_$2\b" && echo "$w"
    done
    return 0
}
menu_shown() { [ -n "$(windows_of_type "$1" NORMAL)" ]; }
# The first visible window of the process $1 whose geometry meets the arithmetic condition $2 (on X,
# Y, WIDTH and HEIGHT), more `xdotool search` options after it; prints "WINDOW X Y".
window_of() {
    local pid=$1 condition=$2 w
    shift 2
    for w in $(xdotool search --onlyvisible --pid "$pid" "$@" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        (( $condition )) && { echo "$w $X $Y"; return 0; }
    done
    return 1
}
# The tray icon window of the process $1 (at most 32 pixels wide) while a tray shows it.
tray_icon_of() {
    local found
    found=$(window_of "$1" 'WIDTH <= 32 && HEIGHT <= 32') && echo "${found%% *}"
}
# A Wine prefix of the test's own under $base, without Wine's menu builder and browser engines; Wine's
# server is stopped with the test.
wine_init() {
    command -v wine >/dev/null || fail "Wine is not installed"
    export WINEPREFIX=$base/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    wine wineboot --init >/dev/null 2>&1 || fail "Wine prefix"
    wineserver --wait
    trap 'wineserver --kill 2>/dev/null || true; e2e_cleanup' EXIT
}
# The balloon window of the process $1 while it is shown.
balloon_of() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$1" --name "^Tern Clipboard\$" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -gt 32 ] && { echo "$w"; return 0; }
    done
    return 1
}
