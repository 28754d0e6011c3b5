#!/usr/bin/env bash
# Every message box and dialog goes through the prompts seam. Fails when a
# source outside the Qt prompts file calls Qt's dialogs directly.
set -euo pipefail
cd "$(dirname "$0")/.."
hits=$(grep -rnE '\b(QMessageBox|QInputDialog|QFileDialog|QPrintDialog)\b' src \
       --include='*.cpp' --include='*.h' | grep -v '^src/gui/platform/qt_prompts\.' || true)
if [ -n "$hits" ]; then
  echo "Dialogs must go through the prompts seam (src/gui/platform/qt_prompts.*):" >&2
  echo "$hits" >&2
  exit 1
fi
