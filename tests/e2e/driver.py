"""Driving the real heatx program as a user would: windows, buttons, labels and lists through the
accessibility bus (AT-SPI), pointer clicks and typing through xdotool, screenshots through ImageMagick.

Every wait polls with a deadline; nothing here blocks longer than the timeout it is given.
"""

import os
import re
import signal
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

import tree_check  # noqa: E402

DEFAULT_TIMEOUT = 15.0
POLL = 0.05

IMAGEMAGICK_IMPORT = "/usr/bin/import"
IMAGEMAGICK_CONVERT = "/usr/bin/convert"


# Windows whose visible caption says nothing to a listener carry a spoken name on the bus instead; a
# road may name them by the caption on the screen.
SPOKEN_NAMES = {
    "Form4": "БИБЛИОТЕКА ПРОГРАММ. Выбор теплообменника",
    "": "РАСЧЁТ ПОДОГРЕВАТЕЛЕЙ И ДЕФЛЕГМАТОРОВ",
}


class DriveError(Exception):
    """A step of a road could not be done: the window, button or effect did not appear in time."""


class AccessibilityGap(DriveError):
    """A control on the screen that the accessibility bus does not give: a child answered as null
    while its parent still counts it. A screen reader would miss that control: the road fails."""


def _safe(call, default=None):
    try:
        return call()
    except (GLib.Error, RuntimeError, TypeError, AttributeError):
        return default


def name_of(obj):
    return _safe(obj.get_name, "") or ""


def role_of(obj):
    return _safe(obj.get_role_name, "") or ""


def children(obj):
    """The children of obj. A child answered as null is asked once more, with its parent's count:
    when the parent lost children meanwhile (a box closing) the list is read again; a child that is
    still counted and still null is a gap, and fails the road at once."""
    for _ in range(3):
        count = _safe(obj.get_child_count, 0) or 0
        result = []
        null_at = None
        for i in range(count):
            child = _safe(lambda: obj.get_child_at_index(i))
            if child is None:
                null_at = i
                break
            result.append(child)
        if null_at is None:
            return result
        if (_safe(obj.get_child_count, 0) or 0) > null_at and _safe(lambda: obj.get_child_at_index(null_at)) is None:
            raise AccessibilityGap(f"child {null_at} of {role_of(obj)} {name_of(obj)!r} is null on the "
                                   f"accessibility bus ({count} children)")
    return result


def has_state(obj, state):
    states = _safe(obj.get_state_set)
    return bool(states is not None and _safe(lambda: states.contains(state), False))


def showing(obj):
    return has_state(obj, Atspi.StateType.SHOWING)


def extents(obj):
    ext = _safe(lambda: obj.get_extents(Atspi.CoordType.SCREEN))
    if ext is None:
        return None
    return ext.x, ext.y, ext.width, ext.height


def walk(obj):
    """Depth-first: obj and all its descendants."""
    stack = [obj]
    while stack:
        current = stack.pop()
        yield current
        stack.extend(reversed(children(current)))


def find_descendant(root, role=None, name=None, predicate=None, need_showing=True):
    for obj in walk(root):
        if obj is root:
            continue
        if role is not None and role_of(obj) != role:
            continue
        if name is not None and name_of(obj) != name:
            continue
        if need_showing and not showing(obj):
            continue
        if predicate is not None and not predicate(obj):
            continue
        return obj
    return None


def text_of(obj):
    """The text of an editable text box."""
    text = _safe(obj.get_text_iface)
    if text is None:
        return None
    count = _safe(lambda: Atspi.Text.get_character_count(obj), 0)
    return _safe(lambda: Atspi.Text.get_text(obj, 0, count))


def poll(what, probe, timeout=DEFAULT_TIMEOUT):
    """Calls probe until it returns something true; raises DriveError with `what` after the timeout."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() > deadline:
            raise DriveError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(POLL)


def dump_tree(obj, indent=0, out=None):
    out = [] if out is None else out
    flags = []
    for label, state in (("showing", Atspi.StateType.SHOWING), ("default", Atspi.StateType.IS_DEFAULT),
                         ("enabled", Atspi.StateType.ENABLED)):
        if has_state(obj, state):
            flags.append(label)
    out.append(f"{' ' * indent}{role_of(obj)} {name_of(obj)!r} {extents(obj)} {','.join(flags)}")
    for child in children(obj):
        dump_tree(child, indent + 2, out)
    return out


def xdotool(*args, timeout=10):
    subprocess.run(["xdotool", *args], check=True, timeout=timeout,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def pixel(png, x, y):
    """(r, g, b) of one pixel of a screenshot."""
    out = subprocess.run([IMAGEMAGICK_CONVERT, png, "-format", f"%[pixel:p{{{x},{y}}}]", "info:"],
                         check=True, timeout=20, capture_output=True, text=True).stdout.strip()
    numbers = re.findall(r"[\d.]+%?", out)
    if out.startswith("srgb") and len(numbers) >= 3:
        values = []
        for n in numbers[:3]:
            values.append(round(float(n[:-1]) * 2.55) if n.endswith("%") else int(float(n)))
        return tuple(values)
    named = {"lime": (0, 255, 0), "red": (255, 0, 0), "yellow": (255, 255, 0), "black": (0, 0, 0),
             "white": (255, 255, 255), "cyan": (0, 255, 255), "aqua": (0, 255, 255)}
    if out in named:
        return named[out]
    raise DriveError(f"cannot read the colour {out!r} of {png} at {x},{y}")


def colour_count(png, x, y, w, h):
    """Number of distinct colours in a rectangle of a screenshot."""
    out = subprocess.run([IMAGEMAGICK_CONVERT, png, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-format", "%k",
                          "info:"], check=True, timeout=20, capture_output=True, text=True).stdout.strip()
    return int(out)


class Program:
    """One run of heatx, started in its own process group, seen through the accessibility bus."""

    def __init__(self, heatx, folder, report_pdf, log):
        self.folder = folder
        self.log = log
        self.shot_number = 0
        os.makedirs(folder, exist_ok=True)
        env = dict(os.environ)
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        env.setdefault("LC_ALL", "C.UTF-8")
        # A data folder of this run's own: the journal of the open report lives there, so that a
        # program ended by a road that failed leaves nothing for the next one to recover.
        env["XDG_DATA_HOME"] = os.path.join(folder, "data")
        # The program's own census of its controls, to hold the accessible tree against.
        self.census = tree_check.WidgetCensus()
        env.update(self.census.env)
        self.tree_checks = 0
        self.stderr_path = os.path.join(folder, "heatx-stderr.txt")
        self.process = subprocess.Popen(
            [heatx, "--print-to", report_pdf], env=env, stdin=subprocess.DEVNULL,
            stdout=open(os.path.join(folder, "heatx-stdout.txt"), "w"),
            stderr=open(self.stderr_path, "w"), start_new_session=True, pass_fds=self.census.pass_fds)
        self.census.started()
        self.app = poll("the program on the accessibility bus", self._find_app, timeout=20)
        self.last_click = None

    def check_tree(self, what):
        """The accessible tree must hold every control on the screen, and nothing else (tree_check)."""
        tree_check.check(sys.modules[__name__], self, self.census, what)
        self.tree_checks += 1

    # ---- the program ----------------------------------------------------------------------------------

    def _find_app(self):
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            if _safe(app.get_process_id) == self.process.pid:
                _safe(lambda: app.set_cache_mask(Atspi.Cache.NONE))
                return app
        return None

    def _fresh(self):
        _safe(self.app.clear_cache)

    def alive(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=10):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired as exc:
            raise DriveError(f"the program did not end within {timeout} s") from exc

    def kill(self):
        self.census.close()
        if self.process.poll() is None:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass

    def stderr_text(self):
        with open(self.stderr_path, encoding="utf-8", errors="replace") as f:
            return f.read()

    # ---- windows ---------------------------------------------------------------------------------------

    def top_windows(self):
        self._fresh()
        return [w for w in children(self.app) if showing(w)]

    def window(self, title=None, containing=None, role=None, timeout=DEFAULT_TIMEOUT):
        """A showing top-level window by its title, or by a showing button it contains."""
        title = SPOKEN_NAMES.get(title, title)
        def probe():
            if not self.alive():
                raise DriveError(f"the program ended while waiting for the window {title or containing!r}")
            for w in self.top_windows():
                if title is not None and name_of(w) != title:
                    continue
                if role is not None and role_of(w) != role:
                    continue
                if containing is not None and find_descendant(w, "push button", containing) is None:
                    continue
                return w
            return None
        found = poll(f"the window {title!r}" + (f" with {containing!r}" if containing else ""), probe, timeout)
        self.check_tree(f"the window {title or containing!r}")
        return found

    def no_window(self, title, timeout=DEFAULT_TIMEOUT):
        title = SPOKEN_NAMES.get(title, title)
        poll(f"the window {title!r} to close",
             lambda: not any(name_of(w) == title for w in self.top_windows()), timeout)

    # ---- controls --------------------------------------------------------------------------------------

    def button(self, win, caption, timeout=DEFAULT_TIMEOUT):
        def probe():
            self._fresh()
            return find_descendant(win, "push button", caption)
        return poll(f"the button {caption!r}", probe, timeout)

    def button_gone(self, win, caption, timeout=DEFAULT_TIMEOUT):
        def probe():
            self._fresh()
            return find_descendant(win, "push button", caption) is None
        poll(f"the button {caption!r} to disappear", probe, timeout)
        self.check_tree(f"the button {caption!r} gone")

    def press(self, win, caption, timeout=DEFAULT_TIMEOUT):
        """Presses a showing button by its caption (its 'Press' action: returns at once)."""
        button = self.button(win, caption, timeout)
        self.check_tree(f"before pressing {caption!r}")
        self._press_action(button, repr(caption))
        self.log(f"pressed {caption!r}")
        return button

    def _press_action(self, obj, what):
        for i in range(_safe(lambda: Atspi.Action.get_n_actions(obj), 0) or 0):
            if (_safe(lambda: Atspi.Action.get_action_name(obj, i), "") or "").lower() == "press":
                if _safe(lambda: Atspi.Action.do_action(obj, i)) is None:
                    raise DriveError(f"pressing {what} failed")
                return
        raise DriveError(f"{what} has no Press action")

    def label(self, win, predicate, what, timeout=DEFAULT_TIMEOUT):
        def probe():
            self._fresh()
            return find_descendant(win, "label", predicate=lambda o: predicate(name_of(o)))
        return poll(what, probe, timeout)

    def labels(self, win):
        self._fresh()
        return [name_of(o) for o in walk(win) if role_of(o) == "label" and showing(o)]

    def list_box(self, win, timeout=DEFAULT_TIMEOUT):
        def probe():
            self._fresh()
            return find_descendant(win, "list")
        return poll("a showing list", probe, timeout)

    def list_lines(self, lst):
        self._fresh()
        return [name_of(item) for item in children(lst) if role_of(item) == "list item"]

    def click_list_line(self, lst, index):
        """A real pointer click at the centre of a list line."""
        self._fresh()
        items = [item for item in children(lst) if role_of(item) == "list item"]
        if index >= len(items):
            raise DriveError(f"the list has {len(items)} lines, no line {index}")
        ext = extents(items[index])
        if not ext or ext[2] <= 0 or ext[3] <= 0:
            raise DriveError(f"list line {index} has no place on the screen: {ext}")
        x, y = ext[0] + min(ext[2] // 2, 200), ext[1] + ext[3] // 2
        self.check_tree(f"before clicking list line {index}")
        if self.last_click is not None and abs(self.last_click[0] - x) < 4 and abs(self.last_click[1] - y) < 4:
            x += 6  # not a double click
        # Never --sync: it blocks when the pointer is already there.
        xdotool("mousemove", str(x), str(y))
        time.sleep(0.05)
        xdotool("click", "1")
        self.last_click = (x, y)
        self.log(f"clicked list line {index} at {x},{y}")

    # ---- input boxes and message boxes -----------------------------------------------------------------

    def input_box(self, title, prompt, timeout=DEFAULT_TIMEOUT):
        """The showing input box with this title and this prompt (label), exactly."""
        def probe():
            if not self.alive():
                raise DriveError(f"the program ended while waiting for the input box {prompt!r}")
            for w in self.top_windows():
                if name_of(w) != title:
                    continue
                field = find_descendant(w, "text")
                if field is None:
                    continue
                # The prompt is the box's label; the text field carries it as its name as well.
                if find_descendant(w, "label", prompt) is not None or name_of(field) == prompt:
                    return w
            return None
        try:
            return poll(f"the input box {title!r} / {prompt!r}", probe, timeout)
        except DriveError as exc:
            seen = []
            for w in self.top_windows():
                seen.append(f"{role_of(w)} {name_of(w)!r} labels={[name_of(o) for o in walk(w) if role_of(o) == 'label']}")
            raise type(exc)(f"{exc}; showing: {seen}") from None

    def answer(self, title, prompt, text, typed=False, shot=None, timeout=DEFAULT_TIMEOUT):
        """Gives `text` to the input box and presses its default button.

        typed: click into the box and type the text with the keyboard (xdotool) instead of setting it
        through the accessible text interface; shot: take a screenshot of the filled box under this name."""
        box = self.input_box(title, prompt, timeout)
        self.check_tree(f"the input box {prompt.strip()!r}")
        field = find_descendant(box, "text")
        if typed:
            ext = extents(field)
            xdotool("mousemove", str(ext[0] + 10), str(ext[1] + ext[3] // 2))
            time.sleep(0.05)
            xdotool("click", "1")
            self.last_click = (ext[0] + 10, ext[1] + ext[3] // 2)
            time.sleep(0.1)
            xdotool("type", "--delay", "12", text, timeout=30)
            try:
                poll(f"the typed text {text!r}", lambda: text_of(field) == text, timeout=3)
            except DriveError:
                raise DriveError(f"typed {text!r} into {prompt!r}, the box shows {text_of(field)!r}") from None
        else:
            if _safe(lambda: Atspi.EditableText.set_text_contents(field, text)) is None:
                raise DriveError(f"cannot set the text of the input box {prompt!r}")
            poll(f"the text {text!r} in the box", lambda: text_of(field) == text, timeout=3)
        if shot:
            self.screenshot(shot)
        def default_button():
            self._fresh()
            return find_descendant(box, "push button",
                                   predicate=lambda o: has_state(o, Atspi.StateType.IS_DEFAULT))
        default = poll(f"the default button of the input box {prompt!r}", default_button, timeout)
        self._press_action(default, "the default button")
        poll(f"the input box {prompt!r} to close", lambda: not showing(box) or not self.alive(), timeout)
        self.log(f"answered {prompt.strip()!r} with {text!r}")

    def message_box(self, title=None, timeout=DEFAULT_TIMEOUT):
        def probe():
            for w in self.top_windows():
                if role_of(w) == "alert" and (title is None or name_of(w) == title):
                    return w
            return None
        return poll(f"a message box {title!r}", probe, timeout)

    def answer_yes_no(self, title, answer, timeout=DEFAULT_TIMEOUT):
        """Answers the showing message box ("Да" or "Нет"); returns the texts of its labels."""
        box = self.message_box(title, timeout)
        self.check_tree(f"the message box {title!r}")
        texts = [name_of(o) for o in walk(box) if role_of(o) == "label" and showing(o)]
        self.press(box, answer, timeout)
        poll(f"the message box {title!r} to close", lambda: not showing(box) or not self.alive(), timeout)
        self.log(f"answered the message box {title!r} {texts!r} with {answer!r}")
        return texts

    # ---- screenshots -----------------------------------------------------------------------------------

    def screenshot(self, name):
        self.shot_number += 1
        path = os.path.join(self.folder, f"{self.shot_number:02d}-{name}.png")
        subprocess.run([IMAGEMAGICK_IMPORT, "-window", "root", path], check=True, timeout=20,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def dump(self, path):
        lines = []
        for w in children(self.app):
            lines.extend(dump_tree(w))
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
