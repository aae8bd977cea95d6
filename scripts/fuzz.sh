#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (ASan + UBSan) into build-fuzz and runs each one for a
# number of inputs, then prints one line per harness: inputs run, speed, coverage, corpus, memory and
# the outcome. A crash, leak or undefined behaviour stops that harness; its input is kept under
# build-fuzz/artifacts/ and the script ends with status 1.
#
#   scripts/fuzz.sh                      every harness, 10 000 000 inputs each
#   scripts/fuzz.sh -n 100000 rx lang    two harnesses, 100 000 inputs each
#   scripts/fuzz.sh -t 600               at most ten minutes per harness
#   scripts/fuzz.sh -j 2                 two harnesses at a time
#   scripts/fuzz.sh -r                   only print the table of the last runs (also while running)
#
# The committed seeds (fuzz/corpus/<name>) are copied into a work corpus (build-fuzz/corpus/<name>),
# so a run never changes the tree. -m merges the inputs that found new coverage back into the seeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
runs=10000000
max_time=0
jobs=1
merge=0
report_only=0
all=(rx lang trama carddata simframe contents)

while getopts "n:t:j:mrh" opt; do
    case $opt in
        n) runs=$OPTARG ;;
        t) max_time=$OPTARG ;;
        j) jobs=$OPTARG ;;
        m) merge=1 ;;
        r) report_only=1 ;;
        *) sed -n '2,17p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=("${all[@]}")

report() {
    local status=0 h log rc secs units speed rss last cov ft outcome what artifact
    printf '\n%-10s %12s %9s %8s %7s %9s %8s  %s\n' harness inputs seconds exec/s cov features rss_MB outcome
    for h in "$@"; do
        log=$build/logs/$h.log
        [ -f "$log" ] || { printf '%-10s %s\n' "$h" "not run"; continue; }
        if [ -f "$build/logs/$h.result" ] && [ "$build/logs/$h.result" -nt "$log" -o ! -s "$log" ]; then
            read -r rc secs <"$build/logs/$h.result"
        elif grep -aq '^Done [0-9]* runs' "$log"; then
            rc=0 secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
        elif grep -aqE 'ERROR: |runtime error|deadly signal' "$log"; then
            rc=1 secs=-
        else
            rc=running secs=-
        fi
        units=$(grep -a 'stat::number_of_executed_units' "$log" | awk '{print $2}' | tail -1 || true)
        speed=$(grep -a 'stat::average_exec_per_sec' "$log" | awk '{print $2}' | tail -1 || true)
        rss=$(grep -a 'stat::peak_rss_mb' "$log" | awk '{print $2}' | tail -1 || true)
        last=$(grep -aE '^#[0-9]+' "$log" | tail -1 || true)
        cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
        ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
        if [ "$rc" = running ]; then
            units=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<<"$last")
            outcome="still running"
        elif [ "$rc" = 0 ]; then
            outcome="clean (no crash, leak or UB)"
        else
            status=1
            what=$(grep -aE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error|^(rx|lang|trama|carddata|simframe|contents): ' \
                   "$log" | head -1 || true)
            artifact=$(grep -a 'Test unit written to' "$log" | sed 's/.*written to //' | tail -1 || true)
            outcome="FAILED: ${what:-exit $rc} ${artifact:+-> $artifact}"
        fi
        printf '%-10s %12s %9s %8s %7s %9s %8s  %s\n' "$h" "${units:--}" "${secs:--}" "${speed:--}" "${cov:--}" \
            "${ft:--}" "${rss:--}" "$outcome"
    done
    echo "logs: $build/logs/"
    return $status
}

if [ $report_only = 1 ]; then
    report "${harnesses[@]}"
    exit $?
fi

command -v clang++ >/dev/null || { echo "fuzz.sh needs clang (apt-get install clang)" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZT_BUILD_FUZZ=ON -DZT_BUILD_TESTS=OFF -DZT_BUILD_GUI=OFF >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("${h}_fuzz"); done
mkdir -p "$build"
if ! cmake --build "$build" -j"${JOBS:-2}" --target "${targets[@]}" >"$build/build.log" 2>&1; then
    grep -E 'error|FAILED' "$build/build.log" | head -20 >&2
    echo "the fuzz build failed (log: $build/build.log)" >&2
    exit 1
fi

# Allocation stacks are cut to 10 frames: unwinding 30 on every allocation took a tenth of the time.
# A kept input can be run again with the default to see the whole stack.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:allocator_may_return_null=0:malloc_context_size=10}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

max_len() {
    case $1 in
        lang) echo 16384 ;;     # a language file of a few hundred messages
        simframe) echo 2048 ;;  # the reader's drain time covers this much traffic at 9600 baud
        *) echo 4096 ;;
    esac
}

run_one() {
    local h=$1
    local work=$build/corpus/$h log=$build/logs/$h.log
    mkdir -p "$work" "$build/logs" "$build/artifacts"
    cp -n "$root/fuzz/corpus/$h/"* "$work/" 2>/dev/null || true
    local args=(-runs="$runs" -max_len="$(max_len "$h")" -print_final_stats=1 -detect_leaks=1 -reload=0
                -artifact_prefix="$build/artifacts/$h-")
    [ "$max_time" != 0 ] && args+=(-max_total_time="$max_time")
    [ -f "$root/fuzz/dict/$h.dict" ] && args+=(-dict="$root/fuzz/dict/$h.dict")
    local start=$SECONDS rc=0
    "$build/bin/${h}_fuzz" "${args[@]}" "$work" >"$log" 2>&1 || rc=$?
    echo "$rc $((SECONDS - start))" >"$build/logs/$h.result"
    if [ "$merge" = 1 ] && [ "$rc" = 0 ]; then
        "$build/bin/${h}_fuzz" -merge=1 -max_len="$(max_len "$h")" "$root/fuzz/corpus/$h" "$work" \
            >>"$log" 2>&1 || true
    fi
}

pids=()
for h in "${harnesses[@]}"; do
    run_one "$h" &
    pids+=($!)
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
done
wait

report "${harnesses[@]}"
