#!/usr/bin/env bash
# The two setup commands and README: install-deps.sh waits for a package manager that holds the lock
# (bounded, saying so) instead of failing; both commands build into one folder, the one README names;
# README shows the hotkey as the program does and says "as root" where sudo may be missing.
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A package manager locked for the first two tries: fakes of apt-get, sudo and dpkg-query on PATH.
mkdir "$work/bin"
cat >"$work/bin/apt-get" <<FAKE
#!/bin/sh
n=\$(cat "$work/tries" 2>/dev/null || echo 0); n=\$((n + 1)); echo \$n >"$work/tries"
if [ \$n -le 2 ]; then
    echo "E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 4242 (apt-get)" >&2
    exit 100
fi
echo "apt-get \$*" >>"$work/ran"
FAKE
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
chmod +x "$work/bin/"*
PATH="$work/bin:$PATH" TERN_APT_LOCK_POLL=0 "$root/scripts/install-deps.sh" some-package 2>"$work/err" ||
    fail "install-deps.sh gave up on a lock: $(cat "$work/err")"
grep -q "waiting for it" "$work/err" || fail "no word about the wait: $(cat "$work/err")"
[ "$(grep -c "waiting for it" "$work/err")" -eq 1 ] || fail "the wait is announced more than once"
grep -q "install .*some-package" "$work/ran" || fail "the package was not installed after the wait"
# A lock that stays is given up after the bound, with the reason.
rm -f "$work/tries" "$work/ran"
sed -i 's/-le 2/-le 1000/' "$work/bin/apt-get"
if PATH="$work/bin:$PATH" TERN_APT_LOCK_POLL=1 TERN_APT_LOCK_WAIT=2 "$root/scripts/install-deps.sh" some-package \
    2>"$work/err"; then fail "a lock that stays was reported as success"; fi
grep -q "stayed locked" "$work/err" || fail "no reason for giving up: $(cat "$work/err")"

# One build folder for both commands, and README names only that one.
run_dir=$(sed -n 's/^build_dir=\${1:-\(.*\)}$/\1/p' "$root/scripts/setup-and-run.sh")
test_dir=$(sed -n 's/^build_dir=\${1:-\(.*\)}$/\1/p' "$root/scripts/setup-and-test.sh")
[ -n "$run_dir" ] && [ "$run_dir" = "$test_dir" ] || fail "the commands build into '$run_dir' and '$test_dir'"
grep -o "build/[a-z]*/bin" "$root/README.md" | grep -v "build/windows/" | sort -u | while read -r dir; do
    [ "$dir" = "$run_dir/bin" ] || fail "README names $dir beside $run_dir"
done
grep -q "XDG_RUNTIME_DIR" "$root/scripts/setup-and-run.sh" || fail "the run script leaves XDG_RUNTIME_DIR unset"
grep -q "Exit" "$root/scripts/setup-and-run.sh" || fail "the run script does not say what Exit stops"

# README writes the hotkey as the program shows it, and never assumes sudo.
! grep -q "Ctrl+Shift+Y" "$root/README.md" || fail "README writes Ctrl+Shift+Y; the program shows Shift+Ctrl+Y"
grep -q "Shift+Ctrl+Y" "$root/README.md" || fail "README does not name the hotkey"
grep -q "as root" "$root/README.md" || fail "README does not say what to run as root"
# The manual pages say how the About dialog's version relates to --version.
for page in "$root"/packaging/man/*.[18]; do
    grep -q 'minor : build' "$page" || fail "$(basename "$page") does not explain the About version"
done
echo "setup scripts: ok"
