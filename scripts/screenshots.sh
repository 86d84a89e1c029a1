#!/usr/bin/env bash
# Takes the screenshots of docs/screenshots again, headless, and writes
# exactly that set of files into DIR (default docs/screenshots; made when
# missing). Needs a default build (bash scripts/build.sh default).
#
#   bash scripts/screenshots.sh [DIR]
#
# Each program runs in a scratch folder of its own, so the protocol file and
# the automatic shots of every panel stay out of DIR. One shot is taken on
# an X server of its own (xvfb-run).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/default/bin"
out="${1:-$root/docs/screenshots}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen
unset SORVI_BENCH SORVI_SCRIPT SORVI_SCREENSHOTS SORVI_PLUGIN

# run NAME PROGRAM ARGS...: runs PROGRAM in the scratch folder NAME.
run() {
    local name="$1"
    shift
    mkdir -p "$scratch/$name"
    (cd "$scratch/$name" && "$@" >/dev/null) || {
        echo "screenshots: $* failed" >&2
        exit 1
    }
}

# The verification program: verisk_*.png, named by its script.
run verisk "$bin/verisk" --script "$root/verify/examples/screenshots.script"
cp "$scratch"/verisk/verisk_*.png "$out/"

# The self-test window while the self-test runs, as the X server shows it:
# verisk runs on Xvfb and window_grab takes its window from outside while
# the program waits in the driver (verisk_selftest_running.png).
mkdir -p "$scratch/selftest" "$scratch/xdg"
chmod 700 "$scratch/xdg"
(cd "$scratch/selftest" && QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/xdg" \
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '"$1" --script "$2" >/dev/null & program=$!
        "$3" "Самоконтроль" "$4" 400 && wait "$program"' _ \
    "$bin/verisk" "$root/verify/examples/selftest_running.script" "$bin/window_grab" \
    "$out/verisk_selftest_running.png") || {
    echo "screenshots: the self-test window could not be taken while it ran" >&2
    exit 1
}

# The host: host_demo_closed.png and host_bench.png.
run host_demo "$bin/panelhost" --script "$root/platform/host/tests/scripts/demo.tks"
run host_bench "$bin/panelhost" --script "$root/platform/host/tests/scripts/bench.tks"
cp "$scratch"/host_demo/host_demo_closed.png "$scratch"/host_bench/host_bench.png "$out/"

# The soft front panel at work (a cycle run with its file, chart and list, a
# FIFO overflow; the settings and test panels of position 3).
run host_cycle "$bin/panelhost" --script "$root/platform/host/tests/scripts/cycle_run.tks" --screenshots "$scratch/host_cycle/shots"
run host_settings "$bin/panelhost" --script "$root/platform/host/tests/scripts/settings_run.tks" --screenshots "$scratch/host_settings/shots"
for shot in sorvi_MP_cycle sorvi_SP_traces sorvi_RP_file sorvi_EP_fifo; do
    cp "$scratch/host_cycle/shots/$shot.png" "$out/"
done
for shot in sorvi_ST_result sorvi_TP_sweep sorvi_PP_params; do
    cp "$scratch/host_settings/shots/$shot.png" "$out/"
done

# Four soft front panels of one carrier acquiring at once: full_carrier.png.
run host_full "$bin/panelhost" --bench "$root/platform/bench/examples/four-counters.yaml" \
    --script "$root/platform/host/tests/scripts/full_carrier.tks" --screenshots "$scratch/host_full/shots"
full="$scratch/host_full/shots/full_carrier"
"$bin/full_carrier_picture" "$out/full_carrier.png" "$full"_MP{1,2,3,4}.png "$full"_SP{1,2,3,4}.png

# The bench window beside the verification program (main window, prompt,
# bench) and beside a soft front panel.
run bench_verisk "$bin/verisk" --bench-window --script "$root/platform/benchwin/examples/verisk_screenshots.script" \
    --screenshots "$scratch/bench_verisk/shots"
run bench_panel "$bin/panelhost" --bench-window --script "$root/platform/benchwin/examples/panelhost_screenshots.tks" \
    --screenshots "$scratch/bench_panel/shots"
"$bin/side_by_side" "$out/bench_window_verisk.png" "$scratch/bench_verisk/shots/MP_3.png" \
    "$scratch/bench_verisk/shots/verisk_prompt.png" "$scratch/bench_verisk/shots/bench_after_prompt.png"
"$bin/side_by_side" "$out/bench_window_panel.png" "$scratch/bench_panel/shots/sorvi_panel.png" \
    "$scratch/bench_panel/shots/bench_beside_panel.png"

# The soft front panel's nine panels: sorvi_<PANEL>.png.
"$bin/sorvi_screenshots" "$out" >/dev/null

# The toolkit's demo with its standard dialogs: toolkit_*.png. The file
# dialog shows the demo's folder with two protocols and a folder in it.
mkdir -p "$scratch/toolkit/протоколы"
touch "$scratch/toolkit/sorvi.log" "$scratch/toolkit/поверка 2026.log"
run toolkit "$bin/tk_demo" --script "$root/platform/toolkit/examples/screenshots.tks" --screenshots "$scratch/toolkit/shots"
cp "$scratch/toolkit/shots/SAMPLE.png" "$out/toolkit_panel.png"
cp "$scratch/toolkit/shots/ASK.png" "$out/toolkit_popup.png"
cp "$scratch/toolkit/shots/message.png" "$out/toolkit_message.png"
cp "$scratch/toolkit/shots/fileselect.png" "$out/toolkit_fileselect.png"
ls "$out"
