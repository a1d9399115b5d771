#!/usr/bin/env bash
# The version of a build, in a scratch repository: the release commit gives the project version; every
# later commit a version that dpkg sorts above the release and above every earlier build; a tag marks a
# release; a source tarball (no .git) takes its version file, or the project version; a tree unpacked
# inside another repository does not take that repository's history.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}
version_of() {  # DIR BASE -> "version epoch is_release"
    cmake -DSOURCE="$1" -DBASE="$2" -P "$here/print_version.cmake" 2>&1
}
above() {  # NEWER OLDER
    dpkg --compare-versions "$1" gt "$2" || fail "$1 does not sort above $2"
}

repo="$scratch/repo"
mkdir "$repo"
export GIT_AUTHOR_NAME=heatx GIT_AUTHOR_EMAIL=heatx@example.org
export GIT_COMMITTER_NAME=heatx GIT_COMMITTER_EMAIL=heatx@example.org
git -C "$repo" init -q
commit() {  # MESSAGE [TIME]
    local when="${2:-2026-12-08T10:00:00Z}"
    GIT_AUTHOR_DATE="$when" GIT_COMMITTER_DATE="$when" git -C "$repo" commit -q --allow-empty -m "$1"
}
echo "notes" > "$repo/README.md"
git -C "$repo" add README.md
commit "start"
printf 'cmake_minimum_required(VERSION 3.25)\nproject(heatx VERSION 2.1.0 LANGUAGES CXX)\n' > "$repo/CMakeLists.txt"
git -C "$repo" add CMakeLists.txt
commit "Release 2.1.0" 2026-12-08T10:00:00Z

read -r v epoch release <<< "$(version_of "$repo" 2.1.0)"
[ "$v" = "2.1.0" ] || fail "the release commit gives $v"
[ "$epoch" = "$(date -d 2026-12-08T10:00:00Z +%s)" ] || fail "the release's time is $epoch"
[ "$release" = "TRUE" ] || fail "the release commit is not a release"

commit "a fix" 2026-12-08T11:00:00Z
read -r v1 _ release <<< "$(version_of "$repo" 2.1.0)"
hash="$(git -C "$repo" rev-parse --short=7 HEAD)"
[ "$v1" = "2.1.0+git1.g$hash" ] || fail "one commit after the release gives $v1"
[ "$release" = "FALSE" ] || fail "a later commit is taken for the release"
above "$v1" 2.1.0
above "$v1-1" 2.1.0-1
for i in 2 3 4 5 6 7 8 9 10; do
    commit "change $i"
done
read -r v10 _ _ <<< "$(version_of "$repo" 2.1.0)"
[[ "$v10" == 2.1.0+git10.g* ]] || fail "ten commits after the release give $v10"
above "$v10" "$v1"

# A tag marks the release where it stands.
git -C "$repo" tag v2.1.0
read -r v _ _ <<< "$(version_of "$repo" 2.1.0)"
[ "$v" = "2.1.0" ] || fail "the tagged commit gives $v"
commit "after the tag"
read -r v _ _ <<< "$(version_of "$repo" 2.1.0)"
[[ "$v" == 2.1.0+git1.g* ]] || fail "one commit after the tag gives $v"

# The next release sorts above every snapshot of the last.
sed -i 's/VERSION 2.1.0/VERSION 2.2.0/' "$repo/CMakeLists.txt"
git -C "$repo" commit -q -a -m "Release 2.2.0"
read -r v _ _ <<< "$(version_of "$repo" 2.2.0)"
[ "$v" = "2.2.0" ] || fail "the next release commit gives $v"
above "$v" "$v10"

# A shallow clone without the release commit: not taken for the release.
commit "after the release"
git clone -q --depth 1 "file://$repo" "$scratch/shallow-after"
read -r v _ release <<< "$(version_of "$scratch/shallow-after" 2.2.0)"
[[ "$v" == 2.2.0+git0.g* ]] || fail "a shallow clone after the release gives $v"
[ "$release" = "FALSE" ] || fail "a shallow clone is taken for the release"
git -C "$repo" reset -q --hard HEAD~1

# A source tarball: its version file, or without one the project version.
tarball="$scratch/tarball"
git -C "$repo" archive --prefix=heatx/ HEAD | tar -x -C "$scratch" && mv "$scratch/heatx" "$tarball"
printf '2.2.0+git4.gabcdef0\n1765188000\n' > "$tarball/.tarball-version"
[ "$(version_of "$tarball" 2.2.0)" = "2.2.0+git4.gabcdef0 1765188000 FALSE" ] ||
    fail "the tarball's version file gives $(version_of "$tarball" 2.2.0)"
rm "$tarball/.tarball-version"
read -r v _ _ <<< "$(version_of "$tarball" 2.2.0)"
[ "$v" = "2.2.0" ] || fail "a tarball without a version file gives $v"

# Unpacked inside another repository: not that repository's history.
mv "$tarball" "$repo/unpacked"
read -r v _ _ <<< "$(version_of "$repo/unpacked" 2.2.0)"
[ "$v" = "2.2.0" ] || fail "a tree inside another repository gives $v"
echo "versions ok: 2.1.0 < $v1 < $v10 < 2.2.0"
