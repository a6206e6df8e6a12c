#!/usr/bin/env bash
# Measures the real program on its demo: the time from starting it to its
# main window on screen, and its memory once the start page has loaded
# (proportional set size of the program and its browser processes, so that
# shared libraries are counted once). Runs under Xvfb; needs a build in
# build/ (scripts/build.sh).
#   bench/measure-program.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x900x24 -noreset" "$0" "$@"
fi

runs=${1:-5}
data=$(mktemp -d)
trap 'kill "${server:-}" 2>/dev/null || true; rm -rf "$data"' EXIT
cp build/bin/quillmark "$data/"
cp demo/dirdata.xml "$data/"
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

build/src/quillmark-demo-server >/dev/null 2>&1 &
server=$!
sleep 0.5

pss_kb() { # the PSS of a process and all its descendants, in kB
    local total=0 pid
    for pid in "$1" $(pgrep -P "$1" || true); do
        if [ "$pid" != "$1" ]; then
            total=$((total + $(pss_kb "$pid")))
        else
            total=$((total + $(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup" 2>/dev/null || echo 0)))
        fi
    done
    echo "$total"
}

for run in $(seq "$runs"); do
    start=$(date +%s%N)
    "$data/quillmark" >/dev/null 2>&1 &
    program=$!
    until xdotool search --onlyvisible --name "Quillmark V1.0" >/dev/null 2>&1; do
        sleep 0.005
    done
    shown=$(date +%s%N)
    sleep 4
    echo "run $run: main window shown after $(((shown - start) / 1000000)) ms;" \
        "memory with the start page loaded: $(($(pss_kb "$program") / 1024)) MiB PSS"
    kill "$program"
    wait "$program" 2>/dev/null || true
done
