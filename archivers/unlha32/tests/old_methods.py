#!/usr/bin/env python3
"""Writes level-0 archives of old methods for the peers test: DIR COUNT.
-lzs- and -lz5-: random token streams, expected to decode to whatever lhasa makes of them.
-lh1-: real data packed by the encoder below, which lhasa must decode back to that data."""
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


# -lh1-: adaptive Huffman tree over 314 literal and length symbols, fixed code for the upper
# six position bits; written here independently of the library to cross-check its decoder.
N_CHAR=314; T=2*N_CHAR-1; R=T-1; MAXF=0x8000
class Tree:
    def __init__(s):
        s.freq=[0]*(T+1); s.prnt=[0]*(T+N_CHAR); s.son=[0]*T
        for i in range(N_CHAR):
            s.freq[i]=1; s.son[i]=i+T; s.prnt[i+T]=i
        i=0; j=N_CHAR
        while j<=R:
            s.freq[j]=s.freq[i]+s.freq[i+1]; s.son[j]=i; s.prnt[i]=s.prnt[i+1]=j; i+=2; j+=1
        s.freq[T]=0xffff; s.prnt[R]=0
    def reconst(s):
        f=s.freq; son=s.son
        j=0
        for i in range(T):
            if son[i]>=T:
                f[j]=(f[i]+1)//2; son[j]=son[i]; j+=1
        i=0; j=N_CHAR
        while j<T:
            ff=f[i]+f[i+1]
            k=j-1
            while ff<f[k]: k-=1
            k+=1
            f[k+1:j+1]=f[k:j]; f[k]=ff
            son[k+1:j+1]=son[k:j]; son[k]=i
            i+=2; j+=1
        for i in range(T):
            k=son[i]
            if k>=T: s.prnt[k]=i
            else: s.prnt[k]=s.prnt[k+1]=i
    def update(s,c):
        f=s.freq; son=s.son; prnt=s.prnt
        if f[R]==MAXF: s.reconst()
        c=prnt[c+T]
        while True:
            f[c]+=1; k=f[c]; l=c+1
            if k>f[l]:
                l+=1
                while k>f[l]: l+=1
                l-=1
                f[c]=f[l]; f[l]=k
                i=son[c]; prnt[i]=l
                if i<T: prnt[i+1]=l
                j=son[l]; son[l]=i
                prnt[j]=c
                if j<T: prnt[j+1]=c
                son[c]=j; c=l
            c=prnt[c]
            if c==0: break
    def code(s,c):
        bits=[]; k=s.prnt[c+T]
        while True:
            bits.append(k&1)  # odd node index = right son
            k=s.prnt[k]
            if k==R: break
        return bits[::-1]
def poslen(u):
    first=[0,1,4,12,24,48,64]; l=3
    while u>=first[l-2]: l+=1
    return l
pcode=[];c=0;prev=3
for u in range(64):
    l=poslen(u); c<<=l-prev; prev=l; pcode.append((c,l)); c+=1
def encode(data):
    bits=[]; tr=Tree(); n=len(data); i=0; table={}
    while i<n:
        best=0;bd=0
        key=data[i:i+3]
        if len(key)==3:
            for p in reversed(table.get(key,[])[-32:]):
                if i-p>4096: break
                l=0
                while l<60 and i+l<n and data[p+l]==data[i+l]: l+=1
                if l>best: best=l; bd=i-p
        if best>=3:
            sym=253+best
        else:
            sym=data[i]; best=1
        bits+=tr.code(sym)
        tr.update(sym)
        if sym>=256:
            d=bd-1; c,l=pcode[d>>6]
            bits+=[(c>>k)&1 for k in range(l-1,-1,-1)]+[(d>>k)&1 for k in range(5,-1,-1)]
        for k in range(best):
            if i+k+3<=n: table.setdefault(data[i+k:i+k+3],[]).append(i+k)
        i+=best
    bits+=[0]*(-len(bits)%8)
    return bytes(int(''.join(map(str,bits[j:j+8])),2) for j in range(0,len(bits),8))


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
    # Enough symbols for the tree to be rebuilt several times.
    sources = ['/usr/share/common-licenses/GPL-3', '/bin/ls']
    for k, path in enumerate(sources):
        data = open(path, 'rb').read()[:150000]
        data = data + bytes(rng.randrange(256) for _ in range(5000)) + data[:20000]
        with open(f'{folder}/lh1_{k}.lzh', 'wb') as f:
            f.write(level0(b'-lh1-', encode(data), len(data), crc16(data)))
        with open(f'{folder}/lh1_{k}.expected', 'wb') as f:
            f.write(data)
        decoded = subprocess.run(['lhasa', '-pq', f'{folder}/lh1_{k}.lzh'], capture_output=True).stdout
        if decoded != data:
            sys.exit(f'lhasa does not decode the -lh1- stream {k}: the test encoder is wrong')


if __name__ == '__main__':
    main()
