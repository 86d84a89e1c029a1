"""An open SORVI module: settings, single frames, captures and streams."""
from __future__ import annotations

import atexit
import ctypes
import numbers
import operator
import time
import weakref
from typing import Optional, Tuple

import numpy as np
import numpy.typing as npt

from . import _driver, _library, status
from ._library import ViBoolean, ViInt16, ViInt32, ViReal64, ViSession, ViUInt32, fitted
from .errors import DriverError, ModuleClosedError
from .streaming import Stream, unlisten

MODES = ("single", "block", "cycle")
# Beyond the time a run should take, how long to wait for the module to stop
# by itself before giving up on it.
STOP_GRACE = 1.0

_open_modules: "weakref.WeakSet[Module]" = weakref.WeakSet()


def _number(value: object, what: str) -> float:
    if isinstance(value, bool) or not isinstance(value, numbers.Real):
        raise TypeError(f"{what} must be a number, not {value!r}")
    return float(value)


def _pair(value: object, what: str) -> Tuple[object, object]:
    try:
        first, second = value  # type: ignore[misc]
    except (TypeError, ValueError):
        raise TypeError(f"{what} must be a pair (group 1, group 2), not {value!r}") from None
    return first, second


class Module:
    """A SORVI module opened with sorvi.open(): a driver session with carrier
    memory reserved for it (a quarter of the carrier's). Closed, with its
    input relays switched off, by close() or on leaving a `with` block.

    Settings are properties; reading one asks the driver, setting one hands
    the value to the driver, which refuses what is out of range with its own
    status (sorvi.DriverError). Thresholds and period reach the module when a
    run starts.
    """

    def __init__(self, resource: str, position: int, vi: int, carrier: int, memory: int) -> None:
        self.resource = resource
        self.position = position
        self.memory = memory  # frames of carrier memory reserved for the module
        self._vi = vi
        self._carrier = carrier
        self._streams: "weakref.WeakSet[Stream]" = weakref.WeakSet()
        _open_modules.add(self)

    # --- where it is ------------------------------------------------------

    @property
    def where(self) -> str:
        """"RESOURCE position N", as messages name the module."""
        return f"{self.resource} position {self.position}"

    @property
    def closed(self) -> bool:
        return self._vi == 0

    @property
    def session(self) -> int:
        """The driver session (ViSession), for calling the driver directly."""
        if self._vi == 0:
            raise ModuleClosedError(status.VI_ERROR_INV_SETUP, _driver.message(status.VI_ERROR_INV_SETUP),
                                    "", f"{self.where} is closed")
        return self._vi

    @property
    def carrier_session(self) -> int:
        """The carrier session (ViSession) the module was opened on."""
        self.session
        return self._carrier

    def _call(self, operation: str, *arguments: object) -> int:
        return _driver.call(operation, self.session, *arguments, where=self.where)

    def _query(self, operation: str, ctype: type, *arguments: object) -> object:
        value = ctype()
        self._call(operation, *arguments, ctypes.byref(value))
        return value.value

    # --- settings ----------------------------------------------------------

    @property
    def threshold(self) -> float:
        """Threshold in volts, -10.0 to +10.0, raised by the driver to the
        next multiple of 0.05 V. Setting it sets both groups; reading it gives
        group 1's (see thresholds)."""
        return self._query("lumex_set_porog_q", ViReal64)  # type: ignore[return-value]

    @threshold.setter
    def threshold(self, volts: float) -> None:
        self._call("lumex_set_porog", _number(volts, "threshold"))

    @property
    def thresholds(self) -> Tuple[float, float]:
        """(group 1, group 2) thresholds in volts; group 1 is channels 1-16,
        group 2 channels 17-32."""
        return (self._query("lumex_set_porog_group_q", ViReal64, 1),  # type: ignore[return-value]
                self._query("lumex_set_porog_group_q", ViReal64, 2))

    @thresholds.setter
    def thresholds(self, volts: Tuple[float, float]) -> None:
        first, second = _pair(volts, "thresholds")
        self._call("lumex_set_porog_group", _number(first, "group 1 threshold"), 1)
        self._call("lumex_set_porog_group", _number(second, "group 2 threshold"), 2)

    @property
    def period(self) -> float:
        """Sample period in seconds, 0.0001 to 1.0."""
        return self._query("lumex_sample_period_q", ViReal64)  # type: ignore[return-value]

    @period.setter
    def period(self, seconds: float) -> None:
        self._call("lumex_sample_period", _number(seconds, "period"))

    @property
    def relays(self) -> bool:
        """True when the input relays of both groups are on. After opening
        (and after a reset or the self-test) they are off, the inputs are not
        measured and a run warns (sorvi.DriverWarning). Setting switches both
        groups."""
        return all(self.relay_groups)

    @relays.setter
    def relays(self, on: bool) -> None:
        self._call("lumex_input_trigger", fitted(on, ViBoolean, "relays"))

    @property
    def relay_groups(self) -> Tuple[bool, bool]:
        """(group 1, group 2): whether each group's input relays are on."""
        return (bool(self._query("lumex_input_trigger_group_q", ViBoolean, 1)),
                bool(self._query("lumex_input_trigger_group_q", ViBoolean, 2)))

    @relay_groups.setter
    def relay_groups(self, on: Tuple[bool, bool]) -> None:
        first, second = _pair(on, "relay_groups")
        self._call("lumex_input_trigger_group", fitted(first, ViBoolean, "group 1 relays"), 1)
        self._call("lumex_input_trigger_group", fitted(second, ViBoolean, "group 2 relays"), 2)

    @property
    def mode(self) -> str:
        """The acquisition mode the module is set to: "single", "block" or
        "cycle" (acquire() and stream() set it)."""
        return MODES[self._mode()[0]]

    def _mode(self) -> Tuple[int, int]:
        mode, samples = ViInt16(), ViInt32()
        self._call("lumex_mode_q", ctypes.byref(mode), ctypes.byref(samples))
        return mode.value, samples.value

    @property
    def running(self) -> bool:
        """Whether the module is taking frames."""
        return self._query("lumex_state", ViInt16) != 0

    # --- operations ------------------------------------------------------

    def reset(self) -> None:
        """Resets the module: relays off, thresholds 2.0 V, period 0.0001 s,
        single mode."""
        self._call("lumex_reset")

    def self_test(self) -> Tuple[int, str]:
        """Runs the driver's self-test: (result, message), result 0 when the
        module is healthy. A failed test is a result, not an exception; the
        module is left reset (relays off, thresholds 2.0 V)."""
        result = ViInt16(0)
        message = ctypes.create_string_buffer(_library.TEXT_SIZE)
        code = _driver.lib().lumex_self_test(self.session, ctypes.byref(result), message)
        if code != status.LUMEX_ERROR_SELF_TEST:
            _driver.check(code, "lumex_self_test", self.where)
        return result.value, _library.text(message)

    def read_sample(self) -> int:
        """One frame (bit k-1 is channel k). The module polls its inputs once;
        while a stream runs, the latest frame of that run is returned."""
        if any(stream.running for stream in self._streams):
            return self._latest()
        return self._poll()

    def _latest(self) -> int:
        frame = ViUInt32(0)
        self._call("lumex_read_sample", ctypes.byref(frame), None, None)
        return frame.value

    def _poll(self) -> int:
        self._call("lumex_mode_1")
        self._call("lumex_start")
        self._wait_stopped(self.period, "the poll")
        return self._latest()

    def acquire(self, mode: str = "cycle", *, period: Optional[float] = None, duration: Optional[float] = None,
                frames: Optional[int] = None, packet: int = 1000,
                interrupts: bool = False) -> npt.NDArray[np.uint32]:
        """Takes a run of frames and returns them as a numpy.uint32 array.

        mode:     "cycle" (continuous, read while it runs, any length),
                  "block" (one block in carrier memory, read at its end; at
                  most `memory` frames) or "single" (one poll per frame, at
                  about the period);
        period:   sample period in seconds (default: as set);
        duration: seconds of frames, or
        frames:   the number of frames (a single run without either takes
                  one frame);
        packet:   frames per packet in cycle mode;
        interrupts: in cycle mode, wait for the module's data events rather
                  than polling.
        """
        if mode not in MODES:
            raise ValueError(f"mode must be one of {', '.join(MODES)}, not {mode!r}")
        if period is not None:
            self.period = period
        count = self._frame_count(mode, duration, frames)
        if mode == "single":
            return self._acquire_single(count)
        if mode == "block":
            return self._acquire_block(count)
        out = np.empty(count, dtype=np.uint32)
        taken = 0
        with self.stream(packet=packet, interrupts=interrupts) as chunks:
            for chunk in chunks:
                used = min(len(chunk), count - taken)
                out[taken:taken + used] = chunk[:used]
                taken += used
                if taken == count:
                    break
        return out

    def _frame_count(self, mode: str, duration: Optional[float], frames: Optional[int]) -> int:
        if duration is not None and frames is not None:
            raise TypeError("give duration or frames, not both")
        if frames is not None:
            count = operator.index(frames)
            if count < 1:
                raise ValueError(f"frames must be at least 1, not {frames}")
            return count
        if duration is not None:
            seconds = _number(duration, "duration")
            count = round(seconds / self.period)
            if count < 1:
                raise ValueError(f"duration {duration} s is shorter than one sample period ({self.period} s)")
            return count
        if mode == "single":
            return 1
        raise TypeError(f"a {mode} acquisition needs duration= or frames=")

    def _acquire_single(self, count: int) -> npt.NDArray[np.uint32]:
        out = np.empty(count, dtype=np.uint32)
        period = self.period
        began = time.monotonic()
        for k in range(count):
            out[k] = self._poll()
            rest = began + (k + 1) * period - time.monotonic()
            if rest > 0 and k + 1 < count:
                time.sleep(rest)
        return out

    def _acquire_block(self, count: int) -> npt.NDArray[np.uint32]:
        self._call("lumex_mode_block", fitted(count, ViInt32, "frames"))
        self._call("lumex_start")
        self._wait_stopped(count * self.period, "the block")
        out = np.empty(count, dtype=np.uint32)
        self._call("lumex_read_block", 0, count, out.ctypes.data)
        return out

    def stream(self, *, period: Optional[float] = None, packet: int = 1000, interrupts: bool = False) -> Stream:
        """Continuous acquisition as an iterator of numpy.uint32 chunks:

            for chunk in module.stream(period=1e-4, packet=1000):
                ...   # every frame once, in order, whole packets per chunk

        The module starts with the first chunk and stops when the loop ends
        in any way (break, an exception, Ctrl-C), when the stream is closed
        and when the module is closed. With interrupts=True the stream waits
        for the module's data events instead of polling the carrier. See
        sorvi.Stream.
        """
        if period is not None:
            self.period = period
        self._call("lumex_mode_cycle", fitted(packet, ViInt32, "packet"))
        return Stream(self, packet, interrupts)

    # --- runs ----------------------------------------------------------

    def _wait_stopped(self, expect: float, what: str) -> None:
        """Waits for a run that ends by itself; stops it on every way out
        but its own end."""
        deadline = time.monotonic() + expect + STOP_GRACE
        pause = min(max(expect / 4, 0.0001), 0.05)
        ended = False
        try:
            while True:
                if not self.running:
                    ended = True
                    return
                if time.monotonic() > deadline:
                    raise TimeoutError(f"{self.where}: {what} did not end within {expect + STOP_GRACE:g} s")
                time.sleep(pause)
        finally:
            if not ended and not self.closed:
                self._quiet_stop()

    def _quiet_stop(self) -> None:
        """Stops the module while another error is on its way out; a failure
        to stop must not hide that error."""
        try:
            self._call("lumex_stop")
        except DriverError:
            pass

    def _stop_after_run(self, listening: bool, quiet: bool) -> None:
        """Stops a stream's run and switches its interrupts off."""
        if self.closed:
            return
        try:
            if quiet:
                self._quiet_stop()
            else:
                self._call("lumex_stop")
        finally:
            if listening:
                try:
                    unlisten(self._vi, self.where)
                except DriverError:
                    if not quiet:
                        raise

    # --- closing ---------------------------------------------------------

    def close(self) -> None:
        """Stops any stream, closes the driver session (the driver stops the
        module and switches the relays off) and lets the carrier go. Closing
        twice does nothing."""
        if self._vi == 0:
            return
        try:
            for stream in list(self._streams):
                stream.close()
        finally:
            vi, self._vi = self._vi, 0
            _open_modules.discard(self)
            try:
                _driver.check(_driver.lib().lumex_close(vi), "lumex_close", self.where)
            finally:
                _driver.release_carrier(self.resource)

    def __enter__(self) -> "Module":
        return self

    def __exit__(self, *exc_info: object) -> None:
        self.close()

    def __del__(self) -> None:
        try:
            self.close()
        except Exception:
            pass

    def __repr__(self) -> str:
        if self.closed:
            return f"<sorvi.Module {self.where}, closed>"
        try:
            low, high = self.thresholds
            mode, samples = self._mode()
            sizes = {0: "", 1: f", blocks of {samples}", 2: f", packets of {samples}"}[mode]
            groups = self.relay_groups
            relays = {(True, True): "on", (False, False): "off"}.get(
                groups, f"group 1 {'on' if groups[0] else 'off'}, group 2 {'on' if groups[1] else 'off'}")
            state = "running" if self.running else "stopped"
            how = (f"thresholds {low:g} V / {high:g} V, period {self.period:g} s, {MODES[mode]} mode{sizes}, "
                   f"relays {relays}, {state}")
        except DriverError as error:
            how = f"settings unreadable ({error})"
        return f"<sorvi.Module {self.where}: {how}>"


def open(resource: str, position: int, *, reset: bool = True) -> Module:  # noqa: A001 - the field's name
    """Opens the SORVI module at `position` (1 to 4) of the carrier
    `resource` (a VISA resource name, as sorvi.scan() lists them), the way
    every program of the package does: identification query, module reset
    (unless reset=False), a quarter of the carrier memory reserved.

        with sorvi.open("VXI0::24::INSTR", 1) as module:
            module.relays = True
            frames = module.acquire(mode="block", period=1e-3, frames=5000)

    Raises sorvi.DriverError with the driver's status when the carrier or the
    module cannot be opened (no module at that position, a position out of
    range); a module opened with set-up errors gives a sorvi.DriverWarning.
    Modules on one carrier share its carrier session.
    """
    lib = _driver.lib()
    where = f"{resource} position {position}"
    mezzanine = fitted(position, ViInt16, "position")
    carrier = _driver.acquire_carrier(resource)
    try:
        vi = ViSession(0)
        _driver.check(lib.lumex_init(carrier, mezzanine, 1, 1 if reset else 0, ctypes.byref(vi)), "lumex_init", where)
        try:
            size = ViUInt32(0)
            _driver.call("tarvo_mem_q", carrier, ctypes.byref(size), where=resource)
            memory = size.value // 16
            _driver.call("lumex_alloc", vi.value, fitted(memory, ViInt32, "memory"), where=where)
        except BaseException:
            lib.lumex_close(vi.value)
            raise
    except BaseException:
        _driver.release_carrier(resource)
        raise
    return Module(resource, position, vi.value, carrier, memory)


@atexit.register
def _close_left_open() -> None:
    """Modules still open when the interpreter ends are closed (relays off)."""
    for module in list(_open_modules):
        try:
            module.close()
        except Exception:
            pass
