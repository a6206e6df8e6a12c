#!/usr/bin/env bash
# Installs the Debian packages Quillmark needs (unless QUILLMARK_SKIP_DEPS=1)
# and builds everything into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${QUILLMARK_SKIP_DEPS:-0}" != 1 ]; then
    bash scripts/install-deps.sh
fi
cmake -S . -B build -G Ninja "$@"
cmake --build build --parallel "$(nproc)"
