#!/usr/bin/python3
"""Headless throughput of sorvi's stream on the simulated bench's virtual
clock: how many frames a second go from the carrier into NumPy chunks when
the bench makes them as fast as it can.

    /usr/bin/python3 python/bench_tools/stream_throughput.py [--frames N] [--packet N]

Position 1 of VXI0::24::INSTR on the built-in default bench counts (every
frame is its poll number), at the shortest period, 0.1 ms. A helper thread
plays the part of time: it moves the virtual clock on whenever the carrier
holds fewer than --lead frames, so the bench makes the frames on that
thread while the stream reads them on the main one. Every frame is checked
(chunk by chunk, in NumPy). Prints frames a second for the stream with
interrupts and by polling, beside the bench's own rate (the clock moved
with nobody reading). Exit status 0 when every frame came once, in order.
"""
import argparse
import ctypes
import os
import pathlib
import sys
import threading
import time

os.environ["SORVI_BENCH"] = ""  # the figures are for the built-in default bench
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))

import numpy as np  # noqa: E402

import sorvi  # noqa: E402
from sorvi import _bench, _driver  # noqa: E402

CARRIER, POSITION, PERIOD = "VXI0::24::INSTR", 1, 1e-4


def ready_frames(vi: int) -> int:
    count = ctypes.c_int32(0)
    _driver.lib().lumex_numReadyData(vi, ctypes.byref(count))
    return count.value


class Clock(threading.Thread):
    """Moves the bench's virtual clock on in steps while the carrier holds
    fewer than `lead` frames of the module."""

    def __init__(self, vi: int, step_frames: int, lead: int) -> None:
        super().__init__(daemon=True)
        self.vi, self.step, self.lead = vi, step_frames * PERIOD, lead
        self.done = threading.Event()

    def run(self) -> None:
        while not self.done.is_set():
            if ready_frames(self.vi) < self.lead:
                _bench.command(f"advance {self.step:.6f}")
            else:
                time.sleep(0.0002)


def run_stream(module: sorvi.Module, frames: int, packet: int, interrupts: bool, lead: int) -> tuple:
    """Streams `frames` frames; returns (wall seconds, frames, wrong)."""
    clock = Clock(module.session, packet, lead)
    expected = None
    taken = wrong = 0
    began = time.perf_counter()
    clock.start()
    try:
        with module.stream(period=PERIOD, packet=packet, interrupts=interrupts) as chunks:
            for chunk in chunks:
                if expected is None:
                    expected = int(chunk[0])
                want = np.arange(expected, expected + len(chunk), dtype=np.uint64).astype(np.uint32)
                wrong += int(np.count_nonzero(chunk != want))
                expected += len(chunk)
                taken += len(chunk)
                if taken >= frames:
                    break
    finally:
        clock.done.set()
        clock.join()
    return time.perf_counter() - began, taken, wrong


def bench_rate(frames: int, step_frames: int) -> float:
    """Frames a second the bench makes when the clock moves with nobody
    reading: a block run of `frames` frames taken in steps."""
    with sorvi.open(CARRIER, POSITION) as module:
        _bench.command(f"at {CARRIER} {POSITION} input all counter")
        module.relays = True
        module.period = PERIOD
        _driver.call("lumex_mode_block", module.session, frames)
        began = time.perf_counter()
        _driver.call("lumex_start", module.session)
        while module.running:
            _bench.command(f"advance {step_frames * PERIOD:.6f}")
        return frames / (time.perf_counter() - began)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--frames", type=int, default=5_000_000, help="frames to stream in each mode")
    parser.add_argument("--packet", type=int, default=10_000, help="frames per packet")
    parser.add_argument("--lead", type=int, default=200_000, help="most frames the clock runs ahead")
    options = parser.parse_args()
    _bench.command("clock virtual")
    ok = True
    print(f"stream at {PERIOD} s on the virtual clock, packets of {options.packet}, "
          f"{options.frames} frames in each mode")
    for interrupts in (True, False):
        with sorvi.open(CARRIER, POSITION) as module:
            _bench.command(f"at {CARRIER} {POSITION} input all counter")
            module.relays = True
            wall, taken, wrong = run_stream(module, options.frames, options.packet, interrupts, options.lead)
        name = "interrupts" if interrupts else "polling"
        print(f"{name:10}  {taken} frames in {wall:.2f} s: {taken / wall:,.0f} frames/s, {wrong} wrong or out of order")
        ok = ok and taken >= options.frames and wrong == 0
    rate = bench_rate(min(options.frames, 1_000_000), options.packet)
    print(f"bench alone {rate:,.0f} frames/s (the clock moved with nobody reading)")
    print("OK: every frame once, in order" if ok else "FAILED")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
