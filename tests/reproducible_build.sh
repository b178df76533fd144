#!/usr/bin/env bash
# The sources as they are here, committed once and cloned into two folders of
# different names, make two releases one after the other: the exes, the
# archives and their sums must be the same bytes.
set -euo pipefail
source=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d /tmp/trelgate-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

mkdir "$work/src"
tar -C "$source" --exclude=./.git --exclude=./build --exclude=./dist -cf - . | tar -C "$work/src" -xf -
export GIT_AUTHOR_NAME=test GIT_AUTHOR_EMAIL=test@example.invalid GIT_AUTHOR_DATE='2026-01-02T03:04:05Z'
export GIT_COMMITTER_NAME=test GIT_COMMITTER_EMAIL=test@example.invalid GIT_COMMITTER_DATE='2026-01-02T03:04:05Z'
git -c init.defaultBranch=main init -q "$work/src"
git -C "$work/src" add -A
git -C "$work/src" -c commit.gpgsign=false commit -q -m 'The sources under test'

clones=(a "second-clone-with-a-longer-name")
for clone in "${clones[@]}"; do
    git clone -q "$work/src" "$work/$clone"
    if ! env -u TRELGATE_BUILD -u SOURCE_DATE_EPOCH bash "$work/$clone/scripts/release.sh" \
        >"$work/$clone.log" 2>&1; then
        cat "$work/$clone.log"
        echo "FAILED: scripts/release.sh in $work/$clone"
        exit 1
    fi
done

one="$work/${clones[0]}/dist" two="$work/${clones[1]}/dist"
cat "$one/SHA256SUMS"
status=0
for file in Trelgate.exe "$(cd "$one" && ls Trelgate-*.zip)" SHA256SUMS; do
    if ! cmp -s "$one/$file" "$two/$file"; then
        echo "FAILED: $file differs between the two builds; the first differing bytes (offset, octal values):"
        cmp -l "$one/$file" "$two/$file" 2>&1 | head -n 10 || true
        status=1
    fi
done
[ "$(cd "$one" && ls)" = "$(cd "$two" && ls)" ] || { echo "FAILED: the two dist folders hold other files"; status=1; }
if [ $status != 0 ]; then
    trap - EXIT
    echo "Both builds are kept in $work"
fi
exit $status
