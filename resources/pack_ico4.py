"""Packs a 32 x 32 image of at most 16 colours into a 4-bit-per-pixel .ico.

Arguments: RGB bytes (32*32*3), alpha bytes (32*32; below 128 is transparent),
output path.
"""
import struct
import sys

SIZE = 32


def main(rgb_path, alpha_path, out_path):
    rgb = open(rgb_path, "rb").read()
    alpha = open(alpha_path, "rb").read()
    pixels = [tuple(rgb[i * 3:i * 3 + 3]) for i in range(SIZE * SIZE)]
    opaque = [p for p, a in zip(pixels, alpha) if a >= 128]
    # Index 0 is black: transparent pixels XOR the screen with it, i.e. leave it.
    palette = [(0, 0, 0)] + sorted(set(opaque) - {(0, 0, 0)})
    if len(palette) > 16:
        sys.exit("more than 16 colours: %d" % len(palette))
    palette += [(0, 0, 0)] * (16 - len(palette))
    index = {c: i for i, c in enumerate(palette)}

    xor_rows = []
    and_rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up rows
        row = [index[pixels[y * SIZE + x]] for x in range(SIZE)]
        transparent = [alpha[y * SIZE + x] < 128 for x in range(SIZE)]
        row = [0 if t else p for p, t in zip(row, transparent)]
        xor_rows.append(bytes((row[x] << 4) | row[x + 1] for x in range(0, SIZE, 2)))
        bits = bytearray(4)
        for x in range(SIZE):
            if transparent[x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(bits))

    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colors = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + colors + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(out_path, "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    main(*sys.argv[1:4])
