#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang into build-fuzz/ and runs each for SECONDS
# (default 30) on a scratch copy of its seed corpus, so the tree is never modified.
# Exits non-zero when any target crashes; its input is kept under build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [SECONDS]" >&2; exit 2; }
targets=(reply_framing quote_page rt_page portfolio_request)

scripts/install-deps.sh clang libclang-rt-14-dev

jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTICKWELL_FUZZ=ON -DTICKWELL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$jobs" --target fuzz_targets

build=$(pwd)/build-fuzz
failed=0
for name in "${targets[@]}"; do
    scratch=$build/fuzz-run/$name
    findings=$build/findings/$name
    rm -rf "$scratch"
    mkdir -p "$scratch/corpus" "$findings"
    cp fuzz/corpus/"$name"/* "$scratch/corpus/"
    log=$scratch/fuzz.log

    # A target's dictionary (fuzz/NAME.dict), when it has one, gives the mutations its tokens.
    dict=()
    if [ -f "fuzz/$name.dict" ]; then dict=(-dict="$(pwd)/fuzz/$name.dict"); fi

    # The wall-clock limit only guards against a run that ignores -max_total_time.
    status=0
    (cd "$scratch" && timeout --kill-after=10 $((seconds + 120)) "$build/fuzz/fuzz_$name" \
        -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 "${dict[@]}" \
        -artifact_prefix="$findings/" corpus >"$log" 2>&1) || status=$?

    # A crash in the seeds leaves no corpus line: the greps may find nothing.
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    corpus=$(grep -o 'corp: [0-9]*/[0-9]*[a-zA-Z]*' "$log" | tail -1 | sed 's|corp: \([0-9]*\)/\(.*\)|\1 inputs (\2)|' || true)
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1 || true)
    if [ "$status" -eq 0 ] && [ -z "$artifact" ]; then
        echo "fuzz_$name: ${execs:-?} execs in ${seconds}s, corpus ${corpus:-?}, no finding"
    else
        failed=1
        echo "fuzz_$name: ${execs:-?} execs, corpus ${corpus:-?}, FOUND A CRASH (exit $status)"
        if [ -n "$artifact" ]; then echo "  input: $artifact"; fi
        echo "  log:   $log"
        grep -m1 -E 'ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error|^(reply framing|quote page|rt page|portfolio request): ' \
            "$log" | sed 's/^/  /' || true
    fi
done
exit $failed
