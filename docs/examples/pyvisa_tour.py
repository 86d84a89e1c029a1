#!/usr/bin/python3
"""The VISA stand-in from PyVISA: list the bench, ask a Kubolt box who it is,
read a VXI carrier's slot. Runs from any folder:

    /usr/bin/python3 docs/examples/pyvisa_tour.py [LIBVISA]

LIBVISA defaults to the stand-in of the default build of this source tree.
"""
import pathlib
import sys

import pyvisa

tree = pathlib.Path(__file__).resolve().parents[2]
library = sys.argv[1] if len(sys.argv) > 1 else str(tree / "build/default/lib/libvisa.so")

rm = pyvisa.ResourceManager(library)
print(rm.list_resources())                 # every INSTR resource of the bench
box = rm.open_resource("USB0::0x0E76::0x1004::0457::INSTR", read_termination="\n")
print(box.query("*IDN?"))                  # the reply without its line end
carrier = rm.open_resource("VXI0::24::INSTR")
print(carrier.get_visa_attribute(pyvisa.constants.VI_ATTR_SLOT))
carrier.close()
box.close()
rm.close()
