#!/usr/bin/env bash
# Installs what is missing, builds the instrument-panel host and the soft
# front panel plug-in it loads (not the tests), and starts the host on the
# built-in simulated bench. A second start builds nothing unless a source
# changed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build-target.sh" panelhost sorvi
program="$root/build/default/bin/panelhost"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
    exec "$program" "$@"
fi
echo "start-host: no display; running on a virtual X server (xvfb-run)" >&2
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@"
