#!/usr/bin/python3
"""The browser edition's budgets (`make bench-web`; a benchmark, never a test):

- the size of heatx.html, fonts included, at most 1 MiB, and what its bytes go to (the WebAssembly, the
  faces, the script and the rest);
- the start screen shown: the first frame with its title and its three buttons, against a plain HTML page
  painting the same start picture with CSS (the same gradient, texts and faces), both opened from disk in
  the same headless Chromium, alternately, medians of LOADS loads each; at most 1.5 times as late;
- the three calculations in WebAssembly under node against the native build, at most 2 times as slow.

    run_web_bench.py --page build-web/heatx.html --fonts build-web/link/heatx-fonts.css \\
        --native build/bench/heatx_calc_timing --wasm build-web/heatx_calc_timing.js [--loads 11]
"""

import argparse
import pathlib
import re
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "web"))

from devtools import Browser  # noqa: E402

MIB = 1024 * 1024

# Notes the time of the first frame in which the page shows what `shown()` looks for: checked at the start
# of every frame, so that the time is that of the frame that paints it.
PROBE = """
(() => {
    const shown = () => {
        if (document.fonts.status !== "loaded") {
            return false;
        }
        const loading = document.getElementById("hx-loading");
        if (loading !== null && !loading.hidden && loading.offsetParent !== null) {
            return false;
        }
        const frames = document.querySelectorAll(".hx-window, .start-window");
        for (const frame of frames) {
            if (frame.hidden || frame.offsetWidth === 0) {
                continue;
            }
            const buttons = [...frame.querySelectorAll("button")].filter(
                (b) => b.offsetWidth > 0 && b.textContent.trim().length > 3);
            if (buttons.length >= 3 && frame.textContent.includes("кожухотрубных")) {
                return true;
            }
        }
        return false;
    };
    const look = () => {
        if (shown()) {
            window.__hxShownAt = performance.now();
            return;
        }
        requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
})();
"""

# The start screen as the program draws it at 1280 x 1024, painted by CSS alone.
PLAIN_PAGE = """<!doctype html>
<html lang="ru"><head><meta charset="utf-8"><title>НАЧАЛО РАБОТЫ С ПРОГРАММОЙ</title>
<style>
{fonts}
body {{ margin: 0; background: #3b6ea5; }}
.start-window {{ position: absolute; left: 33px; top: 33px; width: 801px; height: 624px; border: 1px solid #000;
    background: linear-gradient(to right, rgb(150, 50, 255), rgb(150, 50, 0)); box-shadow: 0 1px 4px rgba(0,0,0,.4); }}
.caption {{ height: 22px; background: #2b4f7a; color: #fff; font: bold 12px "HX Sans"; padding: 1px 6px; }}
.title {{ position: absolute; left: 225px; top: 102px; width: 353px; height: 49px; background: rgb(192, 64, 0);
    color: #c0ff80; font: italic bold 16px "HX Sans Narrow"; text-align: center; line-height: 18px; }}
button {{ position: absolute; top: 423px; width: 160px; height: 40px; font: 11px "HX Sans Narrow"; border: 2px outset #ccc; }}
.author {{ position: absolute; left: 593px; top: 497px; width: 193px; height: 25px; background: red; color: #fff;
    font: italic 19px "HX Serif"; padding-left: 8px; }}
</style></head><body>
<div class="start-window"><div class="caption">НАЧАЛО РАБОТЫ С ПРОГРАММОЙ</div>
<div class="title">Программа расчета<br>кожухотрубных теплообменников</div>
<button style="left: 79px; background: #ff0;">ОПИСАНИЕ ПРОГРАММЫ</button>
<button style="left: 319px; background: #0f0;">ВВОД ИСХОДНОЙ ИНФОРМАЦИИ</button>
<button style="left: 560px; background: #ff8080;">ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ</button>
<div class="author">автор программы</div></div>
</body></html>
"""


def page_bytes(page):
    html = page.read_text(encoding="utf-8")
    # The WebAssembly: gzip-compressed in its own block, or as the script's data address.
    wasm = sum(len(m) for m in re.findall(r"data:application/octet-stream;base64,[A-Za-z0-9+/=]*", html))
    wasm += sum(len(m) for m in re.findall(r'id="hx-wasm">([^<]*)</script>', html))
    fonts = sum(len(m) for m in re.findall(r"data:font/woff2;base64,[A-Za-z0-9+/=]*", html))
    scripts = sum(len(m) for m in re.findall(r"<script[^>]*>(.*?)</script>", html, re.S)) - wasm
    total = page.stat().st_size
    return total, wasm, fonts, scripts, total - wasm - fonts - scripts


def load_time(browser, url):
    browser.call("Page.navigate", url=url)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        try:
            shown = browser.evaluate("window.__hxShownAt === undefined ? null : window.__hxShownAt")
        except Exception:  # the page between documents
            shown = None
        if shown is not None:
            return shown
        time.sleep(0.02)
    raise RuntimeError(f"{url}: the start screen was not shown within 60 s")


def calc_times(command):
    out = subprocess.run(command, check=True, capture_output=True, text=True, timeout=600).stdout
    return {name: float(value) for name, value in (line.split() for line in out.splitlines() if line.strip())}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True, type=pathlib.Path)
    parser.add_argument("--fonts", required=True, type=pathlib.Path)
    parser.add_argument("--native", required=True)
    parser.add_argument("--wasm", required=True)
    parser.add_argument("--loads", type=int, default=11)
    args = parser.parse_args()
    misses = []

    total, wasm, fonts, scripts, rest = page_bytes(args.page)
    print(f"heatx.html: {total} bytes ({total / MIB:.3f} MiB; budget 1 MiB = {MIB} bytes)")
    print(f"  WebAssembly (base64): {wasm}   faces (WOFF2, base64): {fonts}   script: {scripts}   rest: {rest}")
    if total > MIB:
        misses.append(f"size: {total - MIB} bytes over 1 MiB")

    with tempfile.TemporaryDirectory(prefix="heatx-bench-web-") as scratch:
        plain = pathlib.Path(scratch) / "start-picture.html"
        plain.write_text(PLAIN_PAGE.format(fonts=args.fonts.read_text(encoding="utf-8")), encoding="utf-8")
        browser = Browser()
        try:
            browser.call("Page.addScriptToEvaluateOnNewDocument", source=PROBE)
            urls = {"heatx.html": args.page.resolve().as_uri(), "plain page": plain.as_uri()}
            times = {name: [] for name in urls}
            load_time(browser, urls["heatx.html"])  # a first load of each, not counted
            load_time(browser, urls["plain page"])
            for _ in range(args.loads):
                for name, url in urls.items():
                    times[name].append(load_time(browser, url))
        finally:
            browser.close()
    program = statistics.median(times["heatx.html"])
    picture = statistics.median(times["plain page"])
    ratio = program / picture
    print(f"start screen shown, median of {args.loads} loads: heatx.html {program:.1f} ms, "
          f"plain page {picture:.1f} ms, ratio {ratio:.2f} (budget 1.5)")
    print("  heatx.html loads (ms): " + " ".join(f"{t:.0f}" for t in times["heatx.html"]))
    print("  plain page loads (ms): " + " ".join(f"{t:.0f}" for t in times["plain page"]))
    if ratio > 1.5:
        misses.append(f"start: {ratio:.2f} times the plain page")

    native = calc_times([args.native])
    web = calc_times(["node", args.wasm])
    for name in native:
        factor = web[name] / native[name]
        print(f"{name}: native {native[name]:.1f} ns, WebAssembly (node) {web[name]:.1f} ns, "
              f"ratio {factor:.2f} (budget 2)")
        if factor > 2.0:
            misses.append(f"{name}: {factor:.2f} times native")
    print("budgets missed: " + "; ".join(misses) if misses else "every budget kept")


if __name__ == "__main__":
    main()
