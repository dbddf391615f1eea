#!/usr/bin/env python3
"""Records the benchmark's null sink and tells when each alert started.

Usage: record_alerts.py SECONDS   (PULSE_SERVER names the server; the sink is "bench")

Prints one line per event, times on CLOCK_MONOTONIC in milliseconds:
  stream T   a client opened a playback stream (pactl subscribe: new sink-input)
  onset T    an alert became audible in the sink: after at least 150 ms below -40 dBFS,
             the first sample above it, of a rise that reaches -24 dBFS
The recording is placed on the clock by the arrival of its chunks: the first sample was
taken no later than any chunk's arrival less the duration of everything before it, and
the earliest such bound is taken.
"""
import array
import subprocess
import sys
import threading
import time

RATE = 44100
LOUD = 2000  # -24 dBFS
QUIET = 300  # -40 dBFS
QUIET_BEFORE = int(0.150 * RATE)


def now_ms():
    return time.monotonic() * 1000


def watch_streams(process, streams):
    for line in process.stdout:
        if "'new' on sink-input" in line:
            streams.append(now_ms())


def main():
    seconds = float(sys.argv[1])
    streams = []
    subscriber = subprocess.Popen(["pactl", "subscribe"], stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL, text=True)
    threading.Thread(target=watch_streams, args=(subscriber, streams), daemon=True).start()
    recorder = subprocess.Popen(
        ["parec", "--device=bench.monitor", "--raw", "--format=s16le", "--rate=44100",
         "--channels=1", "--latency-msec=5"],
        stdout=subprocess.PIPE)

    samples = array.array("h")
    first_sample_ms = float("inf")
    end = now_ms() + seconds * 1000
    while now_ms() < end:
        chunk = recorder.stdout.read1(4096)
        if not chunk:
            break
        arrived = now_ms()
        samples.frombytes(chunk[: len(chunk) // 2 * 2])
        first_sample_ms = min(first_sample_ms, arrived - len(samples) * 1000 / RATE)
    recorder.terminate()
    subscriber.terminate()
    if sys.byteorder != "little":
        samples.byteswap()

    # Armed by 150 ms of quiet; the alert starts at the first sample above the quiet level
    # and counts once it reaches the loud level.
    quiet_run = 0
    armed = False
    rise = None
    for index, sample in enumerate(samples):
        level = abs(sample)
        if level < QUIET:
            quiet_run += 1
            if quiet_run >= QUIET_BEFORE:
                armed, rise = True, None
            continue
        quiet_run = 0
        if armed and rise is None:
            rise = index
        if armed and level >= LOUD:
            print(f"onset {first_sample_ms + rise * 1000 / RATE:.3f}")
            armed, rise = False, None
    for stream in streams:
        print(f"stream {stream:.3f}")


if __name__ == "__main__":
    main()
