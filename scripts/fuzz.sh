#!/usr/bin/env bash
# Usage: fuzz.sh BUILD SECONDS PARALLEL TARGET...
# Runs each fuzz target of BUILD (a build with -DMIRABOU_FUZZ=ON) for SECONDS
# from its seed corpus in fuzz/corpus/<target>, PARALLEL of them at a time.
# New inputs gather in BUILD/corpus/<target>, findings in BUILD/findings.
# Fails when any target finds a fault.
set -u
cd "$(dirname "$0")/.."
build=$1 seconds=$2 parallel=$3
shift 3
mkdir -p "$build/findings"
run() {
    local target=$1 dict=()
    [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
    mkdir -p "$build/corpus/$target"
    LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0 \
        "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" "${dict[@]}" \
        "$build/corpus/$target" "fuzz/corpus/$target" > "$build/$target.log" 2>&1
    local rc=$?
    echo "$target: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/$target.log" |
        grep -o '[0-9]*$') runs in ${seconds} s, $( [ $rc = 0 ] && echo no finding || echo FAULT)"
    [ $rc = 0 ] || tail -n 40 "$build/$target.log"
    return $rc
}
rc=0
pids=()
for target in "$@"; do
    run "$target" &
    pids+=($!)
    if [ ${#pids[@]} -ge "$parallel" ]; then
        wait "${pids[0]}" || rc=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do wait "$pid" || rc=1; done
exit $rc
