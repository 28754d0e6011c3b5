#!/usr/bin/env bash
# Builds the Debian package with CPack into a temporary folder and checks its
# control fields, its run-time dependencies, its contents, the files Debian's
# conventions ask for (copyright, changelog, manual page, AppStream metainfo,
# icons), the hardening of its binary, and what lintian says of it.
#   debian_package_test.sh BUILD_DIR VERSION APP_ID SOURCE_DIR
set -euo pipefail
build=$1
version=$2
app_id=$3
source=$4
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
# Lines of the long description fit 80 columns, a full-width character
# taking two.
widest=$(tail -n +2 <<<"$description" | LC_ALL=C.UTF-8 wc -L)
[ "$widest" -le 80 ] || fail "description lines up to $widest columns wide: $description"

# Every package named is one the program needs: the Qt 6 modules it links
# (dpkg-shlibdeps), Qt's SQLite driver, a Japanese gothic face and Qt's
# Japanese dialog buttons. Recommended packages are not installed everywhere
# (apt-get --no-install-recommends), so what the program cannot start
# without is a dependency.
depends=$(field Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//' | LC_ALL=C sort -u)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6 libqt6sql6 \
         libqt6sql6-sqlite qt6-translations-l10n libc6 libstdc++6; do
  grep -qx "$p" <<<"$names" || fail "Depends lacks $p: $depends"
done
# The gothic face: IPA's, or any other Japanese gothic font package.
tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ *$//' | grep -qx 'fonts-ipafont-gothic | fonts-japanese-gothic' ||
  fail "Depends does not accept any Japanese gothic font: $depends"
# The SQLite driver is a plugin that dpkg-shlibdeps cannot see: the package
# that holds it on this system is the one depended on.
driver_package=$(dpkg -S '*/qt6/plugins/sqldrivers/libqsqlite.so' | sed 's/:.*//' | sort -u)
[ -n "$driver_package" ] || fail "Qt's SQLite driver is not installed here"
for p in $driver_package; do
  grep -qx "$p" <<<"$names" || fail "Depends lacks $p, which holds Qt's SQLite driver: $depends"
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

# The contents under /usr.
# The user guide's pages and pictures are checked apart, after the rest.
guide='^\./usr/share/doc/orvanta/([a-z0-9_]+\.html|images/[a-z0-9_]+\.png)$'
all_files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)
files=$(grep -Ev "$guide" <<<"$all_files" || true)
expected="./usr/bin/orvanta
./usr/share/applications/$app_id.desktop
./usr/share/doc/orvanta/changelog.gz
./usr/share/doc/orvanta/copyright
./usr/share/icons/hicolor/256x256/apps/$app_id.png
./usr/share/icons/hicolor/48x48/apps/$app_id.png
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/man/man1/orvanta.1.gz
./usr/share/metainfo/$app_id.metainfo.xml"
[ "$files" = "$expected" ] || fail "package contents differ:
--- expected
$expected
--- packaged
$files"
usr=$pkgroot/usr

# The same build packs to the same bytes: every time in the package is the
# commit's (SOURCE_DATE_EPOCH), not the moment of packing. The second package
# is made a second later, into a fresh folder.
epoch=$(git -C "$source" log -1 --format=%ct 2>/dev/null || true)
if [ -n "$epoch" ]; then
  sleep 1
  (cd "$build" && cpack -G DEB -B "$work/again" >"$work/cpack-again.log" 2>&1) ||
    { cat "$work/cpack-again.log"; fail "cpack -G DEB, the second time"; }
  cmp -s "$deb" "$work/again/$(basename "$deb")" || fail "two packages of the same build differ"
  newest=$(dpkg-deb --fsys-tarfile "$deb" | TZ=UTC tar -t -v --full-time | awk '{print $4 " " $5}' | sort -u)
  [ "$newest" = "$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')" ] ||
    fail "the package's files are not dated at the commit ($(date -u -d "@$epoch")): $newest"
fi

# Gzipped files carry no name or time stamp, so the package builds to the
# same bytes again: flags byte without FNAME, time stamp zero.
for gz in share/doc/orvanta/changelog.gz share/man/man1/orvanta.1.gz; do
  gzip -t "$usr/$gz" || fail "$gz is not a valid gzip file"
  header=$(od -An -v -tx1 -N8 "$usr/$gz" | tr -d ' \n')
  [ "${header:6:2}" = 00 ] && [ "${header:8:8}" = 00000000 ] || fail "$gz carries a name or a time stamp: $header"
done

# The copyright file: machine-readable, naming the licence of LICENSE, with
# LICENSE's holder and text.
copyright=$usr/share/doc/orvanta/copyright
head -1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
holder=$(sed -n 's/^Copyright (c) //p' "$source/LICENSE")
grep -qx "Copyright: $holder" "$copyright" || fail "the copyright file does not name '$holder'"
[ "$(grep -c '^License: Expat$' "$copyright")" = 2 ] || fail "the copyright file does not name and give the Expat (MIT) licence"
licence_text=$(awk '/^License: Expat$/ {n++; next} n == 2' "$copyright" | sed 's/^ //; s/^\.$//')
[ "$licence_text" = "$(sed -n '/^Permission/,$p' "$source/LICENSE")" ] || fail "the licence text differs from LICENSE"

# The changelog: Debian's format, its newest entry the package's version.
zcat "$usr/share/doc/orvanta/changelog.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] ||
  fail "the changelog's newest entry is $(dpkg-parsechangelog -l "$work/changelog" -S Version), not $version"

# The manual page renders without a warning and has the sections a reader
# looks for.
manual=$usr/share/man/man1/orvanta.1.gz
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manual" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page renders with warnings: $warnings"
sections=$(zcat "$manual" | sed -n 's/^\.SH "\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' | tr '\n' ',')
for s in NAME SYNOPSIS DESCRIPTION OPTIONS FILES LOCK 'EXIT STATUS' 'SEE ALSO'; do
  grep -q "\(^\|,\)$s," <<<"$sections" || fail "the manual page has no section $s (it has: $sections)"
done
zcat "$manual" | grep -q "Orvanta $version" || fail "the manual page does not name version $version"
# It names every option and every file the program keeps, and the guide that
# the package installs.
page=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l -Tutf8 "$manual" 2>/dev/null | col -b)
for word in --help --version '~/tonrix/orvanta.sqlite' '~/tonrixbu.generations/' '~/.config/Orvanta/Orvanta.conf' \
            /usr/share/doc/orvanta/index.html; do
  grep -qF -- "$word" <<<"$page" || fail "the manual page does not name $word"
done
grep -q '^\./usr/share/doc/orvanta/index\.html$' <<<"$all_files" || fail "the manual page names a guide that is not packaged"
if grep -qi 'README' <<<"$page"; then fail "the manual page points to the README, which is not installed"; fi

# The AppStream metainfo: valid, in English and Japanese, for this version.
metainfo=$usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
for element in '<summary>' '<summary xml:lang="ja">' '<p>' '<p xml:lang="ja">' \
               '<metadata_license>MIT</metadata_license>' '<project_license>MIT</project_license>' \
               "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "<release version=\"$version\""; do
  grep -qF "$element" "$metainfo" || fail "the metainfo lacks $element"
done
grep -q '<image type="source" width="[1-9][0-9]*" height="[1-9][0-9]*">https://' "$metainfo" ||
  fail "the metainfo names no screenshot"
grep -q '<p xml:lang="ja">[^<]*針刺し・切創事故[^<]*</p>' "$metainfo" || fail "the Japanese description is not one paragraph"

# The icons at fixed sizes: PNG images of the size their folder names.
for size in 48 256; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  header=$(od -An -v -tx1 -N24 "$png" | tr -d ' \n')
  [ "${header:0:16}" = 89504e470d0a1a0a ] || fail "${size}x${size} icon is not a PNG"
  [ "$((16#${header:32:8}))x$((16#${header:40:8}))" = "${size}x${size}" ] ||
    fail "${size}x${size} icon is $((16#${header:32:8}))x$((16#${header:40:8}))"
done

# The binary's hardening: relocations read-only and resolved at start
# (RELRO and BIND_NOW), the stack protector in use. (_FORTIFY_SOURCE leaves
# no mark to check: it swaps a call for its checking form only where the
# compiler knows the buffer's size but not that the call fits, and the
# program has no such call.)
binary=$usr/bin/orvanta
readelf -lW "$binary" | grep -q GNU_RELRO || fail "the binary has no RELRO segment"
readelf -dW "$binary" | grep -Eq '\(BIND_NOW\)|\(FLAGS\) .*\bBIND_NOW\b|\(FLAGS_1\) .*\bNOW\b' ||
  fail "the binary is not linked with -z now"
symbols=$(readelf --dyn-syms -W "$binary" | awk '$7 == "UND" {print $8}' | sed 's/@.*//')
grep -qx '__stack_chk_fail' <<<"$symbols" || fail "the binary does not use the stack protector"

# lintian: no error and no warning. A tag the package cannot avoid would be
# passed to --suppress-tags here, with the reason beside it; none is: lintian
# reports no tag at all on this package, its info and pedantic ones included.
lintian --fail-on error,warning --info "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian"; }
# The user guide: its contents page, its first page, and pictures.
for page in index hajimeni; do
  grep -qx "./usr/share/doc/orvanta/$page.html" <<<"$all_files" || fail "the guide's $page.html is not packaged"
done
grep -q '^\./usr/share/doc/orvanta/images/.*\.png$' <<<"$all_files" || fail "the guide's pictures are not packaged"
echo "Debian package: fields, dependencies, contents, the guide, conventions, hardening and lintian checked"
