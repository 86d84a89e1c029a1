"""The simulated bench's text command (sorvi_bench_command of the bench
library that the stand-in carrier library brings in), for the package's
tests and timed tools: change inputs, raise events, switch to the virtual
clock and move it. Not there with a vendor's carrier library."""
from __future__ import annotations

import ctypes

from . import _driver

REPLY_SIZE = 256


class BenchCommandError(RuntimeError):
    """The bench refused a command, or there is no simulated bench."""


def command(text: str) -> str:
    """Runs one bench command ("input all counter", "advance 0.1",
    "at VXI0::24::INSTR 1 event 0") and returns the bench's reply."""
    try:
        function = _driver.lib().sorvi_bench_command
    except AttributeError:
        raise BenchCommandError("no simulated bench: the carrier library in use is not the stand-in") from None
    function.argtypes = (ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int)
    function.restype = ctypes.c_int
    reply = ctypes.create_string_buffer(REPLY_SIZE)
    if function(text.encode(), reply, REPLY_SIZE) != 0:
        raise BenchCommandError(f"bench command {text!r}: {reply.value.decode(errors='replace')}")
    return reply.value.decode(errors="replace")
