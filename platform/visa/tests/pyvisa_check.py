"""Drives the VISA stand-in through PyVISA, as a user's script would.

Usage: pyvisa_check.py PATH_TO_LIBVISA_SO
Runs on the built-in default bench; exits non-zero on the first failure.
"""
import sys

import pyvisa
from pyvisa import constants, errors

EXPECTED = [
    "VXI0::24::INSTR",
    "VXI0::40::INSTR",
    "USB0::0x0E76::0x1004::0457::0::INSTR",
    "VXI0::8::INSTR",
]


def check(condition, what):
    if not condition:
        print("FAILED:", what)
        sys.exit(1)


def main():
    rm = pyvisa.ResourceManager(sys.argv[1])
    missing = rm.visalib.lib._functions_failed
    check(not missing, "functions PyVISA could not bind: %r" % (missing,))
    names = rm.list_resources()
    check(list(names) == EXPECTED, "list_resources gave %r" % (names,))
    check(rm.list_resources("USB?*") == (EXPECTED[2],), "search for USB resources")

    for name in names:
        info = rm.resource_info(name)
        check(info.resource_class == "INSTR", "%s: class %r" % (name, info.resource_class))
        inst = rm.open_resource(name)
        check(inst.resource_name == name, "%s: resource name %r" % (name, inst.resource_name))
        intf = inst.get_visa_attribute(constants.VI_ATTR_INTF_TYPE)
        if name.startswith("VXI"):
            check(intf == constants.InterfaceType.vxi, "%s: interface type %r" % (name, intf))
            la = inst.get_visa_attribute(constants.VI_ATTR_VXI_LA)
            check(str(la) == name.split("::")[1], "%s: logical address %r" % (name, la))
            slot = inst.get_visa_attribute(constants.VI_ATTR_SLOT)
            check(slot in (2, 3, 5), "%s: slot %r" % (name, slot))
        else:
            check(intf == constants.InterfaceType.usb, "%s: interface type %r" % (name, intf))
            check(inst.get_visa_attribute(constants.VI_ATTR_MANF_ID) == 0xE76, "%s: manufacturer" % name)
            idn = inst.query("*IDN?")
            check(idn.startswith("VELTRONA,TARVO,0457"), "%s: *IDN? gave %r" % (name, idn))
            inst.timeout = 50
            check(inst.timeout == 50, "%s: time-out not kept" % name)
            inst.write("NO:SUCH:COMMAND")
            try:
                inst.read()
                check(False, "%s: read after an unknown command did not time out" % name)
            except errors.VisaIOError as e:
                check(e.error_code == constants.StatusCode.error_timeout, "%s: %r" % (name, e))
            inst.lock_excl(1000)
            inst.unlock()
        inst.close()

    try:
        rm.open_resource("VXI0::99::INSTR")
        check(False, "opening a resource that is not on the bench succeeded")
    except errors.VisaIOError as e:
        check(e.error_code == constants.StatusCode.error_resource_not_found, "missing resource: %r" % (e,))
    rm.close()
    print("pyvisa check passed: %d resources" % len(names))


if __name__ == "__main__":
    main()
