#!/usr/bin/env bash
# Builds only the given targets (and what they need) of the default variant
# in build/default, for the start scripts: configures once, when there is no
# build yet (later changes to CMakeLists.txt files are picked up by the build
# itself), compiles through ccache when it is installed, and builds no tests.
#   build-target.sh TARGET...
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/default"
if [ ! -f "$build/build.ninja" ]; then
    if command -v ccache >/dev/null; then
        export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
        export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
    fi
    # The same settings as scripts/build.sh default, so neither rebuilds the other.
    cmake -S "$root" -B "$build" -G Ninja -DSORVI_WERROR=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target "$@"
