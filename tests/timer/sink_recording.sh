# Sourced by the real-time timer tests: starts a private PulseAudio server in FOLDER (its
# address in PULSE_SERVER) and records its "alerts" null sink into FOLDER/sink.raw (raw
# signed 16-bit mono at 44100 Hz), setting recording to that file and recording_start to
# the wall-clock time of its first sample. Everything it starts stops when the caller's
# shell exits.
#   record_sink FOLDER
record_sink() {
    recording_folder=$1
    recording_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)"
    recording_players=()
    trap stop_recording EXIT
    "$recording_scripts/pulse-server" start "$recording_folder/pulse" alerts $$
    export PULSE_SERVER="unix:$recording_folder/pulse/native"

    recording="$recording_folder/sink.raw"
    # An idle null sink records nothing: keep silence playing into it so that its monitor
    # delivers a steady stream, with the alerts mixed in.
    pacat --raw --format=s16le --rate=44100 --channels=2 --device=alerts /dev/zero &
    recording_players+=($!)
    parecord --raw --format=s16le --rate=44100 --channels=1 --latency-msec=20 \
        --device=alerts.monitor "$recording" &
    recording_players+=($!)

    # A new sink delivers nothing for its first seconds. Once the recording has grown past
    # that, its length at a known moment tells when its first sample was taken.
    local bytes_per_second=$((44100 * 2)) now recorded
    for _ in $(seq 100); do
        [ "$(stat -c %s "$recording" 2>/dev/null || echo 0)" -gt $((bytes_per_second * 3)) ] && break
        sleep 0.1
    done
    now=$(date +%s.%N)
    recorded=$(stat -c %s "$recording")
    [ "$recorded" -gt $((bytes_per_second * 3)) ] || { echo "the sink's monitor records nothing"; return 1; }
    recording_start=$(python3 -c "print($now - $recorded / $bytes_per_second)")
}

stop_recording() {
    for pid in "${recording_players[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${recording_players[@]}"; do wait "$pid" 2>/dev/null || true; done
    "$recording_scripts/pulse-server" stop "$recording_folder/pulse" || true
}
