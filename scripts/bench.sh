#!/usr/bin/env bash
# Builds with the benchmarks (build-qual, -DZT_BUILD_BENCH=ON) and prints one table: the five
# figures of the real program next to their targets. Measurements, not tests: nothing fails on a
# slow machine; the table says where a target is missed.
#
#   scripts/bench.sh           full run (about eight minutes: three 50-card batches, a 60 s wait ...)
#   scripts/bench.sh --quick   shorter waits and batches, for trying things out
#
# Last, the real program native and under wine, driven from outside (bench/driven_bench.py), where
# scripts/windows-check.sh has built zentap.exe.
#
# The batches and the idle measurement start the reader simulator on 127.0.0.1:1001; binding port
# 1001 needs root or net.ipv4.ip_unprivileged_port_start <= 1001.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD_DIR:-$root/build-qual}
quick=0
[ "${1:-}" = "--quick" ] && quick=1

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZT_BUILD_BENCH=ON -DZT_BUILD_GUI=ON >/dev/null
if ! cmake --build "$build" -j"${JOBS:-2}" --target zt_rx_bench zt_program_bench >"$build/bench-build.log" 2>&1; then
    grep -E 'error|FAILED' "$build/bench-build.log" | head -20 >&2
    echo "the benchmark build failed (log: $build/bench-build.log)" >&2
    exit 1
fi
bin=$build/bin
out=$build/bench-results.txt
: >"$out"
export QT_QPA_PLATFORM=offscreen

if [ $quick = 1 ]; then
    cards=10 lines=200000 runs=5 idle=(--quick) min_time=0.5
else
    cards=50 lines=1000000 runs=10 idle=() min_time=3
fi

echo "measuring (results also in $out) ..." >&2
"$bin/zt_program_bench" idle "${idle[@]}" >>"$out" 2>/dev/null || echo "NOTE idle measurement failed" >>"$out"
"$bin/zt_program_bench" batch --timing instant --cards $cards >>"$out" 2>/dev/null || echo "NOTE instant batch failed" >>"$out"
"$bin/zt_program_bench" batch --timing 9600 --cards $cards >>"$out" 2>/dev/null || echo "NOTE 9600 batch failed" >>"$out"
"$bin/zt_program_bench" batch --timing 9600 --cards $cards --verify >>"$out" 2>/dev/null || echo "NOTE verified 9600 batch failed" >>"$out"
"$bin/zt_program_bench" log --lines $lines >>"$out" 2>/dev/null || echo "NOTE log measurement failed" >>"$out"
"$bin/zt_program_bench" startup --runs $runs >>"$out" 2>/dev/null || echo "NOTE start-up measurement failed" >>"$out"
"$bin/zt_rx_bench" --benchmark_min_time=$min_time --benchmark_format=csv 2>/dev/null |
    awk -F, '/^"ByteByByte\/log_unobserved"/ {print "RESULT rx.unobserved_mbs", $6 / 1e6}
             /^"ByteByByte\/log_observed"/   {print "RESULT rx.observed_mbs", $6 / 1e6}
             /^"ByteByByte\/frames_ignored"/  {print "RESULT rx.ignored_mbs", $6 / 1e6}
             /^"Segments"/                   {print "RESULT rx.segments_mbs", $6 / 1e6}' >>"$out"

get() { awk -v k="$1" '$1 == "RESULT" && $2 == k {v = $3} END {print (v == "" ? "-" : v)}' "$out"; }
# Formats a value; "-" stays.
fmt() { [ "$2" = "-" ] && echo "-" || printf "$1" "$2"; }
# met? <value> <le|ge> <limit>
met() {
    [ "$1" = "-" ] && { echo "no data"; return; }
    awk -v v="$1" -v op="$2" -v l="$3" 'BEGIN {ok = op == "le" ? v <= l : v >= l; print ok ? "met" : "MISSED"}'
}

w=$(get idle.card_wait_s); tw=$(get idle.tcp_wait_s)
cw=$(get idle.card_wait_pct); tc=$(get idle.tcp_wait_pct)
pi=$(get batch.instant.per_card_s); fi_=$(get batch.instant.floor_per_card_s); ri=$(get batch.instant.ratio)
pv=$(get batch.9600.verify.per_card_s); rv=$(awk -v a="$pv" -v b="$(get batch.9600.per_card_s)" 'BEGIN {print (a == "-" || b == "-") ? "-" : a / b}')
p9=$(get batch.9600.per_card_s); f9=$(get batch.9600.floor_per_card_s); r9=$(get batch.9600.ratio)
lt=$(get log.total_s); lm=$(get log.peak_rss_mb); lf=$(get log.first_lines_us); ll=$(get log.last_lines_us)
l1=$(get log.one_more_line_us); ls=$(get log.one_more_shown_ms); ln=$(get log.lines)
le=$(get log.early_shown_ms); lel=$(get log.early_lines)
ru=$(get rx.unobserved_mbs); ro=$(get rx.observed_mbs); rs=$(get rx.segments_mbs); rg=$(get rx.ignored_mbs)
su=$(get startup.median_ms); smin=$(get startup.min_ms); smax=$(get startup.max_ms)
flat=$(awk -v a="$lf" -v b="$ll" 'BEGIN {if (a == "-" || b == "-") print "no data"; else print (b <= 2 * a ? "met" : "MISSED")}')

echo
echo "Zentap benchmarks  ($(date -u +%Y-%m-%d), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%-58s %-34s %-18s %s\n' "figure" "measured" "target" "verdict"
printf '%-58s %-34s %-18s %s\n' "1. CPU, encoding run waiting for a card (${w} s)" "$(fmt '%.3f %% of one core' "$cw")" "<= 0.5 %" "$(met "$cw" le 0.5)"
printf '%-58s %-34s %-18s %s\n' "1. CPU, TCP open waiting for its connection ($(fmt '%.0f' "$tw") s)" "$(fmt '%.3f %% of one core' "$tc")" "<= 0.5 %" "$(met "$tc" le 0.5)"
printf '%-58s %-34s %-18s %s\n' "2a. per card, $cards USUARIO BASICO, instant timing" "$(fmt '%.3f s' "$pi") (floor $(fmt '%.3f s' "$fi_"))" "ratio <= 1.02" "$(fmt '%.4f' "$ri") $(met "$ri" le 1.02)"
printf '%-58s %-34s %-18s %s\n' "2b. per card, $cards USUARIO BASICO, 9600 baud timing" "$(fmt '%.3f s' "$p9") (floor $(fmt '%.3f s' "$f9"))" "ratio <= 1.02" "$(fmt '%.4f' "$r9") $(met "$r9" le 1.02)"
printf '%-58s %-34s %-18s %s\n' "2c. per card, $cards USUARIO BASICO, 9600 baud, verified" "$(fmt '%.3f s' "$pv") (unticked $(fmt '%.3f s' "$p9"))" "report" "ratio $(fmt '%.3f' "$rv") (info)"
printf '%-58s %-34s %-18s %s\n' "3. $(fmt '%.0f' "$ln") log lines, window shown: total time" "$(fmt '%.2f s' "$lt")" "<= 3 s" "$(met "$lt" le 3)"
printf '%-58s %-34s %-18s %s\n' "3. peak memory of the process" "$(fmt '%.0f MB' "$lm")" "<= 300 MB" "$(met "$lm" le 300)"
printf '%-58s %-34s %-18s %s\n' "3. per line: first / last 50 000 lines" "$(fmt '%.2f' "$lf") / $(fmt '%.2f us' "$ll")" "constant" "$flat"
printf '%-58s %-34s %-18s %s\n' "3. one more line at the end, AddInfo alone" "$(fmt '%.1f us' "$l1")" "constant" "(info)"
shownflat=$(awk -v a="$le" -v b="$ls" 'BEGIN {if (a == "-" || b == "-") print "no data"; else print (b <= 2 * a ? "met" : "MISSED")}')
printf '%-58s %-34s %-18s %s\n' "3. one line logged and shown: after $(fmt '%.0f' "$lel") / after $(fmt '%.0f' "$ln") lines" "$(fmt '%.2f' "$le") / $(fmt '%.2f ms' "$ls")" "constant" "$shownflat"
# The log cannot be switched off in the program; "log off" is measured with answers whose code the
# decoder passes over, so that the frames are assembled, checked and handed to it but write no line.
printf '%-58s %-34s %-18s %s\n' "4. receive path, log off (checked frames, no line written)" "$(fmt '%.1f MB/s' "$rg")" ">= 100 MB/s" "$(met "$rg" ge 100)"
printf '%-58s %-34s %-18s %s\n' "4. receive path, log on, no view bound" "$(fmt '%.1f MB/s' "$ru")" "report" "(info)"
printf '%-58s %-34s %-18s %s\n' "4. receive path, log on and observed as by the window" "$(fmt '%.1f MB/s' "$ro")" "report" "(info)"
printf '%-58s %-34s %-18s %s\n' "4. receive path, log on, 1460-byte socket events" "$(fmt '%.1f MB/s' "$rs")" "report" "(info)"
printf '%-58s %-34s %-18s %s\n' "5. start-up to window shown, median of $runs" "$(fmt '%.0f ms' "$su") ($(fmt '%.0f' "$smin")-$(fmt '%.0f ms' "$smax"))" "<= 300 ms" "$(met "$su" le 300)"
grep '^NOTE' "$out" | sed 's/^NOTE /note: /' || true

# The real program measured from outside through its driver plugin, the same way for both builds:
# native zentap, and zentap.exe unpacked from the zip by scripts/windows-check.sh, under wine.
native_bin=${BUILD_DIR:-$root/build}/bin
winqt=${WIN_QT_BUILD_DIR:-$root/build-win-qt}
exe=$(ls "$winqt"/dist/unpacked/zentap-*-win64/zentap.exe 2>/dev/null | head -n 1)
if [ -x "$native_bin/zentap" ] && [ -n "$exe" ]; then
    driven=(--sim "$native_bin/zentap-reader-sim" --cards "$cards" --wait "$([ $quick = 1 ] && echo 10 || echo 60)"
            --runs "$([ $quick = 1 ] && echo 3 || echo 5)")
    QT_PLUGIN_PATH="$native_bin/plugins" python3 "$root/bench/driven_bench.py" "${driven[@]}" --label native \
        -- "$native_bin/zentap" >>"$out" 2>/dev/null || echo "NOTE native driven measurement failed" >>"$out"
    WINEPREFIX="$winqt/wine" WINEDEBUG=-all ZT_DRIVER_TIMEOUT=60 xvfb-run -a -s "-screen 0 1400x900x24" \
        python3 "$root/bench/driven_bench.py" "${driven[@]}" --label wine -- wine "$exe" >>"$out" 2>/dev/null ||
        echo "NOTE wine driven measurement failed" >>"$out"
    echo
    echo "The real program driven from outside: native against zentap.exe under wine"
    printf '%-58s %-16s %-16s %s\n' "figure" "native" "wine" "wine / native"
    for k in "startup_ms:start-up to window shown, median:%.0f ms" \
             "card_wait_cpu_pct:CPU while a run waits for a card (with wineserver):%.3f %%" \
             "per_card_s:per card, $cards USUARIO BASICO over TCP, instant:%.3f s"; do
        IFS=: read -r key what f <<<"$k"
        a=$(get "native.$key"); b=$(get "wine.$key")
        r=$(awk -v a="$a" -v b="$b" 'BEGIN {print (a == "-" || b == "-" || a == 0) ? "-" : sprintf("%.2f", b / a)}')
        printf '%-58s %-16s %-16s %s\n' "$what" "$(fmt "$f" "$a")" "$(fmt "$f" "$b")" "$r"
    done
else
    echo "note: no native or no Windows build (scripts/windows-check.sh): native against wine left out"
fi
