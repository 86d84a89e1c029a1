#!/usr/bin/python3
"""Draws half a second of the default bench's live pattern with sorvi.plot
and saves the picture. Runs from any folder:

    /usr/bin/python3 docs/examples/sorvi_plot.py OUTPUT.png

docs/images/sorvi_plot.png is made with it. Needs matplotlib (Debian's
python3-matplotlib). Without an installed package it uses the one of this
source tree.
"""
import pathlib
import sys

try:
    import sorvi
except ImportError:  # not installed: the package of this source tree
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "python"))
    import sorvi

import matplotlib

matplotlib.use("Agg")  # no window: straight into the file

output = sys.argv[1] if len(sys.argv) > 1 else "sorvi_plot.png"
with sorvi.open("VXI0::24::INSTR", 1) as module:
    module.relays = True
    frames = module.acquire(mode="block", period=1e-3, frames=500)
axes = sorvi.plot(frames, 1e-3, title="VXI0::24::INSTR position 1: 500 frames at 1 ms, threshold 2.0 V")
axes.figure.savefig(output, dpi=100, bbox_inches="tight")
print(f"{output}: {len(frames)} frames drawn")
