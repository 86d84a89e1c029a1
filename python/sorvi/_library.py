"""Finding and loading the driver library liblumex_32, and the C
declarations of the calls the package makes.

The library is looked for, in this order:
  1. in the folder $SORVI_LIB_DIR, when that variable is set (and only there);
  2. next to the installed package (an install writes where into
     _installed.py);
  3. in build/default/lib of the source tree the package lives in;
  4. on the system's library path (the dynamic linker's own search).
It is loaded on first use, so that importing the package, reading and
writing result files and help() work without it.
"""
from __future__ import annotations

import ctypes
import operator
import os
import pathlib
import threading
from typing import List, Optional, Tuple

from .errors import LibraryNotFoundError

LIBRARY_NAME = "liblumex_32.so.1"
TEXT_SIZE = 256  # every text buffer the driver fills

ViSession = ctypes.c_uint32
ViStatus = ctypes.c_int32
ViBoolean = ctypes.c_uint16
ViInt16 = ctypes.c_int16
ViInt32 = ctypes.c_int32
ViUInt32 = ctypes.c_uint32
ViReal64 = ctypes.c_double

P = ctypes.POINTER
# The driver's user interrupt handler: ViInt16 handler(ViSession, ViInt32).
UserHandler = ctypes.CFUNCTYPE(ViInt16, ViSession, ViInt32)

# name: argument types (every call returns a ViStatus).
_DECLARATIONS = {
    "lumex_init": (ViSession, ViInt16, ViBoolean, ViBoolean, P(ViSession)),
    "lumex_close": (ViSession,),
    "lumex_reset": (ViSession,),
    "lumex_error_message": (ViSession, ViStatus, ctypes.c_char_p),
    "lumex_set_porog": (ViSession, ViReal64),
    "lumex_set_porog_group": (ViSession, ViReal64, ViInt16),
    "lumex_set_porog_q": (ViSession, P(ViReal64)),
    "lumex_set_porog_group_q": (ViSession, ViInt16, P(ViReal64)),
    "lumex_sample_period": (ViSession, ViReal64),
    "lumex_sample_period_q": (ViSession, P(ViReal64)),
    "lumex_mode_1": (ViSession,),
    "lumex_mode_block": (ViSession, ViInt32),
    "lumex_mode_cycle": (ViSession, ViInt32),
    "lumex_mode_q": (ViSession, P(ViInt16), P(ViInt32)),
    "lumex_input_trigger": (ViSession, ViBoolean),
    "lumex_input_trigger_group": (ViSession, ViBoolean, ViInt16),
    "lumex_input_trigger_group_q": (ViSession, ViInt16, P(ViBoolean)),
    "lumex_mask_interrupt": (ViSession, ViBoolean),
    "lumex_set_user_ihandle": (ViSession, UserHandler),
    "lumex_alloc": (ViSession, ViInt32),
    "lumex_alloc_q": (ViSession, P(ViInt32)),
    "lumex_start": (ViSession,),
    "lumex_stop": (ViSession,),
    "lumex_state": (ViSession, P(ViInt16)),
    "lumex_numReadyData": (ViSession, P(ViInt32)),
    "lumex_read_sample": (ViSession, P(ViUInt32), P(ViUInt32), P(ViUInt32)),
    # Frame buffers are passed as bare addresses (NumPy arrays' data).
    "lumex_read_block": (ViSession, ViInt32, ViInt32, ctypes.c_void_p),
    "lumex_read_packet": (ViSession, ViInt32, ctypes.c_void_p, P(ViInt32)),
    "lumex_self_test": (ViSession, P(ViInt16), ctypes.c_char_p),
    # The carrier driver, which the driver library brings with it.
    "tarvo_init": (ctypes.c_char_p, ViBoolean, ViBoolean, P(ViSession)),
    "tarvo_close": (ViSession,),
    "tarvo_mem_q": (ViSession, P(ViUInt32)),
    "tarvo_m_type_q": (ViSession, ViInt16, P(ViInt16), P(ViInt16)),
}

_lock = threading.Lock()
_library: Optional[ctypes.CDLL] = None


def _installed_dir() -> Optional[pathlib.Path]:
    try:
        from . import _installed  # type: ignore[attr-defined]
    except ImportError:
        return None
    return (pathlib.Path(__file__).resolve().parent / _installed.LIBRARY_DIR).resolve()


def _tree_dir() -> Optional[pathlib.Path]:
    tree = pathlib.Path(__file__).resolve().parents[2]
    if (tree / "python" / "sorvi").is_dir() and (tree / "CMakeLists.txt").is_file():
        return tree / "build" / "default" / "lib"
    return None


def candidates() -> Tuple[List[Tuple[str, Optional[pathlib.Path]]], bool]:
    """The places to look in, in order, as (description, file or None for
    the system's search), and whether $SORVI_LIB_DIR decided them."""
    folder = os.environ.get("SORVI_LIB_DIR")
    if folder:
        return [(f"$SORVI_LIB_DIR ({folder})", pathlib.Path(folder) / LIBRARY_NAME)], True
    places: List[Tuple[str, Optional[pathlib.Path]]] = []
    installed = _installed_dir()
    if installed is not None:
        places.append(("next to the installed package", installed / LIBRARY_NAME))
    tree = _tree_dir()
    if tree is not None:
        places.append(("the source tree's default build", tree / LIBRARY_NAME))
    places.append(("the system's library path", None))
    return places, False


def _open(path: str) -> ctypes.CDLL:
    library = ctypes.CDLL(path)
    for name, arguments in _DECLARATIONS.items():
        function = getattr(library, name)
        function.argtypes = arguments
        function.restype = ViStatus
    return library


def load() -> ctypes.CDLL:
    """The driver library, loaded on the first call. Raises
    LibraryNotFoundError saying where it looked."""
    global _library
    with _lock:
        if _library is not None:
            return _library
        places, chosen = candidates()
        searched = []
        for description, path in places:
            if path is None:
                try:
                    _library = _open(LIBRARY_NAME)
                    return _library
                except OSError as error:
                    searched.append(f"{description}: {error}")
                    continue
            if not path.is_file():
                searched.append(f"{description}: no {path}")
                continue
            try:
                _library = _open(str(path))
                return _library
            except (OSError, AttributeError) as error:
                # Found but unusable (a library it needs is missing, or it is
                # not the driver): say so rather than try another one.
                raise LibraryNotFoundError(f"cannot load the driver library {path}: {error}", searched) from None
        what = "set SORVI_LIB_DIR to the folder that holds it" if not chosen else "check SORVI_LIB_DIR"
        raise LibraryNotFoundError(f"the driver library {LIBRARY_NAME} was not found ({what}); looked in", searched)


class _DlInfo(ctypes.Structure):
    _fields_ = [("dli_fname", ctypes.c_char_p), ("dli_fbase", ctypes.c_void_p),
                ("dli_sname", ctypes.c_char_p), ("dli_saddr", ctypes.c_void_p)]


def file_of(library: ctypes.CDLL, symbol: str) -> Optional[str]:
    """The file of the loaded library (the driver's or one it brought in)
    that defines `symbol`, or None."""
    try:
        function = getattr(library, symbol)
    except AttributeError:
        return None
    info = _DlInfo()
    dladdr = ctypes.CDLL(None).dladdr
    dladdr.argtypes = (ctypes.c_void_p, ctypes.POINTER(_DlInfo))
    if not dladdr(ctypes.cast(function, ctypes.c_void_p), ctypes.byref(info)) or not info.dli_fname:
        return None
    return info.dli_fname.decode()


def driver_library() -> str:
    """The file of the driver library in use (loading it if need be)."""
    return file_of(load(), "lumex_init") or ""


def text(buffer: ctypes.Array) -> str:
    """A text the driver wrote (Windows-1251 bytes) as a str."""
    return buffer.value.decode("cp1251", errors="replace")


def fitted(value: int, ctype: type, what: str) -> int:
    """value unchanged when the C argument type can hold it; ctypes would
    otherwise cut it silently and the driver would see another number."""
    bits = ctypes.sizeof(ctype) * 8
    signed = ctype(-1).value == -1
    low, high = (-(1 << (bits - 1)), (1 << (bits - 1)) - 1) if signed else (0, (1 << bits) - 1)
    try:
        number = operator.index(value)
    except TypeError:
        raise TypeError(f"{what} must be a whole number, not {value!r}") from None
    if not low <= number <= high:
        raise OverflowError(f"{what} {value} does not fit the driver's argument ({low} to {high})")
    return number
