#!/usr/bin/python3
"""The accessibility probe: which lifecycle step of a window or a control loses it from the bus.

    /usr/bin/python3 tests/e2e/a11y_probe.py --probe BUILD/tests/heatx_a11y_probe
        [--mode plain|announced ...] [--repeat 40] [--step NAME ...] [--strict]

Starts the probe program (tests/e2e/probe/a11y_probe.cpp) on a private X server and accessibility
bus, with event listeners registered as a screen reader registers them, and puts its window through
each step again and again. After every step the accessible tree of the probe's window must hold
exactly its visible controls, each with its role and its caption as its name, no child answered as
null, and the bus must have announced the change. Prints one line per step and mode with the number
of steps that left a gap, and closes with "N passed, N failed" (the modes run with --strict count).
"""

import argparse
import json
import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"
STEPS = ["reload", "reload-now", "detached", "late-show", "hide-show", "caption", "label", "enable", "list", "dialog",
         "window"]
# The announcement each step must cause (an AT-SPI event type prefix), beyond the tree being right.
ANNOUNCED = {
    "caption": "object:property-change:accessible-name",
    "label": "object:property-change:accessible-name",
    "hide-show": "object:state-changed:showing",
    "late-show": "object:state-changed:showing",
    "enable": "object:state-changed:enabled",
    "list": "object:children-changed",
}


def outer(args):
    sys.path.insert(0, HERE)
    from run_e2e import quote, start_xvfb, stop_group

    log = open(os.path.join(args.artifacts, "probe-session-log.txt"), "w")
    xvfb, display = start_xvfb(log)
    try:
        env = dict(os.environ, DISPLAY=display)
        for name in ("AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "XAUTHORITY"):
            env.pop(name, None)
        env.setdefault("LC_ALL", "C.UTF-8")
        subprocess.run(["xprop", "-root", "-remove", "AT_SPI_BUS"], env=env, timeout=20, stdout=log, stderr=log)
        inner = [PYTHON, os.path.abspath(__file__), "--inner", "--probe", args.probe, "--repeat", str(args.repeat),
                 "--settle", str(args.settle)]
        inner += [f"--mode={mode}" for mode in args.mode] + [f"--step={step}" for step in args.step or []]
        inner += ["--strict"] if args.strict else []
        script = ("dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress"
                  " >/dev/null; exec " + " ".join(quote(part) for part in inner))
        session = subprocess.Popen(["dbus-run-session", "--", "sh", "-c", script], env=env, cwd=HERE,
                                   stdin=subprocess.DEVNULL, stderr=log, start_new_session=True)
        try:
            return session.wait(timeout=args.limit)
        except subprocess.TimeoutExpired:
            print(f"FAIL the probe did not finish within {args.limit} s")
            print("0 passed, 1 failed")
            return 1
        finally:
            stop_group(session)
    finally:
        stop_group(xvfb)
        log.close()


class Listener:
    """The events of the probe's process, collected as a screen reader receives them."""

    def __init__(self, Atspi, pid):
        self.Atspi = Atspi
        self.pid = pid
        self.events = []
        self.listener = Atspi.EventListener.new(self._on_event)
        for kind in ("object:children-changed", "object:state-changed", "object:property-change", "window:"):
            self.listener.register(kind)

    def _on_event(self, event):
        try:
            if event.source is not None and event.source.get_process_id() != self.pid:
                return
        except Exception:
            pass
        self.events.append(event.type)

    def pump(self, seconds):
        from gi.repository import GLib

        context = GLib.MainContext.default()
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            while context.pending():
                context.iteration(False)
            time.sleep(0.01)


def tree_of(driver, Atspi, app, title):
    """(controls [[role, name], ...], null children) of the showing top-level window `title`."""
    nulls = []
    app.clear_cache()
    for window in driver.children(app):
        if driver.name_of(window) != title or not driver.showing(window):
            continue
        found = []
        stack = [window]
        while stack:
            obj = stack.pop()
            count = driver._safe(obj.get_child_count, 0) or 0
            for i in range(count):
                child = driver._safe(lambda: obj.get_child_at_index(i))
                if child is None:
                    nulls.append(f"child {i} of {driver.role_of(obj)} {driver.name_of(obj)!r}")
                    continue
                stack.append(child)
                role = driver.role_of(child)
                if role in ("push button", "label", "list", "list item", "text") and driver.showing(child):
                    found.append([role, driver.name_of(child) if role != "text" else ""])
        return found, nulls
    return None, nulls


def inner(args):
    sys.path.insert(0, HERE)
    import driver
    from driver import Atspi

    failed_modes = 0
    passed_modes = 0
    for mode in args.mode:
        process = subprocess.Popen([args.probe], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                   env=dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"),
                                   start_new_session=True)
        try:
            if process.stdout.readline().strip() != "ready":
                print(f"FAIL {mode}: the probe did not start")
                failed_modes += 1
                continue
            app = None
            deadline = time.monotonic() + 20
            while app is None and time.monotonic() < deadline:
                for candidate in driver.children(Atspi.get_desktop(0)):
                    if driver._safe(candidate.get_process_id) == process.pid:
                        app = candidate
                time.sleep(0.05)
            if app is None:
                print(f"FAIL {mode}: the probe is not on the accessibility bus")
                failed_modes += 1
                continue
            app.set_cache_mask(Atspi.Cache.NONE)
            listener = Listener(Atspi, process.pid)
            gaps_in_mode = 0
            for step in args.step or STEPS:
                gaps = []
                for n in range(args.repeat):
                    listener.events.clear()
                    process.stdin.write(f"{step} {mode}\n")
                    process.stdin.flush()
                    line = process.stdout.readline().strip()
                    if not line.startswith("done "):
                        gaps.append(f"the probe answered {line!r}")
                        break
                    census = json.loads(line.split(" ", 2)[2])
                    wanted = sorted(map(list, census["controls"]))
                    # What the bus shows a moment after the step, as a screen reader would read it.
                    listener.pump(args.settle)
                    seen, nulls = tree_of(driver, Atspi, app, census["title"])
                    seen = sorted(seen) if seen is not None else None
                    problems = []
                    if seen is None:
                        problems.append(f"no showing window {census['title']!r}")
                    elif seen != wanted:
                        missing = [c for c in wanted if c not in seen]
                        extra = [c for c in seen if c not in wanted]
                        problems.append(f"missing {missing}, not on the screen {extra}")
                    if nulls:
                        problems.append(f"null children {nulls}")
                    needed = ANNOUNCED.get(step)
                    if needed and not any(e.startswith(needed) for e in listener.events):
                        problems.append(f"no {needed} event (got {sorted(set(listener.events))})")
                    if problems:
                        gaps.append(f"#{n + 1}: " + "; ".join(problems))
                verdict = "clean" if not gaps else f"{len(gaps)} of {args.repeat} with a gap"
                print(f"{mode:9s} {step:10s} {verdict}", flush=True)
                for gap in gaps[:3]:
                    print(f"    {gap}", flush=True)
                gaps_in_mode += len(gaps)
            if gaps_in_mode and (args.strict or mode == "announced"):
                failed_modes += 1
                print(f"FAIL {mode}: {gaps_in_mode} steps left the tree unlike the screen")
            else:
                passed_modes += 1
                print(f"ok   {mode}: {gaps_in_mode} steps left a gap")
        finally:
            try:
                process.stdin.close()
            except OSError:
                pass
            process.kill()
            process.wait(timeout=5)
    print(f"{passed_modes} passed, {failed_modes} failed", flush=True)
    return 0 if failed_modes == 0 else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--mode", action="append", choices=["plain", "announced"])
    parser.add_argument("--step", action="append", choices=STEPS)
    parser.add_argument("--repeat", type=int, default=40)
    parser.add_argument("--settle", type=float, default=0.15, help="seconds between a step and the reading")
    parser.add_argument("--strict", action="store_true", help="a gap in plain mode fails too")
    parser.add_argument("--artifacts", default="/tmp")
    parser.add_argument("--limit", type=int, default=600)
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.probe = os.path.abspath(args.probe)
    args.mode = args.mode or ["plain", "announced"]
    return inner(args) if args.inner else outer(args)


if __name__ == "__main__":
    sys.exit(main())
