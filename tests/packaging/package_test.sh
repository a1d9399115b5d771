#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a scratch root and runs the
# calculator from there; checks that the package declares the libraries it needs.
set -euo pipefail
build_dir="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

cd "$build_dir"
cpack -G DEB -B "$scratch/out" > "$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; exit 1; }
deb="$(ls "$scratch"/out/heatx_*.deb)"

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6printsupport6 fonts-liberation qt6-translations-l10n; do
    grep -q "$needed" <<< "$depends" || { echo "missing dependency: $needed"; exit 1; }
done

dpkg-deb -x "$deb" "$scratch/root"
for f in usr/bin/heatx usr/bin/heatx-calc usr/share/applications/heatx.desktop \
         usr/share/icons/hicolor/scalable/apps/heatx.svg usr/share/metainfo/io.github.heatx.metainfo.xml; do
    test -e "$scratch/root/$f" || { echo "not in the package: $f"; exit 1; }
done
# Into a file first: grep -q leaves a pipe as soon as it matches, and a longer help would then die of
# SIGPIPE under pipefail.
"$scratch/root/usr/bin/heatx-calc" --help > "$scratch/help.txt"
grep -q "heatx-calc evaporator" "$scratch/help.txt"
echo "package ok: $(basename "$deb")"
