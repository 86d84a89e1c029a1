"""The 32 channels of a run drawn as stepped traces with matplotlib (an
optional dependency: Debian's python3-matplotlib, or pip's matplotlib)."""
from __future__ import annotations

from typing import Any, Optional, Sequence

import numpy as np
import numpy.typing as npt

from .frames import as_frames, bits

CHANNELS = tuple(range(1, 33))
# Height of a trace within its band of 1.
TRACE_HEIGHT = 0.7


def _pyplot() -> Any:
    try:
        import matplotlib.pyplot as pyplot
    except ImportError as error:
        raise ImportError("sorvi.plot needs matplotlib, which is not installed "
                          "(apt install python3-matplotlib, or pip install matplotlib): " + str(error)) from error
    return pyplot


def plot(frames: npt.ArrayLike, period: float, *, channels: Sequence[int] = CHANNELS, ax: Optional[Any] = None,
         title: Optional[str] = None) -> Any:
    """Draws channels (default all 32) of frames as stepped traces against
    time (frame k at k * period seconds), channel k in its own band, and
    returns the matplotlib Axes. Only the changes of each channel are drawn,
    so long runs plot quickly.

        axes = sorvi.plot(frames, 1e-3)
        axes.figure.savefig("run.png")

    Raises ImportError saying so when matplotlib is not installed.
    """
    pyplot = _pyplot()
    words = as_frames(frames).reshape(-1)
    if not period > 0:
        raise ValueError(f"period must be positive, not {period}")
    for channel in channels:
        if not 1 <= channel <= 32:
            raise ValueError(f"channels are 1 to 32, not {channel}")
    if ax is None:
        figure = pyplot.figure(figsize=(10, 0.25 * len(channels) + 1.2))
        ax = figure.add_subplot()
    states = bits(words)
    end = len(words) * period
    for band, channel in enumerate(channels):
        trace = states[:, channel - 1]
        if len(trace):
            # A point at the start, one at every change, one at the end.
            changes = np.flatnonzero(trace[1:] != trace[:-1]) + 1
            starts = np.concatenate(([0], changes))
            x = np.append(starts * period, end)
            y = band + TRACE_HEIGHT * np.append(trace[starts], trace[-1])
            ax.step(x, y, where="post", linewidth=0.8, color=f"C{band % 10}")
    ax.set_yticks([band + TRACE_HEIGHT / 2 for band in range(len(channels))])
    ax.set_yticklabels([str(channel) for channel in channels], fontsize=7)
    ax.set_ylim(-0.3, len(channels))
    ax.set_xlim(0, end if end > 0 else period)
    ax.set_xlabel("time, s")
    ax.set_ylabel("channel")
    if title:
        ax.set_title(title)
    return ax
