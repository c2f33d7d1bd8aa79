import struct, sys
def uniform_lzw(c, n, min_code=2):
    clear, end = 1 << min_code, (1 << min_code) + 1
    out = bytearray(); st = [0, 0]
    def emit(code, width):
        st[0] |= code << st[1]; st[1] += width
        while st[1] >= 8:
            out.append(st[0] & 0xFF); st[0] >>= 8; st[1] -= 8
    width, nxt, maxlen = min_code + 1, end + 1, 1
    emit(clear, width)
    remaining = n
    while remaining > 0:
        k = min(maxlen, remaining)
        emit(c if k == 1 else end + 1 + (k - 2), width)
        remaining -= k
        if remaining == 0: break
        if nxt < 4096:
            nxt += 1; maxlen += 1
            if nxt > (1 << width) and width < 12: width += 1
        else:
            emit(clear, width); nxt, width, maxlen = end + 1, min_code + 1, 1
    emit(end, width)
    if st[1]: out.append(st[0] & 0xFF)
    return bytes(out)
def blocks(d):
    return b"".join(bytes([len(d[i:i+255])]) + d[i:i+255] for i in range(0, len(d), 255)) + b"\0"
w, h, frames, out = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
g = b"GIF89a" + struct.pack("<HHBBB", w, h, 0x81, 0, 0) + bytes([0,0,0, 255,0,0, 0,255,0, 0,0,255])
g += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
for f in range(frames):
    c = 1 + f % 3
    g += b"\x21\xF9\x04\x00" + struct.pack("<H", 20) + b"\x00\x00"
    g += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0) + b"\x02" + blocks(uniform_lzw(c, w * h))
open(out, "wb").write(g + b"\x3B")
