#!/usr/bin/env bash
# Plays the demo project through JACK's dummy backend at 48 kHz, once each at
# 64, 128 and 256 frames per period, and prints the xruns of each run. At 64
# frames a client that writes only silence (silent_jack_client) then runs on
# the same server for as long as the demo played: its xruns are the floor of
# the server and the machine, measured under the same load.
# Target: at 64 frames no more xruns than the silent client's floor.
# The server is our own (a unique name), started here and stopped with
# SIGTERM (a killed server leaves its slot taken).
# PERIODS="64" measures only the periods named.
set -euo pipefail

build=${1:-build}
demo=${2:-examples/demo.cvx}
corvane="$build/bin/corvane"
silent="$build/bench/silent_jack_client"
export JACK_DEFAULT_SERVER="corvane-bench-$$"
export JACK_NO_AUDIO_RESERVATION=1

server=
stop_server() {
    if [ -n "$server" ]; then
        kill -TERM "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
        server=
    fi
}
trap stop_server EXIT

for period in ${PERIODS:-64 128 256}; do
    jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p "$period" >/dev/null 2>&1 &
    server=$!
    for _ in $(seq 50); do
        jack_lsp >/dev/null 2>&1 && break
        sleep 0.1
    done
    start=$(date +%s%N)
    result=$(XDG_CONFIG_HOME=$(mktemp -d) "$corvane" --play "$demo" --driver jack 2>&1 | grep -o 'Dropouts.*' || echo "no result")
    ms=$((($(date +%s%N) - start) / 1000000))
    seconds="$((ms / 1000)).$(printf '%03d' $((ms % 1000)))"
    printf 'period %s frames: demo (%s s): %s\n' "$period" "$seconds" "$result"
    if [ "$period" = 64 ]; then
        if [ -x "$silent" ]; then
            floor=$("$silent" "$seconds" 2>&1 | grep -o 'Dropouts.*' || echo "no result")
        else
            floor="no $silent (build the benchmarks)"
        fi
        printf 'period %s frames: silent client floor (%s s): %s\n' "$period" "$seconds" "$floor"
    fi
    stop_server
done
