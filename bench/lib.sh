# Shared by the benchmark scripts: the build, a private X server and the statistics.
# Sourced, not run.

bench_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench_dir="$bench_root/build/bench"
ampero="$bench_dir/ampero"
reference="$bench_dir/bench/bench_reference"
launch="$bench_dir/bench/bench_launch"
drive="$bench_dir/bench/bench_drive"

# Builds the optimised program and the benchmark tools quietly.
bench_build() {
    (cd "$bench_root" && cmake --preset bench >/dev/null && cmake --build --preset bench >/dev/null)
}

# Starts an Xvfb server at 96 DPI on a free display and gives every program run from
# here the same small environment. Everything started is stopped when the script exits.
bench_start_x() {
    bench_tmp=$(mktemp -d)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$bench_tmp/display" \
        >"$bench_tmp/xvfb.log" 2>&1 &
    bench_xvfb=$!
    trap 'bench_cleanup' EXIT
    for _ in $(seq 100); do
        [ -s "$bench_tmp/display" ] && break
        sleep 0.05
    done
    [ -s "$bench_tmp/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
    mkdir -m 700 "$bench_tmp/runtime"
    bench_env=(env -i PATH="$PATH" HOME="$bench_tmp" DISPLAY=":$(cat "$bench_tmp/display")"
        XDG_RUNTIME_DIR="$bench_tmp/runtime" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb)
}

bench_cleanup() {
    local pid
    for pid in ${bench_children[@]+"${bench_children[@]}"}; do
        kill "$pid" 2>/dev/null || true
    done
    bench_stop_pulse
    kill "$bench_xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$bench_tmp"
}

# "min median max" of the numbers in a file, one a line, with DECIMALS decimals (1).
bench_stats() {
    sort -g "$1" | awk -v decimals="${2:-1}" '{ v[NR] = $1 } END {
        median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        format = "%." decimals "f"
        printf format " " format " " format "\n", v[1], median, v[NR] }'
}

# bench_interleave RUNS MEASURE NAME PROGRAM [NAME PROGRAM...]: one untimed run of each
# fills the page cache; then RUNS rounds, each starting with the program after the one the
# last round started with. MEASURE PROGRAM prints one figure a run, collected in
# $bench_tmp/NAME, a line a round.
bench_interleave() {
    local runs=$1 measure=$2 names=() programs=() round step index
    shift 2
    while [ $# -gt 0 ]; do
        names+=("$1")
        programs+=("$2")
        shift 2
    done
    for index in "${!programs[@]}"; do
        "$measure" "${programs[$index]}" >/dev/null
    done
    for round in $(seq "$runs"); do
        for step in "${!programs[@]}"; do
            index=$(((round + step) % ${#programs[@]}))
            "$measure" "${programs[$index]}" >>"$bench_tmp/${names[$index]}"
        done
    done
}

# The median over the rounds of A's figure over B's in the same round, from the files
# bench_interleave wrote: steadier than the ratio of medians when the machine's speed
# drifts during the runs.
bench_paired_ratio() {
    paste "$1" "$2" | awk '{ print $1 / $2 }' >"$bench_tmp/paired"
    bench_stats "$bench_tmp/paired" 2 | cut -d' ' -f2
}

# A / B with two decimals.
bench_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# CLOCK_MONOTONIC in milliseconds, the clock bench_drive reports.
bench_now() { python3 -c 'import time; print(f"{time.monotonic() * 1000:.3f}")'; }

# The load average over the last minute: wall-clock figures are given with it.
bench_load() { cut -d' ' -f1 /proc/loadavg; }

# Warns when other work on the machine may distort the figures.
bench_check_load() {
    local load
    load=$(bench_load)
    if awk -v load="$load" 'BEGIN { exit !(load >= 0.5) }'; then
        echo "note: load average $load; figures may be inflated by other work" >&2
    fi
}

# A private PulseAudio server with one null sink, "bench", whose socket every program run
# from here is given. Silence is kept playing into the sink, as a sound card's stream
# would be: an idle null sink's monitor delivers nothing to record.
bench_start_pulse() {
    bench_pulse_dir="$bench_tmp/pulse"
    bench_env+=(PULSE_SERVER="unix:$bench_pulse_dir/native")
    bench_resume_pulse
}

# Starts the PulseAudio server (again, after bench_stop_pulse) and waits until it answers.
bench_resume_pulse() {
    "$bench_root/scripts/pulse-server" start "$bench_pulse_dir" bench $$
    "${bench_env[@]}" pacat --raw --format=s16le --rate=44100 --channels=1 --device=bench \
        /dev/zero 2>>"$bench_pulse_dir/silence.log" &
    bench_silence=$!
}

bench_stop_pulse() {
    [ -n "${bench_silence:-}" ] || return 0
    kill "$bench_silence" 2>/dev/null || true
    wait "$bench_silence" 2>/dev/null || true
    "$bench_root/scripts/pulse-server" stop "$bench_pulse_dir"
    bench_silence=
}

# Starts Ampero and waits for its main window: sets ampero_pid and main_window.
bench_start_ampero() {
    local out
    out=$("${bench_env[@]}" "$launch" --keep "$ampero" 2>>"$bench_tmp/ampero.log")
    ampero_pid=$(sed -n 's/^pid=\([0-9]*\) .*/\1/p' <<<"$out")
    main_window=$(sed -n 's/.* window=//p' <<<"$out")
    bench_children+=("$ampero_pid")
}

# Opens Options > Timer and waits for the charge timer window: sets timer_window. The
# menu bar is the main window's height less the designed 143-pixel client area.
bench_open_timer() {
    local height menu_bar
    height=$("${bench_env[@]}" "$drive" wait-map "$ampero_pid" "Zelbor's Battery Tools" |
        sed -n 's/.* height=\([0-9]*\) .*/\1/p')
    menu_bar=$((height - 143))
    "${bench_env[@]}" "$drive" click "$main_window" 20 $((menu_bar / 2)) >/dev/null
    sleep 0.5
    "${bench_env[@]}" "$drive" click "$main_window" 30 $((menu_bar + 10)) >/dev/null
    timer_window=$("${bench_env[@]}" timeout 10 "$drive" wait-map "$ampero_pid" "Charge Timer" |
        sed -n 's/^window=\(0x[0-9a-f]*\) .*/\1/p')
    [ -n "$timer_window" ] || { echo "the charge timer did not open" >&2; exit 1; }
}

# Types the minutes into the charge timer's box and presses "Charge Monitor"; prints the
# CLOCK_MONOTONIC time in ms at which the press reached the program.
bench_start_countdown() {
    # The box at 16,32 (65 x 19 pixels), the button at 16,56 (241 x 17 pixels).
    "${bench_env[@]}" "$drive" click "$timer_window" 48 41 >/dev/null
    "${bench_env[@]}" "$drive" type "$1" >/dev/null
    "${bench_env[@]}" "$drive" click "$timer_window" 136 64 | sed -n 's/^t=//p'
}

# One line per thread of a process: "tid cpu_ns voluntary_switches involuntary_switches
# name", the CPU time from schedstat in nanoseconds.
bench_thread_counters() {
    local task
    for task in /proc/"$1"/task/*; do
        printf '%s %s %s %s %s\n' "${task##*/}" "$(cut -d' ' -f1 "$task/schedstat")" \
            "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status")" \
            "$(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "$task/status")" \
            "$(tr ' ' _ <"$task/comm")"
    done
}

# Memory of a process: "rss_kb pss_kb uss_kb".
bench_memory_of() {
    awk '/^Rss:/ {rss = $2} /^Pss:/ {pss = $2} /^Private_(Clean|Dirty):/ {uss += $2}
         END {print rss, pss, uss}' /proc/"$1"/smaps_rollup
}
