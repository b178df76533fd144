#!/usr/bin/env bash
# Installs what is missing, builds the Release launcher from scratch and writes
# what a player downloads: dist/Trelgate-<version>.zip (Trelgate.exe and a
# README.txt), the same Trelgate.exe beside it, and dist/SHA256SUMS for both.
# One commit gives the same bytes in any folder, by any user, at any time.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${release_packages[@]}"

# Nothing from the builder's environment reaches the bytes: no flags, the
# same locale, time zone and file modes.
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS RCFLAGS
export LC_ALL=C TZ=UTC
umask 022

git_here() { git -c safe.directory="$root" -C "$root" "$@"; }
commit=$(git_here rev-parse HEAD) || {
    echo "$root is no git checkout: release from a clone, so that the archive names its commit" >&2
    exit 1
}
if [ -n "$(git_here status --porcelain --untracked-files=no)" ]; then
    echo "Warning: uncommitted changes; the archive is not that of commit $commit" >&2
    commit="$commit with uncommitted changes"
fi
# The files in the archive carry the commit's time; the exe carries none.
commit_time=$(git_here log -1 --format=%ct)
version=$(cmake -P "$root/cmake/Version.cmake")

release="$build/release"
rm -rf "$release"
cmake -S "$root" -B "$release" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$release" -j"$(nproc)" --target Trelgate

stage="$release/archive"
mkdir -p "$stage"
cp "$release/bin/Trelgate.exe" "$stage/Trelgate.exe"
# Windows line ends, for Notepad.
sed -e "s/@VERSION@/$version/g" -e "s/@COMMIT@/$commit/g" -e 's/\r$//' -e 's/$/\r/' \
    "$root/docs/player/README.txt" >"$stage/README.txt"
chmod 0644 "$stage/Trelgate.exe" "$stage/README.txt"
touch -d "@$commit_time" "$stage/Trelgate.exe" "$stage/README.txt"

archive="Trelgate-$version.zip"
# -X leaves out the owner and the extra time fields, -D the folder entries;
# the files go in in the order named.
(cd "$stage" && zip -q -X -D "$archive" Trelgate.exe README.txt)

dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist"
cp "$stage/$archive" "$stage/Trelgate.exe" "$dist/"
(cd "$dist" && sha256sum Trelgate.exe "$archive" >SHA256SUMS)
echo "Release $version of $commit in $dist:"
cat "$dist/SHA256SUMS"
