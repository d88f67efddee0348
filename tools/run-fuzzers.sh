#!/usr/bin/env bash
# Runs each libFuzzer target of a build folder for a bounded time from its
# own corpus folder (seeded by the target itself when empty) and prints one
# line per target: executions, seconds, coverage and crashes. A crash does
# not stop the others; its input is kept in the corpus folder as crash-*.
# The exit code is 1 when any target crashed.
#
#   tools/run-fuzzers.sh BUILD_FOLDER SECONDS TARGET...
set -u
folder=$1
seconds=$2
shift 2
failed=0
for target in "$@"; do
    corpus=$folder/fuzz/corpus-$target
    log=$folder/fuzz/$target.log
    mkdir -p "$corpus"
    started=$(date +%s)
    CORVANE_FUZZ_SEEDS=$corpus "$folder/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=20 \
        -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$corpus/" "$corpus" >"$log" 2>&1
    status=$?
    elapsed=$(( $(date +%s) - started ))
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | sed 's/cov: //')
    crashes=$(find "$corpus" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    [ "$status" -ne 0 ] && failed=1
    printf '%-24s %10s executions %5s s  coverage %6s  crashes %s%s\n' "$target" "${executions:-?}" "$elapsed" \
        "${coverage:-?}" "$crashes" "$([ "$status" -ne 0 ] && echo "  (see $log)")"
done
exit $failed
