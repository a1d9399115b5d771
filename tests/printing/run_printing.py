#!/usr/bin/python3
"""The report survives: the real heatx program printing under Xvfb, then faults a lab machine has.

    /usr/bin/python3 tests/printing/run_printing.py --heatx BUILD/src/app/heatx --calc BUILD/src/cli/heatx-calc
        --artifacts BUILD/printing-artifacts --group signals|recovery|disk|cups

Groups:
  signals   SIGTERM, SIGINT and SIGHUP after printing: the PDF holds every printed line.
  recovery  the X server killed after a print: no handler runs; the next start renders the journal and
            tells the student where the recovered report is.
  disk      a missing folder, an existing file, and (as root, on small tmpfs mounts) a read-only
            folder, a disk with 8 KiB free and a full disk: the report is written whole or not at all,
            goes to the documents folder, and the student is told.
  cups      a private print server with a PDF queue: a job with its title; a queue that refuses jobs,
            before the press or only when the report is sent: the report goes to a file instead.
  journal   (as root, on tmpfs mounts) a home disk that fills during a report: the journal moves to the
            runtime folder; without one the press is told and nothing more is promised; no place for
            a journal or a report: the first press says so.
  keeper    the report's life across runs: two starts at once after a crash, a kill between saving
            and removing the journal (the program's test hook), a running program's journal, damaged,
            huge and pipe journals, a killed save's temporary file, two end signals, a documents
            folder that is a link to /dev/full.

Each run has its own home folder (documents folder, journal), no print server unless the test starts
one, and the evaporator's reference task printed with the tube heights 4 and 10. The printed reports are
compared with the lines of heatx-calc --report. Prints "ok ..." / "FAIL ..." / "skip ..." lines and
"N passed, N failed, N skipped"; exit code 0 when nothing failed, 77 when everything was skipped.
"""

import argparse
import glob
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
E2E = os.path.join(os.path.dirname(HERE), "e2e")
sys.path.insert(0, E2E)
PYTHON = "/usr/bin/python3"
GROUPS = ["signals", "recovery", "disk", "cups", "journal", "keeper"]
GROUP_LIMIT = 150  # seconds for one group
SKIPPED = 77

START_TITLE = "НАЧАЛО РАБОТЫ С ПРОГРАММОЙ"
RESULTS_TITLE = "РАСЧЁТ ИСПАРИТЕЛЕЙ"
HEIGHT_TITLE = "ВВОД ВЫСОТЫ ТРУБ"
HEIGHT_PROMPT = "  ВВЕДИТЕ ВЫСОТУ ТРУБ, М "
OTHER_KIND = "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА"
HEIGHT_CHANGE = "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ"
MENU_END = "ОКОНЧАНИЕ РАСЧЁТА"
NOTICE = "ОТЧЁТ"
QUEUE = "heatx-test"


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--heatx", required=True)
    parser.add_argument("--calc", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--group", required=True, choices=GROUPS)
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    args.heatx = os.path.abspath(args.heatx)
    args.calc = os.path.abspath(args.calc)
    args.artifacts = os.path.abspath(os.path.join(args.artifacts, args.group))
    return args


def say(text):
    print(text, flush=True)


# ---- outside: the X server and the session bus ----------------------------------------------------------

def outer(args):
    import run_e2e

    missing = [tool for tool in ("Xvfb", "xprop", "dbus-run-session", "dbus-send", "pdftotext")
               if not shutil.which(tool)]
    if subprocess.run([PYTHON, "-c", "import gi; gi.require_version('Atspi', '2.0')"],
                      capture_output=True).returncode != 0:
        missing.append("python3-gi with gir1.2-atspi-2.0")
    if missing:
        say("FAIL cannot run the printing tests, missing: " + ", ".join(missing))
        return 1
    if args.group == "cups" and not (os.access("/usr/sbin/cupsd", os.X_OK) and shutil.which("lpadmin")):
        say("skip cups: CUPS is not installed (cups-daemon, cups-client); scripts/install-deps installs it")
        return SKIPPED

    shutil.rmtree(args.artifacts, ignore_errors=True)
    os.makedirs(args.artifacts)
    summary_path = os.path.join(args.artifacts, "summary.json")
    log = open(os.path.join(args.artifacts, "session-log.txt"), "w")
    xvfb, display = run_e2e.start_xvfb(log)
    session = None
    try:
        env = dict(os.environ)
        env["DISPLAY"] = display
        for name in ("AT_SPI_BUS_ADDRESS", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "XAUTHORITY"):
            env.pop(name, None)
        env.setdefault("LC_ALL", "C.UTF-8")
        subprocess.run(["xprop", "-root", "-remove", "AT_SPI_BUS"], env=env, timeout=20, stdout=log, stderr=log)
        inner_command = [PYTHON, os.path.abspath(__file__), "--inner", "--heatx", args.heatx, "--calc",
                         args.calc, "--artifacts", os.path.dirname(args.artifacts), "--group", args.group]
        script = ("dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress"
                  " >/dev/null; exec " + " ".join(run_e2e.quote(part) for part in inner_command))
        session = subprocess.Popen(["dbus-run-session", "--", "sh", "-c", script], env=env, cwd=HERE,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=log,
                                   start_new_session=True)
        reader = threading.Thread(target=forward_lines, args=(session.stdout, log), daemon=True)
        reader.start()
        try:
            session.wait(timeout=GROUP_LIMIT)
        except subprocess.TimeoutExpired:
            say(f"FAIL the {args.group} tests did not finish within {GROUP_LIMIT} s")
        reader.join(timeout=2)
    finally:
        if session is not None:
            run_e2e.stop_group(session)
        run_e2e.stop_group(xvfb)
        log.close()
    if not os.path.exists(summary_path):
        say("FAIL the test runner ended early (see session-log.txt)")
        return 1
    with open(summary_path) as f:
        summary = json.load(f)
    say(f"{summary['passed']} passed, {summary['failed']} failed, {summary['skipped']} skipped")
    if summary["failed"]:
        return 1
    return SKIPPED if summary["passed"] == 0 else 0


def forward_lines(stream, log):
    for raw in iter(stream.readline, b""):
        line = raw.decode("utf-8", errors="replace").rstrip("\n")
        if line.startswith(("ok ", "FAIL ", "skip ", "---- ")):
            say(line)
        else:
            log.write(line + "\n")
            log.flush()


# ---- inside: the program -------------------------------------------------------------------------------

import tree_check  # noqa: E402
from driver import DriveError, Program, find_descendant, name_of, poll, role_of, showing, walk  # noqa: E402
from roads import EVAPORATOR, PRINT, SOURCE_TITLE, STUDENT, END_OF_WORK, normalised, pdf_lines  # noqa: E402


class Heatx(Program):
    """The program with its own arguments and environment (the driver's Program always prints to a file)."""

    def __init__(self, heatx, folder, log, arguments, env):
        self.folder = folder
        self.log = log
        self.shot_number = 0
        os.makedirs(folder, exist_ok=True)
        self.stderr_path = os.path.join(folder, f"heatx-stderr-{time.monotonic_ns()}.txt")
        # The program's census of its controls: the accessible tree is held against the screen here too.
        self.census = tree_check.WidgetCensus()
        env = dict(env, **self.census.env)
        self.tree_checks = 0
        self.process = subprocess.Popen([heatx, *arguments], env=env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=open(self.stderr_path, "w"),
                                        start_new_session=True, pass_fds=self.census.pass_fds)
        self.census.started()
        self.app = poll("the program on the accessibility bus", self._find_app, timeout=20)
        self.last_click = None


class Run:
    """One scenario: its checks, its home folder and the programs it started."""

    def __init__(self, args, name):
        self.args = args
        self.name = name
        self.folder = os.path.join(args.artifacts, name)
        shutil.rmtree(self.folder, ignore_errors=True)
        self.home = os.path.join(self.folder, "home")
        os.makedirs(self.home)
        self.documents = os.path.join(self.home, "Documents")
        self.journal = os.path.join(self.home, ".local", "share", "heatx", "journal")
        self.passed = self.failed = self.skipped = 0
        self.programs = []
        self.cleanups = []
        self.lines = []  # printed when the scenario is over

    def check(self, what, condition, detail=""):
        if condition:
            self.passed += 1
            self.lines.append(f"ok   {self.name}: {what}")
        else:
            self.failed += 1
            self.lines.append(f"FAIL {self.name}: {what}" + (f" -- {detail}" if detail else ""))
        return bool(condition)

    def skip(self, why):
        self.skipped += 1
        self.lines.append(f"skip {self.name}: {why}")

    def env(self, **extra):
        env = dict(os.environ)
        for key in list(env):
            if key.startswith("XDG_") and key != "XDG_RUNTIME_DIR":
                del env[key]
        env["HOME"] = self.home
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        env.setdefault("LC_ALL", "C.UTF-8")
        # No printer unless the test starts a print server of its own.
        env["CUPS_SERVER"] = os.path.join(self.home, "no-print-server.sock")
        env.update(extra)
        return env

    def start(self, *arguments, **env):
        p = Heatx(self.args.heatx, self.folder, self.step, list(arguments), self.env(**env))
        self.programs.append(p)
        return p

    def step(self, text):
        with open(os.path.join(self.folder, "steps.txt"), "a", encoding="utf-8") as f:
            f.write(f"{time.strftime('%H:%M:%S')} {text}\n")

    def finish(self):
        for p in self.programs:
            p.kill()
        for cleanup in reversed(self.cleanups):
            try:
                cleanup()
            except Exception as exc:  # a cleanup must not hide the result
                say(f"---- {self.name}: cleanup failed: {exc}")

    def journals(self):
        return glob.glob(os.path.join(self.journal, "*.journal"))

    def documents_reports(self):
        return sorted(glob.glob(os.path.join(self.documents, "heatx-report-*.pdf")))


# ---- the road to a printed result and the expected report ------------------------------------------------

def to_results(p):
    start = p.window(START_TITLE)
    p.press(start, "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ")
    p.answer("ВВОД ФАМИЛИИ", "  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ ", STUDENT)
    menu = p.window("Form4", containing="ИСПАРИТЕЛЬ")
    p.press(menu, "ИСПАРИТЕЛЬ")
    for label, text in EVAPORATOR:
        p.answer(SOURCE_TITLE, label, text)
    source = p.window("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", containing="НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.press(source, "НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ")
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, "4")
    return p.window(RESULTS_TITLE)


def print_result(p, results):
    p.press(results, PRINT)
    p.button_gone(results, PRINT)


def another_height(p, results, height):
    p.press(results, HEIGHT_CHANGE)
    p.answer(HEIGHT_TITLE, HEIGHT_PROMPT, height)
    p.button(results, PRINT)


def notice_text(p, title=NOTICE, dismiss=True):
    """The text of the showing notice box; presses its OK unless told not to."""
    box = p.message_box(title)

    def text_of_box():
        p._fresh()
        return "\n".join(name_of(o) for o in walk(box) if role_of(o) == "label" and showing(o))

    text = poll(f"the text of the notice {title!r}", text_of_box, timeout=5)
    p.log(f"notice {title!r}: {text!r}")
    try:
        p.screenshot("notice")  # of the main display: what the student sees
    except (subprocess.SubprocessError, OSError):
        pass
    if dismiss:
        p.press(box, "OK")
        poll(f"the notice {title!r} to close", lambda: not showing(box) or not p.alive())
    return text


def no_notice(p, seconds=1.0):
    """True when no message box shows up within the time."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if any(role_of(w) == "alert" for w in p.top_windows()):
            return False
        time.sleep(0.1)
    return True


def end_program(run, p, window, caption=END_OF_WORK):
    p.press(window, caption)
    code = p.wait_exit(timeout=15)
    run.check("the program ends with exit code 0", code == 0, f"exit code {code}")


EXPECTED = {}


def expected_report(run, heights, signature=True):
    """The report of the reference task printed for the heights, from heatx-calc --report."""
    def report(height):
        if height not in EXPECTED:
            texts = [text for _, text in EVAPORATOR]
            out = subprocess.run([run.args.calc, "evaporator", "--report", "--student", STUDENT, *texts, height],
                                 capture_output=True, text=True, timeout=30, check=True).stdout
            EXPECTED[height] = out.split("\n")
        return EXPECTED[height]

    lines = report(heights[0])
    bottom = next(i for i, line in enumerate(lines) if line.strip().startswith("|________|"))
    rows = [report(h)[bottom + 1] for h in heights]
    tail = lines[bottom + 2:] if signature else []
    return lines[:bottom + 1] + rows + tail


def same_report(run, what, pdf, heights, signature=True):
    if not run.check(f"{what}: the PDF exists", pdf is not None and os.path.isfile(pdf), str(pdf)):
        return
    try:
        actual = normalised(pdf_lines(pdf))
    except subprocess.CalledProcessError as exc:
        run.check(f"{what}: the PDF can be read", False, str(exc))
        return
    wanted = normalised(expected_report(run, heights, signature))
    differences = [f"line {i + 1}: {a!r} vs {w!r}" for i, (a, w) in enumerate(zip(actual, wanted)) if a != w]
    if len(actual) != len(wanted):
        differences.append(f"{len(actual)} lines, expected {len(wanted)}")
    run.check(f"{what}: every printed line is in it ({len(wanted)} lines)", not differences,
              "; ".join(differences[:3]))


# ---- group: signals ----------------------------------------------------------------------------------------

def signal_term(run):
    pdf = os.path.join(run.home, "report.pdf")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    another_height(p, results, "10")
    print_result(p, results)
    p.process.send_signal(signal.SIGTERM)
    code = p.wait_exit()
    run.check("SIGTERM ends the program (exit 128 + 15)", code == 128 + signal.SIGTERM, f"exit code {code}")
    same_report(run, "after SIGTERM", pdf, ["4", "10"])
    run.check("no journal is left", not run.journals(), str(run.journals()))


def signal_int(run):
    pdf = os.path.join(run.home, "report.pdf")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    p.press(results, HEIGHT_CHANGE)
    p.input_box(HEIGHT_TITLE, HEIGHT_PROMPT)  # a modal box is open when Ctrl-C comes
    p.process.send_signal(signal.SIGINT)
    code = p.wait_exit()
    run.check("SIGINT with an input box open ends the program (exit 128 + 2)", code == 128 + signal.SIGINT,
              f"exit code {code}")
    same_report(run, "after SIGINT", pdf, ["4"])


def signal_hup(run):
    pdf = os.path.join(run.home, "report.pdf")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    text = notice_text(p, dismiss=False)  # the notice is still open at the logout
    run.check("the first press tells the file", text == "Отчёт сохраняется в файл:\n" + pdf, repr(text))
    p.process.send_signal(signal.SIGHUP)
    code = p.wait_exit()
    run.check("SIGHUP ends the program (exit 128 + 1)", code == 128 + signal.SIGHUP, f"exit code {code}")
    same_report(run, "after SIGHUP", pdf, ["4"])
    run.check("standard error names the file", "отчёт записан в файл " + pdf in p.stderr_text(),
              p.stderr_text())


# ---- group: recovery -------------------------------------------------------------------------------------

def display_lost(run):
    import run_e2e

    log = open(os.path.join(run.folder, "second-xvfb.txt"), "w")
    xvfb, display = run_e2e.start_xvfb(log)
    run.cleanups.append(lambda: run_e2e.stop_group(xvfb))
    pdf = os.path.join(run.home, "report.pdf")
    p = run.start("--print-to", pdf, DISPLAY=display)
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    run_e2e.stop_group(xvfb)  # the X server dies under the program
    code = p.wait_exit()
    run.check("the program ends when its display is lost", code != 0, f"exit code {code}")
    run.check("no report was written by the dying program", not os.path.exists(pdf))
    run.check("the journal of the report is on the disk", len(run.journals()) == 1, str(run.journals()))

    again = run.start()
    text = notice_text(again)
    recovered = run.documents_reports()
    run.check("the next start renders the journal into the documents folder", len(recovered) == 1,
              str(recovered))
    run.check("the student is told where the recovered report is",
              bool(recovered) and recovered[0] in text and "восстановлены" in text, repr(text))
    same_report(run, "the recovered report", recovered[0] if recovered else None, ["4"], signature=False)
    run.check("the journal is gone after the recovery", not run.journals(), str(run.journals()))
    end_program(run, again, again.window(START_TITLE))


# ---- group: disk -----------------------------------------------------------------------------------------

def mount_tmpfs(run, name, options):
    """A tmpfs mounted for the run; None (with a skip) where mounting is impossible."""
    folder = os.path.join(run.home, name)
    os.makedirs(folder)
    if os.geteuid() != 0:
        run.skip(f"a tmpfs cannot be mounted without root (the CI runs as root); {name} not tested")
        return None
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "heatx-test", folder], capture_output=True,
                            text=True, timeout=20)
    if result.returncode != 0:
        run.skip(f"mounting a tmpfs failed ({result.stderr.strip()}); {name} not tested")
        return None
    run.cleanups.append(lambda: subprocess.run(["umount", "-l", folder], timeout=20))
    return folder


def fill(folder, leave):
    """Fills the file system of the folder until `leave` bytes are free (0: until it is full)."""
    stat = os.statvfs(folder)
    free = stat.f_bavail * stat.f_frsize
    fd = os.open(os.path.join(folder, "filler"), os.O_WRONLY | os.O_CREAT, 0o644)
    try:
        if free > leave:
            os.write(fd, b"\0" * (free - leave))
        while leave == 0:
            os.write(fd, b"\0" * 512)
    except OSError:
        pass
    finally:
        os.close(fd)


def files_in(folder):
    return sorted(os.listdir(folder))


def missing_folder(run):
    pdf = os.path.join(run.home, "missing", "report.pdf")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    text = notice_text(p)
    planned = run.documents_reports()
    run.check("the first press says the folder is missing and where the report goes instead",
              "Папка " + os.path.dirname(pdf) + " не существует." in text and
              "Отчёт сохраняется в файл:\n" + os.path.join(run.documents, "heatx-report-") in text, repr(text))
    end_program(run, p, results)
    saved = run.documents_reports()
    run.check("the report went to the documents folder", len(saved) == 1 and saved[0] in text,
              f"{saved} {planned}")
    same_report(run, "the fallback report", saved[0] if saved else None, ["4"])


def existing_file(run):
    pdf = os.path.join(run.home, "report.pdf")
    with open(pdf, "wb") as f:
        f.write(b"an earlier run's report")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    text = notice_text(p)
    second = os.path.join(run.home, "report-2.pdf")
    run.check("the student is told the file is kept and the new name",
              "уже есть" in text and "Отчёт сохраняется в файл:\n" + second in text, repr(text))
    end_program(run, p, results)
    with open(pdf, "rb") as f:
        run.check("the earlier file is untouched", f.read() == b"an earlier run's report")
    same_report(run, "the new report", second, ["4"])


def read_only_folder(run):
    folder = mount_tmpfs(run, "read-only", "ro,size=64k")
    if folder is None:
        return
    pdf = os.path.join(folder, "report.pdf")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    text = notice_text(p)
    run.check("the first press says the folder cannot be written and where the report goes",
              "В папку " + folder + " нельзя записать файл" in text and run.documents in text, repr(text))
    end_program(run, p, results)
    same_report(run, "the fallback report", (run.documents_reports() or [None])[0], ["4"])


def small_disk(run):
    folder = mount_tmpfs(run, "small", "size=16k")
    if folder is None:
        return
    fill(folder, 8192)
    pdf = os.path.join(folder, "report.pdf")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    text = notice_text(p)
    run.check("the first press tells the file asked for", text == "Отчёт сохраняется в файл:\n" + pdf, repr(text))
    p.press(results, OTHER_KIND)  # leaving the task ends the report: 12 KB do not fit in 8 KiB
    text = notice_text(p)
    saved = run.documents_reports()
    run.check("the student is told the file did not fit and where the report went",
              "Файл " + pdf + " не удалось записать: на диске нет места." in text and bool(saved) and
              saved[0] in text, repr(text))
    run.check("nothing is left on the small disk, no truncated file, no temporary one",
              files_in(folder) == ["filler"], str(files_in(folder)))
    run.check("standard error does not claim the asked file was written",
              "отчёт записан в файл " + pdf not in p.stderr_text(), p.stderr_text())
    end_program(run, p, p.window("Form4", containing="ИСПАРИТЕЛЬ"), MENU_END)
    same_report(run, "the fallback report", saved[0] if saved else None, ["4"])


def full_disk(run):
    folder = mount_tmpfs(run, "full", "size=16k")
    if folder is None:
        return
    fill(folder, 0)
    pdf = os.path.join(folder, "report.pdf")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    p.press(results, END_OF_WORK)  # the end button ends the report: nothing fits on the full disk
    text = notice_text(p)
    saved = run.documents_reports()
    run.check("before the end the student is told the file could not be written and where the report went",
              "не удалось записать: на диске нет места." in text and bool(saved) and saved[0] in text, repr(text))
    code = p.wait_exit(timeout=15)
    run.check("then the program ends with exit code 0", code == 0, f"exit code {code}")
    run.check("no empty file is left at the asked path", files_in(folder) == ["filler"], str(files_in(folder)))
    same_report(run, "the fallback report", (run.documents_reports() or [None])[0], ["4"])
    run.check("standard error says why", "не удалось записать: на диске нет места" in p.stderr_text(),
              p.stderr_text())


def full_disk_at_logout(run):
    folder = mount_tmpfs(run, "full", "size=16k")
    if folder is None:
        return
    fill(folder, 0)
    p = run.start("--print-to", os.path.join(folder, "report.pdf"))
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    p.process.send_signal(signal.SIGTERM)
    code = p.wait_exit(timeout=10)  # no notice waits for an answer at a logout
    run.check("SIGTERM ends the program at once although the file could not be written",
              code == 128 + signal.SIGTERM, f"exit code {code}")
    run.check("no empty file is left at the asked path", files_in(folder) == ["filler"], str(files_in(folder)))
    same_report(run, "the fallback report", (run.documents_reports() or [None])[0], ["4"])


# ---- group: cups -----------------------------------------------------------------------------------------

class PrintServer:
    """A private cupsd: its own configuration folder and socket, one queue that writes each job to a PDF
    file named after the job's title (as PDF printers do)."""

    def __init__(self, run):
        self.root = tempfile.mkdtemp(prefix="heatx-cups-")
        self.socket = os.path.join(self.root, "cups.sock")
        self.out = os.path.join(self.root, "out")
        for name in ("etc", "spool", "tmp", "state", "cache", "log", "bin/backend", "bin/daemon", "bin/filter",
                     "out"):
            os.makedirs(os.path.join(self.root, name))
        os.chmod(self.out, 0o1777)
        os.symlink("/usr/lib/cups/daemon/cups-exec", os.path.join(self.root, "bin/daemon/cups-exec"))
        backend = os.path.join(self.root, "bin/backend/pdfout")
        with open(backend, "w") as f:
            f.write('#!/bin/sh\n'
                    'if [ $# -eq 0 ]; then echo \'file pdfout "Unknown" "PDF files"\'; exit 0; fi\n'
                    'title=$(printf "%s" "$3" | tr "/" "_")\n'
                    'cat "${6:--}" > "${DEVICE_URI#pdfout:}/$title.pdf"\n')
        os.chmod(backend, 0o700)
        with open(os.path.join(self.root, "etc/cupsd.conf"), "w") as f:
            f.write(f"Listen {self.socket}\nLogLevel info\nBrowsing Off\nDefaultAuthType None\nWebInterface No\n"
                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n  </Limit>\n</Policy>\n")
        with open(os.path.join(self.root, "etc/cups-files.conf"), "w") as f:
            for key, sub in (("ServerRoot", "etc"), ("ServerBin", "bin"), ("RequestRoot", "spool"),
                             ("TempDir", "tmp"), ("StateDir", "state"), ("CacheDir", "cache"),
                             ("AccessLog", "log/access_log"), ("ErrorLog", "log/error_log"),
                             ("PageLog", "log/page_log"), ("Printcap", "printcap")):
                f.write(f"{key} {os.path.join(self.root, sub)}\n")
            f.write("SystemGroup root\n" if os.geteuid() == 0 else "")
        self.env = dict(os.environ, CUPS_SERVER=self.socket)
        self.process = subprocess.Popen(["/usr/sbin/cupsd", "-f", "-c", os.path.join(self.root, "etc/cupsd.conf"),
                                         "-s", os.path.join(self.root, "etc/cups-files.conf")],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        start_new_session=True)
        poll("the print server", lambda: os.path.exists(self.socket), timeout=10)
        self.admin("lpadmin", "-p", QUEUE, "-E", "-v", "pdfout:" + self.out)
        self.admin("lpadmin", "-d", QUEUE)

    def admin(self, *command):
        subprocess.run(list(command), env=self.env, check=True, capture_output=True, timeout=20)

    def stop(self):
        import run_e2e

        run_e2e.stop_group(self.process)
        shutil.rmtree(self.root, ignore_errors=True)


def print_server(run):
    server = PrintServer(run)
    run.cleanups.append(server.stop)
    return server


def cups_accepting(run):
    server = print_server(run)
    p = run.start(CUPS_SERVER=server.socket)
    results = to_results(p)
    print_result(p, results)
    run.check("printing to a printer says nothing on screen", no_notice(p))
    end_program(run, p, results)
    run.check("standard error names the printer", "отчёт отправлен на принтер " + QUEUE in p.stderr_text(),
              p.stderr_text())
    jobs = poll("the job's PDF", lambda: glob.glob(os.path.join(server.out, "*.pdf")), timeout=10)
    title = os.path.basename(jobs[0])[:-4] if jobs else ""
    run.check("the job carries a title with the apparatus, the student and the date and time",
              title.startswith("Расчет испарителя - ") and time.strftime("%Y-%m-%d ") in title and
              STUDENT.split()[0][1:] in title, title)
    same_report(run, "the printed job", jobs[0] if jobs else None, ["4"])
    run.check("nothing went to a file", not run.documents_reports(), str(run.documents_reports()))


def cups_rejecting(run):
    server = print_server(run)
    server.admin("cupsreject", QUEUE)
    p = run.start(CUPS_SERVER=server.socket)
    results = to_results(p)
    print_result(p, results)
    text = notice_text(p)
    run.check("a queue that takes no jobs is told at the first press, with the file instead",
              "Принтер " + QUEUE + " не принимает задания." in text and
              "Отчёт сохраняется в файл:\n" + run.documents in text, repr(text))
    end_program(run, p, results)
    same_report(run, "the report in the documents folder", (run.documents_reports() or [None])[0], ["4"])
    run.check("the refusing queue made no job", not glob.glob(os.path.join(server.out, "*")))


def cups_refused_when_sent(run):
    server = print_server(run)
    p = run.start(CUPS_SERVER=server.socket)
    results = to_results(p)
    print_result(p, results)
    run.check("an accepting queue: nothing said at the press", no_notice(p, 0.5))
    server.admin("cupsreject", QUEUE)  # the queue stops taking jobs before the report is sent
    p.press(results, OTHER_KIND)
    text = notice_text(p)
    saved = run.documents_reports()
    run.check("the refused job is noticed and the report saved to a file instead",
              "не принял задание" in text and bool(saved) and "Отчёт сохранён в файл:\n" + saved[0] in text,
              repr(text))
    end_program(run, p, p.window("Form4", containing="ИСПАРИТЕЛЬ"), MENU_END)
    same_report(run, "the report in the documents folder", saved[0] if saved else None, ["4"])


# ---- group: keeper ---------------------------------------------------------------------------------------

JOURNAL_HEADER = "heatx-journal 1\n"


def runtime_folder(run, name="runtime"):
    """A runtime folder of the run's own (the spare place of the journals)."""
    folder = os.path.join(run.folder, name)
    os.makedirs(folder, mode=0o700, exist_ok=True)
    os.chmod(folder, 0o700)
    return folder


def planted_journal(run, name, heights=("4",), body=None, home=None):
    """A journal as a run that died with its report open leaves it: the report of the heights."""
    folder = os.path.join(home or run.home, ".local", "share", "heatx", "journal")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name)
    if body is None:
        lines = expected_report(run, list(heights), signature=False)
        while lines and lines[-1] == "":
            lines.pop()
        body = (JOURNAL_HEADER + "T Расчет испарителя - test\nF 9 Courier New Cyr\n" +
                "".join("L " + line + "\n" for line in lines)).encode("utf-8")
    with open(path, "wb") as f:
        f.write(body)
    return path


def heatx_plain(run, env, name):
    """The program started without the accessibility driver (for starts that must happen at once)."""
    err = open(os.path.join(run.folder, f"stderr-{name}.txt"), "w")
    process = subprocess.Popen([run.args.heatx], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=err, start_new_session=True)
    run.cleanups.append(lambda: stop_plain(process))
    return process, err.name


def stop_plain(process):
    if process.poll() is None:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait(timeout=10)


def read_text(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def press_until(p, results, heights, stop=lambda: False, limit=30):
    """Prints one more row per press (heights 5 to 10 in turn) until a notice shows or stop() holds; the
    heights printed are appended. Returns the notice's title and text, or None."""
    for i in range(limit):
        height = str(5 + i % 6)
        another_height(p, results, height)
        p.press(results, PRINT)
        heights.append(height)
        for title in ("ОШИБКА !", NOTICE):
            try:
                p.message_box(title, timeout=0.6)
            except DriveError:
                continue
            return title, notice_text(p, title)
        p.button_gone(results, PRINT)
        if stop():
            return None
    return None


def disk_fills(run):
    """Case: the home disk fills during a report; the journal moves to the runtime folder whole."""
    home = mount_tmpfs(run, "home-disk", "size=2m")
    if home is None:
        return
    runtime = runtime_folder(run)
    env = dict(HOME=home, XDG_RUNTIME_DIR=runtime)
    p = run.start(**env)
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    fill(home, 0)
    heights = ["4"]
    spare_journals = os.path.join(runtime, "heatx-journal", "*.journal")
    told = press_until(p, results, heights, stop=lambda: glob.glob(spare_journals))
    run.check("no notice: the lines are safe in the spare journal", told is None, repr(told))
    spare = glob.glob(spare_journals)
    run.check("the journal moved to the runtime folder", len(spare) == 1, str(spare))
    run.check("the journal on the full disk is gone",
              not glob.glob(os.path.join(home, ".local/share/heatx/journal/*.journal")))
    p.kill()  # kill -9: only the journal has the report
    os.unlink(os.path.join(home, "filler"))
    again = run.start(**env)
    text = notice_text(again)
    saved = sorted(glob.glob(os.path.join(home, "Documents", "heatx-report-*.pdf")))
    run.check("the next start tells where the recovered report is", bool(saved) and saved[0] in text, repr(text))
    same_report(run, f"the recovered report ({len(heights)} rows)", saved[0] if saved else None, heights,
                signature=False)
    end_program(run, again, again.window(START_TITLE))


def disk_fills_without_spare(run):
    """Case: the home disk fills and there is no other place: the press is told, nothing more promised."""
    home = mount_tmpfs(run, "home-disk", "size=2m")
    if home is None:
        return
    env = dict(HOME=home, XDG_RUNTIME_DIR="")
    p = run.start(**env)
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    fill(home, 0)
    heights = ["4"]
    told = press_until(p, results, heights)
    run.check("the press whose lines could not be journalled is told at once",
              told is not None and told[0] == "ОШИБКА !" and "Журнал отчёта не удалось записать: на диске нет места"
              in told[1] and "пропадут, если она будет прервана" in told[1], repr(told))
    p.press(results, OTHER_KIND)
    text = notice_text(p, "ОШИБКА !")
    run.check("the failure promises only the lines on the disk",
              text.startswith("Отчёт не удалось сохранить.") and "Напечатанные строки сохранены" not in text and
              "будут восстановлены" in text, repr(text))
    p.kill()
    os.unlink(os.path.join(home, "filler"))
    again = run.start(**env)
    text = notice_text(again, "ОШИБКА !") if not no_notice(again, 0.1) else ""
    saved = sorted(glob.glob(os.path.join(home, "Documents", "heatx-report-*.pdf")))
    run.check("the next start recovers what was promised and tells where", bool(saved) and saved[0] in text,
              repr(text))
    if saved:
        got = [line for line in normalised(pdf_lines(saved[0])) if line.strip()]
        want = [line for line in normalised(expected_report(run, ["4"], signature=False)) if line.strip()]
        run.check("the recovered report holds the head and the first row", got[:len(want)] == want,
                  f"{len(got)} lines")
    end_program(run, again, again.window(START_TITLE))


def nowhere_to_keep(run):
    """Case: HOME read-only, no printer, no runtime folder: the first press says so."""
    home = mount_tmpfs(run, "read-only-home", "ro,size=64k")
    if home is None:
        return
    p = run.start(HOME=home, XDG_RUNTIME_DIR="")
    results = to_results(p)
    print_result(p, results)
    text = notice_text(p, "ОШИБКА !")
    run.check("the first press says the report can be neither saved nor protected",
              "Отчёт некуда сохранить" in text and "Журнал отчёта не удалось записать" in text and
              "пропадут, если она будет прервана" in text, repr(text))
    p.press(results, END_OF_WORK)
    text = notice_text(p, "ОШИБКА !")
    run.check("at the end nothing is promised", text.startswith("Отчёт не удалось сохранить.") and
              "будут восстановлены" not in text, repr(text))
    code = p.wait_exit(timeout=15)
    run.check("then the program ends with exit code 0", code == 0, f"exit code {code}")


def two_starts_at_once(run):
    """Case: two starts at once after a crash recover the journal once."""
    planted_journal(run, "report-99999-1.journal", body=None)
    env = run.env(XDG_RUNTIME_DIR=runtime_folder(run))
    env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    first, first_err = heatx_plain(run, env, "first")
    second, second_err = heatx_plain(run, env, "second")
    def recovering():
        return [name for name, path in (("first", first_err), ("second", second_err))
                if "незаконченный отчёт восстановлен" in read_text(path)] or None

    poll("a start that recovered the journal", recovering, timeout=30)
    time.sleep(3)  # the other start has had its chance to recover it a second time
    run.check("exactly one report is recovered", len(run.documents_reports()) == 1, str(run.documents_reports()))
    run.check("the journal is gone", not run.journals(), str(run.journals()))
    told = recovering() or []
    run.check("one of the two starts recovered it", len(told) == 1, str(told))
    same_report(run, "the recovered report", (run.documents_reports() or [None])[0], ["4"], signature=False)


def kill_between_saving_and_removing(run):
    """Case: a kill after the report is saved and before its journal is removed (the test hook)."""
    p = run.start(HEATX_TEST_KILL_AFTER_SAVING="1")
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    p.press(results, OTHER_KIND)
    code = p.wait_exit(timeout=15)
    run.check("the program is killed between saving and removing", code == -signal.SIGKILL, f"exit code {code}")
    run.check("the report is saved and its journal left", len(run.documents_reports()) == 1 and
              len(run.journals()) == 1, f"{run.documents_reports()} {run.journals()}")
    again = run.start()
    text = notice_text(again)
    run.check("the next start makes no second report", len(run.documents_reports()) == 1,
              str(run.documents_reports()))
    run.check("the student is told where the report was saved",
              "отчёт уже был сохранён в файл:\n" + run.documents_reports()[0] in text, repr(text))
    run.check("the journal is removed", not run.journals(), str(run.journals()))
    same_report(run, "the one report", run.documents_reports()[0], ["4"])
    end_program(run, again, again.window(START_TITLE))


def running_journal_kept(run):
    """Case: a start while another program prints leaves that program's journal alone."""
    pdf = os.path.join(run.home, "report.pdf")
    p = run.start("--print-to", pdf)
    results = to_results(p)
    print_result(p, results)
    notice_text(p)
    held = run.journals()
    other = run.start()
    other.window(START_TITLE)
    run.check("the second start recovers nothing", no_notice(other, 1.0) and not run.documents_reports())
    run.check("the running program's journal is still there", held and run.journals() == held, str(held))
    end_program(run, other, other.window(START_TITLE))
    end_program(run, p, results)
    same_report(run, "the running program's report", pdf, ["4"])


def damaged_journals(run):
    """Case: a zeroed first line with five intact rows, and CR LF line ends."""
    lines = [line for line in expected_report(run, ["4"], signature=False) if line]
    rows = "".join("L " + line + "\n" for line in lines[:5])
    planted_journal(run, "report-99999-1.journal", body=b"\0" * 15 + b"\n" + rows.encode("utf-8"))
    planted_journal(run, "report-99999-2.journal",
                    body=(JOURNAL_HEADER + rows).replace("\n", "\r\n").encode("utf-8"))
    p = run.start(XDG_RUNTIME_DIR=runtime_folder(run))
    texts = [notice_text(p, "ОШИБКА !"), notice_text(p, "ОШИБКА !")]
    saved = run.documents_reports()
    told = sorted(path for path in saved for t in texts if path in t)
    run.check("each damaged journal is told, with its recovered file", len(saved) == 2 and told == saved and all(
        "Журнал отчёта повреждён" in t and "(5)" in t for t in texts), repr(texts))
    for path in saved:
        got = normalised(pdf_lines(path))
        run.check(f"{os.path.basename(path)} holds the five readable lines", got == normalised(lines[:5]), str(got))
    aside = sorted(os.listdir(run.journal))
    run.check("both journals are kept aside", aside == ["report-99999-1.journal.damaged",
                                                       "report-99999-2.journal.damaged"], str(aside))
    end_program(run, p, p.window(START_TITLE))


def huge_and_pipe_journals(run):
    """Case: a 10 MiB journal and a pipe named like a journal do not hold up the start."""
    row = "L " + "x" * 98 + "\n"
    planted_journal(run, "report-99999-1.journal", body=(JOURNAL_HEADER + row * 100000).encode())
    os.mkfifo(os.path.join(run.journal, "report-99999-2.journal"))
    p = run.start(XDG_RUNTIME_DIR=runtime_folder(run))
    text = notice_text(p, "ОШИБКА !")
    run.check("the huge journal is read in part, set aside and told", "прочитан не весь" in text and
              os.path.exists(os.path.join(run.journal, "report-99999-1.journal.damaged")), repr(text))
    p.window(START_TITLE)
    p.process.send_signal(signal.SIGTERM)
    code = p.wait_exit()
    run.check("SIGTERM ends the run cleanly (exit 128 + 15)", code == 128 + signal.SIGTERM, f"exit code {code}")
    run.check("the pipe is left alone", os.path.exists(os.path.join(run.journal, "report-99999-2.journal")))


def smaller_points(run):
    """Case: a killed save's temporary file, SIGTERM then SIGINT, the documents folder a link to /dev/full."""
    os.makedirs(run.documents)
    dead = subprocess.Popen(["true"])
    dead.wait()
    stale = os.path.join(run.documents, f".heatx-report-{dead.pid}-0.part")
    with open(stale, "wb") as f:
        f.write(b"%PDF cut short")
    p = run.start()
    p.window(START_TITLE)
    run.check("the temporary file of a killed save is removed at the start", not os.path.exists(stale))
    # Two signals pending at once are delivered lowest number first, so SIGINT goes only after the program
    # has taken SIGTERM: the second signal then arrives while the run is already ending.
    p.process.send_signal(signal.SIGTERM)
    deadline = time.monotonic() + 10
    while "получен сигнал 15" not in p.stderr_text() and p.process.poll() is None and time.monotonic() < deadline:
        time.sleep(0.01)
    p.process.send_signal(signal.SIGINT)
    code = p.wait_exit()
    err = p.stderr_text()
    run.check("standard error and the exit status both name the first signal",
              code == 128 + signal.SIGTERM and "получен сигнал 15" in err and "получен сигнал 2" not in err,
              f"exit code {code}; {err[-300:]!r}")

    shutil.rmtree(run.documents)
    os.symlink("/dev/full", run.documents)
    p = run.start()
    results = to_results(p)
    print_result(p, results)
    text = notice_text(p, "ОШИБКА !")
    run.check("a documents folder that is a link to /dev/full is told as such",
              "Путь " + run.documents + " ведёт не к папке, а к устройству." in text and "не удалось создать" not in text,
              repr(text))
    p.press(results, END_OF_WORK)
    text = notice_text(p, "ОШИБКА !")
    run.check("the report that could not be saved is promised from the journal",
              "Напечатанные строки сохранены в журнале и будут восстановлены" in text, repr(text))
    code = p.wait_exit(timeout=15)
    run.check("then the program ends with exit code 0", code == 0, f"exit code {code}")


SCENARIOS = {
    "signals": [("sigterm", signal_term), ("sigint", signal_int), ("sighup", signal_hup)],
    "recovery": [("display-lost", display_lost)],
    "disk": [("missing-folder", missing_folder), ("existing-file", existing_file),
             ("read-only-folder", read_only_folder), ("small-disk", small_disk), ("full-disk", full_disk),
             ("full-disk-at-logout", full_disk_at_logout)],
    "cups": [("cups-accepting", cups_accepting), ("cups-rejecting", cups_rejecting),
             ("cups-refused-when-sent", cups_refused_when_sent)],
    "journal": [("disk-fills", disk_fills), ("disk-fills-without-spare", disk_fills_without_spare),
                ("nowhere-to-keep", nowhere_to_keep)],
    "keeper": [("two-starts-at-once", two_starts_at_once),
               ("kill-between-saving-and-removing", kill_between_saving_and_removing),
               ("running-journal-kept", running_journal_kept), ("damaged-journals", damaged_journals),
               ("huge-and-pipe-journals", huge_and_pipe_journals), ("smaller-points", smaller_points)],
}


def take(args, name, scenario):
    """A scenario on fresh programs, once: the first problem fails it."""
    run = Run(args, name)
    try:
        scenario(run)
    except DriveError as exc:
        run.check("the scenario ran to its end", False, str(exc))
    except Exception:
        run.check("the scenario ran to its end", False, traceback.format_exc().strip().replace("\n", " | "))
    finally:
        if run.failed:
            for p in run.programs:
                try:
                    if p.alive():
                        p.screenshot("FAILED")
                except Exception:
                    pass
        run.finish()
    return run


def inner(args):
    passed = failed = skipped = 0
    for name, scenario in SCENARIOS[args.group]:
        started = time.monotonic()
        run = take(args, name, scenario)
        for line in run.lines:
            say(line)
        say(f"---- {name}: {run.passed} passed, {run.failed} failed, {run.skipped} skipped, "
            f"{time.monotonic() - started:.1f} s")
        passed, failed, skipped = passed + run.passed, failed + run.failed, skipped + run.skipped
    with open(os.path.join(args.artifacts, "summary.json"), "w") as f:
        json.dump({"passed": passed, "failed": failed, "skipped": skipped}, f)
    return 0 if failed == 0 else 1


def main():
    args = parse_arguments()
    return inner(args) if args.inner else outer(args)


if __name__ == "__main__":
    sys.exit(main())
