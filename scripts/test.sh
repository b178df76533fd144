#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; non-zero on any failure.
# An argument runs only the suites whose names match it, as ctest -R does.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

test_user=trelgate-test

# Wine as root writes through read-only files; the tests need Windows' refusals.
if [ "$(id -u)" = 0 ]; then
    ensure_packages "${base_packages[@]}" "${release_packages[@]}"
    id "$test_user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$test_user"
    if ! runuser -u "$test_user" -- test -r "$root/CMakeLists.txt"; then
        # The checkout is out of the test user's reach: test a copy.
        copy=/tmp/trelgate-source
        rm -rf "$copy" && cp -a "$root" "$copy" && chown -R "$test_user": "$copy"
        root=$copy build="$copy/build"
    fi
    mkdir -p "$build" && chown -R "$test_user": "$build"
    exec runuser -u "$test_user" -- env HOME="$(getent passwd "$test_user" | cut -d: -f6)" \
        TRELGATE_BUILD="$build" bash "$root/scripts/test.sh" "$@"
fi
ensure_packages "${base_packages[@]}" "${release_packages[@]}"

echo "== Rules under AddressSanitizer and UndefinedBehaviorSanitizer (host compiler)"
cmake -S "$root" -B "$build/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/host" -j"$(nproc)"
ctest --test-dir "$build/host" --output-on-failure

echo "== Launcher, demo game and tests (MinGW-w64, run through Wine)"
build_cross

# Without a window manager Wine waits two seconds for every managed window to
# unmap; unmanaged windows go at once. Wine calls every name that starts with
# "." hidden; Windows does not, and a user file named ".usr" must be listed as
# it is there.
set_up_test_prefix() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f >/dev/null 2>&1 </dev/null
}

# The layout first in a prefix without Wine's own fonts (the launcher's
# fallback), then everything in one with them, so that the last summary
# counts the whole suite.
start_throwaway_wine wine plain
set_up_test_prefix
echo "== The layout in a prefix without Wine's own fonts (the launcher's fallback)"
ctest --test-dir "$build/cross" --output-on-failure --verbose -R '^layout_tests$'

stop_wine
export WINEPREFIX="$throwaway/fonts"
start_wine
set_up_test_prefix
echo "== Everything, in a prefix with Wine's own fonts"
ctest --test-dir "$build/cross" --output-on-failure ${1:+-R "$1"}
