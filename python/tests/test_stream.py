"""A stream stops the module on every way out of its loop, and the module's
session closes when the way out leaves its with block too."""
import os
import signal
import threading

import pytest

import sorvi
from sorvi import status

from conftest import CARRIER


def ctrl_c_soon():
    """Ctrl-C for this process in a moment, while the stream waits."""
    timer = threading.Timer(0.2, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    return timer


class Failure(Exception):
    pass


def leave_by(way, stream):
    """Runs a loop over stream and leaves it `way`."""
    if way == "ctrl-c while waiting":
        ctrl_c_soon()
    for chunk in stream:
        if way == "break":
            break
        if way == "exception":
            raise Failure()
        if way == "ctrl-c in the loop":
            signal.raise_signal(signal.SIGINT)
        pytest.fail("the loop went on")


WAYS = {"break": None, "exception": Failure, "ctrl-c in the loop": KeyboardInterrupt,
        "ctrl-c while waiting": KeyboardInterrupt}


def stream_for(module, way, interrupts):
    # A stream that waits: its first packet takes 5 s.
    if way == "ctrl-c while waiting":
        return module.stream(period=1e-3, packet=5000, interrupts=interrupts)
    return module.stream(period=1e-4, packet=100, interrupts=interrupts)


@pytest.mark.parametrize("interrupts", [False, True], ids=["polling", "interrupts"])
@pytest.mark.parametrize("way", WAYS)
def test_leaving_the_loop_stops_the_module(module, way, interrupts):
    module.relays = True
    raised = WAYS[way]
    if raised is None:
        leave_by(way, stream_for(module, way, interrupts))
    else:
        with pytest.raises(raised):
            leave_by(way, stream_for(module, way, interrupts))
    assert not module.running
    assert module.acquire("block", period=1e-4, frames=10).shape == (10,)


@pytest.mark.parametrize("way", [w for w, raised in WAYS.items() if raised])
def test_an_error_out_of_the_with_block_also_closes_the_session(way):
    opened = sorvi.open(CARRIER, 1)
    with pytest.raises(WAYS[way]):
        with opened as module:
            module.relays = True
            leave_by(way, stream_for(module, way, False))
    assert module.closed
    with sorvi.open(CARRIER, 1) as again:  # the position is free again
        assert not again.running


def test_closing_the_module_inside_the_loop_ends_it(module):
    module.relays = True
    chunks = 0
    for chunk in module.stream(period=1e-4, packet=100):
        chunks += 1
        module.close()
    assert chunks == 1 and module.closed


def test_a_stream_kept_after_break_goes_on_until_closed(module):
    module.relays = True
    with module.stream(period=1e-4, packet=100) as chunks:
        first = next(chunks)
        assert module.running
        assert isinstance(module.read_sample(), int)  # the latest frame of the run, no poll
        second = next(chunks)
        assert len(first) and len(second)
    assert not module.running and chunks.frames == len(first) + len(second)


def test_an_instrument_error_ends_a_stream_with_the_drivers_status(module, bench):
    module.relays = True
    with pytest.raises(sorvi.DriverError) as ended:
        for chunk in module.stream(period=1e-4, packet=100, interrupts=True):
            bench(f"at {CARRIER} 1 event -1")
    assert ended.value.status == status.LUMEX_ERROR_INSTR_INTERRUPT
    assert not module.running
    module.reset()  # clears the mark: the module works again
    module.relays = True
    assert module.acquire("block", period=1e-4, frames=10).shape == (10,)


def test_a_frame_read_before_the_stream_starts_does_not_change_its_mode(module):
    module.relays = True
    chunks = module.stream(period=1e-4, packet=100)
    module.read_sample()  # single mode for one poll
    with chunks:
        assert len(next(chunks)) % 100 == 0 and module.mode == "cycle"
