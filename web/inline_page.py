#!/usr/bin/env python3
"""Makes the linked page of the browser edition one file that opens from disk.

    inline_page.py --page LINKED.html [--search DIR ...] --output heatx.html [--depfile heatx.html.d]
    inline_page.py --check heatx.html

Scripts the page loads from beside it (<script src="...">) and its style sheets (<link rel="stylesheet"
href="...">) are written into it; they are looked for next to the linked page, then in each --search
folder. The result is refused, and not written, when it would still ask for anything outside itself: a
file or an address in a src, href, data, action, poster or srcset attribute, a url() or @import in a
style, or the WebAssembly as a file of its own rather than inside the page. When the page has an empty
<script type="application/octet-stream" id="hx-wasm"> block, the WebAssembly is moved out of the script
into it, gzip-compressed (the page unpacks it itself). --check applies the same test to a finished page. --depfile writes the files the page was made of as a make rule for the build.
Exit status 0 when the page is whole, 1 otherwise.
"""

import argparse
import base64
import gzip
import html.parser
import os
import re
import sys
import tempfile

SCRIPT_SRC = re.compile(r"<script\b([^>]*?)\ssrc\s*=\s*([\"'])([^\"']+)\2([^>]*)>\s*</script\s*>", re.I | re.S)
STYLESHEET = re.compile(r"<link\b[^>]*>", re.I | re.S)
ATTRIBUTE = re.compile(r"([a-zA-Z-]+)\s*=\s*([\"'])(.*?)\2", re.S)
CSS_URL = re.compile(r"url\(\s*([\"']?)([^\"')]*)\1\s*\)", re.I)
WASM_FILE = re.compile(r"[\"'][^\"'\s]*\.wasm[\"']")
EMBEDDED_WASM = "data:application/octet-stream;base64,"
WASM_DATA = re.compile(r"([\"'])data:application/octet-stream;base64,([A-Za-z0-9+/=]+)\1")
PACKED_BLOCK = re.compile(r'(<script type="application/octet-stream" id="hx-wasm">)(.*?)(</script>)', re.S)
FETCHING_ATTRIBUTES = {"src", "href", "data", "action", "poster", "srcset", "formaction"}


def find(name, folders):
    if re.match(r"^[a-z][a-z0-9+.-]*:|^//", name, re.I):
        raise SystemExit(f"inline_page: the page asks for {name}, which is not a local file")
    for folder in folders:
        path = os.path.join(folder, name)
        if os.path.isfile(path):
            return path
    raise SystemExit(f"inline_page: {name} not found in {', '.join(folders)}")


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def inline(page, folders, used):
    def take(name):
        path = find(name, folders)
        used.append(os.path.abspath(path))
        return read(path)

    def script(match):
        before, _, name, after = match.groups()
        text = take(name).replace("</script", "<\\/script")
        return f"<script{before}{after}>\n{text}\n</script>"

    def stylesheet(match):
        tag = match.group(0)
        attributes = {k.lower(): v for k, _, v in ATTRIBUTE.findall(tag)}
        if attributes.get("rel", "").lower() != "stylesheet" or "href" not in attributes:
            return tag
        text = take(attributes["href"]).replace("</style", "<\\/style")
        return f"<style>\n{text}\n</style>"

    page = SCRIPT_SRC.sub(script, page)
    return STYLESHEET.sub(stylesheet, page)


def pack_wasm(page):
    """Moves the WebAssembly of the script into the page's hx-wasm block, gzip-compressed; the same
    input always gives the same bytes (no time in the gzip header)."""
    block = PACKED_BLOCK.search(page)
    data = WASM_DATA.search(page)
    if not block or block.group(2).strip() or not data:
        return page
    packed = base64.b64encode(gzip.compress(base64.b64decode(data.group(2)), 9, mtime=0)).decode("ascii")
    # The script keeps an empty data address, so that it never looks for a file of its own.
    page = page[:data.start(2)] + page[data.end(2):]
    block = PACKED_BLOCK.search(page)
    return page[:block.end(1)] + packed + page[block.start(3):]


def packed_wasm(page):
    block = PACKED_BLOCK.search(page)
    return block.group(2).strip() if block else ""


class Requests(html.parser.HTMLParser):
    """Every attribute or style of the page that would make the browser fetch something."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.found = []

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            value = (value or "").strip()
            # A place in the page ("#...") and data inside the attribute fetch nothing.
            if name in FETCHING_ATTRIBUTES and value and not value.startswith(("data:", "#", "javascript:")):
                self.found.append(f"<{tag} {name}=\"{value[:80]}\">")
            if name == "style":
                self.check_style(value, f"<{tag} style>")

    def handle_data(self, data):
        if self.lasttag == "style":
            self.check_style(data, "<style>")

    def check_style(self, text, where):
        for _, url in CSS_URL.findall(text):
            if url and not url.startswith(("data:", "#")):
                self.found.append(f"{where} url({url[:80]})")
        if "@import" in text:
            self.found.append(f"{where} @import")


def problems(page):
    found = []
    parser = Requests()
    parser.feed(page)
    parser.close()
    found += parser.found
    if not WASM_DATA.search(page) and not (EMBEDDED_WASM in page and packed_wasm(page)):
        found.append("the WebAssembly is not inside the page")
    found += [f"a WebAssembly file {m[:80]}" for m in WASM_FILE.findall(page)]
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--page")
    parser.add_argument("--search", action="append", default=[])
    parser.add_argument("--output")
    parser.add_argument("--check")
    parser.add_argument("--depfile")
    args = parser.parse_args()

    used = []
    if args.check:
        page = read(args.check)
    elif args.page and args.output:
        used.append(os.path.abspath(args.page))
        page = pack_wasm(inline(read(args.page), [os.path.dirname(os.path.abspath(args.page))] + args.search, used))
    else:
        parser.error("give --page and --output, or --check")

    found = problems(page)
    if found:
        print(f"inline_page: {args.check or args.page} would ask for what is not inside it:", file=sys.stderr)
        for item in found:
            print(f"  {item}", file=sys.stderr)
        return 1
    if args.check:
        print(f"{args.check}: one file, {len(page.encode('utf-8'))} bytes, asks for nothing outside itself")
        return 0

    folder = os.path.dirname(os.path.abspath(args.output))
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", dir=folder, delete=False, suffix=".tmp") as f:
        f.write(page)
        temporary = f.name
    os.chmod(temporary, 0o644)
    os.replace(temporary, args.output)
    if args.depfile:
        def escaped(path):
            return path.replace(" ", "\\ ")

        with open(args.depfile, "w", encoding="utf-8") as f:
            f.write(f"{escaped(os.path.abspath(args.output))}: {' '.join(escaped(p) for p in used)}\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
