#!/usr/bin/env python3
"""The step that makes the page one file: what the page loads from beside it is written into it, and a
page that would still fetch anything is refused (and not written)."""

import base64
import gzip
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import unittest

TOOL = pathlib.Path(__file__).with_name("inline_page.py")
WASM = "<script>var wasmBinaryFile = 'data:application/octet-stream;base64,AGFzbQ==';</script>"


def run(*args):
    return subprocess.run([sys.executable, str(TOOL), *args], capture_output=True, text=True)


class InlinePageTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.dir = pathlib.Path(self.folder.name)
        (self.dir / "assets").mkdir()
        (self.dir / "assets" / "runtime.js").write_text("var a = '</script>';\n", encoding="utf-8")
        (self.dir / "faces.css").write_text("@font-face { src: url(data:font/woff2;base64,AA==); }\n")

    def tearDown(self):
        self.folder.cleanup()

    def make(self, body):
        page = self.dir / "linked.html"
        page.write_text(f"<!doctype html><html><head>{body}</head><body>{WASM}</body></html>", encoding="utf-8")
        output = self.dir / "heatx.html"
        result = run("--page", str(page), "--search", str(self.dir / "assets"), "--output", str(output),
                     "--depfile", str(output) + ".d")
        return result, output

    def test_scripts_and_style_sheets_are_written_in(self):
        result, output = self.make('<link rel="stylesheet" href="faces.css"><script src="runtime.js"></script>')
        self.assertEqual(result.returncode, 0, result.stderr)
        page = output.read_text(encoding="utf-8")
        self.assertNotIn('src="runtime.js"', page)
        self.assertIn("var a = '<\\/script>';", page)
        self.assertIn("<style>\n@font-face", page)
        dependencies = (self.dir / "heatx.html.d").read_text()
        self.assertIn(str(self.dir / "assets" / "runtime.js"), dependencies)
        self.assertIn(str(self.dir / "faces.css"), dependencies)
        self.assertEqual(run("--check", str(output)).returncode, 0)

    def test_the_webassembly_moves_gzip_compressed_into_the_page_s_block(self):
        block = '<script type="application/octet-stream" id="hx-wasm"></script>'
        first, output = self.make(block)
        self.assertEqual(first.returncode, 0, first.stderr)
        page = output.read_text(encoding="utf-8")
        self.assertIn("'data:application/octet-stream;base64,'", page, "the script keeps an empty address")
        packed = re.search(r'id="hx-wasm">([^<]*)</script>', page).group(1)
        self.assertEqual(gzip.decompress(base64.b64decode(packed)), base64.b64decode("AGFzbQ=="))
        self.assertEqual(run("--check", str(output)).returncode, 0)
        again, _ = self.make(block)
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertEqual(output.read_text(encoding="utf-8"), page, "the same input gives the same page")

    def test_a_page_that_would_fetch_is_refused(self):
        for body in ['<img src="http://example.org/a.png">', '<script src="https://cdn.example.org/x.js"></script>',
                     '<link rel="icon" href="favicon.ico">', '<style>body { background: url(back.png); }</style>',
                     "<style>@import 'more.css';</style>", "<script>var w = 'heatx.wasm';</script>",
                     '<script src="missing.js"></script>']:
            with self.subTest(body=body):
                result, output = self.make(body)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertFalse(os.path.exists(output), "a refused page is not written")
        plain = self.dir / "plain.html"
        plain.write_text("<html><body><script>var x = 1;</script></body></html>")
        self.assertNotEqual(run("--check", str(plain)).returncode, 0, "the WebAssembly must be inside")


if __name__ == "__main__":
    unittest.main()
