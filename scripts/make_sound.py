#!/usr/bin/env python3
"""Writes data/suono.wav: a soft two-tone chime, mono, 16 bit, 22050 Hz, under one second."""
import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050
LENGTH = 0.9  # seconds

# (start in seconds, fundamental in Hz, loudness)
TONES = [(0.0, 880.0, 0.55), (0.22, 659.25, 0.6)]
# Bell-like partials: (multiple of the fundamental, relative loudness, decay per second)
PARTIALS = [(1.0, 1.0, 4.5), (2.0, 0.25, 7.0), (3.0, 0.08, 10.0)]
ATTACK = 0.008


def sample(t):
    value = 0.0
    for start, frequency, loudness in TONES:
        local = t - start
        if local < 0:
            continue
        attack = min(1.0, local / ATTACK)
        for multiple, weight, decay in PARTIALS:
            value += (loudness * weight * attack * math.exp(-decay * local)
                      * math.sin(2 * math.pi * frequency * multiple * local))
    # A short fade at the very end so the file never stops on a click.
    fade = min(1.0, (LENGTH - t) / 0.05)
    return value * fade


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent.parent / "data" / "suono.wav"
    count = int(RATE * LENGTH)
    samples = [sample(i / RATE) for i in range(count)]
    peak = max(abs(s) for s in samples)
    scale = 0.5 * 32767 / peak  # about -6 dB: pleasant, not startling
    frames = b"".join(struct.pack("<h", int(round(s * scale))) for s in samples)
    with wave.open(str(out), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


if __name__ == "__main__":
    main()
