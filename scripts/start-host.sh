#!/usr/bin/env bash
# Installs what is missing, builds, and starts the instrument-panel host (which
# loads the soft front panel plug-in) on the built-in simulated bench.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" default
program="$root/build/default/bin/panelhost"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
    exec "$program" "$@"
fi
echo "start-host: no display; running on a virtual X server (xvfb-run)" >&2
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@"
