"""Writes the title icon's group: its own 32 x 32, 16-colour image, and the
program icon's 48 and 256 px images, which the group names by their RT_ICON
ids rather than storing them twice.

Arguments: the 16-colour .ico, the program's .ico, the image's output path,
the group's output path, the RT_ICON id of the 16-colour image.
The program icon is the .rc's first ICON, so its images are RT_ICON 1, 2, ...
in the order of its .ico.
"""
import struct
import sys


def entries(data):
    count = struct.unpack("<H", data[4:6])[0]
    return [struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i]) for i in range(count)]


def main(form_path, program_path, image_path, group_path, image_id):
    form = open(form_path, "rb").read()
    program = open(program_path, "rb").read()
    (own,) = entries(form)
    open(image_path, "wb").write(form[own[7]:own[7] + own[6]])
    shared = [(e, i + 1) for i, e in enumerate(entries(program)) if e[0] in (48, 0)]
    group = struct.pack("<HHH", 0, 1, 1 + len(shared))
    group += struct.pack("<BBBBHHIH", *own[:7], int(image_id))
    for e, rt_id in shared:
        group += struct.pack("<BBBBHHIH", *e[:7], rt_id)
    open(group_path, "wb").write(group)


if __name__ == "__main__":
    main(*sys.argv[1:])
