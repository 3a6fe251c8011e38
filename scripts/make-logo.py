#!/usr/bin/env python3
# Writes the design-time logo: a 200x200 GIF drawn here (navy disc, white F, yellow bar).
import struct, math
W = H = 200
pal = [(255,255,255),(0,0,128),(255,204,0),(255,255,255)]
def px(x, y):
    cx, cy, r = 99.5, 99.5, 96
    d = math.hypot(x-cx, y-cy)
    if d > r: return 0
    if 62 <= x < 82 and 45 <= y < 155: return 3          # stem of the F
    if 62 <= x < 140 and 45 <= y < 65: return 3          # top bar
    if 62 <= x < 122 and 90 <= y < 108: return 3         # middle bar
    if 100 <= x < 150 and 135 <= y < 155: return 2       # yellow underline
    return 1
pixels = [px(x, y) for y in range(H) for x in range(W)]
out = bytearray(b'GIF89a' + struct.pack('<HHBBB', W, H, 0xF7, 0, 0))
for i in range(256):
    out += bytes(pal[i] if i < len(pal) else (0,0,0))
out += b'\x2c' + struct.pack('<HHHHB', 0, 0, W, H, 0) + b'\x08'
# Uncompressed LZW: 9-bit literal codes with a clear code before the table grows.
bits, nbits, data = 0, 0, bytearray()
def emit(code):
    global bits, nbits
    bits |= code << nbits; nbits += 9
    while nbits >= 8:
        data.append(bits & 0xFF); bits >>= 8; nbits -= 8
for i, p in enumerate(pixels):
    if i % 250 == 0: emit(256)
    emit(p)
emit(257)
if nbits: data.append(bits & 0xFF)
for i in range(0, len(data), 255):
    chunk = data[i:i+255]; out += bytes([len(chunk)]) + chunk
out += b'\x00\x3b'
open('data/logo velmora200x200.gif', 'wb').write(out)
