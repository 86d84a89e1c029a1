#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: the normal
# build and its install check, the AddressSanitizer/UBSan build, the
# ThreadSanitizer build, then a short run of every fuzz target.
#
# The four builds run one after another on every core. A build's tests start
# as soon as it is done, beside the next build, which yields the processor to
# them (nice): the tests spend much of their time waiting on timers and child
# processes, and the build takes what they leave. The tests of two variants
# never run at the same time. Each test phase's output is shown when it
# ends; at the end, one line per phase gives its start and its wall time.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

logs="$root/build/test-all"
rm -rf "$logs"
mkdir -p "$logs"
began=$(date +%s%N)

# timed NAME COMMAND...: runs COMMAND and notes in $logs/phases when the phase
# began (seconds after the start), how long it took and its status.
timed() {
    local name="$1" from to rc=0
    shift
    from=$(date +%s%N)
    "$@" || rc=$?
    to=$(date +%s%N)
    printf '%s|%d|%d|%d\n' "$name" $(((from - began) / 1000000)) $(((to - from) / 1000000)) "$rc" >>"$logs/phases"
    return "$rc"
}

build() { nice -n 10 "$root/scripts/build.sh" "$1"; }
run_tests() { ctest --test-dir "$root/build/$1" --output-on-failure -j "$(nproc)" --timeout 300; }
default_checks() {
    timed "test default" run_tests default &&
        timed "install check" "$root/packaging/tests/check_install.sh" "$root/build/default"
}

# A test phase runs in the background with its output in a log of its own in
# $logs; finish_tests waits for it and shows that output.
tests_pid=""
tests_name=""
start_tests() {
    tests_name="$1"
    shift
    "$@" >"$logs/${tests_name// /_}.log" 2>&1 &
    tests_pid=$!
}
failed=""
finish_tests() {
    [ -n "$tests_pid" ] || return 0
    local rc=0
    wait "$tests_pid" || rc=$?
    echo "=== $tests_name"
    cat "$logs/${tests_name// /_}.log"
    [ "$rc" -eq 0 ] || failed="$tests_name"
    tests_pid=""
}

summary() {
    local name from took rc
    finish_tests
    echo "=== phase times (wall clock)"
    while IFS='|' read -r name from took rc; do
        printf '%-14s from %4d s  took %4d s%s\n' "$name" $((from / 1000)) $(((took + 500) / 1000)) \
            "$([ "$rc" -eq 0 ] || echo "  FAILED (status $rc)")"
    done < <(sort -t'|' -k2,2n "$logs/phases" 2>/dev/null)
    printf '%-14s %4d s\n' "total" $((($(date +%s%N) - began) / 1000000000))
}
trap summary EXIT

for variant in default asan tsan; do
    echo "=== build: $variant"
    timed "build $variant" build "$variant"
    finish_tests
    [ -z "$failed" ] || exit 1
    case "$variant" in
        default) start_tests "default tests and install check" default_checks ;;
        *) start_tests "test $variant" timed "test $variant" run_tests "$variant" ;;
    esac
done
# Fuzz smoke: every fuzz target briefly on its seed corpus (clang build in
# build/fuzz), so that a parser regression that crashes is caught.
echo "=== build: fuzz"
timed "build fuzz" nice -n 10 "$root/scripts/fuzz.sh" --build
finish_tests
[ -z "$failed" ] || exit 1
echo "=== fuzz smoke"
timed "fuzz smoke" "$root/scripts/fuzz.sh" --smoke 5
echo "=== all tests passed"
