#!/usr/bin/env bash
# A long live run of the soft front panel, outside the test command: the host
# opens position 1 of the default bench, whose channels 1-16 count in binary
# (channel k toggles every 2^(k-1) frames), and runs cycle mode at 0.1 ms in
# real time with the strip chart and the results list shown and a result file
# written. Afterwards the file is checked frame by frame (every frame one
# more than the one before it: none lost, none doubled) and the host's CPU
# time and memory (peak, and resident after 10 s and at the end) are printed.
# An hour's soak: scripts/live-run.sh 3600
#
#   scripts/live-run.sh [--build DIR] [SECONDS]     (default 60)
#
# --build DIR   the build to run (its bin/panelhost), built beforehand; without
#               it build/default is brought up to date first.
set -euo pipefail
seconds=60
build=""
while [ $# -gt 0 ]; do
    case "$1" in
        --build)
            [ $# -ge 2 ] || { echo "live-run: --build needs a folder" >&2; exit 2; }
            build="$2"
            shift ;;
        --help|-h) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        -*) echo "live-run: unknown option $1 (--help lists them)" >&2; exit 2 ;;
        *) seconds="$1" ;;
    esac
    shift
done
if ! [[ "$seconds" =~ ^[0-9]+([.][0-9]+)?$ ]]; then
    echo "live-run: SECONDS must be a number (got '$seconds')" >&2
    exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "$build" ]; then
    "$root/scripts/build.sh" default >/dev/null
    build="$root/build/default"
fi
[ -x "$build/bin/panelhost" ] || { echo "live-run: no $build/bin/panelhost" >&2; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

{
    echo "ring HOST_CARRIER #1"
    echo "commit HOST_OPEN"
    for k in $(seq 1 16); do
        # Channel k toggles every 2^(k-1) frames of 0.1 ms.
        echo "bench at VXI0::24::INSTR 1 input $k seq $(awk -v k="$k" 'BEGIN { print 0.0001 * 2 ^ (k - 1) }') 0 5"
    done
    echo "set MP_SAMPLE_PERIOD 0.0001"
    echo "ring MP_MODE \"непрерывный\""
    echo "set MP_B_P_SIZE 1000"
    echo "set MP_RELE_SWITCH 1"
    echo "set MP_FILE_NAME \"$work/live.sorvi\""
    echo "commit MP_GRAPH"
    echo "commit MP_SHOW_RES"
    echo "commit MP_START"
    echo "wait $seconds"
    echo "commit MP_STOP"
    echo "wait 1"
    echo "commit MP_MP_EXIT"
    echo "commit EXIT_POPUP_EXIT_YES"
    echo "commit HOST_EXIT"
} > "$work/live.tks"

QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" python3 - "$build/bin/panelhost" "$work" "$seconds" <<'PY'
import os, resource, struct, subprocess, sys, time
host, work, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
start = time.monotonic()
log = open(os.path.join(work, "host.log"), "w+")
process = subprocess.Popen([host, "--script", os.path.join(work, "live.tks")], stdout=log, stderr=subprocess.STDOUT)
# Resident memory of the host, every 10 s while it runs.
rss = []
while process.poll() is None:
    try:
        with open(f"/proc/{process.pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    rss.append(int(line.split()[1]) / 1024)
    except OSError:
        pass
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        pass
wall = time.monotonic() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
log.seek(0)
print(log.read(), end="")
with open(os.path.join(work, "live.sorvi"), "rb") as f:
    data = f.read()
frames = len(data) // 4
gaps = 0
previous = None
for (value,) in struct.iter_unpack("<I", data[: frames * 4]):
    value &= 0xFFFF
    if previous is not None and value != (previous + 1) & 0xFFFF:
        gaps += 1
    previous = value
cpu = usage.ru_utime + usage.ru_stime
print(f"run: {seconds:.0f} s acquiring, {wall:.1f} s wall in all")
print(f"file: {frames} frames ({len(data) % 4} stray bytes), {gaps} breaks in the count")
print(f"host CPU: {cpu:.2f} s = {100 * cpu / wall:.1f} % of one core over the whole run")
print(f"host peak resident memory: {usage.ru_maxrss / 1024:.1f} MiB")
if len(rss) >= 2:
    print(f"host resident memory: {rss[1]:.1f} MiB after 10 s, {rss[-1]:.1f} MiB at the end ({len(rss)} samples)")
sys.exit(0 if process.returncode == 0 and gaps == 0 and len(data) % 4 == 0 and frames > 0 else 1)
PY
