"""Shared set-up of the package's tests: the package of this tree, the
default bench in this process, another bench in a process of its own, and
bench changes undone after each test."""
import concurrent.futures
import multiprocessing
import os
import pathlib
import sys

import numpy as np
import pytest

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent))
# The bench of this process is the built-in default one.
os.environ["SORVI_BENCH"] = ""

import sorvi  # noqa: E402
from sorvi import _bench  # noqa: E402

import bench_worker  # noqa: E402

COUNTING_BENCH = HERE / "benches" / "counting.yaml"
CARRIER = "VXI0::24::INSTR"


def assert_counts(frames, step=1):
    """frames count up by `step` (mod 65536), the same count in both halves,
    as the counting bench's modules give at a 0.1 ms period times step."""
    frames = np.asarray(frames, dtype=np.uint32)
    low, high = frames & 0xFFFF, frames >> 16
    assert np.array_equal(low, high), "the two groups differ"
    steps = np.diff(low.astype(np.int64)) % 65536
    wrong = np.flatnonzero(steps != step)
    assert len(wrong) == 0, f"frame {wrong[0] + 1} follows {low[wrong[0]]} with {low[wrong[0] + 1]}"


class BenchProcess:
    """A Python process of its own on another bench: a process loads its
    bench once, at the first driver call. Functions of bench_worker run in it
    and hand back what they found."""

    def __init__(self, bench_file: pathlib.Path) -> None:
        self._pool = concurrent.futures.ProcessPoolExecutor(
            max_workers=1, mp_context=multiprocessing.get_context("spawn"),
            initializer=bench_worker.use_bench, initargs=(str(bench_file),))

    def call(self, function, *args, **kwargs):
        return self._pool.submit(function, *args, **kwargs).result(timeout=120)

    def close(self) -> None:
        self._pool.shutdown()


@pytest.fixture(scope="session")
def counting():
    process = BenchProcess(COUNTING_BENCH)
    yield process
    process.close()


@pytest.fixture
def bench():
    """The bench's text command; what a test changes on position 1 of the
    first carrier is undone afterwards."""
    yield _bench.command
    _bench.command(f"at {CARRIER} 1 input all live")
    _bench.command(f"at {CARRIER} 1 stuck 1-32 off")


@pytest.fixture
def module():
    """Position 1 of the default bench's first carrier, open for the test."""
    with sorvi.open(CARRIER, 1) as opened:
        yield opened
