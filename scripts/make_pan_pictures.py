#!/usr/bin/env python3
# Draws the grid's panning cursors (PAN8000 .. PAN8008) and pan origin marks
# (INTLI1 .. INTLI3) as 32 x 32 PNG files into the folder given.
# Usage: scripts/make_pan_pictures.py src/grid/res
import zlib, struct, sys, os
out = sys.argv[1]
def png(path, px, w, h):
    raw = b''.join(b'\x00' + bytes(sum((list(px[y*w+x]) for x in range(w)), [])) for y in range(h))
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    data = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
    open(path, 'wb').write(data)
def inside_tri(p, a, b, c):
    def s(p1, p2, p3): return (p1[0]-p3[0])*(p2[1]-p3[1]) - (p2[0]-p3[0])*(p1[1]-p3[1])
    d1, d2, d3 = s(p, a, b), s(p, b, c), s(p, c, a)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)
def picture(dirs, bg, fg, ring):
    n = 32; c = 16
    px = [bg] * (n*n)
    for y in range(n):
        for x in range(n):
            dx, dy = x - c, y - c
            if dx*dx + dy*dy <= 5: px[y*n+x] = fg
            if ring and 7*7 <= dx*dx + dy*dy <= 8*8: px[y*n+x] = fg
            for (ux, uy) in dirs:
                tip = (c + ux*14, c + uy*14)
                base = (tip[0] - ux*5, tip[1] - uy*5)
                a = (base[0] - uy*5, base[1] + ux*5); b = (base[0] + uy*5, base[1] - ux*5)
                if inside_tri((x, y), tip, a, b): px[y*n+x] = fg
    return px
T = (0, 0, 0, 0); K = (0, 0, 0, 255); W = (255, 255, 255, 255)
U, D, L, R = (0, -1), (0, 1), (-1, 0), (1, 0)
cursors = {8000: [U, D, L, R], 8001: [D], 8002: [L], 8003: [R], 8004: [U], 8005: [U, R], 8006: [U, L], 8007: [D, R], 8008: [D, L]}
for k, d in cursors.items(): png(os.path.join(out, 'PAN%d.png' % k), picture(d, T, K, False), 32, 32)
# Origin marks: black on a white ground whose top-left colour is drawn transparent.
png(os.path.join(out, 'INTLI1.png'), picture([U, D, L, R], W, K, True), 32, 32)
png(os.path.join(out, 'INTLI2.png'), picture([L, R], W, K, True), 32, 32)
png(os.path.join(out, 'INTLI3.png'), picture([U, D], W, K, True), 32, 32)
