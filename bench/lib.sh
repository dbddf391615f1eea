# Shared by the benchmark scripts: the build, a private X server and the statistics.
# Sourced, not run.

bench_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench_dir="$bench_root/build/bench"
ampero="$bench_dir/ampero"
reference="$bench_dir/bench/bench_reference"
launch="$bench_dir/bench/bench_launch"

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

# Warns when other work on the machine may distort the figures.
bench_check_load() {
    local load
    load=$(cut -d' ' -f1 /proc/loadavg)
    if awk -v load="$load" 'BEGIN { exit !(load >= 0.5) }'; then
        echo "note: load average $load; figures may be inflated by other work" >&2
    fi
}
