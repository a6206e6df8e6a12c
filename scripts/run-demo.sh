#!/usr/bin/env bash
# Builds Quillmark and shows what it knows about the demo's directories.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build.sh
db=demo/dirdata.xml
echo "Directories in $db:"
build/src/quillmark-db list "$db"
while IFS= read -r name; do
    echo
    echo "== $name"
    build/src/quillmark-db show "$db" "$name" --category "Small Business"
done < <(build/src/quillmark-db list "$db")
echo
build/src/quillmark-db check "$db"
