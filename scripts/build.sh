#!/usr/bin/env bash
# Configures and builds one variant into build/<variant>:
#   default  - optimised with debug info
#   asan     - AddressSanitizer + UndefinedBehaviorSanitizer
#   tsan     - ThreadSanitizer (the parts that cross threads; no Qt)
set -euo pipefail
variant="${1:-default}"
root="$(cd "$(dirname "$0")/.." && pwd)"
case "$variant" in
    default) extra=(-DSORVI_WERROR=ON) ;;
    asan) extra=(-DSORVI_WERROR=ON -DSORVI_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug) ;;
    tsan) extra=(-DSORVI_WERROR=ON -DSORVI_SANITIZE=thread -DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    *) echo "build.sh: unknown variant '$variant' (default, asan, tsan)" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$root/build/$variant" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$root/build/$variant" -j "$(nproc)"
