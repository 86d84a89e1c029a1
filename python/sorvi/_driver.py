"""Calls into the driver with their statuses turned into exceptions and
warnings, and the carrier sessions the open modules share."""
from __future__ import annotations

import ctypes
import threading
from typing import Any, Dict, List

from . import _library
from .errors import DriverError, DriverWarning, warn


def lib() -> ctypes.CDLL:
    return _library.load()


def message(status: int) -> str:
    """The driver's text for a status (Windows-1251, decoded)."""
    buffer = ctypes.create_string_buffer(_library.TEXT_SIZE)
    lib().lumex_error_message(0, status, buffer)
    return _library.text(buffer)


def check(status: int, operation: str, where: str = "") -> int:
    """Raises DriverError for a negative status, warns with DriverWarning for
    a positive one; returns the status."""
    if status < 0:
        raise DriverError(status, message(status), operation, where)
    if status > 0:
        warn(DriverWarning(status, message(status), operation, where))
    return status


def call(operation: str, *arguments: Any, where: str = "") -> int:
    """Calls the driver's `operation` and checks its status."""
    return check(getattr(lib(), operation)(*arguments), operation, where)


class _Carrier:
    def __init__(self, session: int) -> None:
        self.session = session
        self.users = 0


_carriers_lock = threading.Lock()
_carriers: Dict[str, _Carrier] = {}


def acquire_carrier(resource: str) -> int:
    """The carrier session for `resource`, opened (with identification query
    and reset, as every program opens a carrier) when no module of this
    process has it open yet. Modules on one carrier share its session, so
    opening a second module does not reset the carrier under the first."""
    with _carriers_lock:
        carrier = _carriers.get(resource)
        if carrier is None:
            session = _library.ViSession(0)
            call("tarvo_init", resource.encode(), 1, 1, ctypes.byref(session), where=resource)
            carrier = _carriers[resource] = _Carrier(session.value)
        carrier.users += 1
        return carrier.session


def release_carrier(resource: str) -> None:
    """Closes the carrier session when its last module has let it go."""
    with _carriers_lock:
        carrier = _carriers[resource]
        carrier.users -= 1
        if carrier.users > 0:
            return
        del _carriers[resource]
    call("tarvo_close", carrier.session, where=resource)


def open_carriers() -> List[str]:
    with _carriers_lock:
        return list(_carriers)


def peek_carrier(resource: str) -> int:
    """The session of a carrier this process has open, or 0."""
    with _carriers_lock:
        carrier = _carriers.get(resource)
        return carrier.session if carrier else 0
