#!/usr/bin/env bash
# Builds the Debian package from a finished build tree and checks it as Debian's own tools and a lab's
# administrator would: lintian (pedantic, experimental and informational tags) finds no error, no
# warning and no missing hardening; the package declares the libraries it needs; installed into a
# scratch root it holds the programs, the manual pages in English and Russian, which `man` shows, the copyright
# file and the changelogs; both programs print the package's version, as the metainfo and the changelog
# name it. Given the browser edition's page (what `make web` builds), the package carries that very file
# as /usr/share/heatx/web/heatx.html.
set -euo pipefail
build_dir="$1"
web_page="${2:-}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

for tool in lintian man dpkg-deb appstreamcli; do
    command -v "$tool" > /dev/null || fail "$tool is not installed (scripts/install-deps installs it)"
done

cd "$build_dir"
cpack -G DEB -B "$scratch/out" > "$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; exit 1; }
deb="$(ls "$scratch"/out/heatx_*.deb)"
version="$(dpkg-deb -f "$deb" Version)"
upstream="${version%-*}"
echo "package: $(basename "$deb"), version $version"

# lintian: the whole report is shown; any error or warning fails, and so does any hardening tag.
# (lintian's own exit status is left aside: the report is judged by its tags, warnings included.)
lintian -E -I -L +pedantic --tag-display-limit 0 "$deb" > "$scratch/lintian.log" 2>&1 || true
echo "lintian -E -I -L +pedantic $(basename "$deb"):"
sed 's/^/    /' "$scratch/lintian.log"
if grep -Eq '^[EW]: ' "$scratch/lintian.log"; then
    fail "lintian reports errors or warnings"
fi
if grep -q 'hardening-' "$scratch/lintian.log"; then
    fail "lintian finds a program without Debian's hardening"
fi

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6printsupport6 libqt6svg6 libcups2 fonts-liberation qt6-translations-l10n \
              libzip4 libxml2 libxlsxwriter4; do
    grep -q "$needed" <<< "$depends" || fail "missing dependency: $needed"
done
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 5 ] || fail "the description has no extended part"

# Installed by dpkg into a scratch root with its own package database (the libraries it depends on are
# the build machine's, so the dependencies are not looked for there).
root="$scratch/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-script-chrootless --no-triggers -i "$deb" \
    > "$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; fail "dpkg cannot install the package"; }
[ "$(dpkg-query --root="$root" -W -f='${Status} ${Version}' heatx)" = "install ok installed $version" ] ||
    fail "dpkg does not list heatx $version as installed"
for f in usr/bin/heatx usr/bin/heatx-calc usr/share/applications/heatx.desktop \
         usr/share/icons/hicolor/scalable/apps/heatx.svg usr/share/metainfo/io.github.heatx.metainfo.xml \
         usr/share/man/man1/heatx.1.gz usr/share/man/man1/heatx-calc.1.gz \
         usr/share/man/ru/man1/heatx.1.gz usr/share/man/ru/man1/heatx-calc.1.gz \
         usr/share/doc/heatx/copyright usr/share/doc/heatx/changelog.gz \
         usr/share/doc/heatx/changelog.Debian.gz; do
    test -e "$root/$f" || fail "not in the package: $f"
done

if [ -n "$web_page" ]; then
    installed="$root/usr/share/heatx/web/heatx.html"
    test -f "$installed" || fail "not in the package: usr/share/heatx/web/heatx.html"
    cmp -s "$installed" "$web_page" || fail "usr/share/heatx/web/heatx.html is not the page make web builds ($web_page)"
    echo "browser edition: usr/share/heatx/web/heatx.html, $(stat -c %s "$installed") bytes, the same as $web_page"
fi

# `man heatx-calc` and `man heatx` in both languages, found as after installation (the manual path
# and the language's folder, as a Russian session finds ru/man1), and without a warning from the
# formatter.
for page in heatx heatx-calc; do
    for lang in en ru; do
        case "$lang" in
            en) locale=C heading="SYNOPSIS" ;;
            ru) locale=ru heading="СИНТАКСИС" ;;
        esac
        LC_ALL=C.UTF-8 MANWIDTH=80 MANPATH="$root/usr/share/man" man --warnings -L "$locale" "$page" \
            > "$scratch/page.txt" 2> "$scratch/page.err" || fail "man -L $lang $page"
        [ ! -s "$scratch/page.err" ] || { cat "$scratch/page.err"; fail "man -L $lang $page warns"; }
        grep -q "^$heading" "$scratch/page.txt" || fail "man -L $lang $page: no $heading"
        grep -q -- "--version" "$scratch/page.txt" || fail "man -L $lang $page: no --version"
        grep -q "heatx $upstream" "$scratch/page.txt" || fail "man -L $lang $page: not of version $upstream"
    done
done
for status in 0 2 3 64 65 66 74; do
    for lang in en ru; do
        LC_ALL=C.UTF-8 MANWIDTH=80 MANPATH="$root/usr/share/man" man -L "${lang/en/C}" heatx-calc \
            > "$scratch/page.txt"
        grep -Eq "^ +$status( +|$)" "$scratch/page.txt" || fail "man -L $lang heatx-calc: exit status $status not described"
    done
done

# One version everywhere.
[ "$("$root/usr/bin/heatx-calc" --version | head -n 1)" = "heatx-calc $upstream" ] ||
    fail "heatx-calc --version: $("$root/usr/bin/heatx-calc" --version | head -n 1), package $upstream"
[ "$(env -u DISPLAY "$root/usr/bin/heatx" --version | head -n 1)" = "heatx $upstream" ] ||
    fail "heatx --version: $(env -u DISPLAY "$root/usr/bin/heatx" --version | head -n 1), package $upstream"
grep -q "<release version=\"$upstream\"" "$root/usr/share/metainfo/io.github.heatx.metainfo.xml" ||
    fail "the metainfo's release list has no $upstream"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.heatx.metainfo.xml" > "$scratch/as.log" 2>&1 ||
    { cat "$scratch/as.log"; fail "the installed metainfo does not validate"; }
zcat "$root/usr/share/doc/heatx/changelog.Debian.gz" | head -n 1 | grep -qF "heatx ($version)" ||
    fail "the Debian changelog does not begin with $version"

# Into a file first: grep -q leaves a pipe as soon as it matches, and a longer help would then die of
# SIGPIPE under pipefail.
"$root/usr/bin/heatx-calc" --help > "$scratch/help.txt"
grep -q "heatx-calc evaporator" "$scratch/help.txt"
echo "package ok: $(basename "$deb")"
