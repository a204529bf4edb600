# shellcheck shell=bash
# The parts every headless session script shares (scripts/headless-desktop.sh, scripts/headless-sway.sh):
# its options, the bounded waits, stopping what it started, and running the command. Sourced, never run.

# Processes the session started, in order; they are stopped newest first, by PID, when the script ends,
# and the folders in session_folders are removed.
pids=()
session_folders=()
stop_session() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[$i]}" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "${session_folders[@]}"
}
trap stop_session EXIT

# Reads the options "--NAME VALUE" whose names the space-separated list $1 allows into the variables of
# those names, up to "--" or the first word that is none of them; the words after that are the command,
# kept in the array `command`. Without a command it prints the usage line $2 and exits with status 2.
read_session_options() {
    local names=" $1 " usage=$2 name
    shift 2
    while [ $# -gt 0 ]; do
        case "$1" in
            --) shift; break ;;
            --*)
                name=${1#--}
                [[ $names == *" $name "* ]] || break
                printf -v "$name" '%s' "$2"
                shift 2 ;;
            *) break ;;
        esac
    done
    [ $# -gt 0 ] || { echo "usage: $usage" >&2; exit 2; }
    command=("$@")
}

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1; shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Runs the command inside the session and ends the script with its exit status.
run_session_command() {
    local status
    set +e
    "${command[@]}"
    status=$?
    set -e
    exit $status
}
