#!/usr/bin/env bash
# Installs what is missing, builds, lays out the demo game folder and starts
# the launcher in it under Wine. With --plain-prefix the Wine prefix goes
# without Wine's own fonts, as a player's own may be.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${base_packages[@]}"
build_cross
game="$build/demo-game"
lay_out_demo_game "$game"

plain=
[ "${1:-}" = --plain-prefix ] && plain=plain
export WINEPREFIX="${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/trelgate-wine${plain:+-plain}}"
if [ -z "${DISPLAY:-}" ]; then
    start_display
    echo "No display was set: the launcher runs on the virtual display $DISPLAY."
fi
start_wine $plain
echo "Starting $game/Trelgate.exe"
cd "$game"
exec wine Trelgate.exe
