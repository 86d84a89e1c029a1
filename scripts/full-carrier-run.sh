#!/usr/bin/env bash
# A live run of a full carrier, outside the test command: one host on the
# bench file four-counters.yaml opens the soft front panels of its four
# modules one after another (each placed by its position), sets each to
# cycle mode at 0.1 ms with a result file, the strip chart and the results
# list, starts all four and lets them acquire in real time. Then it stops
# them, the host closes, and every file is checked frame by frame: channels
# 1-16 count up from 0 with every frame (none lost, none doubled) and
# channels 17-32 hold the module's own pattern (0x5A11 ... 0x5A44: no frame
# in another module's file). Each file must also hold as many frames as its
# module took between its start and its stop, to within the time the
# script's start and stop lines took (each lies between two marks the host
# prints) and 5 ms more.
#
# Printed: frames per module, the host's average CPU while the four acquire
# (% of one core, from /proc/PID/stat) and its peak memory (maximum resident
# size over its whole life).
#
#   scripts/full-carrier-run.sh [--interrupts] [--build DIR] [SECONDS]   (default 60)
#   scripts/full-carrier-run.sh --idle [--build DIR] [SECONDS]           (default 30)
#
# --interrupts  data comes on the modules' events instead of by polling.
# --idle        the four panels open and idle: only the host's CPU is measured
#               (it should stay under 1 % of a core).
# --build DIR   the build to run (its bin/panelhost), built beforehand; without
#               it build/default is brought up to date first.
set -euo pipefail
interrupts=0
idle=0
seconds=""
build=""
while [ $# -gt 0 ]; do
    case "$1" in
        --interrupts) interrupts=1 ;;
        --idle) idle=1 ;;
        --build)
            [ $# -ge 2 ] || { echo "full-carrier-run: --build needs a folder" >&2; exit 2; }
            build="$2"
            shift ;;
        --help|-h) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        -*) echo "full-carrier-run: unknown option $1 (--help lists them)" >&2; exit 2 ;;
        *) seconds="$1" ;;
    esac
    shift
done
if [ -z "$seconds" ]; then seconds=$([ "$idle" = 1 ] && echo 30 || echo 60); fi
if ! [[ "$seconds" =~ ^[0-9]+([.][0-9]+)?$ ]] || [ "$(python3 -c "print(int(float('$seconds') >= 1))")" != 1 ]; then
    echo "full-carrier-run: SECONDS must be a number, 1 or more (got '$seconds')" >&2
    exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "$build" ]; then
    "$root/scripts/build-target.sh" panelhost sorvi >/dev/null
    build="$root/build/default"
fi
[ -x "$build/bin/panelhost" ] || { echo "full-carrier-run: no $build/bin/panelhost" >&2; exit 2; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

{
    for position in 1 2 3 4; do
        echo "select-list HOST_POSITIONS $((position - 1))"
        echo "commit HOST_OPEN"
        echo "set MP#$position.MP_SAMPLE_PERIOD 0.0001"
        echo "ring MP#$position.MP_MODE \"непрерывный\""
        echo "set MP#$position.MP_B_P_SIZE 1000"
        echo "set MP#$position.MP_RELE_SWITCH 1"
        [ "$interrupts" = 1 ] && echo "set MP#$position.MP_ENABLE_INTERRUPT 1"
        echo "set MP#$position.MP_FILE_NAME \"$work/module-$position.sorvi\""
        echo "commit MP#$position.MP_GRAPH"
        echo "commit MP#$position.MP_SHOW_RES"
        echo "commit MP#$position.MP_BAZA"
    done
    if [ "$idle" = 1 ]; then
        echo "echo @idle"
        echo "wait $seconds"
        echo "echo @idle-end"
    else
        # Each start and stop between two marks, so that the harness knows
        # when each module ran.
        for position in 1 2 3 4; do
            echo "echo @before-start-$position"
            echo "commit MP#$position.MP_START"
            echo "echo @after-start-$position"
        done
        echo "wait $seconds"
        for position in 1 2 3 4; do
            echo "echo @before-stop-$position"
            echo "commit MP#$position.MP_STOP"
            echo "echo @after-stop-$position"
        done
        echo "wait 1"
        for position in 1 2 3 4; do echo "expect dimmed MP#$position.MP_START 0"; done
    fi
    echo "commit HOST_EXIT"
} > "$work/run.tks"

QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" python3 - "$build/bin/panelhost" \
    "$root/platform/bench/examples/four-counters.yaml" "$work" "$seconds" "$idle" "$interrupts" <<'PY'
import os, resource, struct, subprocess, sys, time

host, bench, work, seconds, idle, interrupts = sys.argv[1:7]
seconds, idle, interrupts = float(seconds), idle == "1", interrupts == "1"
ticks = os.sysconf("SC_CLK_TCK")
frame_rate = 10000  # 0.1 ms

def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / ticks  # utime + stime

process = subprocess.Popen([host, "--bench", bench, "--script", os.path.join(work, "run.tks")],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, bufsize=1)
marks = {}  # marker -> (wall time, host CPU seconds)
output = []
for line in process.stdout:
    if line.startswith("@"):
        marks[line.strip()] = (time.monotonic(), cpu_seconds(process.pid))
    else:
        output.append(line)
process.wait()
peak_mib = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024  # the host's, over its whole life
print("".join(output), end="")

def share(begin, end):
    (t0, c0), (t1, c1) = marks[begin], marks[end]
    return 100 * (c1 - c0) / (t1 - t0), t1 - t0

if idle:
    if "@idle" not in marks or "@idle-end" not in marks:
        print("full-carrier-run: the script did not reach the idle wait"); sys.exit(1)
    cpu, wall = share("@idle", "@idle-end")
    print(f"four panels open and idle for {wall:.1f} s: host CPU {cpu:.2f} % of one core "
          f"(peak memory {peak_mib:.1f} MiB)")
    sys.exit(0 if process.returncode == 0 else 1)

needed = [f"@{when}-{what}-{p}" for p in range(1, 5) for what in ("start", "stop") for when in ("before", "after")]
if any(m not in marks for m in needed):
    print("full-carrier-run: the script did not reach its end"); sys.exit(1)
ok = process.returncode == 0
total = 0
for position in range(1, 5):
    signature = 0x5A00 | (position << 4) | position
    # The module ran at least from just after its start line to just before
    # its stop line, at most from just before the one to just after the other.
    least = (marks[f"@before-stop-{position}"][0] - marks[f"@after-start-{position}"][0]) * frame_rate
    most = (marks[f"@after-stop-{position}"][0] - marks[f"@before-start-{position}"][0]) * frame_rate
    with open(os.path.join(work, f"module-{position}.sorvi"), "rb") as f:
        data = f.read()
    frames = len(data) // 4
    total += frames
    breaks = foreign = 0
    previous = None
    for (value,) in struct.iter_unpack("<I", data[: frames * 4]):
        if value >> 16 != signature:
            foreign += 1
        count = value & 0xFFFF
        if (previous is None and count != 0) or (previous is not None and count != (previous + 1) & 0xFFFF):
            breaks += 1
        previous = count
    # The marks are timed as the harness reads them, a little late: 5 ms of slack.
    in_time = least - 50 <= frames <= most + 50
    print(f"module {position}: {frames} frames, {breaks} breaks in the count, {foreign} foreign, "
          f"{len(data) % 4} stray bytes, {'as many' if in_time else 'NOT as many'} as it took "
          f"({least:.0f} to {most:.0f})")
    ok = ok and breaks == 0 and foreign == 0 and len(data) % 4 == 0 and in_time
cpu, wall = share("@after-start-4", "@before-stop-1")
print(f"four modules {'on events' if interrupts else 'polled'}, {wall:.1f} s in real time: {total} frames, "
      f"host CPU {cpu:.1f} % of one core on average, peak memory {peak_mib:.1f} MiB")
sys.exit(0 if ok else 1)
PY
