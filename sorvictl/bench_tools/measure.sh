#!/usr/bin/env bash
# Prints sorvictl's performance figures:
#  1. a 10-minute cycle capture at 0.1 ms on the bench's virtual clock
#     (every frame checked), by polling and by interrupts;
#  2. the processor time of a real-time capture at 10 000 frames/s;
#  3. export of a 1 GiB result file to .sr: MB/s and peak resident size.
# Usage: sorvictl/bench_tools/measure.sh [BUILD_DIR]   (default build/default)
# Scratch files go to ${TMPDIR:-/tmp} and are deleted afterwards.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build/default}"
bin="$build/bin"
tmp="$(mktemp -d "${TMPDIR:-/tmp}/sorvictl-measure-XXXXXX")"
trap 'rm -rf "$tmp"' EXIT
export SORVI_BENCH=

echo "== 1. 10 minutes of bench time at 0.1 ms, virtual clock"
"$bin/sorvictl_capture_throughput" "$tmp/virtual.sorvi"
"$bin/sorvictl_capture_throughput" "$tmp/virtual.sorvi" --interrupts

cpu_share() {  # label, then the command
    local label="$1"; shift
    /usr/bin/time -f "%e %U %S" -o "$tmp/time" "$@" 2>/dev/null
    read -r wall user sys <"$tmp/time"
    awk -v l="$label" -v w="$wall" -v u="$user" -v s="$sys" \
        'BEGIN { printf "%-28s wall %.1f s, cpu %.2f s: %.2f %% of one core\n", l, w, u + s, 100 * (u + s) / w }'
}
echo "== 2. real time, 10 000 frames/s for 20 s (processor time of sorvictl and the in-process bench)"
cpu_share "polling" "$bin/sorvictl" acquire VXI0::24::INSTR 1 --period 0.0001 --duration 20 -o "$tmp/rt.sorvi" --force
cpu_share "interrupts" "$bin/sorvictl" acquire VXI0::24::INSTR 1 --period 0.0001 --duration 20 --interrupts \
    -o "$tmp/rt.sorvi" --force
echo "frames in the file: $(( $(stat -c %s "$tmp/rt.sorvi") / 4 ))"

echo "== 3. export of a 1 GiB result file (counter pattern)"
python3 "$root/sorvictl/bench_tools/make_counter_frames.py" "$tmp/big.sorvi" $((256 * 1024 * 1024))
for ext in sr; do
    sync
    /usr/bin/time -v -o "$tmp/time" "$bin/sorvictl" export "$tmp/big.sorvi" -o "$tmp/big.$ext" --samplerate 10000 \
        2>/dev/null
    wall=$(awk -F': ' '/Elapsed/ { n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }' "$tmp/time")
    rss=$(awk -F': ' '/Maximum resident/ { print $2 }' "$tmp/time")
    awk -v e="$ext" -v w="$wall" -v r="$rss" -v o="$(stat -c %s "$tmp/big.$ext")" \
        'BEGIN { printf "to .%-4s %.1f s, %.0f MB/s of input, output %.0f MB, peak resident %.1f MB\n", e, w, 1073.741824 / w, o / 1e6, r / 1024 }'
    rm -f "$tmp/big.$ext"
done
