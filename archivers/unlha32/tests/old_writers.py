#!/usr/bin/env python3
"""Writes archives in the shapes of older and other systems' LHA programs, which no peer on
this machine makes: DIR. Stored members only, so that any reader can be checked byte for byte.
  rooted.lzh    names beginning with a separator, levels 0, 1 and 2
  os9.lzh       level-2 headers of the OS-9 archiver, declaring two bytes less than they hold
  comment0.lzh, comment1.lzh, comment2.lzh
                Amiga / MorphOS names with a file comment after a NUL, levels 0, 1 and 2
  dirtime.lzh   directory members with old time stamps, before and after their files
  cut.lzh       three members, cut off inside the last one's data"""
import struct
import sys

from old_methods import crc16

DOS_TIME = 0x4A210000  # 2017-01-01 00:00:00


def level0(name, data):
    h = bytearray(b'\0\0-lh0-' + struct.pack('<IIIBB', len(data), len(data), DOS_TIME, 0x20, 0))
    h += bytes([len(name)]) + name + struct.pack('<H', crc16(data))
    h[0] = len(h) - 2
    h[1] = sum(h[2:]) & 255
    return bytes(h) + data


def level1(name, data, os=b'M'):
    h = bytearray(b'\0\0-lh0-' + struct.pack('<IIIBB', len(data), len(data), DOS_TIME, 0x20, 1))
    h += bytes([len(name)]) + name + struct.pack('<H', crc16(data)) + os + struct.pack('<H', 0)
    h[0] = len(h) - 2
    h[1] = sum(h[2:]) & 255
    return bytes(h) + data


def level2(exts, data, os=b'U', short=0, method=b'-lh0-', unix_time=1700000000):
    """exts: (type, bytes) pairs after the header CRC; short: bytes the size field leaves out."""
    exts = [(0, b'\0\0')] + list(exts)
    sizes = [len(d) + 3 for _, d in exts] + [0]
    h = bytearray(struct.pack('<H', 0) + method +
                  struct.pack('<IIIBBH', len(data), len(data), unix_time, 0x20, 2, crc16(data)) +
                  os + struct.pack('<H', sizes[0]))
    crc_at = 0
    for i, (kind, d) in enumerate(exts):
        h.append(kind)
        if kind == 0:
            crc_at = len(h)
        h += d + struct.pack('<H', sizes[i + 1])
    if len(h) & 0xFF == 0:
        h.append(0)
    h[0:2] = struct.pack('<H', len(h) - short)
    h[crc_at:crc_at + 2] = struct.pack('<H', crc16(bytes(h)))
    return bytes(h) + data


def write(path, members, end=True):
    with open(path, 'wb') as f:
        f.write(b''.join(members) + (b'\0' if end else b''))


def main(out):
    write(out + '/rooted.lzh', [
        level0(b'\\subdir\\subdir2\\hello.txt', b'hello from a DOS unpacker\r\n'),
        level1(b'\\level1\\one.txt', b'level one\r\n'),
        level2([(1, b'two.txt'), (2, b'\xfflevel2\xff')], b'level two\n'),
    ])
    write(out + '/os9.lzh', [
        level2([(1, b'hello.txt'), (2, b'sub\xff')], b'hello from OS-9\n', os=b'K', short=2),
        level2([(1, b'second.txt')], b'second\n', os=b'K', short=2),
    ])
    comment = b'\0An Amiga file comment'
    write(out + '/comment0.lzh', [level0(b'metadata.txt' + comment, b'level 0\n'),
                                  level0(b'dir/inner.txt' + comment, b'inner 0\n')])
    write(out + '/comment1.lzh', [level1(b'metadata.txt' + comment, b'level 1\n', os=b'A'),
                                  level1(b'dir/inner.txt' + comment, b'inner 1\n', os=b'A')])
    write(out + '/comment2.lzh', [level2([(1, b'metadata.txt' + comment)], b'level 2\n', os=b'A'),
                                  level2([(1, b'inner.txt' + comment), (2, b'dir\xff')], b'inner 2\n', os=b'A')])
    write(out + '/dirtime.lzh', [
        level2([(2, b'old\xff')], b'', method=b'-lhd-', unix_time=1000000000),
        level2([(1, b'in.txt'), (2, b'old\xff')], b'inside\n', unix_time=1100000000),
        level2([(1, b'deep.txt'), (2, b'old\xffer\xff')], b'deeper\n', unix_time=1200000000),
        level2([(2, b'old\xffer\xff')], b'', method=b'-lhd-', unix_time=1050000000),
    ])
    whole = b''.join(level0(n, bytes([c]) * 300) for n, c in ((b'one.txt', 49), (b'two.txt', 50), (b'three.txt', 51)))
    with open(out + '/cut.lzh', 'wb') as f:
        f.write(whole[:-100])


if __name__ == '__main__':
    main(sys.argv[1])
