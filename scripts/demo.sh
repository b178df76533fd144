#!/usr/bin/env bash
# Installs what is missing, builds, lays out the demo game folder and starts
# the launcher in it under Wine.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${base_packages[@]}"
build_cross
game="$build/demo-game"
lay_out_demo_game "$game"

export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/trelgate-wine}"
if [ -z "${DISPLAY:-}" ]; then
    start_display
    echo "No display was set: the launcher runs on the virtual display $DISPLAY."
fi
start_wine
echo "Starting $game/Trelgate.exe"
cd "$game"
exec wine Trelgate.exe
