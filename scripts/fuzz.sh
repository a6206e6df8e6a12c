#!/usr/bin/env bash
# Builds the libFuzzer targets into build-fuzz/ with clang and runs each for
# SECONDS (default 30) on a copy of its seed corpus: fuzz/corpus/<target>/,
# and for the database the test fixtures and the demo's databases as well,
# taken from where they live. Names after SECONDS (database, statefile,
# placeholders, downloadbody, publishedpage) pick targets; all run
# otherwise, one after the other. Fails when any target finds a crash, a hang or runaway memory; the
# input that did it is kept in build-fuzz/artifacts/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
shift || true
declare -A programs=(
    [database]=FuzzDatabase
    [statefile]=FuzzStateFile
    [placeholders]=FuzzPlaceholders
    [downloadbody]=FuzzDownloadBody
    [publishedpage]=FuzzPublishedPage
)
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    targets=(database statefile placeholders downloadbody publishedpage)
fi
for target in "${targets[@]}"; do
    if [ -z "${programs[$target]:-}" ]; then
        echo "unknown fuzz target: $target" >&2
        exit 2
    fi
done

cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz --parallel 2

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Seeds kept elsewhere in the tree, copied into the target's work folder.
# A database seed may end in a zero byte and a category, and another zero
# byte and a subcategory: the demo's database is also tried with the
# profiles of its sites.
shared_seeds() {
    local target="$1" folder="$2"
    [ "$target" = database ] || return 0
    for fixture in tests/data/*.xml; do
        cp "$fixture" "$folder/tests-$(basename "$fixture")"
    done
    cp demo/dirdata.xml "$folder/demo-dirdata.xml"
    cp demo/www/updates/quillmarkdemo.xml "$folder/demo-update.xml"
    { cat demo/dirdata.xml; printf '\0Marketing and Advertising\0Online'; } \
        >"$folder/demo-marketing"
    { cat demo/dirdata.xml; printf '\0Small Business\0'; } >"$folder/demo-small-business"
}

failed=()
for target in "${targets[@]}"; do
    program="build-fuzz/${programs[$target]}"
    artifacts="build-fuzz/artifacts/$target"
    mkdir -p "$artifacts" "$work/$target"
    cp fuzz/corpus/"$target"/* "$work/$target/"
    shared_seeds "$target" "$work/$target"
    echo "== $target: ${seconds}s"
    if ! "$program" "$work/$target" -max_total_time="$seconds" -timeout=30 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" 2>"$work/$target.log"; then
        failed+=("$target")
        tail -n 60 "$work/$target.log"
    else
        grep -E '^(#[0-9]+[[:space:]]+DONE|stat::)' "$work/$target.log" || true
    fi
done

if [ "${#failed[@]}" -ne 0 ]; then
    echo "fuzzing found problems in: ${failed[*]} (inputs in build-fuzz/artifacts/)" >&2
    exit 1
fi
echo "fuzzing found no problems"
