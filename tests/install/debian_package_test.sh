#!/usr/bin/env bash
# Builds the Debian package with CPack into a temporary folder and checks its
# control fields, its run-time dependencies and its contents.
#   debian_package_test.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$1
version=$2
app_id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack -G DEB"; }
arch=$(dpkg --print-architecture)
deb=$work/orvanta_${version}_${arch}.deb
[ -f "$deb" ] || { ls "$work"; fail "no orvanta_${version}_${arch}.deb"; }
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = orvanta ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
field Maintainer | grep -Eq '^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$' || fail "Maintainer is '$(field Maintainer)'"
description=$(field Description)
grep -q 'needlestick' <<<"$description" || fail "no English description"
grep -q '針刺し・切創事故' <<<"$description" || fail "no Japanese description"
if grep -Eq '&[a-z]+;' <<<"$description"; then fail "markup entities in the description: $description"; fi

# Every package named is one the program needs: the Qt 6 modules it links
# (dpkg-shlibdeps), the gothic face and Qt's Japanese dialog buttons.
depends=$(field Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//' | LC_ALL=C sort -u)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6 \
         fonts-ipafont-gothic qt6-translations-l10n libc6 libstdc++6; do
  grep -qx "$p" <<<"$names" || fail "Depends lacks $p: $depends"
done
# What dpkg-shlibdeps finds for the packaged binary is all declared.
pkgroot=$work/root
dpkg-deb -x "$deb" "$pkgroot"
mkdir -p "$work/shlib/debian"
touch "$work/shlib/debian/control"
needed=$(cd "$work/shlib" && dpkg-shlibdeps -O "$pkgroot/usr/bin/orvanta" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
[ -n "$needed" ] || fail "dpkg-shlibdeps found nothing"
for p in $(tr ',' '\n' <<<"$needed" | sed 's/^ *//; s/[ (].*//' | sort -u); do
  grep -qx "$p" <<<"$names" || fail "Depends lacks $p, which the binary needs: $depends"
done

# The contents: the program, its desktop entry and its icon under /usr.
# The user guide's pages and pictures are checked apart, after the rest.
guide='^\./usr/share/doc/orvanta/([a-z0-9_]+\.html|images/[a-z0-9_]+\.png)$'
all_files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)
files=$(grep -Ev "$guide" <<<"$all_files" || true)
expected="./usr/bin/orvanta
./usr/share/applications/$app_id.desktop
./usr/share/icons/hicolor/scalable/apps/$app_id.svg"
[ "$files" = "$expected" ] || fail "package contents differ:
--- expected
$expected
--- packaged
$files"
# The user guide: its contents page, its first page, and pictures.
for page in index hajimeni; do
  grep -qx "./usr/share/doc/orvanta/$page.html" <<<"$all_files" || fail "the guide's $page.html is not packaged"
done
grep -q '^\./usr/share/doc/orvanta/images/.*\.png$' <<<"$all_files" || fail "the guide's pictures are not packaged"
echo "Debian package: fields, dependencies and contents checked"
