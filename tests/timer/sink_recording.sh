# Sourced by the real-time timer tests: records the "alerts" null sink of the PulseAudio
# server in PULSE_SERVER into RECORDING (raw signed 16-bit mono at 44100 Hz), and sets
# recording_start to the wall-clock time of its first sample. The players it starts are
# added to the caller's players array, for the caller to stop.
#   record_sink RECORDING
record_sink() {
    recording=$1
    # An idle null sink records nothing: keep silence playing into it so that its monitor
    # delivers a steady stream, with the alerts mixed in.
    pacat --raw --format=s16le --rate=44100 --channels=2 --device=alerts /dev/zero &
    players+=($!)
    parecord --raw --format=s16le --rate=44100 --channels=1 --latency-msec=20 \
        --device=alerts.monitor "$recording" &
    players+=($!)

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
