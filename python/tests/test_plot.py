"""sorvi.plot draws every channel's changes; without matplotlib it says so."""
import sys

import numpy as np
import pytest

import sorvi


def test_stepped_traces_of_the_channels():
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    # Channel 1 toggles every frame, channel 32 is always high, the rest low.
    frames = np.array([0x80000000 | (k & 1) for k in range(100)], dtype=np.uint32)
    axes = sorvi.plot(frames, 1e-3, title="test")
    lines = axes.get_lines()
    assert len(lines) == 32
    x, y = lines[0].get_data()
    assert len(x) == 101 and x[-1] == pytest.approx(0.1)  # a point for each change, one at the end
    assert set(np.round(y, 6)) == {0.0, 0.7}
    assert len(lines[31].get_data()[0]) == 2 and set(lines[31].get_data()[1]) == {31.7}
    few = sorvi.plot(frames, 1e-3, channels=[1, 17])
    assert len(few.get_lines()) == 2
    matplotlib.pyplot.close("all")


def test_without_matplotlib(monkeypatch):
    monkeypatch.setitem(sys.modules, "matplotlib", None)
    monkeypatch.setitem(sys.modules, "matplotlib.pyplot", None)
    with pytest.raises(ImportError, match="sorvi.plot needs matplotlib.*python3-matplotlib"):
        sorvi.plot([1, 2, 3], 1e-3)


@pytest.mark.parametrize("arguments", [dict(period=0.0), dict(period=1e-3, channels=[0]),
                                       dict(period=1e-3, channels=[33])])
def test_what_cannot_be_drawn(arguments):
    pytest.importorskip("matplotlib")
    with pytest.raises(ValueError):
        sorvi.plot([1, 2], **arguments)
