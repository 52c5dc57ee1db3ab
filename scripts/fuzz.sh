#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for a bounded time (seconds, default
# 60) from the seeds in tests/fuzz/corpus. A finding fails the script and leaves the crashing
# input in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNWICK_FUZZ=ON -DTARNWICK_BUILD_UI=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzzers

mkdir -p build-fuzz/findings
status=0
for fuzzer in build-fuzz/bin/fuzz_*; do
    name=$(basename "$fuzzer")
    seeds=tests/fuzz/corpus/${name#fuzz_}
    work=build-fuzz/corpus/${name#fuzz_}
    mkdir -p "$work"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
    # Media seeds are made at test time by the harness's own seed writer, when it has one.
    [ -x "build-fuzz/bin/seed_${name#fuzz_}" ] && "build-fuzz/bin/seed_${name#fuzz_}" "$work"
    echo "== $name for ${seconds}s"
    if ! ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 "$fuzzer" -max_total_time="$seconds" \
        -seed=1 -timeout=20 -rss_limit_mb=4096 -artifact_prefix=build-fuzz/findings/"$name"- \
        -print_final_stats=1 "$work" 2>build-fuzz/"$name".log; then
        echo "$name found a problem; see build-fuzz/$name.log and build-fuzz/findings/"
        tail -40 build-fuzz/"$name".log
        status=1
    else
        grep -E '^stat::number_of_executed_units' build-fuzz/"$name".log || true
    fi
done
exit $status
