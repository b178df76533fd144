#!/usr/bin/env bash
# Photographs the launcher's window on each of its four pages under Xvfb:
# build/screenshots/page-1.png (the page it opens on) to page-4.png.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${base_packages[@]}" imagemagick xdotool
build_cross
game="$build/screenshots/game"
rm -rf "$game" && lay_out_demo_game "$game"
out="$build/screenshots"

start_throwaway_wine shots
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
