"""The accessible tree against the controls on the screen.

The program, started with HEATX_WIDGET_CENSUS_FDS=IN,OUT, answers every line written to IN with the
visible top-level windows and their visible controls as its widgets hold them (title, [role, name]
pairs). check() compares that census with what the accessibility bus shows: the same showing
windows, in each the same showing buttons, labels, lists with their lines and text fields, each with
its caption as its name. A difference that does not settle within a moment is a gap: a screen reader
would read something else than the screen shows.
"""

import json
import os
from collections import Counter
import select
import time

SETTLE = 3.0  # seconds a difference may last while the program is still changing the screen
ROLES = ("push button", "label", "list", "text")


class WidgetCensus:
    """The pipes to the program's census; pass `pass_fds` and `env` to the program's Popen."""

    def __init__(self):
        self._request_read, self._request_write = os.pipe()
        self._answer_read, self._answer_write = os.pipe()
        self.pass_fds = (self._request_read, self._answer_write)
        self.env = {"HEATX_WIDGET_CENSUS_FDS": f"{self._request_read},{self._answer_write}"}
        self._buffer = b""

    def started(self):
        """The program has its ends of the pipes now: close ours."""
        os.close(self._request_read)
        os.close(self._answer_write)

    def close(self):
        for fd in (self._request_write, self._answer_read):
            try:
                os.close(fd)
            except OSError:
                pass

    def ask(self, timeout=5.0):
        """The census as a list of {"title", "controls"}, or None when the program did not answer."""
        os.write(self._request_write, b"?\n")
        deadline = time.monotonic() + timeout
        while b"\n" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            ready, _, _ = select.select([self._answer_read], [], [], left)
            if ready:
                chunk = os.read(self._answer_read, 65536)
                if not chunk:
                    return None
                self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\n", 1)
        return json.loads(line.decode("utf-8"))


def accessible_windows(driver, app):
    """{title: sorted [role, name] pairs} of the showing top-level windows on the bus."""
    windows = {}
    for window in driver.children(app):
        if not driver.showing(window):
            continue
        controls = []
        stack = [window]
        while stack:
            obj = stack.pop()
            for child in driver.children(obj):
                role = driver.role_of(child)
                if role == "list item":
                    # Lines scrolled out of the list's view are not "showing", but are in the list.
                    if driver.showing(obj):
                        controls.append(["list item", driver.name_of(child)])
                    continue
                stack.append(child)
                if role in ROLES and driver.showing(child):
                    controls.append([role, "" if role == "text" else driver.name_of(child)])
        windows.setdefault(driver.name_of(window), []).extend(controls)
    return {title: sorted(controls) for title, controls in windows.items()}


def census_windows(census):
    windows = {}
    for window in census:
        windows.setdefault(window["title"], []).extend(map(list, window["controls"]))
    return {title: sorted(controls) for title, controls in windows.items()}


def difference(on_screen, on_bus):
    """A short text of what the bus shows unlike the screen, or "" when both agree."""
    problems = []
    for title in sorted(set(on_screen) | set(on_bus)):
        if title not in on_bus:
            problems.append(f"window {title!r} is on the screen, not on the bus")
            continue
        if title not in on_screen:
            problems.append(f"window {title!r} is on the bus, not on the screen")
            continue
        screen = Counter(map(tuple, on_screen[title]))
        bus = Counter(map(tuple, on_bus[title]))
        missing = sorted((screen - bus).elements())
        extra = sorted((bus - screen).elements())
        if missing:
            problems.append(f"{title!r}: on the screen, not on the bus: {missing}")
        if extra:
            problems.append(f"{title!r}: on the bus, not on the screen: {extra}")
    return "; ".join(problems)


def check(driver, program, census, what, settle=SETTLE):
    """Raises driver.AccessibilityGap when the bus and the screen still differ after `settle` s."""
    deadline = time.monotonic() + settle
    while True:
        if not program.alive():
            return
        answer = census.ask()
        if answer is None:
            if not program.alive():
                return
            raise driver.DriveError(f"the program gave no census of its controls ({what})")
        program._fresh()
        found = difference(census_windows(answer), accessible_windows(driver, program.app))
        if not found:
            return
        if time.monotonic() > deadline:
            raise driver.AccessibilityGap(f"{what}: the accessible tree is not the screen: {found}")
        time.sleep(0.1)
