#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer.
#   platform <- controls <- grid <- dropdown <- app <- gateway, fieldbus, ethernet <- mainwin
# The three protocol layers stand side by side: none includes another.
# Usage: check_layers.sh [source folder]   (default: src beside this script)
#        check_layers.sh --self-test       (checks that a violation is found)
set -uo pipefail

rank() {
  case "$1" in
    platform) echo 0 ;; controls) echo 1 ;; grid) echo 2 ;; dropdown) echo 3 ;; app) echo 4 ;;
    gateway | fieldbus | ethernet) echo 5 ;; mainwin) echo 6 ;; *) echo -1 ;;
  esac
}

check() {
  local src="$1" bad=0 file layer target r_layer r_target
  while IFS= read -r -d '' file; do
    layer="$(basename "$(dirname "$file")")"
    r_layer="$(rank "$layer")"
    [ "$r_layer" -lt 0 ] && continue
    while IFS= read -r target; do
      r_target="$(rank "$target")"
      [ "$r_target" -lt 0 ] && continue
      if [ "$r_target" -gt "$r_layer" ] || { [ "$r_target" -eq "$r_layer" ] && [ "$target" != "$layer" ]; }; then
        echo "layers: ${file#"$src"/} ($layer) includes a header of $target" >&2
        bad=1
      fi
    done < <(sed -n 's|^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)/.*|\1|p' "$file")
  done < <(find "$src" -mindepth 2 -maxdepth 2 \( -name '*.h' -o -name '*.cpp' \) -print0)
  return $bad
}

if [ "${1:-}" = "--self-test" ]; then
  tmp="$(mktemp -d)"
  trap 'rm -rf "$tmp"' EXIT
  mkdir -p "$tmp/platform" "$tmp/controls" "$tmp/gateway" "$tmp/fieldbus"
  echo '#include "platform/A.h"' > "$tmp/controls/B.h"
  check "$tmp" 2>/dev/null || { echo "self-test: a clean tree was refused" >&2; exit 1; }
  echo '#include "controls/B.h"' > "$tmp/platform/A.h"
  check "$tmp" 2>/dev/null && { echo "self-test: a lower layer including a higher one passed" >&2; exit 1; }
  echo '' > "$tmp/platform/A.h"
  echo '#include "gateway/C.h"' > "$tmp/fieldbus/D.cpp"
  check "$tmp" 2>/dev/null && { echo "self-test: one protocol layer including another passed" >&2; exit 1; }
  echo "self-test: ok"
  exit 0
fi

src="${1:-$(cd "$(dirname "$0")/.." && pwd)/src}"
if check "$src"; then
  echo "layers: ok"
else
  exit 1
fi
