"""SORVI modules from Python: the lumex_32 driver through ctypes, frames as
NumPy arrays, carriers found with PyVISA.

    import sorvi
    for carrier in sorvi.scan():
        print(carrier.resource, carrier.label, carrier.positions)
    with sorvi.open("VXI0::24::INSTR", 1) as module:
        module.threshold = 2.0
        module.relays = True
        frames = module.acquire(mode="block", period=1e-3, frames=5000)
    sorvi.save(frames, "run.sorvi")

The driver library is found in $SORVI_LIB_DIR, next to the installed
package, in build/default/lib of the source tree, or on the system's library
path. The bench the stand-in libraries simulate is chosen with SORVI_BENCH
(set before the first call), as for every program of the package.
"""
from . import status
from ._version import __version__
from ._library import driver_library
from .discovery import Carrier, scan, visa_library
from .errors import DataLostError, DriverError, DriverWarning, Error, LibraryNotFoundError, ModuleClosedError
from .frames import bits, load, save
from .module import Module, open
from .plotting import plot
from .streaming import Stream

__all__ = [
    "Carrier", "DataLostError", "DriverError", "DriverWarning", "Error", "LibraryNotFoundError", "Module",
    "ModuleClosedError", "Stream", "bits", "driver_library", "load", "open", "plot", "save", "scan", "status", "visa_library",
    "__version__",
]
