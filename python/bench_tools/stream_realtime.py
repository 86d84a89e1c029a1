#!/usr/bin/python3
"""A live stream at 10 000 frames a second in real time through sorvi, with
the processor time it costs.

    /usr/bin/python3 python/bench_tools/stream_realtime.py [--seconds S] [--interrupts]

Position 1 of VXI0::24::INSTR on the built-in default bench counts (every
frame is its poll number); the stream runs at 0.1 ms in packets of 1000 for
S seconds (default 60) of real time, and every frame is checked to come
once, in order, with none missing at the end. Prints the frames, the wall
and processor time of the whole process (the stream and the simulated bench,
which runs inside it) and of the stream's own thread, as shares of one core.
Exit status 0 when every frame came once, in order.
"""
import argparse
import os
import pathlib
import sys
import time

os.environ["SORVI_BENCH"] = ""  # the figures are for the built-in default bench
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))

import numpy as np  # noqa: E402

import sorvi  # noqa: E402
from sorvi import _bench  # noqa: E402

CARRIER, POSITION, PERIOD, PACKET = "VXI0::24::INSTR", 1, 1e-4, 1000


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seconds", type=float, default=60.0, help="how long to stream (real time)")
    parser.add_argument("--interrupts", action="store_true", help="wait for data events instead of polling")
    options = parser.parse_args()
    with sorvi.open(CARRIER, POSITION) as module:
        _bench.command(f"at {CARRIER} {POSITION} input all counter")
        module.relays = True
        first = None
        taken = wrong = 0
        cpu, thread_cpu = time.process_time(), time.thread_time()
        began = time.monotonic()
        for chunk in module.stream(period=PERIOD, packet=PACKET, interrupts=options.interrupts):
            if first is None:
                first = int(chunk[0])
            want = np.arange(first + taken, first + taken + len(chunk), dtype=np.uint64).astype(np.uint32)
            wrong += int(np.count_nonzero(chunk != want))
            taken += len(chunk)
            if time.monotonic() - began >= options.seconds:
                break
        wall = time.monotonic() - began
        cpu, thread_cpu = time.process_time() - cpu, time.thread_time() - thread_cpu
    # The last packet may still have been filling when the stream ended.
    missing = max(0, round(wall / PERIOD) - PACKET - taken)
    how = "interrupts" if options.interrupts else "polling"
    print(f"stream at {PERIOD} s ({1 / PERIOD:.0f} frames/s), packets of {PACKET}, {how}, {wall:.1f} s of real time")
    print(f"frames delivered  {taken} ({taken / wall:.0f} a second), {wrong} wrong or out of order, "
          f"{missing} missing")
    print(f"processor time    {cpu:.2f} s: {100 * cpu / wall:.2f} % of one core "
          f"(whole process: the stream and the simulated bench)")
    print(f"stream's thread   {thread_cpu:.2f} s: {100 * thread_cpu / wall:.2f} % of one core")
    ok = wrong == 0 and missing == 0 and taken > 0
    print("OK: every frame once, in order" if ok else "FAILED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
