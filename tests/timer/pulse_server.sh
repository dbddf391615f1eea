#!/usr/bin/env bash
# A private PulseAudio server with one null sink, "alerts", for the sound tests.
#   pulse_server.sh start DIR OWNER_PID   start it, its socket at DIR/native, and wait until
#                                         it answers; it is stopped when OWNER_PID ends
#   pulse_server.sh stop DIR              stop it and wait until it has gone
# Clients reach it with PULSE_SERVER=unix:DIR/native. It runs as root too, with a warning;
# its runtime folder and home are inside DIR, so it meets no other server.
set -euo pipefail
command=$1
dir=$2

case $command in
start)
    owner=$3
    mkdir -p "$dir/runtime"
    chmod 700 "$dir/runtime"
    rm -f "$dir/native"
    XDG_RUNTIME_DIR="$dir/runtime" HOME="$dir" \
        pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no \
        --log-target=stderr \
        -L "module-null-sink sink_name=alerts" \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
        </dev/null >>"$dir/pulseaudio.log" 2>&1 &
    server=$!
    echo "$server" >"$dir/pulseaudio.pid"
    # Should the owner die without stopping the server, the server goes too.
    (
        while kill -0 "$owner" 2>/dev/null && kill -0 "$server" 2>/dev/null; do sleep 1; done
        kill "$server" 2>/dev/null || true
    ) </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do
        if PULSE_SERVER="unix:$dir/native" pactl info >/dev/null 2>&1; then
            exit 0
        fi
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    echo "PulseAudio did not start:" >&2
    cat "$dir/pulseaudio.log" >&2
    exit 1
    ;;
stop)
    server=$(cat "$dir/pulseaudio.pid")
    kill "$server" 2>/dev/null || true
    for _ in $(seq 100); do
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$dir/pulseaudio.pid"
    ;;
*)
    echo "usage: $0 start DIR OWNER_PID | stop DIR" >&2
    exit 2
    ;;
esac
