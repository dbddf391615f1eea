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

export CANBERRA_DRIVER=pulse
source "$here/sink_recording.sh"
record_sink "$outdir"

export AMPERO_COMPLETION_FILE="$outdir/completed-at-ms"
mkdir -m 700 "$outdir/runtime"
XDG_RUNTIME_DIR="$outdir/runtime" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 \
    xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -dpi 96" "$program"

python3 "$here/alert_onsets.py" "$recording" "$recording_start" "$(cat "$AMPERO_COMPLETION_FILE")"
