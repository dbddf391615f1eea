#!/usr/bin/env bash
# Runs one scenario of the Wine driver against ampero.exe on a private Xvfb server, in the
# Wine prefix of run-under-wine.sh.
#   wine-scenario.sh STATE_DIR DRIVER.exe AMPERO.exe SCENARIO [SETUP.exe]
# The timer scenario also gets a private PulseAudio server, which Wine's PulseAudio driver
# plays into; its sink is recorded throughout and the alerts found in the recording are
# checked against the moments the driver printed.
set -euo pipefail
state=$(realpath -m "$1")
driver=$2
ampero=$3
scenario=$4
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

# Wine's drive Z: is the root folder.
windows_path() { local path; path=$(realpath "$1") && echo "Z:${path//\//\\}"; }

arguments=("$(windows_path "$ampero")" "$scenario")
[ $# -lt 5 ] || arguments+=("$(windows_path "$5")")
run_driver() { "$here/run-under-wine.sh" --display "$state" "$driver" "${arguments[@]}"; }

if [ "$scenario" != timer ]; then
    run_driver
    exit
fi

sound="$state/timer-sound"
rm -rf "$sound"
mkdir -p "$sound"
players=()
cleanup() {
    for pid in ${players[@]+"${players[@]}"}; do kill "$pid" 2>/dev/null || true; done
    for pid in ${players[@]+"${players[@]}"}; do wait "$pid" 2>/dev/null || true; done
    "$here/../timer/pulse_server.sh" stop "$sound/pulse" || true
}
trap cleanup EXIT
"$here/../timer/pulse_server.sh" start "$sound/pulse" $$
export PULSE_SERVER="unix:$sound/pulse/native"

# An idle null sink records nothing: silence kept playing into it gives a steady stream.
pacat --raw --format=s16le --rate=44100 --channels=2 --device=alerts /dev/zero &
players+=($!)
recording="$sound/sink.raw"
parecord --raw --format=s16le --rate=44100 --channels=1 --latency-msec=20 \
    --device=alerts.monitor "$recording" &
players+=($!)
# The recording's length at a known moment, once past the sink's silent start, tells when
# its first sample was taken.
bytes_per_second=$((44100 * 2))
for _ in $(seq 100); do
    [ "$(stat -c %s "$recording" 2>/dev/null || echo 0)" -gt $((bytes_per_second * 3)) ] && break
    sleep 0.1
done
now=$(date +%s.%N)
recorded=$(stat -c %s "$recording")
[ "$recorded" -gt $((bytes_per_second * 3)) ] || { echo "the sink's monitor records nothing"; exit 1; }
recording_start=$(python3 -c "print($now - $recorded / $bytes_per_second)")

status=0
run_driver | tee "$sound/driver.log" || status=$?
moment() { sed -n "s/^$1=//p" "$sound/driver.log"; }
python3 "$here/../timer/alert_onsets.py" "$recording" "$recording_start" \
    "$(moment completed_at_ms)" "$(moment closed_at_ms)" || status=1
exit "$status"
