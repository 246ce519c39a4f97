#!/usr/bin/env python3
# Writes the scan screens' three signals into resources/sounds/ (run once; the files are
# kept in the repository). Success rises, error buzzes low twice, notice is one soft tone,
# so that staff tell them apart without looking.
import math, os, struct, wave

RATE = 22050
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "sounds")


def tone(freqs, ms, shape="sine", gap_ms=0, vol=0.5):
    out = []
    for f in freqs:
        n = int(RATE * ms / 1000)
        for i in range(n):
            t = i / RATE
            env = min(1.0, i / (RATE * 0.005), (n - i) / (RATE * 0.01))
            if shape == "square":
                v = 0.6 if math.sin(2 * math.pi * f * t) >= 0 else -0.6
            else:
                v = math.sin(2 * math.pi * f * t)
            out.append(v * env * vol)
        out += [0.0] * int(RATE * gap_ms / 1000)
    return out


def write(name, samples):
    with wave.open(os.path.join(OUT, name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))


os.makedirs(OUT, exist_ok=True)
write("success.wav", tone([880, 1320], 70))
write("error.wav", tone([196, 196], 120, "square", gap_ms=50))
write("notice.wav", tone([660], 110, vol=0.4))
