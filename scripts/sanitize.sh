#!/usr/bin/env bash
# Memory and undefined-behaviour checks:
#   1. the whole test suite built with AddressSanitizer + UndefinedBehaviorSanitizer (build-asan,
#      -DZT_SANITIZE=ON), Qt tests included (offscreen);
#   2. the core test programs (everything without Qt) under valgrind memcheck, from a plain build
#      (build-qual).
# Prints one line per part and ends with status 1 when anything was found.
#
#   scripts/sanitize.sh              both parts
#   scripts/sanitize.sh asan         only the sanitizer build
#   scripts/sanitize.sh valgrind     only valgrind
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
asan_dir=${ASAN_BUILD_DIR:-$root/build-asan}
plain_dir=${VALGRIND_BUILD_DIR:-$root/build-qual}
jobs=${JOBS:-2}
what=${1:-all}
core_tests=(zt_app_tests zt_link_tests zt_i18n_tests zt_encode_tests zt_read_tests zt_sim_tests zt_fuzz_tests
            zt_fault_tests)
status=0
summary=()

if [ "$what" = all ] || [ "$what" = asan ]; then
    cmake -S "$root" -B "$asan_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT_SANITIZE=ON >/dev/null
    if ! cmake --build "$asan_dir" -j"$jobs" >"$asan_dir/build.log" 2>&1; then
        grep -E 'error|FAILED' "$asan_dir/build.log" | head -20 >&2
        echo "the sanitizer build failed (log: $asan_dir/build.log)" >&2
        exit 1
    fi
    # Leaks inside the system's graphics and font libraries are theirs, not ours (Qt keeps the font
    # engines of a shown tooltip in caches it never frees).
    cat >"$asan_dir/lsan.supp" <<'SUPP'
leak:libQt6Gui.so
leak:libfreetype.so
leak:libharfbuzz.so
leak:libfontconfig
leak:libdbus
leak:libglib
leak:libgobject
leak:libX11
leak:libxcb
SUPP
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    export LSAN_OPTIONS=suppressions=$asan_dir/lsan.supp
    export QT_QPA_PLATFORM=offscreen
    log=$asan_dir/sanitize.log
    start=$SECONDS
    rc=0
    ctest --test-dir "$asan_dir" -j"$jobs" --timeout 900 --output-on-failure >"$log" 2>&1 || rc=$?
    result=$(grep -E '^[0-9]+% tests passed' "$log" || echo "no result")
    findings=$(grep -cE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$log" || true)
    summary+=("ASan+UBSan, whole suite: $result; sanitizer reports: $findings; $((SECONDS - start)) s; log $log")
    if [ "$rc" != 0 ] || [ "$findings" != 0 ]; then
        status=1
        grep -E '^\s+[0-9]+ - ' "$log" | sed 's/^/    failed: /' >&2 || true
    fi
fi

if [ "$what" = all ] || [ "$what" = valgrind ]; then
    command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)" >&2; exit 1; }
    cmake -S "$root" -B "$plain_dir" -G Ninja >/dev/null
    if ! cmake --build "$plain_dir" -j"$jobs" --target "${core_tests[@]}" >"$plain_dir/build.log" 2>&1; then
        grep -E 'error|FAILED' "$plain_dir/build.log" | head -20 >&2
        echo "the build for valgrind failed (log: $plain_dir/build.log)" >&2
        exit 1
    fi
    log=$plain_dir/valgrind.log
    : >"$log"
    bad=()
    start=$SECONDS
    for t in "${core_tests[@]}"; do
        rc=0
        (cd "$plain_dir/bin" && ZT_BIN_DIR=$plain_dir/bin ZT_SOURCE_DIR=$root \
            valgrind --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect \
                     --errors-for-leak-kinds=definite,indirect --track-origins=yes \
                     "./$t" --gtest_brief=1) >>"$log" 2>&1 || rc=$?
        [ "$rc" != 0 ] && bad+=("$t($rc)")
    done
    errors=$(grep -E '== ERROR SUMMARY' "$log" | awk '{s += $4} END {print s + 0}')
    if [ ${#bad[@]} -eq 0 ]; then
        summary+=("valgrind memcheck, ${#core_tests[@]} core test programs: clean (0 errors, no leaks); $((SECONDS - start)) s; log $log")
    else
        status=1
        summary+=("valgrind memcheck: $errors errors; failing: ${bad[*]}; $((SECONDS - start)) s; log $log")
    fi
fi

printf '%s\n' "${summary[@]}"
exit $status
