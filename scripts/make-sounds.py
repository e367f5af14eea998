#!/usr/bin/env python3
"""Writes the program's three prompt sounds (16-bit mono WAV) into resources/sounds/.

101: a download came back as a web page (two rising notes).
102: the scheduler stopped (three falling notes).
103: a download failed (a low double buzz).
"""
import math
import os
import struct
import wave

RATE = 22050


def tone(freq, seconds, volume=0.5, square=False):
    n = int(RATE * seconds)
    out = []
    for i in range(n):
        t = i / RATE
        v = math.sin(2 * math.pi * freq * t)
        if square:
            v = 0.6 if v >= 0 else -0.6
        # short fade in and out so the notes do not click
        env = min(1.0, i / (RATE * 0.01), (n - i) / (RATE * 0.02))
        out.append(v * volume * env)
    return out


def silence(seconds):
    return [0.0] * int(RATE * seconds)


SOUNDS = {
    101: tone(660, 0.12) + silence(0.03) + tone(990, 0.18),
    102: tone(880, 0.12) + silence(0.03) + tone(660, 0.12) + silence(0.03) + tone(440, 0.22),
    103: tone(180, 0.16, 0.35, True) + silence(0.06) + tone(180, 0.22, 0.35, True),
}


def main():
    folder = os.path.join(os.path.dirname(__file__), "..", "resources", "sounds")
    os.makedirs(folder, exist_ok=True)
    for sound_id, samples in SOUNDS.items():
        with wave.open(os.path.join(folder, f"{sound_id}.wav"), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))


if __name__ == "__main__":
    main()
