#!/usr/bin/env bash
# Configures and builds one variant into build/<variant>:
#   default  - optimised with debug info
#   asan     - AddressSanitizer + UndefinedBehaviorSanitizer
#   tsan     - ThreadSanitizer at -O1 (the parts that cross threads; no Qt)
set -euo pipefail
variant="${1:-default}"
root="$(cd "$(dirname "$0")/.." && pwd)"
case "$variant" in
    default) extra=(-DSORVI_WERROR=ON) ;;
    asan) extra=(-DSORVI_WERROR=ON -DSORVI_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug) ;;
    # ThreadSanitizer at -O1, the level its authors suggest: fast enough to
    # run, a third quicker to compile than -O2, and fewer memory accesses
    # optimised away before they are instrumented.
    tsan) extra=(-DSORVI_WERROR=ON -DSORVI_SANITIZE=thread -DCMAKE_BUILD_TYPE=RelWithDebInfo
                 "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g -DNDEBUG") ;;
    *) echo "build.sh: unknown variant '$variant' (default, asan, tsan)" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$root/build/$variant" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$root/build/$variant" -j "$(nproc)"
