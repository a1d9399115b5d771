#!/usr/bin/env python3
"""Throughput and memory of `heatx-calc batch` over a generated table of mixed variants.

The table mixes the four kinds (evaporator, horizontal and vertical heater, cooler) in a spreadsheet's
own format (";" with decimal commas, CRLF line ends), each variant the reference data with every value
moved by up to 10 % at random, so that the methods do their real work (a few heater variants fall in
laminar flow and are refused, as in a class). Reading, the calculations and writing the result table are
all timed, on one core: heatx-calc is single-threaded. The maximum resident set size is taken from
/usr/bin/time -v, at the full size and at a tenth of it, to show that memory does not grow with the rows.
Then a workbook of 10^4 variants (.xlsx, numeric cells, as a spreadsheet program keeps it) is read and
answered by a results workbook.

    bench/batch/run_batch_bench.py --calc build/src/cli/heatx-calc [--rows 1000000] [--xlsx-rows 10000]
"""
import argparse
import os
import random
import re
import subprocess
import sys
import tempfile
import zipfile
from xml.sax.saxutils import escape

EVAPORATOR = ["0.683", "908", "2095000", "0.000177", "0.686", "957", "4190", "0.00024", "0.0583", "0.652",
              "0.65", "2253900", "55.6", "0.00048", "1005000", "4"]
HEATER = ["0.683", "908", "2095000", "0.000177", "0.173", "0.458", "0.000534", "3730", "0.000479", "106",
          "0.973", "0.025", "1", "3", "13"]
COOLER = [".662", "986", ".00054", "4190", "0.00048", "1.24", ".68", ".00085", "4190", "4.36", "25.4",
          "0.00042", "402980", "0.025", "2", "1", "100", "0.02"]
KINDS = [("evaporator", EVAPORATOR, {15}), ("heater-horizontal", HEATER, {12, 14}),
         ("heater-vertical", HEATER, {12, 14}), ("cooler", COOLER, {14, 15, 16})]


def vary(text, rng):
    value = float(text) * rng.uniform(0.9, 1.1)
    return ("%.6g" % value).replace(".", ",")


def generate(path, rows, seed=1):
    rng = random.Random(seed)
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write("name;kind;T0;T1;T2;T3;T4;T5;T6;T7;T8;T9;T10;T11;T12;T13;T14;T15;T16;T17\r\n")
        for i in range(rows):
            kind, values, fixed = KINDS[i % 4]
            # Counts (passes, tubes, the mixed-flow factor, the tube height) stay as they are.
            texts = [v.replace(".", ",") if k in fixed else vary(v, rng) for k, v in enumerate(values)]
            out.write("вариант %d;%s;%s\r\n" % (i + 1, kind, ";".join(texts)))


def column(index):
    name = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


def generate_xlsx(path, rows, seed=1):
    """The same variants as a workbook: text cells inline, values as numeric cells."""
    rng = random.Random(seed)
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<worksheet '
             'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>']

    def row(number, cells):
        out = ['<row r="%d">' % number]
        for i, cell in enumerate(cells):
            ref = "%s%d" % (column(i), number)
            if isinstance(cell, str):
                out.append('<c r="%s" t="inlineStr"><is><t>%s</t></is></c>' % (ref, escape(cell)))
            else:
                out.append('<c r="%s"><v>%r</v></c>' % (ref, cell))
        out.append("</row>")
        return "".join(out)

    lines.append(row(1, ["Имя", "Вид"] + ["T%d" % k for k in range(18)]))
    for i in range(rows):
        kind, values, fixed = KINDS[i % 4]
        numbers = [float(v) if k in fixed else float("%.6g" % (float(v) * rng.uniform(0.9, 1.1)))
                   for k, v in enumerate(values)]
        lines.append(row(i + 2, ["вариант %d" % (i + 1), kind] + numbers))
    lines.append("</sheetData></worksheet>")
    parts = {
        "[Content_Types].xml": '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/'
        'package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.'
        'relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/'
        'workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
        '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.'
        'spreadsheetml.worksheet+xml"/></Types>',
        "_rels/.rels": '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/'
        'package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/'
        '2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml": '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/'
        'spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
        '<sheets><sheet name="Группа" sheetId="1" r:id="rId1"/></sheets></workbook>',
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.'
        'openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.'
        'org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>',
        "xl/worksheets/sheet1.xml": "".join(lines),
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts.items():
            z.writestr(name, text)


def measure(calc, table, result):
    run = subprocess.run(["/usr/bin/time", "-v", calc, "batch", "--output", result, table],
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if run.returncode != 0:
        sys.exit("heatx-calc batch failed (%d):\n%s" % (run.returncode, run.stderr[-2000:]))
    wall = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (?:(\d+):)?(\d+):([\d.]+)", run.stderr)
    seconds = int(wall.group(1) or 0) * 3600 + int(wall.group(2)) * 60 + float(wall.group(3))
    user = float(re.search(r"User time \(seconds\): ([\d.]+)", run.stderr).group(1))
    system = float(re.search(r"System time \(seconds\): ([\d.]+)", run.stderr).group(1))
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", run.stderr).group(1))
    return seconds, user + system, rss


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--calc", required=True)
    parser.add_argument("--rows", type=int, default=1000000)
    parser.add_argument("--xlsx-rows", type=int, default=10000)
    parser.add_argument("--folder", default=None, help="where the generated tables go (default: a temporary folder)")
    args = parser.parse_args()
    folder = args.folder or tempfile.mkdtemp(prefix="heatx-batch-bench-")
    os.makedirs(folder, exist_ok=True)
    print("table of %d mixed variants in %s" % (args.rows, folder))
    results = []
    for rows in (args.rows // 10, args.rows):
        table = os.path.join(folder, "variants-%d.csv" % rows)
        result = os.path.join(folder, "results-%d.csv" % rows)
        generate(table, rows)
        seconds, cpu, rss = measure(args.calc, table, result)
        with open(result, encoding="utf-8") as f:
            lines = sum(1 for _ in f)
        if lines != rows + 1:
            sys.exit("expected %d result rows, got %d" % (rows, lines - 1))
        size = os.path.getsize(table) / 1e6
        print("%8d rows (%.0f MB): %.2f s wall, %.2f s CPU, %.0f variants/s, max RSS %d KiB"
              % (rows, size, seconds, cpu, rows / seconds, rss))
        results.append((rows, seconds, rss))
        os.remove(table)
        os.remove(result)
    rows, seconds, rss = results[-1]
    target = 200000
    print("target >= %d variants/s: %s" % (target, "met" if rows / seconds >= target else "NOT met"))
    print("memory: %d KiB at %d rows, %d KiB at %d rows" % (results[0][2], results[0][0], rss, rows))
    if args.xlsx_rows:
        book = os.path.join(folder, "variants-%d.xlsx" % args.xlsx_rows)
        answer = os.path.join(folder, "results-%d.xlsx" % args.xlsx_rows)
        generate_xlsx(book, args.xlsx_rows)
        seconds, cpu, rss = measure(args.calc, book, answer)
        print("%8d rows .xlsx (%.1f MB) read and written (%.1f MB): %.2f s wall, %.2f s CPU, max RSS %d KiB"
              % (args.xlsx_rows, os.path.getsize(book) / 1e6, os.path.getsize(answer) / 1e6, seconds, cpu, rss))
        print("target < 1 s for 10^4 rows: %s" % ("met" if seconds < 1 or args.xlsx_rows > 10000 else "NOT met"))
        os.remove(book)
        os.remove(answer)
    if not args.folder:
        os.rmdir(folder)


if __name__ == "__main__":
    main()
