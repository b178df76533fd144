# Shared by the scripts: packages, builds, a display and a Wine prefix.
# Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${TRELGATE_BUILD:-$root/build}"

# Installs the Debian packages that are missing (needs root or sudo).
ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]}"
    local sudo=
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

base_packages=(cmake make g++ googletest mingw-w64 wine wine64 xvfb xauth fonts-wine)
# What scripts/release.sh needs; the test that compares two releases needs it too.
release_packages=(cmake make googletest mingw-w64 git zip)

# Cross-builds the launcher, the demo game and the tests into $build/cross.
build_cross() {
    cmake -S "$root" -B "$build/cross" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build/cross" -j"$(nproc)"
}

# A virtual display for the windows, unless one is given.
start_display() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
    echo "Xvfb did not start" >&2
    return 1
}

# Wine's own fonts, MS Sans Serif among them, in the prefix's Fonts folder,
# where Wine finds them by name. Debian's Wine looks for them in a folder its
# own file layer cannot open, so without this it never loads them.
link_wine_fonts() {
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
}

# Wine quiet, without its Mono and Gecko prompts, in the prefix $WINEPREFIX,
# with Wine's own fonts; "start_wine plain" leaves them out, as in a player's
# own prefix on such a system. The server is started and booted first, with
# its output kept away from ours: its background services would otherwise
# hold a test's output pipe open.
start_wine() {
    export WINEDEBUG=-all WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    mkdir -p "$WINEPREFIX"
    wineserver -p >/dev/null 2>&1 </dev/null
    wineboot -i >/dev/null 2>&1 </dev/null
    [ "${1:-}" = plain ] || link_wine_fonts
}

stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
}

end_throwaway_wine() {
    stop_wine
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$throwaway"
}

# start_throwaway_wine NAME [plain]: a throwaway prefix on a virtual display,
# both ended and removed on exit, which keeps the script's exit status. More
# prefixes may go into the folder $throwaway; the one running at the end is
# stopped.
start_throwaway_wine() {
    throwaway=$(mktemp -d "/tmp/trelgate-$1.XXXXXX")
    export WINEPREFIX="$throwaway/prefix"
    trap 'status=$?; end_throwaway_wine; exit $status' EXIT
    start_display
    start_wine "${2:-}"
}

# A game folder as a player has it: the game, two users, one with two backups,
# and the launcher beside them. Saves made in it are kept on the next run.
lay_out_demo_game() {
    local game=$1
    mkdir -p "$game"
    cp "$build/cross/bin/Trelan.exe" "$build/cross/bin/Trelgate.exe" "$game/"
    [ -d "$game/users" ] && return 0
    mkdir -p "$game/users/Agent"
    printf 'TRELAN-DEMO-SAVE\r\nAgent\r\n' >"$game/users/Agent.usr"
    printf 'TRELAN-DEMO-SAVE\r\nSpare\r\n' >"$game/users/Spare.usr"
    printf 'TRELAN-DEMO-SAVE\r\nAgent\r\nearly\r\n' >"$game/users/Agent/Start.bak"
    printf 'TRELAN-DEMO-SAVE\r\nAgent\r\nheist\r\n' >"$game/users/Agent/Before heist.bak"
    touch -d '2026-11-02 18:04:12' "$game/users/Agent/Start.bak"
    touch -d '2026-11-28 21:37:46' "$game/users/Agent/Before heist.bak"
    touch -d '2026-12-05 22:15:30' "$game/users/Agent.usr"
    touch -d '2026-12-01 09:41:08' "$game/users/Spare.usr"
}
