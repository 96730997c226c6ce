#!/usr/bin/env python3
"""Writes level-0 archives of random -lzs- and -lz5- token streams whose expected content is
whatever lhasa decodes from them, for the peers test: DIR COUNT."""
import random
import struct
import subprocess
import sys


def crc16(data):
    c = 0
    for x in data:
        c ^= x
        for _ in range(8):
            c = (c >> 1) ^ 0xA001 if c & 1 else c >> 1
    return c


def level0(method, packed, size, crc):
    h = bytearray(b'\0\0' + method + struct.pack('<IIIBB', len(packed), size, 0x4A210000, 0x20, 0))
    h += bytes([5]) + b'x.bin' + struct.pack('<H', crc)
    h[0] = len(h) - 2
    h[1] = sum(h[2:]) & 255
    return bytes(h) + packed + b'\0'


def lz5(rng, tokens):
    out, size, i = bytearray(), 0, 0
    while i < tokens:
        flags, body = 0, bytearray()
        for b in range(8):
            if rng.random() < 0.4:
                flags |= 1 << b
                body.append(rng.randrange(256))
                size += 1
            else:
                pos, n = rng.randrange(4096), rng.randrange(16)
                body += bytes([pos & 255, ((pos >> 4) & 0xF0) | n])
                size += n + 3
        out.append(flags)
        out += body
        i += 8
    return bytes(out), size


def lzs(rng, tokens):
    bits, size = [], 0
    for _ in range(tokens):
        if rng.random() < 0.4:
            v = rng.randrange(256)
            bits += [1] + [(v >> k) & 1 for k in range(7, -1, -1)]
            size += 1
        else:
            pos, n = rng.randrange(2048), rng.randrange(16)
            bits += [0] + [(pos >> k) & 1 for k in range(10, -1, -1)] + [(n >> k) & 1 for k in range(3, -1, -1)]
            size += n + 2
    bits += [0] * (-len(bits) % 8)
    return bytes(int(''.join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8)), size


def main():
    folder, count = sys.argv[1], int(sys.argv[2])
    rng = random.Random(1234)
    for k in range(count):
        for name, method, make in (('lz5', b'-lz5-', lz5), ('lzs', b'-lzs-', lzs)):
            packed, size = make(rng, rng.randrange(1, 3000))
            probe = f'{folder}/probe.lzh'
            with open(probe, 'wb') as f:
                f.write(level0(method, packed, size, 0))
            data = subprocess.run(['lhasa', '-pq', probe], capture_output=True).stdout
            with open(f'{folder}/{name}_{k}.lzh', 'wb') as f:
                f.write(level0(method, packed, size, crc16(data)))
            with open(f'{folder}/{name}_{k}.expected', 'wb') as f:
                f.write(data)


main()
