#!/usr/bin/env bash
# The instrument selection under an operator's hands: verisk on a real X
# server (Xvfb), with the X server's own mouse and key events (xdotool), on
# the default bench. One click on the second carrier only highlights it and
# the dialog stays up; Enter then opens that carrier (slot 5). Prints what
# it saw at each step and ends with status 0 when all of it held. Needs a
# default build (bash scripts/build.sh default) and xvfb, xdotool
# (bash scripts/install-deps.sh).
#
#   bash scripts/selection-by-hand.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
verisk="$root/build/default/bin/verisk"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/xdg"
unset SORVI_BENCH SORVI_SCRIPT SORVI_SCREENSHOTS

# verisk checks what the operator sees; each "echo" is the cue for the
# next hand movement below.
cat >"$scratch/check.script" <<'EOF'
timeout 20
echo cue:click
wait 1.5
expect visible SI 1
expect value LIST "Н.М.У.  Л.А.крейта:0x00, слот:5  (VXI0::40::INSTR)"
expect value MP_S "1"
echo cue:enter
wait 1.5
expect visible SI 0
expect value MP_S "5"
echo cue:done
commit MP_MP_EXIT
commit EXIT_POPUP_EXIT_YES
EOF

cat >"$scratch/hands.sh" <<'EOF'
set -euo pipefail
verisk="$1"
dir="$2"
cue() { until grep -q "^cue:$1$" "$dir/out.txt"; do sleep 0.05; done; }
visible() { xdotool search --onlyvisible --name '^Выбор инструмента$' >/dev/null 2>&1 && echo yes || echo no; }
"$verisk" --script "$dir/check.script" >"$dir/out.txt" 2>&1 &
program=$!
cue click
dialog=$(xdotool search --sync --onlyvisible --name '^Выбор инструмента$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$dialog")"
echo "dialog \"Выбор инструмента\" at ${X},${Y}, ${WIDTH}x${HEIGHT} on a $(xdotool getdisplaygeometry | tr ' ' x) screen"
# The list starts 6 px in; its second line lies about 30 px down.
xdotool mousemove --window "$dialog" 120 34 click 1
sleep 0.5
echo "one click on the second carrier: dialog still up: $(visible)"
cue enter
xdotool key Return
sleep 0.5
echo "Enter: dialog still up: $(visible)"
cue done
wait "$program"
status=$?
grep -v '^cue:' "$dir/out.txt" | grep -v XDG_RUNTIME_DIR || true
exit "$status"
EOF

cd "$scratch"
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/xdg" \
    xvfb-run -a -s "-screen 0 1280x1024x24" bash "$scratch/hands.sh" "$verisk" "$scratch"
