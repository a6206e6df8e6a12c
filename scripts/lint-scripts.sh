#!/usr/bin/env bash
# Lints every script the program puts into pages, as it is composed for a
# page, with ESLint (Debian's eslint package) and the rules of
# scripts/eslint/page-scripts.json: undefined and unused names, strict
# equality, no implicit globals. Builds the small tool that writes the
# composed scripts into build/, as the other scripts build.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target quillmark_page_scripts
out=build/page-scripts
rm -rf "$out"
mkdir -p "$out"
build/src/quillmark_page_scripts "$out"
# Debian's Node finds the packaged modules by itself; a Node from elsewhere
# needs to be told where they are.
NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} \
    eslint --no-eslintrc --config scripts/eslint/page-scripts.json --max-warnings 0 --format unix "$out"/*.js
echo "Page scripts lint clean: $(ls "$out" | tr '\n' ' ')"
