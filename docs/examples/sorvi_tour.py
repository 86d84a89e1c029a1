#!/usr/bin/python3
"""A tour of the Python package sorvi on the built-in default bench: find
the carriers, open a module, set it, take frames three ways, save them as a
result file and read them back. Runs from any folder:

    /usr/bin/python3 docs/examples/sorvi_tour.py

Without an installed package it uses the one of this source tree.
"""
import pathlib
import sys
import tempfile

try:
    import sorvi
except ImportError:  # not installed: the package of this source tree
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "python"))
    import sorvi

import numpy as np

for carrier in sorvi.scan():                # the carriers on the bus, as the programs list them
    print(carrier.resource, carrier.positions)

# Position 3 of the first carrier: channel k (1 to 30) sits at -9 V + 0.55 V * k.
with sorvi.open("VXI0::24::INSTR", 3) as module:
    module.relays = True                    # off after opening: switch the inputs on
    module.thresholds = (-5.0, 5.0)         # group 1 (channels 1-16), group 2 (17-32)
    frame = module.read_sample()            # one poll: an int, bit k-1 is channel k
    print(f"frame 0x{frame:08X}: channels on", [k + 1 for k in np.flatnonzero(sorvi.bits(frame))])
    block = module.acquire(mode="block", period=1e-4, frames=1000)
    print(len(block), "frames in a block, all the same:", bool((block == frame).all()))
    print(module)                           # where it is and how it is set
    try:
        module.period = 2.0                 # the driver refuses what is out of range
    except sorvi.DriverError as error:
        print(f"refused: 0x{error.status & 0xFFFFFFFF:08X} {error.message}")

# Position 1 shows a live pattern; a stream hands it over in whole packets.
with sorvi.open("VXI0::24::INSTR", 1) as module:
    module.relays = True
    chunks = []
    for chunk in module.stream(period=1e-4, packet=1000):   # the module runs...
        chunks.append(chunk)
        if sum(map(len, chunks)) >= 5000:
            break                                           # ... and stops here
    frames = np.concatenate(chunks)[:5000]
    print(len(frames), "frames streamed; the module is running:", module.running)

with tempfile.TemporaryDirectory() as folder:
    path = pathlib.Path(folder) / "run.sorvi"
    sorvi.save(frames, path)                # the soft front panel's result-file format, appended
    print("read back the same:", np.array_equal(sorvi.load(path), frames), path.stat().st_size, "bytes")
