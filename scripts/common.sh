# shellcheck shell=bash
# Shared by the scripts that try the programs as a user would (sourced, not run): messages, the
# local draw source started and stopped, the settings file that names it, the draw tables' counts.

# Prints "<script>: [<seconds since it began>s] <text>".
say() {
    echo "$(basename "$0" .sh) [$((SECONDS))s]: $*"
}

fail() {
    echo "$(basename "$0" .sh): FAILED: $*" >&2
    exit 1
}

# Waits up to $2 seconds for something to listen on 127.0.0.1:$1.
wait_for_port() {
    local port="$1" seconds="$2" i
    for ((i = 0; i < seconds * 10; i++)); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

port_is_free() {
    ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# A loopback port that is free at this moment.
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Starts the local draw source: program $1 on 127.0.0.1:$2, its output appended to $3, with the
# further arguments it is given (e.g. --now to fix its clock); waits until it listens. One source at
# a time: a source started before is stopped first. Call stop_local_source on the way out.
local_source_pid=""
start_local_source() {
    local program="$1" port="$2" log="$3"
    shift 3
    stop_local_source
    "$program" --port "$port" "$@" >>"$log" 2>&1 &
    local_source_pid=$!
    wait_for_port "$port" 10 || fail "tarvo-drawd did not start: $(tail -3 "$log")"
}

stop_local_source() {
    if [ -n "$local_source_pid" ]; then
        kill "$local_source_pid" 2>/dev/null || true
        wait "$local_source_pid" 2>/dev/null || true
        local_source_pid=""
    fi
}

# The settings file's section $2 (default source1) naming the local source on 127.0.0.1:$1.
local_source_settings() {
    printf '[%s]\nname=本地开奖源\nkind=pages\nfeed=http://127.0.0.1:%s\npages=http://127.0.0.1:%s\n' \
        "${2:-source1}" "$1" "$1"
}

# Row counts of the four draw tables of a database file, as "山东 广东 重庆 江西" counts; empty
# when the file cannot be read at the moment (the program may be writing).
table_counts() {
    python3 - "$1" <<'PYTHON' 2>/dev/null || true
import sqlite3, sys
try:
    connection = sqlite3.connect(f"file:{sys.argv[1]}?mode=ro", uri=True, timeout=0.2)
    counts = [connection.execute(f'select count(*) from "{name}11选5彩票号码表"').fetchone()[0]
              for name in ("山东", "广东", "重庆", "江西")]
    print(" ".join(str(count) for count in counts))
except sqlite3.Error:
    pass
PYTHON
}

# Whether every one of the four draw tables of a database file holds draws.
all_tables_hold_draws() {
    local counts
    counts=$(table_counts "$1")
    [ -n "$counts" ] && [[ " $counts " != *" 0 "* ]]
}
