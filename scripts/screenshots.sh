#!/usr/bin/env bash
# Photographs the launcher's window on each of its four pages under Xvfb:
# page-1.png (the page it opens on) to page-4.png, in the folder given or
# build/screenshots. With --plain-prefix the Wine prefix goes without Wine's
# own fonts, and the launcher uses its fallback.
#   bash scripts/screenshots.sh [--plain-prefix] [FOLDER]
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${base_packages[@]}" imagemagick xdotool
build_cross
plain=
if [ "${1:-}" = --plain-prefix ]; then plain=plain; shift; fi
out=$(mkdir -p "${1:-$build/screenshots}" && cd "${1:-$build/screenshots}" && pwd)
start_throwaway_wine shots $plain
# Where a player's game would stand, so that the Settings page shows that path.
game="$WINEPREFIX/drive_c/Games/Trelan"
lay_out_demo_game "$game"
(cd "$game" && wine Trelgate.exe >/dev/null 2>&1 &)

window=
for _ in $(seq 100); do
    window=$(xdotool search --name '^Trelan Launcher$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "the launcher's window did not appear" >&2; exit 1; }
sleep 1 # let it paint
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + 40))
for page in 1 2 3 4; do
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/page-$page.png"
    xdotool key ctrl+Tab
    sleep 0.5
done
echo "Screenshots in $out"
