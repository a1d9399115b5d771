#!/usr/bin/python3
"""Consecutive runs of every real-window road, to show that none of them depends on luck.

    /usr/bin/python3 tests/e2e/run_many.py --heatx BUILD/src/app/heatx [--runs 30]
        [--artifacts BUILD/e2e-many] [--calc BUILD/src/cli/heatx-calc] [-- MORE run_e2e.py OPTIONS]

Each run is one whole `run_e2e.py` on its own X server and bus session, with its artifacts in
ARTIFACTS/run-NN; the folders of passed runs are removed, those of failed runs kept. Prints one
line per run and closes with "N passed, N failed" (runs). Not part of the test suite: 30 runs take
about a quarter of an hour.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"


def load_average():
    try:
        with open("/proc/loadavg") as f:
            return f.read().split()[0]
    except OSError:
        return "?"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--heatx", required=True)
    parser.add_argument("--calc")
    parser.add_argument("--runs", type=int, default=30)
    parser.add_argument("--artifacts", default=None, help="default: e2e-many beside the program's build folder")
    parser.add_argument("--keep-going", action="store_true", help="run all runs even after a failed one")
    parser.add_argument("rest", nargs=argparse.REMAINDER, help="after --: more options for run_e2e.py")
    args = parser.parse_args()
    heatx = os.path.abspath(args.heatx)
    artifacts = os.path.abspath(args.artifacts or os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
        heatx))), "e2e-many"))
    os.makedirs(artifacts, exist_ok=True)
    rest = [part for part in args.rest if part != "--"]

    passed = failed = 0
    started = time.monotonic()
    for number in range(1, args.runs + 1):
        folder = os.path.join(artifacts, f"run-{number:02d}")
        shutil.rmtree(folder, ignore_errors=True)
        command = [PYTHON, os.path.join(HERE, "run_e2e.py"), "--heatx", heatx, "--artifacts", folder, *rest]
        if args.calc:
            command += ["--calc", os.path.abspath(args.calc)]
        load = load_average()
        t0 = time.monotonic()
        result = subprocess.run(command, stdin=subprocess.DEVNULL, capture_output=True, text=True)
        lines = result.stdout.splitlines()
        closing = next((line for line in reversed(lines) if re.fullmatch(r"\d+ passed, \d+ failed", line)), "")
        ok = result.returncode == 0 and closing.endswith(" 0 failed")
        if ok:
            passed += 1
            shutil.rmtree(folder, ignore_errors=True)
        else:
            failed += 1
            with open(os.path.join(folder + "-output.txt"), "w", encoding="utf-8") as f:
                f.write(result.stdout + result.stderr)
        print(f"run {number:2d}: {'ok  ' if ok else 'FAIL'} {closing or 'no closing line'}"
              f"  ({time.monotonic() - t0:.0f} s, load {load})", flush=True)
        for line in lines:
            if line.startswith(("FAIL ", "note ")):
                print("    " + line, flush=True)
        if not ok:
            if not args.keep_going:
                break
    print(f"runs: {passed} of {passed + failed} passed in {time.monotonic() - started:.0f} s")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
