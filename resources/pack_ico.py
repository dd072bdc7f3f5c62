"""Joins icon images into one .ico, smallest first.

Arguments: output path, then inputs: a .ico adds all its images as they are,
a .png adds itself as one PNG-compressed image (Windows Vista and later).
"""
import struct
import sys


def ico_images(data):
    count = struct.unpack("<HHH", data[:6])[2]
    for i in range(count):
        entry = data[6 + 16 * i:22 + 16 * i]
        size, offset = struct.unpack("<II", entry[8:16])
        yield entry[:8], data[offset:offset + size]


def png_image(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit("not a PNG")
    width, height = struct.unpack(">II", data[16:24])
    # 256 is written as 0; 32 bits per pixel, one plane.
    head = struct.pack("<BBBBHH", width % 256, height % 256, 0, 0, 1, 32)
    return head, data


def main(out_path, *inputs):
    images = []
    for path in inputs:
        data = open(path, "rb").read()
        if path.endswith(".png"):
            images.append(png_image(data))
        else:
            images.extend(ico_images(data))
    images.sort(key=lambda image: image[0][0] or 256)
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for head, body in images:
        directory += head + struct.pack("<II", len(body), offset)
        offset += len(body)
    with open(out_path, "wb") as f:
        f.write(directory + b"".join(body for _, body in images))


if __name__ == "__main__":
    main(*sys.argv[1:])
