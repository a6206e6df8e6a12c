#!/usr/bin/env bash
# Builds Quillmark, starts the demo web server and opens Quillmark on it.
# Without a display, it starts itself again under Xvfb once the packages it
# needs are installed.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    if [ "${QUILLMARK_SKIP_DEPS:-0}" != 1 ]; then
        bash scripts/install-deps.sh
    fi
    echo "No display: running under Xvfb" >&2
    QUILLMARK_SKIP_DEPS=1 exec xvfb-run -a bash scripts/run-demo.sh "$@"
fi

bash scripts/build.sh

build/src/quillmark-demo-server &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
sleep 0.5
if ! kill -0 "$server" 2>/dev/null; then
    echo "The demo server did not start (is port 8731 in use?)" >&2
    exit 1
fi

if [ "$(id -u)" -eq 0 ]; then
    # Chromium's sandbox refuses to run as root.
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
build/bin/quillmark
