#!/usr/bin/env bash
# Fails when a source file includes a header of a higher layer.
#   platform <- controls <- grid <- dropdown <- app <- gateway, fieldbus, ethernet <- mainwin
# The three protocol layers stand side by side: none includes another.
# Usage: check_layers.sh [source folder]   (default: src beside this script)
#        check_layers.sh --self-test       (checks that a violation is found)
set -uo pipefail

# One pass over every include line of every layer's sources.
check() {
  local src="$1"
  (cd "$src" && find . -mindepth 2 -maxdepth 2 \( -name '*.h' -o -name '*.cpp' \) -print0 |
    xargs -0 -r grep -H -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]*/' /dev/null) |
    awk '
      BEGIN {
        split("platform controls grid dropdown app gateway fieldbus ethernet mainwin", names, " ")
        split("0 1 2 3 4 5 5 5 6", ranks, " ")
        for (i in names) rank[names[i]] = ranks[i]
        bad = 0
      }
      {
        file = substr($0, 3, index($0, ":") - 3)          # "./layer/File.h:..." -> "layer/File.h"
        layer = substr(file, 1, index(file, "/") - 1)
        if (!(layer in rank)) next
        line = substr($0, index($0, ":") + 1)
        sub(/^[^"]*"/, "", line)
        target = substr(line, 1, index(line, "/") - 1)
        if (!(target in rank)) next
        if (rank[target] > rank[layer] || (rank[target] == rank[layer] && target != layer)) {
          printf "layers: %s (%s) includes a header of %s\n", file, layer, target > "/dev/stderr"
          bad = 1
        }
      }
      END { exit bad }'
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
