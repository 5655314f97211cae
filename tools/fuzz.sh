#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*_fuzz.cpp) with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them on their seed corpora.
#
#   tools/fuzz.sh                      every target for 60 s
#   tools/fuzz.sh -t 3600 decode_fuzz  one target for an hour
#   tools/fuzz.sh -r 10000000 -j 8     every target for 10 million runs, over 8 processes
#   tools/fuzz.sh --make-seeds         rewrites the committed seed corpora
#
# Findings land in build/fuzz/findings/<target>/; the grown corpus in build/fuzz/corpus/<target>/.
# A finding is a crash, a run over 1 s, or an allocation over 256 MB.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/tools/setup.sh"
tavro_ccache_env "$root"

seconds=60
runs=""
jobs=1
make_seeds=0
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        -t) seconds="$2"; shift 2 ;;
        -r) runs="$2"; shift 2 ;;
        -j) jobs="$2"; shift 2 ;;
        --make-seeds) make_seeds=1; shift ;;
        -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
        *) targets+=("$1"); shift ;;
    esac
done

if ! command -v clang++-14 >/dev/null 2>&1; then
    echo "fuzz.sh: clang++-14 is not installed; the fuzz targets need clang's libFuzzer" >&2
    exit 1
fi

build="$root/build/fuzz"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVRO_SANITIZER=fuzzer -DTAVRO_BUILD_BENCH=OFF >/dev/null

if [ "$make_seeds" -eq 1 ]; then
    cmake --build "$build" --target tavro_fuzz_seeds
    for dir in "$root"/tests/fuzz/seeds/*/; do rm -f "$dir"/*; done
    "$build/tests/fuzz/tavro_fuzz_seeds" "$root/tests/fuzz/seeds"
    exit 0
fi

cmake --build "$build" --target tavro_fuzz

if [ ${#targets[@]} -eq 0 ]; then
    for source in "$root"/tests/fuzz/*_fuzz.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    mkdir -p "$corpus" "$findings"
    limits=(-timeout=1 -rss_limit_mb=2048 -malloc_limit_mb=256 -max_len=8192 -artifact_prefix="$findings/")
    if [ -n "$runs" ]; then
        limits+=(-runs=$(( runs / jobs )))
    else
        limits+=(-max_total_time="$seconds")
    fi
    echo "=== $target ==="
    if [ "$jobs" -gt 1 ]; then
        (cd "$findings" && "$build/tests/fuzz/$target" "${limits[@]}" -jobs="$jobs" -workers="$jobs" \
            "$corpus" "$root/tests/fuzz/seeds/$target") || status=1
    else
        "$build/tests/fuzz/$target" "${limits[@]}" -print_final_stats=1 \
            "$corpus" "$root/tests/fuzz/seeds/$target" || status=1
    fi
done
exit $status
