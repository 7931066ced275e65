#!/usr/bin/env python3
"""Synthesizes the three short IME-on sounds into app/res/*.wav.

nya: a rising then falling glide, kachi: two dry clicks, pi: a short beep.
8-bit mono PCM at 11025 Hz keeps them small. Deterministic output.
"""
import math
import os
import random
import struct

RATE = 11025


def envelope(i, n, attack=0.02, release=0.3):
    t = i / n
    a = min(1.0, t / attack) if attack > 0 else 1.0
    r = min(1.0, (1.0 - t) / release) if release > 0 else 1.0
    return a * r


def nya():
    n = int(RATE * 0.38)
    out, phase = [], 0.0
    for i in range(n):
        t = i / n
        freq = 520 + 420 * math.sin(math.pi * min(1.0, t * 1.3))
        phase += 2 * math.pi * freq / RATE
        v = 0.6 * math.sin(phase) + 0.25 * math.sin(2 * phase) + 0.1 * math.sin(3 * phase)
        out.append(v * envelope(i, n, 0.08, 0.5))
    return out


def kachi():
    rnd = random.Random(7)
    n = int(RATE * 0.09)
    out = []
    for i in range(n):
        t = i / RATE
        v = 0.0
        for start in (0.0, 0.045):
            if t >= start:
                d = t - start
                v += rnd.uniform(-1, 1) * math.exp(-d * 900) + math.sin(2 * math.pi * 2400 * d) * math.exp(-d * 600)
        out.append(max(-1.0, min(1.0, 0.7 * v)))
    return out


def pi():
    n = int(RATE * 0.12)
    return [0.6 * math.sin(2 * math.pi * 1800 * i / RATE) * envelope(i, n, 0.02, 0.2) for i in range(n)]


def write(name, samples):
    data = bytes(max(0, min(255, int(128 + 127 * s))) for s in samples)
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
    body = b"data" + struct.pack("<I", len(data)) + data
    with open(os.path.join(os.path.dirname(__file__), name), "wb") as f:
        f.write(header + fmt + body)


write("nya.wav", nya())
write("kachi.wav", kachi())
write("pi.wav", pi())
