#!/usr/bin/env bash
# Runs the real-time charge timer test on its own Xvfb and PulseAudio servers, records the
# audio sink throughout, then finds the alerts in the recording and checks their timing.
# Usage: realtime.sh TEST_PROGRAM OUTDIR (run from the folder that holds alert.wav)
set -euo pipefail
program=$1
outdir=$2
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
rm -rf "$outdir"
mkdir -p "$outdir"

players=()
cleanup() {
    for pid in "${players[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${players[@]}"; do wait "$pid" 2>/dev/null || true; done
    "$here/pulse_server.sh" stop "$outdir/pulse" || true
}
trap cleanup EXIT

"$here/pulse_server.sh" start "$outdir/pulse" $$
export PULSE_SERVER="unix:$outdir/pulse/native"
export CANBERRA_DRIVER=pulse

# An idle null sink records nothing: keep silence playing into it so that its monitor
# delivers a steady stream, with the alerts mixed in.
pacat --raw --format=s16le --rate=44100 --channels=2 --device=alerts /dev/zero &
players+=($!)
recording="$outdir/sink.raw"
parecord --raw --format=s16le --rate=44100 --channels=1 --latency-msec=20 \
    --device=alerts.monitor "$recording" &
players+=($!)

# A new sink delivers nothing for its first seconds. Once the recording has grown past
# that, its length at a known moment tells when its first sample was taken.
bytes_per_second=$((44100 * 2))
for _ in $(seq 100); do
    [ "$(stat -c %s "$recording" 2>/dev/null || echo 0)" -gt $((bytes_per_second * 3)) ] && break
    sleep 0.1
done
now=$(date +%s.%N)
recorded=$(stat -c %s "$recording")
[ "$recorded" -gt $((bytes_per_second * 3)) ] || { echo "the sink's monitor records nothing"; exit 1; }
recording_start=$(python3 -c "print($now - $recorded / $bytes_per_second)")

export AMPERO_COMPLETION_FILE="$outdir/completed-at-ms"
mkdir -m 700 "$outdir/runtime"
XDG_RUNTIME_DIR="$outdir/runtime" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
    xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -dpi 96" "$program"

python3 "$here/alert_onsets.py" "$recording" "$recording_start" "$(cat "$AMPERO_COMPLETION_FILE")"
