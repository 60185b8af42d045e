#!/usr/bin/env python3
"""Writes the stand-in door sounds that the installer carries when no real sounds are supplied.

The format is the one the plug-in expects: RIFF/WAVE, PCM, 2 channels, 48000 Hz, 24 bits, with the
broadcast metadata chunks (bext, minf, elm1, regn, umid) that recordings from the sound library carry.
Everything is computed from fixed numbers and a fixed-seed noise generator, so every run writes the
same bytes.
"""

import argparse
import math
import struct
import sys

SAMPLE_RATE = 48000
CHANNELS = 2
BITS = 24
BLOCK_ALIGN = CHANNELS * BITS // 8
FRAMES = {"open": 43200, "close": 38400}
FULL_SCALE = (1 << (BITS - 1)) - 1


class Noise:
    """xorshift32: the same sequence on every machine, unlike a library generator whose algorithm may change."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x / 2147483648.0 - 1.0


class Resonator:
    """Two-pole band-pass: a struck metal or wooden part ringing at one frequency."""

    def __init__(self, freq, decay_s):
        r = math.exp(-1.0 / (decay_s * SAMPLE_RATE))
        self.a1 = 2.0 * r * math.cos(2.0 * math.pi * freq / SAMPLE_RATE)
        self.a2 = -r * r
        self.gain = 1.0 - r
        self.y1 = 0.0
        self.y2 = 0.0

    def step(self, x):
        y = self.gain * x + self.a1 * self.y1 + self.a2 * self.y2
        self.y2 = self.y1
        self.y1 = y
        return y


class LowPass:
    def __init__(self, freq):
        self.k = 1.0 - math.exp(-2.0 * math.pi * freq / SAMPLE_RATE)
        self.y = 0.0

    def step(self, x):
        self.y += self.k * (x - self.y)
        return self.y


def latch_click(t, noise, ring):
    """A latch snapping: a few milliseconds of noise exciting a bright metal ring."""
    if t < 0.0:
        return ring.step(0.0)
    burst = noise.next() * math.exp(-t / 0.0015) if t < 0.02 else 0.0
    return 0.35 * burst + 6.0 * ring.step(burst)


def creak(t, length, start_hz, end_hz, phase, noise, body):
    """A hinge creak: stick-slip friction as a train of short pulses whose rate glides, through a wooden body."""
    if t < 0.0 or t > length:
        return phase, body.step(0.0)
    u = t / length
    rate = start_hz + (end_hz - start_hz) * u + 18.0 * math.sin(2.0 * math.pi * 5.3 * t)
    phase += rate / SAMPLE_RATE
    pulse = 0.0
    frac = phase - math.floor(phase)
    if frac < 0.12:
        pulse = (1.0 - frac / 0.12) * (0.7 + 0.3 * noise.next())
    envelope = math.sin(math.pi * u) ** 0.6
    return phase, envelope * (0.25 * pulse + 3.0 * body.step(pulse + 0.15 * noise.next()))


def door_open():
    noise = Noise(0x4B56_0001)
    rings = [Resonator(3150.0, 0.018), Resonator(2870.0, 0.022)]
    bodies = [Resonator(740.0, 0.03), Resonator(810.0, 0.03)]
    air = LowPass(900.0)
    phases = [0.0, 0.37]
    for i in range(FRAMES["open"]):
        t = i / SAMPLE_RATE
        hush = 0.04 * air.step(noise.next()) * math.exp(-((t - 0.45) / 0.25) ** 2)
        frame = []
        for ch in range(CHANNELS):
            # The right channel hears the latch a little later and the hinge a little louder.
            click = latch_click(t - 0.01 - 0.0004 * ch, noise, rings[ch])
            phases[ch], squeak = creak(t - 0.12, 0.7, 95.0, 210.0, phases[ch], noise, bodies[ch])
            frame.append(0.55 * click + (0.42 + 0.08 * ch) * squeak + hush)
        yield frame


def door_close():
    noise = Noise(0x4B56_0002)
    rings = [Resonator(2650.0, 0.02), Resonator(2480.0, 0.025)]
    bodies = [Resonator(520.0, 0.03), Resonator(560.0, 0.03)]
    panels = [Resonator(78.0, 0.09), Resonator(84.0, 0.08)]
    thump = LowPass(400.0)
    phases = [0.2, 0.0]
    for i in range(FRAMES["close"]):
        t = i / SAMPLE_RATE
        hit = t - 0.32
        # The door meets the frame: a low panel boom and a dull noise burst, then the latch bolt.
        impact = thump.step(noise.next()) * math.exp(-hit / 0.03) if hit >= 0.0 else 0.0
        frame = []
        for ch in range(CHANNELS):
            phases[ch], squeak = creak(t - 0.02, 0.28, 180.0, 120.0, phases[ch], noise, bodies[ch])
            boom = panels[ch].step(impact * 40.0)
            click = latch_click(hit - 0.045 - 0.0003 * (1 - ch), noise, rings[ch])
            frame.append((0.3 - 0.05 * ch) * squeak + 0.9 * boom + 1.2 * impact + 0.45 * click)
        yield frame


def pcm_data(frames):
    """Normalises to -1 dBFS and packs little-endian 24-bit samples."""
    frames = list(frames)
    peak = max(abs(s) for frame in frames for s in frame) or 1.0
    scale = 10.0 ** (-1.0 / 20.0) * FULL_SCALE / peak
    out = bytearray()
    for frame in frames:
        for s in frame:
            v = int(round(s * scale))
            v = max(-FULL_SCALE - 1, min(FULL_SCALE, v))
            out += struct.pack("<i", v)[:3]
    return bytes(out)


def chunk(tag, body):
    data = tag + struct.pack("<I", len(body)) + body
    return data + b"\0" if len(body) % 2 else data


def fixed_text(text, size):
    raw = text.encode("ascii")
    if len(raw) > size:
        raise ValueError(f"{text!r} longer than {size}")
    return raw.ljust(size, b"\0")


def umid(kind):
    """A basic SMPTE 330M UMID (32 bytes) extended to 64: fixed bytes, different per sound."""
    label = bytes([0x06, 0x0A, 0x2B, 0x34, 0x01, 0x01, 0x01, 0x05, 0x01, 0x01, 0x0D, 0x20, 0x13])
    material = bytes((0x4B + 7 * i + (0x31 if kind == "close" else 0)) & 0xFF for i in range(16))
    source_pack = bytes((0x56 + 11 * i) & 0xFF for i in range(32))
    return label + bytes([0x00, 0x00, 0x00]) + material + source_pack


def metadata_chunks(kind, frames):
    description = f"Kestrovane stand-in: truck cab door {'opening' if kind == 'open' else 'closing'}"
    history = f"A=PCM,F={SAMPLE_RATE},W={BITS},M=stereo,T=synthesized\r\n".encode("ascii")
    bext = (
        fixed_text(description, 256)
        + fixed_text("Kestrovane", 32)
        + fixed_text(f"KVDOOR{kind.upper()}01", 32)
        + b"2024-05-14"
        + (b"10:30:00" if kind == "open" else b"10:31:00")
        + struct.pack("<II", 0, 0)  # time reference: the sound starts at zero
        + struct.pack("<H", 2)  # version 2: loudness fields present
        + umid(kind)
        + struct.pack("<hhhhh", -2300, 0x7FFF, -100, 0x7FFF, 0x7FFF)  # loudness, 0x7FFF = not measured
        + bytes(180)
        + history
    )
    minf = struct.pack("<4sIII", b"strs", CHANNELS, SAMPLE_RATE, frames)
    elm1 = fixed_text(f"door_{kind}.wav", 24) + struct.pack("<IHH", frames, 1, 0)
    regn = struct.pack("<II", 1, 0) + struct.pack("<I", frames) + fixed_text(f"door {kind}", 16)
    return [
        chunk(b"bext", bext),
        chunk(b"minf", minf),
        chunk(b"elm1", elm1),
        chunk(b"regn", regn),
        chunk(b"umid", umid(kind)),
    ]


def build(kind):
    frames = FRAMES[kind]
    samples = pcm_data(door_open() if kind == "open" else door_close())
    assert len(samples) == frames * BLOCK_ALIGN
    fmt = struct.pack("<HHIIHH", 1, CHANNELS, SAMPLE_RATE, SAMPLE_RATE * BLOCK_ALIGN, BLOCK_ALIGN, BITS)
    body = b"WAVE" + chunk(b"fmt ", fmt) + b"".join(metadata_chunks(kind, frames)) + chunk(b"data", samples)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kind", choices=sorted(FRAMES), required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    data = build(args.kind)
    with open(args.out, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
