#!/usr/bin/python3
"""Writes the style sheet of the page's faces: the Liberation faces the windows use and the system's
default face (DejaVu Sans), each cut down to the
characters the program can show (the texts of its sources, and everything a student may type: digits,
Latin, Cyrillic, punctuation) and inlined as WOFF2 data, so that the page needs no font of the machine's.

    make_fonts.py --sources SRC_DIR --out heatx-fonts.css [--fonts /usr/share/fonts/truetype]

Needs Debian's python3-fonttools and python3-brotli.
"""

import argparse
import base64
import io
import pathlib

from fontTools import subset
from fontTools.ttLib import TTFont

# (CSS family, weight, style, file under the system's font folder): the faces standing for the fonts the
# windows name, and the face of everything without a font of its own (the system's default face, as the
# desktop shows it).
FACES = [
    ("HX UI", "normal", "normal", "dejavu/DejaVuSans.ttf"),
    ("HX Sans", "normal", "normal", "liberation/LiberationSans-Regular.ttf"),
    ("HX Sans", "bold", "normal", "liberation/LiberationSans-Bold.ttf"),
    ("HX Sans", "bold", "italic", "liberation/LiberationSans-BoldItalic.ttf"),
    ("HX Sans Narrow", "normal", "normal", "liberation/LiberationSansNarrow-Regular.ttf"),
    ("HX Sans Narrow", "bold", "italic", "liberation/LiberationSansNarrow-BoldItalic.ttf"),
    ("HX Mono", "normal", "normal", "liberation/LiberationMono-Regular.ttf"),
    ("HX Mono", "bold", "normal", "liberation/LiberationMono-Bold.ttf"),
    ("HX Serif", "normal", "normal", "liberation/LiberationSerif-Regular.ttf"),
    ("HX Serif", "normal", "italic", "liberation/LiberationSerif-Italic.ttf"),
]

# What can be typed or shown besides the sources' texts.
RANGES = [
    (0x20, 0x7E),  # ASCII: digits, Latin, punctuation
    (0xA0, 0xBF),  # no-break space, degree, plus-minus, guillemets, middle dot
    (0xD7, 0xD7),  # multiplication sign
    (0x401, 0x401), (0x410, 0x44F), (0x451, 0x451),  # Cyrillic, with Ё and ё
    (0x2010, 0x2026),  # dashes, quotes, ellipsis
    (0x2116, 0x2116),  # numero sign
]


def characters(sources):
    chars = set()
    for low, high in RANGES:
        chars.update(chr(c) for c in range(low, high + 1))
    for path in sorted(sources.rglob("*")):
        # The calculator's texts (its protocol's Greek letters and signs) are never shown in a window.
        if path.relative_to(sources).parts[0] == "cli":
            continue
        if path.suffix in (".cpp", ".h", ".js", ".html") and path.is_file():
            chars.update(c for c in path.read_text(encoding="utf-8") if ord(c) >= 0x20)
    return "".join(sorted(chars))


def subset_face(path, text):
    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = ["kern", "liga"]
    options.name_IDs = [1, 2]
    options.drop_tables += ["FFTM"]
    options.hinting = False  # screens hint slightly (vertical only): the instructions go unused
    # The face's own time stamp is kept: the same sources give the same page, byte for byte.
    font = TTFont(str(path), recalcTimestamp=False)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=text)
    subsetter.subset(font)
    out = io.BytesIO()
    font.flavor = "woff2"
    font.save(out)
    return out.getvalue()


def font_faces(fonts_dir, text):
    rules = []
    for family, weight, style, name in FACES:
        data = base64.b64encode(subset_face(fonts_dir / name, text)).decode("ascii")
        rules.append(f'@font-face {{ font-family: "{family}"; font-weight: {weight}; font-style: {style}; '
                     f'font-display: block; src: url(data:font/woff2;base64,{data}) format("woff2"); }}')
    return "\n".join(rules)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sources", required=True, type=pathlib.Path)
    parser.add_argument("--out", required=True, type=pathlib.Path)
    parser.add_argument("--fonts", type=pathlib.Path, default=pathlib.Path("/usr/share/fonts/truetype"))
    args = parser.parse_args()
    css = font_faces(args.fonts, characters(args.sources)) + "\n"
    args.out.parent.mkdir(parents=True, exist_ok=True)
    tmp = args.out.with_suffix(".tmp")
    tmp.write_text(css, encoding="utf-8")
    tmp.replace(args.out)


if __name__ == "__main__":
    main()
