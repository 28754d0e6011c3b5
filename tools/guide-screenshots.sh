#!/usr/bin/env bash
# Takes the user guide's pictures again (docs/guide/images/): every window and
# the first page of every print, from the real program on a virtual screen,
# on a generated collection. Run it after a window or a print has changed,
# look at the pictures, and commit them. The build itself needs none of this.
#   tools/guide-screenshots.sh [NAME ...]   only the named pictures (main_window, report_tab4, ...)
set -euo pipefail
cd "$(dirname "$0")/.."
# The accessibility bus and its Python bindings find the windows and controls.
tools/install-deps.sh at-spi2-core python3-pyatspi dbus-x11
tools/build.sh >/dev/null
cmake --build build --target orvanta make_sample_collection >/dev/null
exec dbus-run-session -- /usr/bin/python3 tools/guide_screenshots.py "$@"
