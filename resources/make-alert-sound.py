#!/usr/bin/env python3
"""Writes alert.wav: one bright chime strike, 0.7 s, 44.1 kHz mono 16-bit PCM.

A struck E6 (1318.5 Hz) with two overtones that die away faster than the fundamental,
so the sound starts sharp and rings out; the ear is most sensitive around these
frequencies, which helps the alert carry across a room. It is silent well before the
next alert a second later. Usage: resources/make-alert-sound.py [OUTPUT]
"""
import math
import struct
import sys
import wave

RATE = 44100
LENGTH_S = 0.7
ATTACK_S = 0.004
RELEASE_S = 0.05
PEAK = 0.7  # -3 dBFS
FUNDAMENTAL_HZ = 1318.5
# (multiple of the fundamental, relative amplitude, decay time constant in seconds)
PARTIALS = [(1.0, 1.0, 0.20), (2.0, 0.45, 0.10), (3.0, 0.2, 0.06)]


def sample(t):
    value = sum(
        amplitude * math.exp(-t / decay) * math.sin(2 * math.pi * FUNDAMENTAL_HZ * multiple * t)
        for multiple, amplitude, decay in PARTIALS
    )
    envelope = min(1.0, t / ATTACK_S, (LENGTH_S - t) / RELEASE_S)
    return value * envelope


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "alert.wav"
    samples = [sample(n / RATE) for n in range(int(LENGTH_S * RATE))]
    scale = PEAK / max(abs(s) for s in samples)
    frames = b"".join(struct.pack("<h", round(s * scale * 32767)) for s in samples)
    with wave.open(output, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


if __name__ == "__main__":
    main()
