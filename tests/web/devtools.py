"""A headless Chromium driven over the DevTools protocol, the way a person uses a page.

Controls are found in the browser's accessibility tree by role and name (as a person finds a button by its
caption); pointer presses are real mouse events at the centre of the control's box, keys are real key
events, text is typed as the keyboard types it. Every network request the page makes is recorded: the
web edition may make none besides loading itself.
"""

import base64
import json
import os
import pathlib
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket


class DriveError(Exception):
    """A step of a road could not be done or a check failed."""


# Keys: DOM key, code and Windows virtual key code, as a keyboard sends them.
KEYS = {
    "Enter": ("Enter", "Enter", 13, "\r"),
    "KeypadEnter": ("Enter", "NumpadEnter", 13, "\r"),
    "Tab": ("Tab", "Tab", 9, None),
    "Escape": ("Escape", "Escape", 27, None),
    "Space": (" ", "Space", 32, " "),
    "ArrowUp": ("ArrowUp", "ArrowUp", 38, None),
    "ArrowDown": ("ArrowDown", "ArrowDown", 40, None),
    "Home": ("Home", "Home", 36, None),
    "End": ("End", "End", 35, None),
    "PageUp": ("PageUp", "PageUp", 33, None),
    "PageDown": ("PageDown", "PageDown", 34, None),
    "Backspace": ("Backspace", "Backspace", 8, None),
}
SHIFT = 8


class Browser:
    """One headless Chromium with one page."""

    def __init__(self, width=1280, height=1024, chromium="chromium"):
        self.profile = tempfile.mkdtemp(prefix="heatx-web-")
        args = [
            chromium, "--headless=new", "--no-sandbox", "--remote-debugging-port=0",
            f"--user-data-dir={self.profile}", f"--window-size={width},{height}",
            "--remote-allow-origins=*", "--disable-print-preview", "--no-first-run",
            "--no-default-browser-check", "--disable-background-networking", "--disable-component-update",
            "--disable-sync", "--disable-extensions", "--mute-audio", "--hide-scrollbars",
            "--force-device-scale-factor=1", "--font-render-hinting=none", "--disable-dev-shm-usage",
            "--disable-gpu", "about:blank",
        ]
        self.process = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        start_new_session=True)
        port_file = pathlib.Path(self.profile) / "DevToolsActivePort"
        deadline = time.monotonic() + 30
        while not port_file.exists() or len(port_file.read_text().splitlines()) < 2:
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.close()
                raise DriveError("chromium did not open its DevTools port")
            time.sleep(0.05)
        self.port = int(port_file.read_text().splitlines()[0])
        page = None
        while page is None:
            with urllib.request.urlopen(f"http://127.0.0.1:{self.port}/json/list") as answer:
                targets = json.load(answer)
            page = next((t for t in targets if t.get("type") == "page"), None)
            if page is None:
                if time.monotonic() > deadline:
                    raise DriveError("chromium has no page")
                time.sleep(0.05)
        self.target_id = page["id"]
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=60,
                                                  suppress_origin=True)
        self.next_id = 1
        self.events = []
        self.requests = []  # every request the page made: (url, type)
        self.errors = []  # exceptions thrown in the page and console errors
        for domain in ("Page", "Runtime", "Network", "DOM", "CSS", "Accessibility"):
            self.call(f"{domain}.enable")
        # The page's viewport is the screen the desktop's windows are placed on.
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                  mobile=False)

    def new_tab(self, width=1280, height=1024):
        """Another tab of the same browser (its storage and locks shared), driven through its own socket."""
        request = urllib.request.Request(f"http://127.0.0.1:{self.port}/json/new?about:blank", method="PUT")
        with urllib.request.urlopen(request) as answer:
            target = json.load(answer)
        tab = Browser.__new__(Browser)
        tab.process = None
        tab.port = self.port
        tab.target_id = target["id"]
        tab.socket = websocket.create_connection(target["webSocketDebuggerUrl"], timeout=60, suppress_origin=True)
        tab.next_id = 1
        tab.events, tab.requests, tab.errors = [], [], []
        for domain in ("Page", "Runtime", "Network", "DOM", "CSS", "Accessibility"):
            tab.call(f"{domain}.enable")
        tab.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                 mobile=False)
        return tab

    def close_tab(self):
        """Closes this tab as a student closes it (nothing asked, nothing printed)."""
        with urllib.request.urlopen(f"http://127.0.0.1:{self.port}/json/close/{self.target_id}"):
            pass
        self.socket.close()
        self.socket = None

    def close(self):
        try:
            if getattr(self, "socket", None) is not None:
                self.socket.close()
        finally:
            if self.process is None:  # a tab of another Browser's process
                return
            if self.process.poll() is None:
                try:
                    os.killpg(self.process.pid, 15)
                except ProcessLookupError:
                    pass
                try:
                    self.process.wait(10)
                except subprocess.TimeoutExpired:
                    os.killpg(self.process.pid, 9)
                    self.process.wait(10)
            shutil.rmtree(self.profile, ignore_errors=True)

    # ---- The protocol --------------------------------------------------------------------------------

    def _note(self, message):
        method = message.get("method")
        params = message.get("params", {})
        if method == "Network.requestWillBeSent":
            self.requests.append((params["request"]["url"], params.get("type", "")))
        elif method == "Runtime.exceptionThrown":
            details = params.get("exceptionDetails", {})
            self.errors.append(details.get("exception", {}).get("description") or details.get("text", ""))
        elif method == "Runtime.consoleAPICalled" and params.get("type") == "error":
            self.errors.append(" ".join(str(a.get("value", a.get("description", ""))) for a in params["args"]))
        else:
            self.events.append(message)

    def call(self, method, **params):
        ident = self.next_id
        self.next_id += 1
        self.socket.send(json.dumps({"id": ident, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == ident:
                if "error" in message:
                    raise DriveError(f"{method}: {message['error'].get('message')}")
                return message.get("result", {})
            self._note(message)

    def pump(self, seconds=0.0):
        """Reads the events that have come (for `seconds` at most)."""
        self.socket.settimeout(max(seconds, 0.001))
        end = time.monotonic() + seconds
        try:
            while True:
                try:
                    self._note(json.loads(self.socket.recv()))
                except websocket.WebSocketTimeoutException:
                    break
                if time.monotonic() >= end:
                    break
        finally:
            self.socket.settimeout(60)

    # ---- The page ----------------------------------------------------------------------------------------

    def open(self, url):
        self.events.clear()
        self.call("Page.navigate", url=url)
        self.wait(lambda: self.evaluate("document.readyState") == "complete", "the page loads", 30)

    def evaluate(self, expression, await_promise=False):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=await_promise)
        if "exceptionDetails" in result:
            raise DriveError(f"page script failed: {result['exceptionDetails'].get('text')}: {expression}")
        return result.get("result", {}).get("value")

    def wait(self, condition, what, timeout=10.0):
        deadline = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                raise DriveError(f"timed out waiting for {what}")
            self.pump(0.05)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        pathlib.Path(path).write_bytes(base64.b64decode(data))

    def title(self):
        return self.evaluate("document.title")

    # ---- The accessibility tree ----------------------------------------------------------------------------

    def tree(self):
        nodes = self.call("Accessibility.getFullAXTree")["nodes"]
        return [Node(n) for n in nodes]

    def find_all(self, role, name=None, within=None):
        nodes = self.tree()
        if within is not None:
            ids = within_ids(nodes, within.node_id)
            nodes = [n for n in nodes if n.node_id in ids]
        return [n for n in nodes
                if not n.ignored and n.role == role and (name is None or same_name(n.name, name))]

    def find(self, role, name=None, within=None, timeout=10.0):
        """The one node of this role and name (waits for it to appear)."""
        found = []

        def look():
            found[:] = self.find_all(role, name, within)
            return len(found) == 1

        try:
            self.wait(look, f"{role} {name!r}", timeout)
        except DriveError:
            if len(found) > 1:
                raise DriveError(f"{len(found)} nodes {role} {name!r}") from None
            raise
        return found[0]

    def absent(self, role, name=None, timeout=10.0):
        self.wait(lambda: not self.find_all(role, name), f"{role} {name!r} to go", timeout)

    # ---- A person's hands --------------------------------------------------------------------------------

    def centre(self, node):
        if node.dom_id is None:
            raise DriveError(f"{node.role} {node.name!r} has no box")
        quad = self.call("DOM.getBoxModel", backendNodeId=node.dom_id)["model"]["border"]
        xs = quad[0::2]
        ys = quad[1::2]
        return sum(xs) / 4.0, sum(ys) / 4.0

    def mouse(self, kind, x, y, clicks=1):
        params = {"type": kind, "x": x, "y": y}
        if kind != "mouseMoved":
            params.update(button="left", clickCount=clicks, buttons=1 if kind == "mousePressed" else 0)
        self.call("Input.dispatchMouseEvent", **params)

    def click_at(self, x, y, clicks=1):
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, clicks)
        self.mouse("mouseReleased", x, y, clicks)

    def click(self, node):
        x, y = self.centre(node)
        self.click_at(x, y)

    def key(self, name, shift=False):
        key, code, vk, text = KEYS[name]
        modifiers = SHIFT if shift else 0
        down = {"type": "keyDown" if text is not None else "rawKeyDown", "key": key, "code": code,
                "windowsVirtualKeyCode": vk, "nativeVirtualKeyCode": vk, "modifiers": modifiers}
        if text is not None:
            down.update(text=text, unmodifiedText=text)
        self.call("Input.dispatchKeyEvent", **down)
        self.call("Input.dispatchKeyEvent", type="keyUp", key=key, code=code, windowsVirtualKeyCode=vk,
                  nativeVirtualKeyCode=vk, modifiers=modifiers)

    def type(self, text):
        for ch in text:
            self.call("Input.insertText", text=ch)

    # ---- What the page holds -----------------------------------------------------------------------------

    def node_text(self, node):
        """The text of a node's element as shown (blanks kept)."""
        obj = self.call("DOM.resolveNode", backendNodeId=node.dom_id)["object"]
        result = self.call("Runtime.callFunctionOn", objectId=obj["objectId"],
                           functionDeclaration="function () { return this.textContent; }", returnByValue=True)
        return result["result"].get("value")

    def focused(self):
        nodes = [n for n in self.tree() if n.focused and not n.ignored]
        return nodes[-1] if nodes else None

    def foreign_requests(self, own_url):
        """Requests that would leave the page: anything but the page itself, data: and blob: URLs."""
        return [(url, kind) for url, kind in self.requests
                if not (url.startswith("data:") or url.startswith("blob:") or url == own_url)]


class Node:
    def __init__(self, raw):
        self.raw = raw
        self.node_id = raw["nodeId"]
        self.ignored = raw.get("ignored", False)
        self.role = raw.get("role", {}).get("value", "")
        self.name = raw.get("name", {}).get("value", "")
        self.description = raw.get("description", {}).get("value", "")
        self.dom_id = raw.get("backendDOMNodeId")
        self.parent = raw.get("parentId")
        self.children = raw.get("childIds", [])
        self.properties = {p["name"]: p.get("value", {}).get("value") for p in raw.get("properties", [])}
        self.focused = bool(self.properties.get("focused"))

    def __repr__(self):
        return f"<{self.role} {self.name!r}>"


def collapse(text):
    return " ".join(text.split())


def same_name(actual, wanted):
    """Accessible names lose runs of blanks: names are compared with blanks collapsed."""
    return collapse(actual) == collapse(wanted)


def within_ids(nodes, root_id):
    by_id = {n.node_id: n for n in nodes}
    ids = set()
    stack = [root_id]
    while stack:
        current = stack.pop()
        if current in ids or current not in by_id:
            continue
        ids.add(current)
        stack.extend(by_id[current].children)
    return ids
