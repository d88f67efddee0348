#!/usr/bin/env bash
# What `make run` does once the studio is built: render the bundled demo to
# demo.wav with a summary, then play it through a real driver when there is
# one (a running JACK server first, else an ALSA sound device).
set -euo pipefail

build=${1:-build}
demo=${2:-examples/demo.cvx}
corvane="$build/bin/corvane"

"$corvane" --version | head -n 2
"$corvane" --render "$demo" -o demo.wav

drivers=$("$corvane" --list-drivers 2>/dev/null || true)
if grep -q '^2 ASIO: available' <<<"$drivers"; then
    exec "$corvane" --play "$demo" --driver jack
elif grep -q '^1 Wave Out: available' <<<"$drivers"; then
    exec "$corvane" --play "$demo" --driver alsa
else
    echo "No sound device here: listen to demo.wav instead."
fi
