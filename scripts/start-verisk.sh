#!/usr/bin/env bash
# Installs what is missing, builds the verification program (only it and the
# libraries it loads, not the tests) and starts it on the built-in simulated
# bench (or on the bench file given with --bench FILE). A second start builds
# nothing unless a source changed. Without a display it starts a virtual X
# server so the window still opens.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build-target.sh" verisk
program="$root/build/default/bin/verisk"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
    exec "$program" "$@"
fi
echo "start-verisk: no display; running on a virtual X server (xvfb-run)" >&2
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@"
