"""Continuous (cycle-mode) acquisition delivered as NumPy chunks.

The module takes frames into the carrier memory; the stream reads whatever
whole packets have arrived with one driver call per chunk, straight into a
new NumPy array, so no frame passes through Python on its own. Between
chunks it sleeps (or, with interrupts, waits for the module's data event).
"""
from __future__ import annotations

import ctypes
import threading
import time
from typing import TYPE_CHECKING, Dict, Iterator

import numpy as np
import numpy.typing as npt

from . import _driver, _library
from .errors import DataLostError

if TYPE_CHECKING:  # pragma: no cover
    from .module import Module

# The most frames one chunk holds (4 MiB), rounded down to whole packets.
CHUNK_FRAMES = 1 << 20
# Longest sleep between two looks at the carrier, so that a stop or Ctrl-C is
# seen promptly whatever the packet size and period.
LONGEST_WAIT = 0.1
SHORTEST_WAIT = 0.001

# Data events from the driver's interrupt routine wake the stream waiting on
# that session. One handler serves every session: the driver's handler has no
# context argument, and the handler object must outlive every session that
# may still call it, so it lives as long as the package.
_waiting: Dict[int, threading.Event] = {}


def _on_module_event(session: int, code: int) -> int:
    waiter = _waiting.get(session)
    if waiter is not None:
        waiter.set()  # errors too: the next read then reports them
    return 1


_HANDLER = _library.UserHandler(_on_module_event)
_NO_HANDLER = _library.UserHandler()


def read_into(vi: int, frames: np.ndarray, where: str) -> int:
    """Reads up to len(frames) frames of the run into `frames`, asking again
    when the carrier hands over fewer than asked; returns how many came."""
    lib = _driver.lib()
    got = _library.ViInt32(0)
    filled = 0
    while filled < len(frames):
        address = frames.ctypes.data + 4 * filled
        _driver.check(lib.lumex_read_packet(vi, len(frames) - filled, address, ctypes.byref(got)),
                      "lumex_read_packet", where)
        if got.value <= 0:
            break
        filled += got.value
    return filled


class _Progress:
    """What a stream's loop shares with its Stream object. The loop must not
    hold the Stream itself: then dropping the Stream (leaving a for loop by
    break or an exception) ends the loop at once, without waiting for the
    garbage collector."""

    def __init__(self) -> None:
        self.frames = 0
        self.running = False


class Stream:
    """An iterator over the frames of a cycle-mode run, chunk by chunk.

    Each chunk is a new numpy.uint32 array of one or more whole packets;
    together the chunks hold every frame of the run once, in order. The
    module starts with the first chunk asked for and stops when the stream
    ends: at `break` (or any other way out of the loop), at close(), on an
    exception or Ctrl-C (KeyboardInterrupt) inside the loop or while the
    stream waits, and when the module is closed. Frames the module took but
    the stream had not yet delivered are then dropped.

    If the module stops by itself (the carrier memory filled up because the
    chunks were not taken fast enough), the frames still held are delivered
    and then DataLostError is raised.
    """

    def __init__(self, module: "Module", packet: int, interrupts: bool) -> None:
        self.module = module
        self.packet = packet
        self.interrupts = interrupts
        self._progress = _Progress()
        self._chunks = _run(module, packet, interrupts, self._progress)
        module._streams.add(self)

    @property
    def frames(self) -> int:
        """How many frames have been delivered so far."""
        return self._progress.frames

    @property
    def running(self) -> bool:
        """Whether the stream has started and not yet ended."""
        return self._progress.running

    def __iter__(self) -> "Stream":
        return self

    def __next__(self) -> npt.NDArray[np.uint32]:
        return next(self._chunks)

    def close(self) -> None:
        """Stops the module and ends the stream (no effect once ended)."""
        self._chunks.close()

    def __enter__(self) -> "Stream":
        return self

    def __exit__(self, *exc_info: object) -> None:
        self.close()


def _run(module: "Module", packet: int, interrupts: bool,
         progress: _Progress) -> Iterator[npt.NDArray[np.uint32]]:
    vi = module.session
    where = module.where
    lib = _driver.lib()
    waiter = threading.Event() if interrupts else None
    wait = min(max(packet * module.period, SHORTEST_WAIT), LONGEST_WAIT)
    most = max(packet, CHUNK_FRAMES // packet * packet)
    ready = _library.ViInt32(0)
    state = _library.ViInt16(0)
    progress.running = True
    try:
        if waiter is not None:
            _listen(vi, waiter, where)
        # Set again: a single frame read since stream() may have changed the mode.
        _driver.call("lumex_mode_cycle", vi, packet, where=where)
        _driver.call("lumex_start", vi, where=where)
        while True:
            if waiter is not None:
                waiter.clear()
            _driver.check(lib.lumex_numReadyData(vi, ctypes.byref(ready)), "lumex_numReadyData", where)
            whole = min(ready.value // packet * packet, most)
            if whole > 0:
                chunk = np.empty(whole, dtype=np.uint32)
                got = read_into(vi, chunk, where)
                if got:
                    progress.frames += got
                    yield chunk if got == whole else chunk[:got]
                continue
            _driver.check(lib.lumex_state(vi, ctypes.byref(state)), "lumex_state", where)
            if state.value == 0:
                yield from _rest(vi, where, progress)
                raise DataLostError(f"{where}: the module stopped by itself after {progress.frames} frames "
                                    "(the carrier memory filled up, or the module was reset); "
                                    "frames taken after that are lost")
            if waiter is not None:
                waiter.wait(LONGEST_WAIT)
            else:
                time.sleep(wait)
    except GeneratorExit:
        # The stream was closed or dropped: a failure to stop is news.
        progress.running = False
        module._stop_after_run(listening=waiter is not None, quiet=False)
        raise
    except BaseException:
        # Another error is on its way out; a failure to stop must not hide it.
        progress.running = False
        module._stop_after_run(listening=waiter is not None, quiet=True)
        raise


def _rest(vi: int, where: str, progress: _Progress) -> Iterator[npt.NDArray[np.uint32]]:
    """What the carrier still holds of a run that has ended."""
    ready = _library.ViInt32(0)
    _driver.check(_driver.lib().lumex_numReadyData(vi, ctypes.byref(ready)), "lumex_numReadyData", where)
    if ready.value > 0:
        chunk = np.empty(ready.value, dtype=np.uint32)
        got = read_into(vi, chunk, where)
        if got:
            progress.frames += got
            yield chunk[:got]


def _listen(vi: int, waiter: threading.Event, where: str) -> None:
    _waiting[vi] = waiter
    try:
        _driver.call("lumex_set_user_ihandle", vi, _HANDLER, where=where)
        _driver.call("lumex_mask_interrupt", vi, 1, where=where)
    except BaseException:
        unlisten(vi, where)
        raise


def unlisten(vi: int, where: str) -> None:
    """Switches the module's interrupts off and removes the handler."""
    try:
        _driver.call("lumex_mask_interrupt", vi, 0, where=where)
    finally:
        _driver.call("lumex_set_user_ihandle", vi, _NO_HANDLER, where=where)
        _waiting.pop(vi, None)
