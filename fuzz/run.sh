#!/usr/bin/env bash
# Runs one libFuzzer target as a test: in a working folder of its own (where
# libFuzzer writes its logs), keeping what it finds in build/fuzz/corpus and
# any crash in build/fuzz/crashes; its output goes to build/fuzz/TARGET.log.
#
#   run.sh BINARY BUILD_DIR SECONDS [FLAG...] -- CORPUS...
set -euo pipefail
binary=$1 build=$2 seconds=$3
shift 3
flags=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    flags+=("$1")
    shift
done
shift
target=$(basename "$binary")
mkdir -p "$build/corpus/$target" "$build/work/$target" "$build/crashes"
corpora=("$build/corpus/$target")
for corpus in "$@"; do
    [ -d "$corpus" ] && corpora+=("$corpus")
done
cd "$build/work/$target"
"$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${flags[@]}" \
    -artifact_prefix="$build/crashes/$target-" -print_final_stats=1 "${corpora[@]}" \
    > "$build/$target.log" 2>&1
