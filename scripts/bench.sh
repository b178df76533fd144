#!/usr/bin/env bash
# Installs what is missing, builds, and prints the launcher's figures under a
# throwaway Wine prefix on a virtual display, each against a baseline
# measured in the same run: the start to its window shown against a bare
# window program, idle and beside a CPU-bound process, with the phases of the
# start, the peak working set and each page's first showing, its size, the
# backup list's refresh on 10,000 backups against a bare enumeration of the
# same folder, and the backup copy of a 256 MiB save against the system's copy
# with its memory. "bench.sh N" runs each N times. The idle figures count only
# when the load printed before them shows nothing else running.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

runs=${1:-1}
ensure_packages "${base_packages[@]}"
build_cross
start_throwaway_wine bench
cd "$build/cross/bin"
for _ in $(seq "$runs"); do
    uptime
    wine startup_bench.exe
done
for _ in $(seq "$runs"); do
    wine store_bench.exe | grep -E 'ratio'
done
for _ in $(seq "$runs"); do
    wine copy_bench.exe
done
