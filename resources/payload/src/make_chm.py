#!/usr/bin/env python3
"""Compiles the plug-in's help file Tessaly_Excel.chm with chmcmd.

The pages in help/ are fixed. Three parts are generated here:
  banner.jpg   - the title picture (ImageMagick), whose JPEG quality is chosen;
  texts.html   - every text of the plug-in in every language, from strings.tsv;
  example.html - a worksheet as an export writes it, with sample orders whose
                 count and pseudo-random seed are chosen.
The help ships with a fixed size, so the script searches the quality, the
sample orders and the title (with or without " Help", which sets the parity
of the uncompressed part) until chmcmd's output has exactly that size.
"""
import argparse
import csv
import html
import pathlib
import random
import shutil
import subprocess
import sys
import tempfile

HERE = pathlib.Path(__file__).resolve().parent
TITLES = ["Tessaly for MS Excel V2.6", "Tessaly for MS Excel V2.6 Help"]
LANGUAGE_COLUMNS = [("en", "English"), ("fr", "French"), ("hu", "Hungarian"), ("nl", "Dutch"),
                    ("da", "Danish"), ("es", "Spanish"), ("de", "German")]
GROUP_NAMES = {"1": "Menu", "2": "Export dialog", "3": "Import dialog",
               "4": "Options", "5": "Messages", "6": "Buttons and version"}
PAGE_HEAD = """<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">
<title>{title}</title>
<link rel="stylesheet" type="text/css" href="help.css">
</head>
<body>
<h1>{title}</h1>
"""
PAGE_TAIL = "</body>\n</html>\n"


def write_page(path, text):
    # Hungarian letters outside Windows-1252 become character references.
    path.write_bytes(text.encode("cp1252", errors="xmlcharrefreplace"))


def texts_page(path):
    with open(HERE / "strings.tsv", encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))
    out = [PAGE_HEAD.format(title="Texts of the plug-in in every language"),
           "<p>The numbers are those of the <a href=\"languages.html\">language files</a>. "
           "English is built into the plug-in.</p>\n"]
    group = None
    for row in rows:
        if row["group"] != group:
            if group is not None:
                out.append("</table>\n")
            group = row["group"]
            out.append(f"<h2>{GROUP_NAMES[group]}</h2>\n<table>\n<tr><th>No.</th>")
            out.append("".join(f"<th>{name}</th>" for _, name in LANGUAGE_COLUMNS) + "</tr>\n")
        cells = "".join(f"<td>{html.escape(row[col])}</td>" for col, _ in LANGUAGE_COLUMNS)
        out.append(f"<tr><td>{row['id']}</td>{cells}</tr>\n")
    out.append("</table>\n" + PAGE_TAIL)
    write_page(path, "".join(out))


CUSTOMERS = ["Abelsen Trading", "Brightwater Mills", "Calloway & Sons", "Dunmore Supplies",
             "Eastfield Farms", "Fenwick Garden Centre", "Grainger Tools", "Harlow Printing",
             "Ingram Bakery", "Jessop Electrical", "Kestrel Outdoor", "Lindqvist Design",
             "Marlowe Books", "Northgate Pharmacy", "Orchard Lane Cafe", "Pemberton Hardware"]
PRODUCTS = [("Paper A4, 500 sheets", 4.95), ("Toner cartridge", 62.50), ("Desk lamp", 24.90),
            ("Office chair", 149.00), ("Filing cabinet", 189.00), ("Stapler", 7.25),
            ("Whiteboard 90x60", 39.90), ("Label printer", 84.00), ("USB cable 2 m", 5.40)]


def example_page(path, orders, seed):
    rng = random.Random(seed)
    out = [PAGE_HEAD.format(title="An example export"),
           "<p>The table Orders below was exported with the options <b>All records</b>, "
           "<b>Include column headers</b> and <b>Replace existing worksheet</b>. "
           "The worksheet looks like this in Excel: dates are date cells, quantities and "
           "amounts are number cells.</p>\n<table>\n<tr><th></th><th>A</th><th>B</th>"
           "<th>C</th><th>D</th><th>E</th><th>F</th></tr>\n"
           "<tr><th>1</th><td>Order</td><td>Date</td><td>Customer</td><td>Product</td>"
           "<td>Quantity</td><td>Amount</td></tr>\n"]
    total = 0.0
    for i in range(orders):
        product, price = rng.choice(PRODUCTS)
        quantity = rng.randint(1, 40)
        amount = quantity * price
        total += amount
        out.append(f"<tr><th>{i + 2}</th><td>{10417 + i * rng.randint(1, 3)}</td>"
                   f"<td>{rng.randint(1, 28):02d}.{rng.randint(1, 12):02d}.2008</td>"
                   f"<td>{html.escape(rng.choice(CUSTOMERS))}</td><td>{product}</td>"
                   f"<td>{quantity}</td><td>{amount:.2f}</td></tr>\n")
    out.append(f"</table>\n<p>{orders} records exported; the amounts add up to {total:.2f}.</p>\n")
    out.append(PAGE_TAIL)
    write_page(path, "".join(out))


def banner(path, quality):
    subprocess.run(["convert", "-size", "760x180", "-seed", "26", "plasma:fractal",
                    "-modulate", "100,0", "+level-colors", "#0f3a26,#a8dcb8",
                    "-font", "DejaVu-Sans-Bold", "-fill", "white",
                    "-pointsize", "40", "-annotate", "+30+80", "Tessaly for MS Excel",
                    "-pointsize", "22", "-annotate", "+32+120", "Plug-in for Orvandel  V2.6",
                    "-type", "TrueColor", "-quality", str(quality), str(path)], check=True)


class Project:
    def __init__(self, work):
        self.work = work
        shutil.copytree(HERE / "help", work, dirs_exist_ok=True)
        self.hhp = (work / "Tessaly_Excel.hhp").read_text()
        texts_page(work / "texts.html")

    def build(self, quality, orders, seed, title):
        if getattr(self, "quality", None) != quality:
            banner(self.work / "banner.jpg", quality)
            self.quality = quality
        example_page(self.work / "example.html", orders, seed)
        hhp = self.hhp.replace("Title=Tessaly for MS Excel V2.6\n", f"Title={title}\n")
        (self.work / "Tessaly_Excel.hhp").write_text(hhp)
        chm = self.work / "Tessaly_Excel.chm"
        chm.unlink(missing_ok=True)
        subprocess.run(["chmcmd", "Tessaly_Excel.hhp"], cwd=self.work, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return chm.stat().st_size


def search(project, target):
    # The banner takes the bulk: the best quality that leaves room for some orders.
    for quality in range(95, 50, -1):
        if project.build(quality, 0, 1, TITLES[0]) <= target - 400:
            break
    else:
        sys.exit("help pages too large for the target size")
    for seed in range(1, 500):
        for title in TITLES:
            low, high = 0, 200
            while low < high:
                mid = (low + high) // 2
                if project.build(quality, mid, seed, title) < target:
                    low = mid + 1
                else:
                    high = mid
            for orders in range(max(0, low - 3), low + 4):
                if project.build(quality, orders, seed, title) == target:
                    return quality, orders, seed, title
    sys.exit("no combination gives the target size")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output")
    parser.add_argument("--size", type=int, default=71569)
    parser.add_argument("--quality", type=int)
    parser.add_argument("--orders", type=int)
    parser.add_argument("--seed", type=int)
    parser.add_argument("--title", choices=TITLES)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="tessaly-help-") as tmp:
        project = Project(pathlib.Path(tmp))
        chosen = (args.quality, args.orders, args.seed, args.title)
        if None in chosen or project.build(*chosen) != args.size:
            chosen = search(project, args.size)
            project.build(*chosen)
        shutil.copyfile(pathlib.Path(tmp) / "Tessaly_Excel.chm", args.output)
    quality, orders, seed, title = chosen
    print(f"Tessaly_Excel.chm: quality={quality} orders={orders} seed={seed} "
          f"title=\"{title}\" size={pathlib.Path(args.output).stat().st_size}")


if __name__ == "__main__":
    main()
