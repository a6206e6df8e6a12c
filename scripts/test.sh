#!/usr/bin/env bash
# Builds Quillmark and runs all its tests, headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
if [ "$(id -u)" -eq 0 ]; then
    # Chromium's sandbox refuses to run as root.
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
ctest --test-dir build --output-on-failure --parallel 2
