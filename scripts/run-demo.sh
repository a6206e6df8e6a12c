#!/usr/bin/env bash
# Builds Quillmark, starts the demo web server and opens Quillmark on it.
# Without a display, run it as: xvfb-run -a ./scripts/run-demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."

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
