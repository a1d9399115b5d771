"""heatx's page as a student uses it: windows, buttons, boxes and lists found in the accessibility tree by
role and name, pressed with the pointer or the keyboard; what the windows show read back; screenshots of
every window; the road ends at the first failed check."""

import pathlib
import re
import time

from devtools import DriveError, collapse, same_name

# A new window or box ignores pointer presses for the double-click interval: a person's next click
# comes later than that.
PRESS_GUARD_S = 0.45


class Failure(Exception):
    """A check of the road failed: the road ends here (no retake)."""


class Page:
    def __init__(self, browser, url, artifacts, log):
        self.b = browser
        self.url = url
        self.artifacts = pathlib.Path(artifacts)
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self.shots = 0
        self.log = log
        self.checks = 0

    # ---- checks ------------------------------------------------------------------------------------------

    def check(self, what, ok, detail=""):
        self.checks += 1
        if ok:
            self.log(f"ok   {what}")
            return True
        self.log(f"FAIL {what}: {detail}")
        raise Failure(f"{what}: {detail}")

    def expect(self, what, probe, detail, timeout=5.0):
        """A check that waits up to `timeout` for `probe` to hold."""
        try:
            self.b.wait(probe, what, timeout)
        except DriveError:
            return self.check(what, False, detail())
        return self.check(what, True)

    def nothing_left_the_page(self, when):
        foreign = self.b.foreign_requests(self.url)
        self.check(f"no request left the page ({when})", not foreign, repr(foreign[:3]))
        self.check(f"no script error in the page ({when})", not self.b.errors, repr(self.b.errors[:3]))

    # ---- the page ------------------------------------------------------------------------------------------

    def start(self):
        self.b.open(self.url)

    def screenshot(self, name):
        self.shots += 1
        path = self.artifacts / f"web-{self.shots:02d}-{name}.png"
        self.b.screenshot(path)
        self.log(f"screenshot {path}")
        return path

    def windows(self):
        return [n for n in self.b.tree() if not n.ignored and n.role in ("region", "group", "alertdialog")]

    def window(self, caption, containing=None, timeout=10.0):
        """The shown window of this caption (None: any caption) holding a button `containing`."""
        found = []

        def look():
            found.clear()
            for node in self.windows():
                if caption is not None and not same_name(node.name, caption):
                    continue
                if caption is None and node.name.strip():
                    continue
                if containing is not None and not self.b.find_all("button", containing, within=node):
                    continue
                found.append(node)
            return len(found) == 1

        try:
            self.b.wait(look, f"the window {caption!r}" + (f" with {containing!r}" if containing else ""), timeout)
        except DriveError as error:
            raise Failure(f"{error} ({len(found)} found)") from None
        return found[0]

    def no_window(self, caption, timeout=8.0):
        try:
            self.b.wait(lambda: not any(same_name(w.name, caption) for w in self.windows()),
                        f"the window {caption!r} to go", timeout)
        except DriveError as error:
            raise Failure(str(error)) from None

    def front_title(self):
        return self.b.title()

    def button(self, win, caption, timeout=8.0):
        try:
            return self.b.find("button", caption, within=win, timeout=timeout)
        except DriveError as error:
            raise Failure(str(error)) from None

    def button_gone(self, win, caption, timeout=8.0):
        try:
            self.b.wait(lambda: not self.b.find_all("button", caption, within=win), f"{caption!r} to go", timeout)
        except DriveError as error:
            raise Failure(str(error)) from None

    def press(self, win, caption):
        """A pointer click on the button's centre."""
        node = self.button(win, caption)
        time.sleep(PRESS_GUARD_S)
        self.b.click(node)
        self.log(f"press {caption!r}")

    def dom_call(self, node, function):
        obj = self.b.call("DOM.resolveNode", backendNodeId=node.dom_id)["object"]
        result = self.b.call("Runtime.callFunctionOn", objectId=obj["objectId"], functionDeclaration=function,
                             returnByValue=True)
        return result["result"].get("value")

    def labels(self, win):
        """The texts of the window's shown labels, as shown (lines joined by newlines, blanks kept)."""
        return self.dom_call(win, """function () {
            return Array.from(this.querySelectorAll('.hx-label'))
                .filter((l) => !l.hidden)
                .map((l) => Array.from(l.children, (d) => d.getAttribute('aria-hidden') ? '' : d.textContent).join('\\n'));
        }""") or []

    def printed(self, win):
        """The texts printed on the window's picture."""
        return self.dom_call(win, "function () { return Array.from(this.querySelectorAll('.hx-printed'), "
                                  "(t) => t.textContent); }") or []

    def label(self, win, predicate, what, timeout=5.0):
        found = []

        def look():
            found[:] = [t for t in self.labels(win) if predicate(t)]
            return bool(found)

        self.expect(what, look, lambda: f"labels {self.labels(win)}", timeout)
        return found[0]

    def static_texts(self, win):
        return [collapse(n.name) for n in self.b.find_all("StaticText", within=win)]

    def check_tree(self, win, what):
        """Every shown button, label line and list of the window is in the accessibility tree, by role and name."""
        controls = self.dom_call(win, """function () {
            const shown = (e) => !e.closest('[hidden]');
            return {
                buttons: Array.from(this.querySelectorAll('button.hx-control')).filter(shown).map((b) => b.textContent),
                lines: Array.from(this.querySelectorAll('.hx-label > div')).filter(shown)
                    .map((d) => d.textContent).filter((t) => t.trim() !== ''),
                lists: Array.from(this.querySelectorAll('.hx-list')).filter(shown).map((l) => l.children.length),
            };
        }""")
        names = {(n.role, collapse(n.name)) for n in self.b.tree() if not n.ignored}
        missing = [b for b in controls["buttons"] if ("button", collapse(b)) not in names]
        missing += [t for t in controls["lines"] if ("StaticText", collapse(t)) not in names]
        lists = self.b.find_all("listbox", within=win)
        options = [len(self.b.find_all("option", within=lst)) for lst in lists]
        self.check(f"{what}: every shown control is in the accessibility tree", not missing and
                   sorted(options) == sorted(controls["lists"]),
                   f"missing {missing[:4]}, lists {options} vs {controls['lists']}")
        self.check_faces(win, what)
        # and nothing else: a hidden control is not there.
        buttons = sorted(collapse(n.name) for n in self.b.find_all("button", within=win))
        self.check(f"{what}: no hidden control is in the accessibility tree",
                   buttons == sorted(collapse(b) for b in controls["buttons"]),
                   f"{buttons} vs {sorted(controls['buttons'])}")

    def check_faces(self, root, what):
        """Every text under `root` is set in the page's own faces (the embedded, cut-down Liberation and
        default faces): no character falls back to a face of the machine's."""
        nodes = self.b.find_all("StaticText", within=root)
        if not nodes:
            return
        self.b.call("DOM.getDocument", depth=0)
        ids = self.b.call("DOM.pushNodesByBackendIdsToFrontend", backendNodeIds=[n.dom_id for n in nodes])["nodeIds"]
        foreign = []
        for node, ident in zip(nodes, ids):
            for face in self.b.call("CSS.getPlatformFontsForNode", nodeId=ident)["fonts"]:
                if not face.get("isCustomFont"):
                    foreign.append(f"{collapse(node.name)[:30]!r} in {face.get('familyName')}")
        self.check(f"{what}: every text is set in the page's own faces", not foreign, "; ".join(foreign[:3]))

    # ---- lists -----------------------------------------------------------------------------------------------

    def list_box(self, win):
        try:
            return self.b.find("listbox", within=win)
        except DriveError as error:
            raise Failure(str(error)) from None

    def list_lines(self, lst):
        return self.dom_call(lst, "function () { return Array.from(this.children, (o) => o.textContent); }")

    def click_list_line(self, lst, index):
        options = self.b.find_all("option", within=lst)
        node = options[index]
        self.b.call("DOM.scrollIntoViewIfNeeded", backendNodeId=node.dom_id)
        time.sleep(PRESS_GUARD_S)
        self.b.click(node)
        self.log(f"click list line {index}")

    # ---- boxes -----------------------------------------------------------------------------------------------

    def input_box(self, title, prompt, timeout=10.0):
        try:
            box = self.b.find("dialog", title, timeout=timeout)
        except DriveError as error:
            raise Failure(str(error)) from None
        texts = self.static_texts(box)
        self.check(f"the box {title!r} asks {collapse(prompt)!r}", collapse(prompt) in texts, repr(texts))
        self.check_faces(box, f"the box {title!r}")
        return box

    def field_value(self, field):
        return self.dom_call(field, "function () { return this.value; }")

    def answer(self, title, prompt, text, keyboard=False, confirm="Enter", shot=None, shows=None):
        """Types the answer into the input box and confirms it (with the pointer on "OK", or a key); the box
        shows `shows` (None: the text typed)."""
        shows = text if shows is None else shows
        box = self.input_box(title, prompt)
        field = self.b.find("textbox", within=box)
        def focused():
            node = self.b.focused()
            return node is not None and node.dom_id == field.dom_id

        self.b.wait(focused, f"the keyboard focus in the box {collapse(prompt)!r}", 8)
        if text:
            self.b.type(text)
        try:
            self.b.wait(lambda: self.field_value(field) == shows, f"the typed text {text!r} as {shows!r}", 3)
        except DriveError:
            raise Failure(f"typed {text!r}, the box shows {self.field_value(field)!r}, not {shows!r}") from None
        if shot:
            self.screenshot(shot)
        if keyboard:
            self.b.key(confirm)
        else:
            ok = self.b.find("button", "OK", within=box)
            time.sleep(PRESS_GUARD_S)
            self.b.click(ok)
        # The next box may have the same title: this box is gone when its element is.
        try:
            self.b.wait(lambda: all(d.dom_id != box.dom_id for d in self.b.find_all("dialog")),
                        f"the box {title!r} to close", 8)
        except DriveError as error:
            raise Failure(str(error)) from None
        self.log(f"answered {collapse(prompt)!r} with {text!r}")

    def live_text(self):
        """What the page's polite live region holds (what a screen reader was last told)."""
        return self.b.evaluate(
            "(() => { const r = document.querySelector('[aria-live=polite]'); return r ? r.textContent : ''; })()")

    def message_box(self, title, timeout=10.0):
        try:
            return self.b.find("alertdialog", title, timeout=timeout)
        except DriveError as error:
            raise Failure(str(error)) from None

    def answer_message(self, title, caption):
        box = self.message_box(title)
        button = self.b.find("button", caption, within=box)
        time.sleep(PRESS_GUARD_S)
        self.b.click(button)
        self.b.wait(lambda: all(d.dom_id != box.dom_id for d in self.b.find_all("alertdialog")),
                    f"the box {title!r} to close", 8)

    # ---- the keyboard ---------------------------------------------------------------------------------------

    def keys(self, *names):
        for name in names:
            shift = name.startswith("Shift+")
            self.b.key(name[6:] if shift else name, shift=shift)
            self.log(f"key {name}")
            time.sleep(0.03)

    def focused_button(self, win, caption):
        """The focus is on this button of the window; the road ends when it is not."""
        def on_it():
            node = self.b.focused()
            return node is not None and node.role == "button" and same_name(node.name, caption) and \
                node.node_id in _ids_within(self.b, win)

        self.expect(f"the focus is on {caption!r}", on_it, lambda: f"the focus is on {self.b.focused()}")

    # ---- the end of the run and the report ------------------------------------------------------------------

    def closing_page(self):
        self.expect("the closing page says 'Работа с программой окончена'",
                    lambda: self.b.find_all("StaticText", "Работа с программой окончена") and
                    self.b.title() == "Работа с программой окончена",
                    lambda: f"title {self.b.title()!r}", timeout=8)
        self.b.find("button", "Начать заново")

    def report_lines(self, timeout=8.0):
        """The lines of the report shown for printing (the view stays until it is closed)."""
        try:
            self.b.find("dialog", "ОТЧЁТ", timeout=timeout)
        except DriveError as error:
            raise Failure(f"no report shown for printing: {error}") from None
        return self.b.evaluate("document.getElementById('hx-report').hxLines")


def _ids_within(browser, root):
    from devtools import within_ids
    return within_ids(browser.tree(), root.node_id)


DATE_TIME = re.compile(r"^(\s*)\d{1,2} [а-яё]+ \d{4}г\.\s+\d{1,2}:\d{2}(:\d{2})?")


def normalised(lines):
    """Report lines without the constant left indent and trailing blanks, the date and time masked, the
    trailing empty lines dropped."""
    lines = [line.rstrip() for line in lines]
    while lines and not lines[-1]:
        lines.pop()
    indent = min((len(line) - len(line.lstrip(" ")) for line in lines if line), default=0)
    lines = [line[indent:] for line in lines]
    if lines:
        lines[0] = DATE_TIME.sub(r"\1<ДАТА ВРЕМЯ>", lines[0])
    return lines
