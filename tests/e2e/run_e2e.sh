#!/usr/bin/env bash
# End-to-end start-up test: starts the real program on a private X server with
# its own settings folder and a prepared database, answers the start-up boxes
# with key presses, waits for the main window (titled with the event's name),
# leaves through File > Exit and checks that the program ended with status 0.
#
#   run_e2e.sh PATH/quorvex PATH/quorvex-db
#
# Needs Xvfb, xdotool and sqlite3 (scripts/install-deps.sh). xprop, when
# present, tells message boxes from the splash window (both are titled
# "Quorvex"); without it the first "Quorvex" window is taken for the splash.
# Environment:
#   QUORVEX_E2E_TIMEOUT     seconds allowed for start-up (default 90)
#   QUORVEX_E2E_SCREENSHOT  file to save a PNG of the main window in (needs xwd and python3)
#   QUORVEX_E2E_KEEP=1      keep the temporary folder (logs, database, settings)
# Every wait is bounded; the X server and the program are stopped on any exit.
# shellcheck disable=SC2317  # cleanup and its helpers run from the EXIT trap
set -uo pipefail

EVENT_NAME="Spring Convention"
START_TIMEOUT=${QUORVEX_E2E_TIMEOUT:-90}
EXIT_TIMEOUT=30

program=${1:-}
dbtool=${2:-}
tmp=""
xvfb_pid=""
app_pid=""
app_status=""

log() { echo "e2e_startup: $*"; }

diagnostics() {
    [ -n "$tmp" ] || return 0
    if [ -n "${DISPLAY:-}" ] && [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "--- visible windows:" >&2
        local id
        for id in $(timeout 5 xdotool search --onlyvisible --name '.*' 2>/dev/null); do
            echo "    $id \"$(timeout 5 xdotool getwindowname "$id" 2>/dev/null)\"" >&2
        done
    fi
    if [ -s "$tmp/program.log" ]; then
        echo "--- program output (last 40 lines):" >&2
        tail -n 40 "$tmp/program.log" >&2
    fi
}

fail() {
    echo "e2e_startup: FAIL: $*" >&2
    diagnostics
    exit 1
}

stop_process() { # pid: TERM, then KILL when it does not end within 3 seconds
    local pid=$1
    kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 30); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

cleanup() {
    [ -n "$app_pid" ] && stop_process "$app_pid"
    [ -n "$xvfb_pid" ] && stop_process "$xvfb_pid"
    if [ -n "$tmp" ] && [ -d "$tmp" ]; then
        if [ "${QUORVEX_E2E_KEEP:-0}" = "1" ]; then
            log "kept $tmp"
        else
            rm -rf "$tmp"
        fi
    fi
}
trap cleanup EXIT
trap 'fail "interrupted"' INT TERM

# ---- requirements ---------------------------------------------------------
{ [ -n "$program" ] && [ -n "$dbtool" ]; } || fail "usage: run_e2e.sh PATH/quorvex PATH/quorvex-db"
[ -x "$program" ] || fail "the program \"$program\" does not exist or is not executable; build the target quorvex"
[ -x "$dbtool" ] || fail "the database tool \"$dbtool\" does not exist or is not executable; build the target quorvex-db"
for cmd in Xvfb xdotool sqlite3 timeout; do
    command -v "$cmd" >/dev/null || fail "$cmd is not installed; run scripts/install-deps.sh"
done
have_xprop=0
command -v xprop >/dev/null && have_xprop=1

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-e2e.XXXXXX") || fail "cannot make a temporary folder"
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
dbtool=$(cd "$(dirname "$dbtool")" && pwd)/$(basename "$dbtool")

# ---- the database: an empty one plus one event ---------------------------------
mkdir -p "$tmp/db" "$tmp/home" "$tmp/config" "$tmp/runtime" "$tmp/work"
chmod 700 "$tmp/runtime"
if ! "$dbtool" create "$tmp/db" >"$tmp/dbtool.log" 2>&1; then
    cat "$tmp/dbtool.log" >&2
    fail "\"quorvex-db create $tmp/db\" failed"
fi
[ -f "$tmp/db/Quorvex.mdb" ] || fail "quorvex-db create made no Quorvex.mdb in $tmp/db"
sqlite3 "$tmp/db/Quorvex.mdb" "INSERT INTO Program(Name) VALUES('$EVENT_NAME');" 2>"$tmp/sqlite.log" \
    || fail "cannot insert the event: $(cat "$tmp/sqlite.log")"
events=$(sqlite3 "$tmp/db/Quorvex.mdb" "SELECT count(*) FROM Program WHERE Name = '$EVENT_NAME';")
[ "$events" = "1" ] || fail "the prepared database holds $events events named \"$EVENT_NAME\", expected 1"

# ---- the settings: the database folder under DBPath/Path ------------------------
# The store is an INI file "Quorvex/Quorvex.ini" in the configuration folder,
# with sections and keys in lower case; folders end with a separator.
mkdir -p "$tmp/config/Quorvex"
printf '[dbpath]\npath=%s/\n' "$tmp/db" >"$tmp/config/Quorvex/Quorvex.ini"

# ---- a private X server -----------------------------------------------------
# -displayfd makes the server pick a free display number and report it once it
# accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 100); do
    display=$(tr -dc '0-9' <"$tmp/display" 2>/dev/null)
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended at once: $(tail -n 5 "$tmp/xvfb.log")"
    sleep 0.1
done
[ -n "$display" ] || fail "Xvfb did not report a display within 10 seconds"
export DISPLAY=":$display"
timeout 10 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "cannot reach the X server on $DISPLAY"
log "X server on $DISPLAY"

# ---- the program ------------------------------------------------------------
cd "$tmp/work" || fail "cannot enter $tmp/work"
start_program() {
    env -u WAYLAND_DISPLAY -u SESSION_MANAGER -u DBUS_SESSION_BUS_ADDRESS \
        HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime" \
        XDG_DATA_HOME="$tmp/home/.local/share" XDG_CACHE_HOME="$tmp/home/.cache" \
        QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY" "$program" >"$tmp/program.log" 2>&1 &
    app_pid=$!
    app_status=""
    log "started $program (pid $app_pid)"
}

app_running() { kill -0 "$app_pid" 2>/dev/null; }
reap() { # records the exit status once the program has ended
    if [ -z "$app_status" ]; then
        wait "$app_pid" 2>/dev/null
        app_status=$?
    fi
}

start_program
# Seen once in many runs on a loaded machine: the fresh server refused the
# program's very first connection although xdotool had just reached it. That is
# the harness's server, not the program: start it once more in that case only.
sleep 1
if ! app_running && grep -q 'could not connect to display' "$tmp/program.log"; then
    reap
    log "the program could not reach $DISPLAY (status $app_status); starting it once more"
    start_program
fi

windows_named() { # visible windows whose whole title is $1
    timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null
}

is_dialog() { # window id: true when it is a dialog window (a message box, a modal window)
    timeout 5 xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q '_NET_WM_WINDOW_TYPE_DIALOG'
}

press() { # window id, key...: gives the window the keyboard and presses the keys
    local id=$1
    shift
    timeout 5 xdotool windowfocus --sync "$id" >/dev/null 2>&1 || return 1
    sleep 0.2
    timeout 5 xdotool key --clearmodifiers "$@" >/dev/null 2>&1
}

gone() { # window id: true when it is no longer visible
    ! timeout 5 xdotool search --onlyvisible --name '.*' 2>/dev/null | grep -qx "$1"
}

answer() { # window id, description, key...: presses until the window goes, three tries at most
    local id=$1 what=$2
    shift 2
    for _ in 1 2 3; do
        press "$id" "$@"
        for _ in $(seq 25); do
            gone "$id" && { log "answered $what with $*"; return 0; }
            app_running || return 0
            sleep 0.2
        done
    done
    fail "$what (window $id) did not close after pressing $* three times"
}

xwd_to_png() { # in.xwd out.png: a true-colour X window dump as PNG, with Python's standard library
    python3 - "$1" "$2" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
h = struct.unpack(">25I", data[:100])
header_size, fmt, depth, width, height = h[0], h[2], h[3], h[4], h[5]
byte_order, bpp, bpl = h[7], h[11], h[12]
masks, ncolors = h[14:17], h[19]
if fmt != 2 or bpp not in (24, 32):
    sys.exit("not a true-colour ZPixmap dump")
offset = header_size + 12 * ncolors
shifts = [(m & -m).bit_length() - 1 for m in masks]
step = bpp // 8
order = "little" if byte_order == 0 else "big"
rows = bytearray()
for y in range(height):
    rows.append(0)
    line = data[offset + y * bpl: offset + y * bpl + width * step]
    for x in range(0, width * step, step):
        p = int.from_bytes(line[x:x + step], order)
        rows += bytes(((p & m) >> s) & 0xFF for m, s in zip(masks, shifts))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b"")
open(sys.argv[2], "wb").write(png)
PY
}

splash=""
main_window=""
answered=""
deadline=$((SECONDS + START_TIMEOUT))
while [ $SECONDS -lt $deadline ]; do
    if ! app_running; then
        reap
        fail "the program ended with status $app_status before its main window \"$EVENT_NAME\" appeared"
    fi
    main_window=$(windows_named "$EVENT_NAME" | head -n 1)
    [ -n "$main_window" ] && break

    for id in $(windows_named "Event Required"); do
        answer "$id" "the \"Event Required\" box" Return
        answered+=" event-required"
    done
    for id in $(windows_named "Event Setup"); do
        answer "$id" "the \"Event Setup\" window (its &OK button)" alt+o
        answered+=" event-setup"
    done
    # Boxes titled "Quorvex" (for instance "No Video Capture Device!") are
    # answered with OK; the splash window has that title too, and a key press
    # would close it, so it is left alone.
    for id in $(windows_named "Quorvex"); do
        if [ "$have_xprop" = 1 ]; then
            is_dialog "$id" || continue
        else
            [ -z "$splash" ] && splash=$id
            [ "$id" = "$splash" ] && continue
        fi
        answer "$id" "a \"Quorvex\" box" Return
        answered+=" quorvex-box"
    done
    # Any other dialog is a box nobody expected (a start-up error, say): stop.
    if [ "$have_xprop" = 1 ]; then
        for id in $(timeout 5 xdotool search --onlyvisible --name '.*' 2>/dev/null); do
            is_dialog "$id" || continue
            title=$(timeout 5 xdotool getwindowname "$id" 2>/dev/null)
            case "$title" in
                "Event Required" | "Event Setup" | "Quorvex") ;;
                *) fail "the program shows an unexpected window \"$title\" (a start-up error?)" ;;
            esac
        done
    fi
    sleep 0.2
done
[ -n "$main_window" ] || fail "no main window titled \"$EVENT_NAME\" within $START_TIMEOUT seconds (answered:${answered:- nothing})"
log "main window \"$EVENT_NAME\" is shown (window $main_window)"
case "$answered" in
    *event-setup*) ;;
    *) fail "the main window appeared without the Event Setup window being answered" ;;
esac
[ -d "$tmp/db/Pic" ] || fail "the program did not create the Pic folder in the database folder $tmp/db"

# ---- a picture of the main window for people to look at -------------------------
if [ -n "${QUORVEX_E2E_SCREENSHOT:-}" ]; then
    sleep 1 # let the window finish painting
    if command -v xwd >/dev/null && command -v python3 >/dev/null; then
        if timeout 10 xwd -silent -id "$main_window" >"$tmp/main.xwd" 2>/dev/null \
            && xwd_to_png "$tmp/main.xwd" "$QUORVEX_E2E_SCREENSHOT"; then
            log "saved a picture of the main window as $QUORVEX_E2E_SCREENSHOT"
        else
            log "could not save a picture of the main window (not a failure)"
        fi
    else
        log "no picture of the main window: xwd or python3 is missing (not a failure)"
    fi
fi

# ---- leave through File > Exit -------------------------------------------------
for try in 1 2; do
    app_running || break
    press "$main_window" alt+f || fail "cannot give the main window the keyboard"
    sleep 0.5
    timeout 5 xdotool key --clearmodifiers x >/dev/null 2>&1
    for _ in $(seq $((EXIT_TIMEOUT * 5 / 2))); do
        app_running || break
        sleep 0.2
    done
    app_running && log "File > Exit (try $try) did not end the program yet"
done
if app_running; then
    timeout 5 xdotool key --clearmodifiers Escape >/dev/null 2>&1
    fail "the program did not end within $EXIT_TIMEOUT seconds of File > Exit"
fi
reap
[ "$app_status" = "0" ] || fail "the program ended with status $app_status after File > Exit, expected 0"
log "PASS: started, showed \"$EVENT_NAME\", ended with status 0"
exit 0
