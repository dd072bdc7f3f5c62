#!/usr/bin/env python3
"""Writes the plug-in's six language files from the UTF-8 table strings.tsv.

Each file: CRLF line ends, a line of 86 asterisks before each group of
entries, one "number=text" line per entry, encoded in the language's code page.
"""
import csv
import pathlib
import sys

SEPARATOR = "*" * 86
LANGUAGES = [
    # (column, file name, code page, size the plug-in ships with)
    ("fr", "tessaly_excel_french.lnm", "cp1252", 2857),
    ("hu", "tessaly_excel_Hungarian.lnm", "cp1250", 2580),
    ("nl", "tessaly_excel_Nederlands.lnm", "ascii", 2680),
    ("da", "tessaly_excel_Danish.lnm", "cp1252", 2701),
    ("es", "tessaly_excel_spanish.lnm", "cp1252", 2858),
    ("de", "tessaly_excel_german.lnm", "cp1252", 2910),
]


def read_table(path):
    with open(path, encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))
    ids = [int(r["id"]) for r in rows]
    if len(rows) != 72 or len(set(ids)) != 72 or min(ids) < 208 or max(ids) > 356:
        sys.exit("strings.tsv must hold 72 distinct numbers from 208 to 356")
    if ids != sorted(ids):
        sys.exit("strings.tsv must list the numbers in ascending order")
    return rows


def render(rows, column):
    lines = []
    group = None
    for row in rows:
        if row["group"] != group:
            group = row["group"]
            lines.append(SEPARATOR)
        text = row[column]
        if not text or text != text.strip():
            sys.exit(f"{column} {row['id']}: empty text or stray blanks")
        lines.append(f"{row['id']}={text}")
    return "".join(line + "\r\n" for line in lines)


def main():
    here = pathlib.Path(__file__).resolve().parent
    out_dir = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else here.parent
    rows = read_table(here / "strings.tsv")
    groups = {r["group"] for r in rows}
    if len(groups) != 6:
        sys.exit("strings.tsv must divide the entries into six groups")
    ok = True
    for column, name, codepage, expected in LANGUAGES:
        data = render(rows, column).encode(codepage)
        (out_dir / name).write_bytes(data)
        mark = "ok" if len(data) == expected else f"WRONG (want {expected}, {len(data) - expected:+d})"
        print(f"{name:32} {codepage:7} {len(data):6} {mark}")
        ok = ok and len(data) == expected
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
