#!/usr/bin/env bash
# Starts the real application against a JACK server on its dummy backend, waits for its
# window, checks its title and size and that it opened the audio device, then closes it
# through the window manager protocol and expects a clean exit; then the same with SIGTERM,
# and a start without a display, which has to say why it cannot start.
set -uo pipefail
app="$1"
wm_delete="$2"
[ -n "${DISPLAY:-}" ] || { echo "no display"; exit 1; }

workdir=$(mktemp -d)
export HOME="$workdir"
export JACK_DEFAULT_SERVER="tavrofx-smoke-$$"
export JACK_NO_AUDIO_RESERVATION=1

cleanup() {
    [ -n "${app_pid:-}" ] && kill -9 "$app_pid" 2>/dev/null
    [ -n "${atoms_pid:-}" ] && kill "$atoms_pid" 2>/dev/null
    [ -n "${jack_pid:-}" ] && kill "$jack_pid" 2>/dev/null && wait "$jack_pid" 2>/dev/null
    rm -rf "$workdir"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$workdir/jack.log" 2>&1 &
jack_pid=$!
for _ in $(seq 50); do
    jack_lsp >/dev/null 2>&1 && break
    sleep 0.1
done
jack_lsp >/dev/null 2>&1 || { cat "$workdir/jack.log"; fail "JACK dummy server did not start"; }

"$wm_delete" --intern &
atoms_pid=$!
sleep 0.2

# Starts the application and waits until its window has its final size and its JACK ports exist.
start_app() {
    "$app" >"$workdir/app.log" 2>&1 &
    app_pid=$!

    # The window is re-created once while it is built (native title bar), so keep looking
    # until a window with that name reaches its final size.
    window=""
    size=""
    for _ in $(seq 200); do
        kill -0 "$app_pid" 2>/dev/null || { cat "$workdir/app.log"; fail "the application exited during start"; }
        for candidate in $(xdotool search --name '^TavroFx$' 2>/dev/null); do
            size=$(xwininfo -id "$candidate" 2>/dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
            if [ "$size" = "1200x800" ]; then window="$candidate"; break 2; fi
        done
        sleep 0.1
    done
    [ -n "$window" ] || fail "no 1200x800 window titled TavroFx appeared (last size seen: ${size:-none})"
    echo "window $window is 1200x800"

    ports=""
    for _ in $(seq 100); do
        ports=$(jack_lsp 2>/dev/null | grep -c '^TavroFx:' || true)
        [ "$ports" -gt 0 ] && break
        sleep 0.1
    done
    [ "$ports" -gt 0 ] || fail "the application did not open the JACK device"
    echo "audio device open ($ports JACK ports)"
}

# Waits up to 10 s for the application to end and expects status 0 with its JACK client gone.
expect_clean_exit() {
    for _ in $(seq 100); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        fail "the application did not exit within 10 s of $1"
    fi
    wait "$app_pid"
    status=$?
    app_pid=""
    [ "$status" -eq 0 ] || { cat "$workdir/app.log"; fail "exit status $status after $1"; }
    [ "$(jack_lsp 2>/dev/null | grep -c '^TavroFx:' || true)" -eq 0 ] || fail "JACK ports left behind after $1"
    echo "clean exit after $1"
}

start_app
"$wm_delete" "$window" || fail "could not send WM_DELETE_WINDOW"
expect_clean_exit "closing the window"

# A logout or `kill` sends SIGTERM: the same orderly road as closing the window.
start_app
kill -TERM "$app_pid"
expect_clean_exit "SIGTERM"

# Without a display there is nothing to start: one line on stderr says so, and the status is not 0.
DISPLAY= timeout 20 "$app" >"$workdir/nodisplay.out" 2>"$workdir/nodisplay.err"
status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "without a display the exit status was $status"
grep -qi "display" "$workdir/nodisplay.err" || { cat "$workdir/nodisplay.err"; fail "no word about the display on stderr"; }
echo "without a display: status $status, \"$(head -1 "$workdir/nodisplay.err")\""
