#!/usr/bin/env python3
"""Finds the alerts in a recording of the sound card and checks their timing.

Usage: alert_onsets.py RECORDING RECORDING_START_S COMPLETED_AT_MS [CLOSED_AT_MS]
  RECORDING          raw signed 16-bit little-endian mono samples at 44100 Hz
  RECORDING_START_S  wall-clock time of the recording's first sample, in seconds
  COMPLETED_AT_MS    wall-clock time the window turned "Charge Complete", in milliseconds
  CLOSED_AT_MS       wall-clock time the window was closed, in milliseconds; if given, no
                     alert may start later than CLOSE_SLACK_S after it

An alert starts where the level rises above -30 dBFS after at least 150 ms below -45
dBFS. Expected: no alert before completion; in the 5.5 seconds after it, an alert about
every second, the first about a second after completion. Prints what it found.
"""
import array
import math
import sys

RATE = 44100
WINDOW = RATE // 200  # 5 ms
LOUD_DBFS = -30.0
QUIET_DBFS = -45.0
QUIET_BEFORE_S = 0.150
WATCH_S = 5.5
CLOSE_SLACK_S = 0.25


def levels(samples):
    for start in range(0, len(samples) - WINDOW + 1, WINDOW):
        window = samples[start : start + WINDOW]
        rms = math.sqrt(sum(s * s for s in window) / WINDOW) / 32768
        yield start / RATE, 20 * math.log10(rms) if rms > 0 else -120.0


def onsets(samples):
    found = []
    armed = False  # quiet long enough for the next loud window to start an alert
    quiet_since = None
    for t, level in levels(samples):
        if level < QUIET_DBFS:
            if quiet_since is None:
                quiet_since = t
            armed = armed or t - quiet_since >= QUIET_BEFORE_S
        else:
            quiet_since = None
            if level >= LOUD_DBFS and armed:
                found.append(t)
                armed = False
    return found


def main():
    recording, start_s, completed_ms = sys.argv[1], float(sys.argv[2]), int(sys.argv[3])
    samples = array.array("h")
    with open(recording, "rb") as f:
        samples.frombytes(f.read())
    if sys.byteorder != "little":
        samples.byteswap()
    completed_s = completed_ms / 1000 - start_s
    print(f"recording: {len(samples) / RATE:.1f} s; completion at {completed_s:.3f} s into it")

    after = [t - completed_s for t in onsets(samples)]
    early = [t for t in after if t < 0]
    watched = [t for t in after if 0 <= t <= WATCH_S]
    intervals = [b - a for a, b in zip(watched, watched[1:])]
    print("alerts after completion (ms):", " ".join(f"{t * 1000:.0f}" for t in watched))
    print("intervals between alerts (ms):", " ".join(f"{d * 1000:.0f}" for d in intervals))
    if intervals:
        print(
            f"interval mean {sum(intervals) / len(intervals) * 1000:.1f} ms, "
            f"min {min(intervals) * 1000:.0f} ms, max {max(intervals) * 1000:.0f} ms"
        )

    problems = []
    if len(sys.argv) > 4:
        closed_s = int(sys.argv[4]) / 1000 - start_s
        late = [t for t in after if t + completed_s > closed_s + CLOSE_SLACK_S]
        print(f"alerts after the window closed: {len(late)}")
        if late:
            problems.append(f"{len(late)} alert(s) after the window closed")
    if early:
        problems.append(f"{len(early)} alert(s) before completion")
    if len(watched) < 5:
        problems.append(f"{len(watched)} alerts in the {WATCH_S} s after completion")
    elif not 0.5 <= watched[0] <= 2.0:
        problems.append(f"first alert {watched[0] * 1000:.0f} ms after completion")
    problems += [f"interval {d * 1000:.0f} ms" for d in intervals if not 0.75 <= d <= 1.25]
    for problem in problems:
        print("FAIL:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
