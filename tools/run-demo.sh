#!/usr/bin/env bash
# What `make run` does once the studio is built: on a desktop (DISPLAY or
# WAYLAND_DISPLAY set, and the X display opens) open the studio on the
# bundled demo; without one, render the demo to demo.wav with a summary and
# play it through a real driver when there is one (a running JACK server
# first, else an ALSA sound device).
set -euo pipefail

build=${1:-build}
demo=${2:-examples/demo.cvx}
corvane="$build/bin/corvane"

# An X display that is named but cannot be opened (a closed SSH forward, a
# stopped server) counts as none.
display_opens() {
    [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
    [ -n "${DISPLAY:-}" ] || return 1
    command -v xdotool >/dev/null 2>&1 || return 0
    xdotool getdisplaygeometry >/dev/null 2>&1
}

if display_opens; then
    echo "Opening the studio on $demo: press Space to play the song."
    exec "$corvane" "$demo"
fi

if [ -n "${DISPLAY:-}" ]; then
    echo "The display $DISPLAY cannot be opened: rendering the demo instead."
else
    echo "No display here (DISPLAY and WAYLAND_DISPLAY are unset): rendering the demo instead."
fi
"$corvane" --version | head -n 2
"$corvane" --render "$demo" -o demo.wav

drivers=$("$corvane" --list-drivers 2>/dev/null || true)
if grep -q '^2 ASIO[^:]*: available' <<<"$drivers"; then
    "$corvane" --play "$demo" --driver jack
elif grep -q '^1 Wave Out[^:]*: available' <<<"$drivers"; then
    "$corvane" --play "$demo" --driver alsa
else
    echo "No sound device here: listen to demo.wav instead."
fi
echo "To open the studio, run \`make run\` (or $corvane $demo) on a desktop."
