#!/usr/bin/python3
"""Startup benchmark: launch to the first painted start screen, and resident memory at that moment,
of heatx against a bare Qt window program, measured in the same run under Xvfb.

    bench/startup/run_startup_bench.py --heatx build/src/app/heatx --bare build/bench/bare_window [--runs 15]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def start_xvfb():
    for display in range(90, 130):
        if os.path.exists(f"/tmp/.X11-unix/X{display}") or os.path.exists(f"/tmp/.X{display}-lock"):
            continue
        proc = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                                 "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{display}"):
                return proc, f":{display}"
            time.sleep(0.05)
        proc.kill()
    raise RuntimeError("no free display for Xvfb")


def measure(program, env):
    start = time.monotonic_ns()
    proc = subprocess.run([program], env=env, capture_output=True, text=True, timeout=30)
    for line in proc.stderr.splitlines():
        parts = line.split()
        if len(parts) == 4 and parts[0] == "first-paint-ns":
            return (int(parts[1]) - start) / 1e6, int(parts[3])
    raise RuntimeError(f"{program}: no first paint reported: {proc.stderr[-400:]}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--heatx", required=True)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    if shutil.which("Xvfb") is None:
        print("Xvfb is missing", file=sys.stderr)
        return 2
    xvfb, display = start_xvfb()
    try:
        env = dict(os.environ, DISPLAY=display, HEATX_STARTUP_PROBE="1",
                   XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="heatx-bench-"))
        env.pop("QT_QPA_PLATFORM", None)
        results = {"heatx": [], "bare": []}
        measure(args.heatx, env)  # warm the caches of both
        measure(args.bare, env)
        for _ in range(args.runs):
            results["heatx"].append(measure(args.heatx, env))
            results["bare"].append(measure(args.bare, env))
    finally:
        xvfb.kill()
    summary = {}
    for name, runs in results.items():
        ms = statistics.median(r[0] for r in runs)
        kb = statistics.median(r[1] for r in runs)
        summary[name] = (ms, kb)
        print(f"{name:6s} first paint {ms:7.1f} ms (median of {len(runs)})   resident {kb / 1024:6.1f} MiB")
    time_ratio = summary["heatx"][0] / summary["bare"][0]
    memory_ratio = summary["heatx"][1] / summary["bare"][1]
    print(f"ratio  first paint {time_ratio:.2f}x   resident {memory_ratio:.2f}x   (target: 1.30x or less)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
