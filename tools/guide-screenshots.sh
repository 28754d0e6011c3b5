#!/usr/bin/env bash
# Takes the user guide's pictures again (docs/guide/images/): every window and
# the first page of every print, from the real program on a virtual screen,
# on a generated collection of plainly invented people. Run it after a window
# or a print has changed, look at the pictures, and commit them. The build
# itself needs none of this.
#   tools/guide-screenshots.sh [NAME ...]   only the named pictures (main_window, report_tab4, ...)
#
# What it needs: root (or sudo), which it uses to install the tools it drives
# the program with, to add the ordinary user "kango" (home /home/kango) when
# there is none, and to run the program as that user, so that the pictures
# show the user name and home folder of a ward's account, never "root". The
# user is the pictures' own: before each start of the program its home loses
# the program's folders (tonrix, tonrixbu, ...) and settings. The worktree
# and its build folder must be readable by that user (they are when made with
# the usual umask). Run again at will: nothing is left behind but the
# pictures. Run by kango itself, it needs neither root nor sudo, provided the
# tools are installed and the program is built.
set -euo pipefail
cd "$(dirname "$0")/.."
readonly picture_user=kango

as_picture_user() {
  if [ "$(id -un)" = "$picture_user" ]; then
    "$@"
  elif [ "$(id -u)" -eq 0 ]; then
    runuser -u "$picture_user" -- "$@"
  else
    sudo -u "$picture_user" -- "$@"
  fi
}

if [ "$(id -un)" != "$picture_user" ]; then
  # The accessibility bus and its Python bindings find the windows and controls.
  tools/install-deps.sh at-spi2-core python3-pyatspi dbus-x11
  tools/build.sh >/dev/null
  cmake --build build --target orvanta make_sample_collection >/dev/null
  if ! id -u "$picture_user" >/dev/null 2>&1; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO useradd -m -s /bin/bash "$picture_user"
  fi
fi
if ! as_picture_user test -x build/orvanta -a -x build/bench/make_sample_collection -a -r tools/guide_screenshots.py; then
  echo "the user $picture_user cannot read $(pwd)/build or tools: make them readable by others" >&2
  exit 1
fi

# The pictures are made in a folder of that user's and then put in place.
out=$(as_picture_user mktemp -d /tmp/orvanta-guide-pictures.XXXXXX)
trap 'as_picture_user rm -rf "$out"' EXIT
as_picture_user chmod 755 "$out"
home=$(getent passwd "$picture_user" | cut -d: -f6)
status=0
as_picture_user env -i HOME="$home" USER="$picture_user" LOGNAME="$picture_user" PATH=/usr/local/bin:/usr/bin:/bin \
  LANG=C.UTF-8 dbus-run-session -- /usr/bin/python3 tools/guide_screenshots.py --out "$out" "$@" || status=$?
shopt -s nullglob
made=("$out"/*.png)
[ ${#made[@]} -gt 0 ] && cp "${made[@]}" docs/guide/images/
exit $status
