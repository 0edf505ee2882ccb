#!/usr/bin/env bash
# Starts the editor under a virtual display with a sample document and writes a screenshot.
# Usage: scripts/screenshot.sh [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" xvfb xauth imagemagick openbox
build_all
out="$(realpath -m "${1:-build/screenshot.png}")"
work="$(mktemp -d)"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
# Recovery copies, locks and settings stay in the work folder, not in the home folder, and no
# copy left by another editor makes this one ask about it.
mkdir -m 700 "$work/state" "$work/config" "$work/runtime"
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"

# The sample is written as a pasted outline: TAB nests, a BS line is an Item.
sed -e $'s/^\\(\t*\\)[■]/\\1\x08■/' -e $'s/^\\(\t*\\)[□]/\\1\x08□/' scripts/sample.txt |
    iconv -f UTF-8 -t CP932 > "$work/sample.txt"
build/src/cli/brenvale-cli import-text "$work/sample.txt" "$work/サンプル.bnv"

display=:77
Xvfb "$display" -screen 0 1024x700x24 -nolisten tcp &
sleep 1
DISPLAY=$display openbox &
sleep 1
DISPLAY=$display build/src/ui/brenvale "$work/サンプル.bnv" &
sleep 3
DISPLAY=$display /usr/bin/import -window root "$out"
echo "screenshot: $out"
