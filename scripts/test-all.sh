#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: the normal
# build, then the AddressSanitizer/UBSan build, then the ThreadSanitizer build,
# then a short run of every fuzz target.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

for variant in default asan tsan; do
    echo "=== build: $variant"
    "$root/scripts/build.sh" "$variant"
    echo "=== test: $variant"
    ctest --test-dir "$root/build/$variant" --output-on-failure -j "$(nproc)" --timeout 300
    if [ "$variant" = default ]; then
        echo "=== install check: default"
        "$root/packaging/tests/check_install.sh" "$root/build/default"
    fi
done
# Fuzz smoke: every fuzz target briefly on its seed corpus (clang build in
# build/fuzz), so that a parser regression that crashes is caught.
echo "=== fuzz smoke"
"$root/scripts/fuzz.sh" --smoke 5
echo "=== all tests passed"
