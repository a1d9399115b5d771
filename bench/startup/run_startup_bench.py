#!/usr/bin/python3
"""Startup benchmark: launch to the first painted start screen, and resident memory at that moment,
of heatx against two yardsticks measured in the same run under Xvfb: a bare Qt window (what any Qt
program needs), and a bare Qt program painting the same picture as heatx's start screen (what Qt
needs to draw this picture: the gradient, the three texts in their fonts). A third program, the same
picture on a plain background, shows what the three texts alone cost in Qt: no program drawing them
can start faster. The programs take turns, so that a change of the machine's load touches all alike.

    bench/startup/run_startup_bench.py --heatx build/src/app/heatx --bare build/bench/bare_window
        --same-picture build/bench/same_picture [--runs 15]

Prints the medians, the three ratios and the load average; exit code 0 whatever the figures (a
benchmark, not a test).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TARGETS = {"heatx / same picture, first paint": 1.05, "heatx / bare window, first paint": 1.30,
           "heatx / bare window, resident": 1.30}


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


def measure(command, env):
    start = time.monotonic_ns()
    proc = subprocess.run(command, env=env, capture_output=True, text=True, timeout=30)
    for line in proc.stderr.splitlines():
        parts = line.split()
        if len(parts) == 6 and parts[0] == "first-paint-ns":
            return (int(parts[1]) - start) / 1e6, int(parts[3]), int(parts[5]) / 1e6
    raise RuntimeError(f"{command[0]}: no first paint reported: {proc.stderr[-400:]}")


def load_average():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--heatx", required=True)
    parser.add_argument("--bare", required=True)
    parser.add_argument("--same-picture", required=True)
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    if shutil.which("Xvfb") is None:
        print("Xvfb is missing", file=sys.stderr)
        return 2
    programs = {"heatx": [args.heatx], "same picture": [args.same_picture],
                "texts alone": [args.same_picture, "--texts-alone"], "bare window": [args.bare]}
    xvfb, display = start_xvfb()
    load_before = load_average()
    try:
        env = dict(os.environ, DISPLAY=display, HEATX_STARTUP_PROBE="1",
                   XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="heatx-bench-"))
        env.pop("QT_QPA_PLATFORM", None)
        results = {name: [] for name in programs}
        for program in programs.values():
            measure(program, env)  # warm the caches of all of them
        for _ in range(args.runs):
            for name, program in programs.items():
                results[name].append(measure(program, env))
    finally:
        xvfb.kill()
    summary = {}
    for name, runs in results.items():
        ms = statistics.median(r[0] for r in runs)
        kb = statistics.median(r[1] for r in runs)
        cpu = statistics.median(r[2] for r in runs)
        summary[name] = (ms, kb, cpu)
        print(f"{name:13s} first paint {ms:7.1f} ms (median of {len(runs)})   resident {kb / 1024:6.1f} MiB"
              f"   processor time to the first paint {cpu:6.1f} ms")
    ratios = {
        "heatx / same picture, first paint": summary["heatx"][0] / summary["same picture"][0],
        "heatx / bare window, first paint": summary["heatx"][0] / summary["bare window"][0],
        "heatx / bare window, resident": summary["heatx"][1] / summary["bare window"][1],
    }
    for what, ratio in ratios.items():
        target = TARGETS[what]
        print(f"ratio  {what:34s} {ratio:.2f}x   (target {target:.2f}x or less: {'met' if ratio <= target else 'NOT met'})")
    floor = summary["texts alone"][0] / summary["bare window"][0]
    print(f"(the three texts alone in Qt, on a plain background: {floor:.2f}x the bare window's first paint)")
    cpu_same = summary["heatx"][2] / summary["same picture"][2]
    cpu_bare = summary["heatx"][2] / summary["bare window"][2]
    print(f"(processor time, which the load hardly moves: heatx / same picture {cpu_same:.2f}x, "
          f"heatx / bare window {cpu_bare:.2f}x)")
    print(f"load average before {load_before}, after {load_average()}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
