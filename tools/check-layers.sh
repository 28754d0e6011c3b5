#!/usr/bin/env bash
# The tree has two layers, and the core's features depend one way:
#
#   core/platform <- core/store <- core/codelists <- core/reports <- core/analysis <- core/output
#     <- core/followup <- core/rates <- core/network <- core/app <- core/backup <- gui
#
# A core folder may include itself and the folders to its left; core never
# includes gui. Fails on every include that runs against that order.
set -euo pipefail
cd "$(dirname "$0")/.."

order=(platform store codelists reports analysis output followup rates network app backup)
rank() {
  local i
  for i in "${!order[@]}"; do
    if [ "${order[$i]}" = "$1" ]; then
      echo "$i"
      return
    fi
  done
  echo -1
}

bad=()
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  target=$(sed -E 's/^[^"]*"([^"]+)".*$/\1/' <<<"${rest#*:}")
  folder=$(cut -d/ -f3 <<<"$file")
  case "$target" in
    gui/*)
      bad+=("$file:$line: core/$folder includes $target (core never includes gui)")
      ;;
    core/*)
      to=$(cut -d/ -f2 <<<"$target")
      from_rank=$(rank "$folder")
      to_rank=$(rank "$to")
      if [ "$from_rank" -lt 0 ]; then
        bad+=("$file:$line: core/$folder is not in the feature order")
      elif [ "$to_rank" -lt 0 ]; then
        bad+=("$file:$line: includes $target, whose folder is not in the feature order")
      elif [ "$to_rank" -gt "$from_rank" ]; then
        bad+=("$file:$line: core/$folder includes $target, a folder above it")
      fi
      ;;
  esac
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src/core --include='*.cpp' --include='*.h' || true)

if [ ${#bad[@]} -gt 0 ]; then
  echo "Includes against the layer order. Core features depend one way:" >&2
  echo "  platform <- store <- codelists <- reports <- analysis <- output <- followup <- rates <- network <- app <- backup" >&2
  echo "  (gui on top; core never includes gui)" >&2
  echo "A core folder may include only itself and the folders to its left." >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
