"""Frames as channel states, and result files.

A frame is one 32-bit word per sampling instant: bit k-1 is channel k (1 to
32), bits 15..0 group 1 and bits 31..16 group 2. A result file, as the soft
front panel writes it (*.sorvi), is a plain run of such frames, 4 bytes each
in little-endian order, with no header; every run is appended to what the
file already holds.
"""
from __future__ import annotations

import os
from typing import Union

import numpy as np
import numpy.typing as npt

FRAME_BYTES = 4
_FILE_ORDER = np.dtype("<u4")

PathLike = Union[str, "os.PathLike[str]"]


def as_frames(frames: npt.ArrayLike) -> npt.NDArray[np.uint32]:
    """frames as a numpy.uint32 array, refusing what is not a 32-bit word
    rather than wrapping it."""
    array = np.asarray(frames)
    if array.dtype == np.uint32:
        return array
    if array.dtype == object or array.dtype.kind not in "biu":
        if array.size == 0:
            return array.astype(np.uint32)
        raise TypeError(f"frames must be whole numbers, not {array.dtype} values")
    if array.size and (array.min() < 0 or array.max() > 0xFFFFFFFF):
        raise ValueError("frames must be 32-bit words, 0 to 0xFFFFFFFF")
    return array.astype(np.uint32)


def bits(frames: npt.ArrayLike) -> npt.NDArray[np.bool_]:
    """The channel states of frames: for n frames an (n, 32) bool array
    whose column k-1 is channel k. A single frame (an int) gives 32 states."""
    words = as_frames(frames)
    little = words.astype(_FILE_ORDER, copy=False)
    unpacked = np.unpackbits(little.reshape(-1).view(np.uint8).reshape(-1, FRAME_BYTES), axis=1,
                             bitorder="little")
    return unpacked.view(np.bool_).reshape(words.shape + (32,))


def save(frames: npt.ArrayLike, path: PathLike, *, append: bool = True) -> int:
    """Writes frames to a result file in the soft front panel's format and
    returns how many were written. Like the panel, it appends to what the
    file holds (append=False replaces it)."""
    words = as_frames(frames).reshape(-1).astype(_FILE_ORDER, copy=False)
    with open(path, "ab" if append else "wb") as file:
        words.tofile(file)
    return len(words)


def load(path: PathLike) -> npt.NDArray[np.uint32]:
    """Every frame of a result file (all its runs, in order) as a
    numpy.uint32 array."""
    data = np.fromfile(path, dtype=np.uint8)
    whole = len(data) // FRAME_BYTES * FRAME_BYTES
    if whole != len(data):
        raise ValueError(f"{os.fspath(path)}: {len(data)} bytes is not a whole number of {FRAME_BYTES}-byte frames "
                         f"(the last {len(data) - whole} bytes are part of a frame)")
    return data.view(_FILE_ORDER).astype(np.uint32)
