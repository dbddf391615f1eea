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

source "$here/../timer/sink_recording.sh"
# Wine's PulseAudio driver now and then drops a stream on a loaded machine; a second run
# tells such a dropout from a fault of the program's, which fails both.
for attempt in 1 2; do
    sound="$state/timer-sound-$attempt"
    rm -rf "$sound"
    mkdir -p "$sound"
    record_sink "$sound"
    status=0
    run_driver | tee "$sound/driver.log" || status=$?
    moment() { sed -n "s/^$1=//p" "$sound/driver.log"; }
    python3 "$here/../timer/alert_onsets.py" "$recording" "$recording_start" \
        "$(moment completed_at_ms)" "$(moment closed_at_ms)" || status=1
    stop_recording
    [ "$status" -ne 0 ] || exit 0
done
exit "$status"
