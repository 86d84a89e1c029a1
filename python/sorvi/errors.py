"""What the package raises and warns with.

Every status the driver returns becomes one of these: a negative one a
DriverError, a positive one a DriverWarning issued through the warnings
module. Both carry the status code and the driver's text for it.
"""
from __future__ import annotations

import os
import sys
import warnings
from typing import Sequence


class Error(Exception):
    """Base of every error the package raises itself."""


def _hex(status: int) -> str:
    return f"0x{status & 0xFFFFFFFF:08X}"


class _DriverStatus:
    """What a driver error and a driver warning both tell."""

    def __init__(self, status: int, message: str, operation: str = "", where: str = "") -> None:
        self.status = status
        self.message = message
        self.operation = operation
        self.where = where
        super().__init__(status, message)

    def __str__(self) -> str:
        head = ": ".join(part for part in (self.where, self.operation) if part)
        text = f"{_hex(self.status)} {self.message}"
        return f"{head}: {text}" if head else text


class DriverError(_DriverStatus, Error):
    """A driver call failed.

    status:    the driver's status code, a negative 32-bit number as the
               driver returns it (compare with the constants of sorvi.status);
    message:   the driver's text for it;
    operation: the driver call that returned it ("lumex_start");
    where:     the module or carrier it was made on, if any.
    """


class ModuleClosedError(DriverError):
    """The module was used after it had been closed.

    The status is the driver's VI_ERROR_INV_SETUP ("not an open driver
    session"); nothing reaches the driver, whose session may by now belong to
    another module.
    """


class DataLostError(Error):
    """The module stopped by itself while frames were being streamed: the
    carrier memory filled up because frames were not read fast enough, or
    the module was reset. Every frame read before was delivered; frames taken
    after it are lost."""


class DriverWarning(_DriverStatus, UserWarning):
    """A driver call succeeded with a warning (a positive status), for
    example "relays off" when a run starts with the input relays switched off.
    Has the same status, message, operation and where as DriverError."""


class LibraryNotFoundError(Error, OSError):
    """The driver library could not be found or loaded.

    searched: every place looked in, in order, as text.
    """

    def __init__(self, message: str, searched: Sequence[str]) -> None:
        self.searched = list(searched)
        super().__init__(message + "".join(f"\n  {place}" for place in self.searched))


_PACKAGE_DIR = os.path.dirname(os.path.abspath(__file__)) + os.sep


def warn(warning: Warning) -> None:
    """Issues a warning attributed to the first caller outside this package,
    so that the warning filter and the printed line point at the user's code."""
    level = 2
    frame = sys._getframe(1)
    while frame is not None and os.path.abspath(frame.f_code.co_filename).startswith(_PACKAGE_DIR):
        frame = frame.f_back
        level += 1
    warnings.warn(warning, stacklevel=level)
