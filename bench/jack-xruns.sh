#!/usr/bin/env bash
# Plays the demo project through JACK's dummy backend at 48 kHz, once each at
# 64, 128 and 256 frames per period, and prints the xruns of each run. The
# server is our own (a unique name), started and stopped here.
# Target: no xruns at 128 frames.
set -euo pipefail

build=${1:-build}
demo=${2:-examples/demo.cvx}
corvane="$build/bin/corvane"
export JACK_DEFAULT_SERVER="corvane-bench-$$"
export JACK_NO_AUDIO_RESERVATION=1

for period in 64 128 256; do
    jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p "$period" >/dev/null 2>&1 &
    server=$!
    for _ in $(seq 50); do
        jack_lsp >/dev/null 2>&1 && break
        sleep 0.1
    done
    result=$(XDG_CONFIG_HOME=$(mktemp -d) "$corvane" --play "$demo" --driver jack 2>&1 | grep -o 'Dropouts.*' || echo "no result")
    echo "period $period frames: $result"
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
done
