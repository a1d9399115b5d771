#!/usr/bin/python3
"""The browser roads: heatx's page (build-web/heatx.html) in Debian's headless Chromium, driven through the
accessibility tree with real pointer and key events.

    run_web.py --page build-web/heatx.html --calc build/src/cli/heatx-calc --artifacts build/e2e-artifacts
               [--road NAME ...]

Roads: evaporator, heater, cooler, faulty-data, keyboard-evaporator, double-click-heater, small-screen (all
by default). Each road opens the
page afresh from disk; a road ends at its first failed check (no retake), and every road fails when the
page makes a request that leaves it (anything but data: and blob: addresses) or a script error. The
screenshots of every window go into ARTIFACTS/ROAD/web-NN-NAME.png, beside the desktop roads' own
(NN-NAME.png) for a person to compare. Exit status 0 only when every road passed.
"""

import argparse
import os
import pathlib
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from devtools import Browser, DriveError  # noqa: E402
from page import Failure, Page  # noqa: E402
from web_roads import ROADS, SIZES, Calc  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--page", required=True)
    parser.add_argument("--calc", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--road", action="append", default=[])
    args = parser.parse_args()

    page_path = pathlib.Path(args.page).resolve()
    if not page_path.is_file():
        print(f"run_web: no page {page_path}", file=sys.stderr)
        return 2
    if not os.access(args.calc, os.X_OK):
        print(f"run_web: no calculator {args.calc}", file=sys.stderr)
        return 2
    wanted = args.road or [name for name, _ in ROADS]
    unknown = [name for name in wanted if name not in dict(ROADS)]
    if unknown:
        print(f"run_web: unknown road {unknown}", file=sys.stderr)
        return 2
    url = page_path.as_uri()
    calc = Calc(os.path.abspath(args.calc))
    failed = []
    for name in wanted:
        folder = pathlib.Path(args.artifacts) / name
        folder.mkdir(parents=True, exist_ok=True)
        for old in folder.glob("web-*"):
            old.unlink()
        steps = open(folder / "web-steps.txt", "w", encoding="utf-8")

        started = time.monotonic()

        def log(line, steps=steps, started=started):
            print(f"[{name}] {line}", flush=True)
            steps.write(f"{time.monotonic() - started:7.2f} {line}\n")
            steps.flush()

        width, height = SIZES.get(name, (1280, 1024))
        browser = Browser(width, height)
        page = Page(browser, url, folder, log)
        try:
            page.start()
            dict(ROADS)[name](page, calc)
            page.nothing_left_the_page("the whole road")
            log(f"road {name}: passed, {page.checks} checks, {time.monotonic() - started:.1f} s")
        except (Failure, DriveError, Exception) as error:  # the road ends at its first problem
            failed.append(name)
            log(f"road {name}: FAILED: {error}")
            if not isinstance(error, (Failure, DriveError)):
                log(traceback.format_exc())
            try:
                browser.screenshot(folder / "web-FAILED.png")
                tree = "\n".join(f"{n.role} {n.name!r}" for n in browser.tree() if not n.ignored)
                (folder / "web-FAILED-tree.txt").write_text(tree, encoding="utf-8")
            except Exception:  # the browser may be gone
                pass
        finally:
            browser.close()
            steps.close()
    print(f"{len(wanted) - len(failed)} roads passed, {len(failed)} failed" + (f": {failed}" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
