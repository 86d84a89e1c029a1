#!/usr/bin/env bash
# Fuzzing with libFuzzer (clang, ASan + UBSan), in build/fuzz.
#
#   scripts/fuzz.sh --list              names the targets
#   scripts/fuzz.sh --build             builds every target
#   scripts/fuzz.sh TARGET SECONDS      builds the target if needed and fuzzes it
#   scripts/fuzz.sh --smoke SECONDS     builds every target and runs each for SECONDS,
#                                       as many at a time as there are cores
#
# Each run starts from the seed corpus in fuzz/corpus/TARGET (new inputs go to
# build/fuzz/corpus/TARGET, the repository's seeds stay as they are). A crash,
# leak, sanitizer report or time-out ends the run with a non-zero status and
# leaves the input in build/fuzz/artifacts/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"
targets=(bench_file bench_command script visa_names visa_search visa_format discovery_reply result_file result_page)

usage() {
    echo "usage: fuzz.sh --list | --build | TARGET SECONDS | --smoke SECONDS" >&2
    exit 2
}

configure() {
    if [ ! -f "$build/build.ninja" ]; then
        # -O1 with line tables: quick to build, fast enough to fuzz, and
        # sanitizer reports still name file and line.
        CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DSORVI_FUZZ=ON -DSORVI_WERROR=ON \
            -DCMAKE_BUILD_TYPE=Fuzz -DCMAKE_C_FLAGS_FUZZ="-O1 -gline-tables-only" \
            -DCMAKE_CXX_FLAGS_FUZZ="-O1 -gline-tables-only" -DSORVI_ONLY="platform/bench;platform/visa;platform/toolkit" >/dev/null
    fi
}

build_all() {
    configure
    cmake --build "$build" -j "$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")
}

run() {
    local target="$1" seconds="$2"
    local work="$build/corpus/$target" artifacts="$build/artifacts/$target"
    mkdir -p "$work" "$artifacts"
    echo "=== fuzz: $target for ${seconds}s"
    # Inputs are kept small: bench files, scripts and replies are short, and
    # larger inputs are refused by a length check long before the parsers.
    "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$root/fuzz/corpus/$target"
}

# smoke SECONDS: every target for SECONDS, one run per core at a time (each
# fuzzer runs on one core); a run's output is shown when it ends. After a
# failed run no new one starts; the status is that of the first failure.
smoke() {
    local seconds="$1" slots status=0 t
    slots="$(nproc)"
    local -A running=()
    mkdir -p "$build/logs"
    finish_one() {
        local done_pid rc=0
        wait -n -p done_pid "${!running[@]}" || rc=$?
        local name="${running[$done_pid]}"
        unset "running[$done_pid]"
        cat "$build/logs/$name.log"
        if [ "$rc" -ne 0 ]; then
            echo "=== fuzz: $name failed (status $rc)"
            [ "$status" -ne 0 ] || status="$rc"
        fi
    }
    for t in "${targets[@]}"; do
        [ "$status" -eq 0 ] || break
        while [ "${#running[@]}" -ge "$slots" ]; do finish_one; done
        [ "$status" -eq 0 ] || break
        run "$t" "$seconds" >"$build/logs/$t.log" 2>&1 &
        running[$!]="$t"
    done
    while [ "${#running[@]}" -gt 0 ]; do finish_one; done
    return "$status"
}

known() {
    local t
    for t in "${targets[@]}"; do [ "$t" = "$1" ] && return 0; done
    return 1
}

seconds_ok() { [[ "$1" =~ ^[1-9][0-9]{0,5}$ ]]; }

case "${1:-}" in
    --list)
        printf '%s\n' "${targets[@]}"
        ;;
    --build)
        [ $# -eq 1 ] || usage
        build_all
        ;;
    --smoke)
        [ $# -eq 2 ] && seconds_ok "$2" || usage
        build_all
        smoke "$2"
        ;;
    *)
        [ $# -eq 2 ] || usage
        known "$1" || { echo "fuzz.sh: unknown target '$1' (see --list)" >&2; exit 2; }
        seconds_ok "$2" || { echo "fuzz.sh: '$2' is not a number of seconds" >&2; exit 2; }
        configure
        cmake --build "$build" -j "$(nproc)" --target "fuzz_$1"
        run "$1" "$2"
        ;;
esac
