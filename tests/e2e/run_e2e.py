#!/usr/bin/python3
"""End-to-end roads through the real heatx program on a private X server.

    /usr/bin/python3 tests/e2e/run_e2e.py --heatx BUILD/src/app/heatx --artifacts BUILD/e2e-artifacts
        [--calc BUILD/src/cli/heatx-calc] [--road NAME ...]

Starts Xvfb on a free display (-displayfd), a private D-Bus session with the accessibility bus, and
then this script again inside it (--inner), which runs every road on a fresh heatx process. Prints one
line per check and closes with "N passed, N failed". Exit code 0 only when every check passed.
Screenshots, the printed reports and their text go to the artifacts folder, one subfolder per road.
"""

import argparse
import json
import os
import select
import shutil
import signal
import subprocess
import sys
import threading
import time
import traceback

sys.dont_write_bytecode = True  # no __pycache__ in the source tree

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"  # Debian's, the one with the gi bindings
WHOLE_RUN_LIMIT = 420  # seconds for all roads together
ROAD_NAMES = ["evaporator", "heater", "cooler", "faulty-data", "keyboard-evaporator", "keyboard-heater",
              "keyboard-cooler", "double-click-heater", "double-click-evaporator", "double-click-cooler", "every-window",
              "layout-switch", "screen-reader", "wayland-box"]
# Roads taken only when named with --road: the screen reader's road runs Orca beside the program.
# wayland-box: a box over its window under a nested Wayland compositor (--wm weston).
ON_REQUEST = {"screen-reader", "wayland-box"}


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--heatx", required=True, help="the heatx program")
    parser.add_argument("--calc", help="heatx-calc (default: ../cli/heatx-calc beside the program's folder)")
    parser.add_argument("--artifacts", required=True, help="folder for screenshots and reports")
    parser.add_argument("--road", action="append", choices=ROAD_NAMES, help="run only these roads")
    parser.add_argument("--wm", choices=["none", "openbox", "weston"], default="none",
                        help="window manager on the private X server (default: none); weston: a nested "
                             "Wayland compositor in an X window, the program on Qt's Wayland plugin")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.heatx = os.path.abspath(args.heatx)
    if not args.calc:
        args.calc = os.path.join(os.path.dirname(os.path.dirname(args.heatx)), "cli", "heatx-calc")
    args.calc = os.path.abspath(args.calc)
    args.artifacts = os.path.abspath(args.artifacts)
    return args


def say(text):
    print(text, flush=True)


# ---- outside: X server and session bus -------------------------------------------------------------------

def start_xvfb(log):
    """Xvfb on a display it chooses itself; returns (process, display)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                            stdout=log, stderr=log, start_new_session=True)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 20
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], 0.2)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        stop_group(xvfb)
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number.decode().strip()


def stop_group(process, grace=3):
    if process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGTERM)
        process.wait(timeout=grace)
    except (ProcessLookupError, subprocess.TimeoutExpired):
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            pass


def start_openbox(env, log):
    """openbox on the display, once it has announced itself on the root window."""
    wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                          start_new_session=True)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        probe = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env, capture_output=True,
                               text=True, timeout=10)
        if "window id" in probe.stdout:
            return wm
        time.sleep(0.1)
    stop_group(wm)
    raise RuntimeError("openbox did not start")


def start_weston(env, log, runtime_dir):
    """weston in a window of the X server, its socket in a private runtime folder; returns (process, socket)."""
    socket = "heatx-e2e"
    # No panel: nothing of the compositor's own lies under the pointer.
    config = os.path.join(runtime_dir, "weston.ini")
    with open(config, "w") as f:
        f.write("[shell]\npanel-position=none\n")
    wm = subprocess.Popen(["weston", "--backend=x11-backend.so", f"--socket={socket}", "--width=1200",
                           "--height=960", "--idle-time=0", f"--config={config}"], env=dict(env, XDG_RUNTIME_DIR=runtime_dir),
                          stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if os.path.exists(os.path.join(runtime_dir, socket)):
            time.sleep(0.5)
            return wm, socket
        time.sleep(0.1)
    stop_group(wm)
    raise RuntimeError("weston did not start")


def outer(args):
    started = time.monotonic()
    tools = ["Xvfb", "xdotool", "setxkbmap", "xprop", "dbus-run-session", "dbus-send", "pdftotext",
             "/usr/bin/import", "/usr/bin/convert"] + (["openbox"] if args.wm == "openbox" else []) + (["weston"] if args.wm == "weston" else [])
    missing = [tool for tool in tools if not shutil.which(tool)]
    for path in (args.heatx, args.calc):
        if not os.access(path, os.X_OK):
            missing.append(path)
    if subprocess.run([PYTHON, "-c", "import gi; gi.require_version('Atspi', '2.0')"],
                      capture_output=True).returncode != 0:
        missing.append("python3-gi with gir1.2-atspi-2.0")
    if missing:
        say("cannot run the end-to-end roads, missing: " + ", ".join(missing))
        say("0 passed, 1 failed")
        return 1

    if os.path.isdir(args.artifacts):
        for road in ROAD_NAMES:
            shutil.rmtree(os.path.join(args.artifacts, road), ignore_errors=True)
    os.makedirs(args.artifacts, exist_ok=True)
    summary_path = os.path.join(args.artifacts, "summary.json")
    if os.path.exists(summary_path):
        os.remove(summary_path)
    log = open(os.path.join(args.artifacts, "session-log.txt"), "w")

    xvfb, display = start_xvfb(log)
    session = None
    wm = None
    timed_out = False
    try:
        env = dict(os.environ)
        env["DISPLAY"] = display
        env["HEATX_E2E_WM"] = args.wm
        if args.wm == "openbox":
            wm = start_openbox(env, log)
        for name in ("AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "XAUTHORITY",
                     "QT_QPA_PLATFORM"):
            env.pop(name, None)
        if args.wm == "weston":
            runtime_dir = os.path.join(args.artifacts, "wayland-runtime")
            shutil.rmtree(runtime_dir, ignore_errors=True)
            os.makedirs(runtime_dir, mode=0o700)
            wm, socket = start_weston(env, log, runtime_dir)
            env.update(XDG_RUNTIME_DIR=runtime_dir, WAYLAND_DISPLAY=socket, QT_QPA_PLATFORM="wayland")
        env.setdefault("LC_ALL", "C.UTF-8")
        # Russian as the second keyboard group lets xdotool type Cyrillic exactly.
        subprocess.run(["setxkbmap", "-layout", "us,ru"], env=env, timeout=20, stdout=log, stderr=log)
        subprocess.run(["xprop", "-root", "-remove", "AT_SPI_BUS"], env=env, timeout=20, stdout=log, stderr=log)
        inner_command = [PYTHON, os.path.abspath(__file__), "--inner", "--heatx", args.heatx, "--calc", args.calc,
                         "--artifacts", args.artifacts, "--wm", args.wm]
        for road in args.road or []:
            inner_command += ["--road", road]
        script = ("dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress"
                  " >/dev/null; exec " + " ".join(quote(part) for part in inner_command))
        say(f"display {display}, window manager {args.wm}; artifacts in {args.artifacts}")
        session = subprocess.Popen(["dbus-run-session", "--", "sh", "-c", script], env=env, cwd=HERE,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=log,
                                   start_new_session=True)
        # The roads' lines go to the output; what the bus services say goes to the session log.
        reader = threading.Thread(target=forward_lines, args=(session.stdout, log), daemon=True)
        reader.start()
        try:
            session.wait(timeout=WHOLE_RUN_LIMIT)
        except subprocess.TimeoutExpired:
            timed_out = True
            say(f"FAIL the roads did not finish within {WHOLE_RUN_LIMIT} s; stopped")
        reader.join(timeout=2)
    finally:
        if session is not None:
            stop_group(session)
        if wm is not None:
            stop_group(wm)
        stop_group(xvfb)
        log.close()

    passed = failed = 0
    complete = False
    if os.path.exists(summary_path):
        with open(summary_path) as f:
            summary = json.load(f)
        passed, failed, complete = summary["passed"], summary["failed"], summary["complete"]
    if timed_out or not complete:
        failed += 1
        if not timed_out:
            say("FAIL the road runner ended early (see session-log.txt)")
    say(f"run time {time.monotonic() - started:.1f} s")
    say(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


def forward_lines(stream, log):
    for raw in iter(stream.readline, b""):
        line = raw.decode("utf-8", errors="replace").rstrip("\n")
        if line.startswith(("ok ", "FAIL ", "---- ", "note ")):
            say(line)
        else:
            log.write(line + "\n")
            log.flush()


def quote(text):
    return "'" + text.replace("'", "'\"'\"'") + "'"


# ---- inside: the roads ---------------------------------------------------------------------------------------

class Context:
    """The checks of one attempt at a road; their lines are printed when the attempt is over."""

    def __init__(self, road, calc, pdf):
        self.road = road
        self.calc = calc
        self.pdf = pdf
        self.passed = 0
        self.failed = 0
        self.lines = []

    def check(self, what, condition, detail=""):
        if condition:
            self.passed += 1
            self.lines.append(f"ok   {self.road}: {what}")
        else:
            self.failed += 1
            self.lines.append(f"FAIL {self.road}: {what}" + (f" -- {detail}" if detail else ""))
        return bool(condition)


def run_road(args, name, road, folder):
    """A road on a fresh program; the first problem, an accessibility gap included, ends it."""
    from driver import DriveError, Program

    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    ctx = Context(name, args.calc, os.path.join(folder, "report.pdf"))
    program = None
    try:
        program = Program(args.heatx, folder, ctx.pdf, lambda text: log_step(folder, text))
        road(ctx, program)
        ctx.check(f"the accessible tree held every control on the screen at each of {program.tree_checks} steps",
                  program.tree_checks > 0)
    except DriveError as exc:
        ctx.check("the road ran to its end", False, f"{type(exc).__name__}: {exc}")
    except Exception:  # a fault of the driver itself still counts as a failed road
        ctx.check("the road ran to its end", False, traceback.format_exc().strip().replace("\n", " | "))
    finally:
        if program is not None:
            if ctx.failed:
                try:
                    program.screenshot("FAILED")
                    program.dump(os.path.join(folder, "FAILED-accessible-tree.txt"))
                except Exception:
                    pass
            program.kill()
    return ctx


def inner(args):
    sys.path.insert(0, HERE)
    from keyboard_roads import ROADS as KEYBOARD_ROADS
    from roads import ROADS
    from screen_reader_road import ROADS as SCREEN_READER_ROADS, orca_installed
    ROADS = ROADS + KEYBOARD_ROADS + SCREEN_READER_ROADS

    passed = failed = 0
    for name, road in ROADS:
        if (args.road and name not in args.road) or (not args.road and name in ON_REQUEST):
            continue
        if name == "screen-reader" and not orca_installed():
            say(f"---- {name}: skipped, Orca is not installed")
            continue
        folder = os.path.join(args.artifacts, name)
        started = time.monotonic()
        ctx = run_road(args, name, road, folder)
        for line in ctx.lines:
            say(line)
        say(f"---- {name}: {ctx.passed} passed, {ctx.failed} failed, {time.monotonic() - started:.1f} s")
        passed += ctx.passed
        failed += ctx.failed
    with open(os.path.join(args.artifacts, "summary.json"), "w") as f:
        json.dump({"passed": passed, "failed": failed, "complete": True}, f)
    return 0 if failed == 0 else 1


def log_step(folder, text):
    with open(os.path.join(folder, "steps.txt"), "a", encoding="utf-8") as f:
        f.write(f"{time.strftime('%H:%M:%S')} {text}\n")


def main():
    args = parse_arguments()
    return inner(args) if args.inner else outer(args)


if __name__ == "__main__":
    sys.exit(main())
