#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks that exactly the program
# and its desktop files are installed (and the user guide), validates the
# desktop entry, and starts the installed program on a virtual screen from an
# unrelated folder on an empty home until it has written its first-start
# files and shown its window, whose window class the desktop entry names.
#   installed_program_test.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1
app_id=$2
version=$3
work=$(mktemp -d)
pid=
xvfb=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }

# The layout: these files and nothing else.
expected="bin/orvanta
share/applications/$app_id.desktop
share/doc/orvanta/changelog.gz
share/doc/orvanta/copyright
share/icons/hicolor/256x256/apps/$app_id.png
share/icons/hicolor/48x48/apps/$app_id.png
share/icons/hicolor/scalable/apps/$app_id.svg
share/man/man1/orvanta.1.gz
share/metainfo/$app_id.metainfo.xml"
# The user guide's pages and pictures are checked apart, after the rest.
guide='^share/doc/orvanta/([a-z0-9_]+\.html|images/[a-z0-9_]+\.png)$'
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
actual=$(grep -Ev "$guide" <<<"$installed" || true)
[ "$actual" = "$expected" ] || fail "installed files differ:
--- expected
$expected
--- installed
$actual"
[ -x "$prefix/bin/orvanta" ] || fail "bin/orvanta is not executable"

# The user guide beside the other documents: every page that the sources
# hold, with the pictures its pages show.
for md in "$(dirname "$0")"/../../docs/guide/*.md; do
  page=share/doc/orvanta/$(basename "$md" .md).html
  [ -s "$prefix/$page" ] || fail "the guide's page $page is not installed"
done
for src in $(grep -ho 'src="images/[^"]*"' "$prefix"/share/doc/orvanta/*.html | sed 's/^src="//; s/"$//' | sort -u); do
  [ -s "$prefix/share/doc/orvanta/$src" ] || fail "the guide's picture $src is not installed"
done

# The desktop entry: valid without a single remark, starting the installed
# command with the installed icon. SingleMainWindow is a key of version 1.5 of
# the desktop entry format (the desktops of Debian 12 read it), which the
# validator of Debian 12 (desktop-file-utils 0.26) does not know yet; its
# remark on that key alone is allowed.
desktop=$prefix/share/applications/$app_id.desktop
remarks=$(desktop-file-validate "$desktop" 2>&1 |
  grep -vxF "$desktop: error: file contains key \"SingleMainWindow\" in group \"Desktop Entry\", but keys extending the format should start with \"X-\"" || true)
[ -z "$remarks" ] || fail "desktop-file-validate remarks: $remarks"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = "orvanta" ] || fail "Exec is '$(entry Exec)'"
[ "$(entry Icon)" = "$app_id" ] || fail "Icon is '$(entry Icon)'"
[ "$(entry SingleMainWindow)" = "true" ] || fail "SingleMainWindow is '$(entry SingleMainWindow)'"
grep -q '^Name\[ja\]=\|^Comment\[ja\]=' "$desktop" || fail "the desktop entry has no Japanese text"
head -c 512 "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" | grep -q '<svg' || fail "the icon is not an SVG"

# --help and --version answer on standard output without a display and touch
# nothing in the home folder; anything else is refused with status 2.
mkdir "$work/quiet-home"
run_bare() {
  env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$work/quiet-home" LANG=C.UTF-8 orvanta "$@" \
    >"$work/bare.out" 2>"$work/bare.err"
}
for option in --help -h; do
  run_bare "$option" || fail "orvanta $option ended with status $?"
  grep -q -- '--version' "$work/bare.out" || fail "orvanta $option shows no help: $(cat "$work/bare.out")"
  [ ! -s "$work/bare.err" ] || fail "orvanta $option wrote to standard error: $(cat "$work/bare.err")"
done
run_bare --version || fail "orvanta --version ended with status $?"
[ "$(cat "$work/bare.out")" = "Orvanta $version" ] || fail "orvanta --version says '$(cat "$work/bare.out")'"
for wrong in --no-such-option stray-argument; do
  rc=0
  run_bare "$wrong" || rc=$?
  [ "$rc" = 2 ] || fail "orvanta $wrong ended with status $rc, not 2"
  grep -qF -- "${wrong#--}" "$work/bare.err" || fail "orvanta $wrong does not say what it refuses: $(cat "$work/bare.err")"
  [ ! -s "$work/bare.out" ] || fail "orvanta $wrong wrote to standard output"
done
[ -z "$(ls -A "$work/quiet-home")" ] || fail "the options touched the home folder: $(cd "$work/quiet-home" && find .)"

# The installed program on an empty home, started on a virtual screen from a
# folder that holds nothing of the build. A first start writes its files and
# then waits in the login window; once the files are there the program is
# ended. The record of the first start is written only once the login has
# been answered, so a first start ended at the login window leaves the next
# start a first start.
home=$work/home
mkdir "$home" "$work/elsewhere"
mkdir -m 700 "$work/run"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
display=:$(head -1 "$work/display")
cd "$work/elsewhere"
env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$home" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 DISPLAY="$display" \
  orvanta >"$work/out.log" 2>&1 &
pid=$!
first_start_files=(tonrix/ttid.dat tonrix/set.dat)
for _ in $(seq 1200); do
  kill -0 "$pid" 2>/dev/null || { cat "$work/out.log"; wait "$pid" && rc=0 || rc=$?; fail "the program ended (status $rc) before writing its first-start files"; }
  all=1
  for f in "${first_start_files[@]}"; do [ -s "$home/$f" ] || all=; done
  [ -n "$all" ] && break
  sleep 0.1
done
for f in "${first_start_files[@]}"; do [ -s "$home/$f" ] || { cat "$work/out.log"; fail "no $f after a first start"; }; done
kill -0 "$pid" 2>/dev/null || fail "the program did not stay up after its first-start files"
[ ! -e "$home/tonrix/started.dat" ] || fail "tonrix/started.dat written while the login window is still open"

# The desktop matches the program's windows to its desktop entry by the
# entry's StartupWMClass: one of the two strings (instance and class) of
# every window's WM_CLASS.
wm_class=$(entry StartupWMClass)
[ -n "$wm_class" ] || fail "the desktop entry has no StartupWMClass"
windows=
for _ in $(seq 100); do
  windows=$(DISPLAY=$display xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true)
  [ -n "$windows" ] && break
  sleep 0.1
done
[ -n "$windows" ] || fail "the program shows no window"
for w in $windows; do
  classes=$(DISPLAY=$display xprop -id "$w" WM_CLASS)
  grep -q "\"$wm_class\"" <<<"$classes" || fail "StartupWMClass is '$wm_class', the window's $classes"
done
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
[ ! -e "$home/tonrix/started.dat" ] || fail "tonrix/started.dat left by a first start ended at its login window"

for d in tonrix tonrix/data tonrixbu; do
  [ -d "$home/$d" ] || fail "no folder ~/$d"
  [ "$(stat -c %a "$home/$d")" = 700 ] || fail "~/$d is not owner-only"
done
if grep -qi 'could not\|cannot\|failed' "$work/out.log"; then cat "$work/out.log"; fail "the program complained"; fi
echo "installed program: layout, desktop entry and first start checked"
