"""Finding the mezzanine carriers on the instrument bus through VISA
(PyVISA), by the rules every program of the package uses, and what sits at
their four positions.

Every "?*INSTR" resource is opened and asked what it is. A VXI (or GPIB-VXI)
resource is a carrier when it reports the maker's identification 0xE76, one
of the three carrier model codes (low 12 bits) and a slot from 1 to 12. A USB
or TCP/IP resource is a Kubolt box when, under an exclusive lock, it answers
"*IDN?" with a reply that begins "VELTRONA,TARVO".
"""
from __future__ import annotations

import ctypes
import pathlib
from dataclasses import dataclass, field
from typing import TYPE_CHECKING, Dict, List, Optional

from . import _driver, _library
from ._library import ViInt16, ViSession
from .errors import DriverError

if TYPE_CHECKING:  # pragma: no cover
    from .module import Module

CARRIER_MAKER = 0xE76
KUBOLT_MODEL_CODE = 0x1004
KUBOLT_ID_PREFIX = b"VELTRONA,TARVO"
KUBOLT_LOCK_TIMEOUT_MS = 2000
CARRIER_SLOTS = range(1, 13)
SERIAL_BYTES = 31
SORVI_TYPE = 9
POSITIONS = (1, 2, 3, 4)
VXI_FAMILIES = {0x10D: "Н.М.", 0x155: "Н.М.У.", 0x177: "Н.М.М."}

# VISA attributes and interface types (visa.h).
VI_ATTR_INTF_TYPE = 0x3FFF0171
VI_ATTR_SLOT = 0x3FFF00E8
VI_ATTR_MANF_ID = 0x3FFF00D9
VI_ATTR_MAINFRAME_LA = 0x3FFF0070
VI_ATTR_VXI_LA = 0x3FFF00D5
VI_ATTR_MODEL_CODE = 0x3FFF00DF
VI_ATTR_TCPIP_ADDR = 0xBFFF0195
VI_INTF_VXI, VI_INTF_GPIB_VXI, VI_INTF_TCPIP, VI_INTF_USB = 2, 3, 6, 7
VI_EXCLUSIVE_LOCK = 1


@dataclass(frozen=True)
class Carrier:
    """A carrier the search found.

    resource:  its VISA resource name, as the search returned it;
    label:     the line the programs list it with
               ("Н.М.  Л.А.крейта:0x00, слот:3  (VXI0::24::INSTR)",
               "Kubolt, USB (№:0457)");
    kind:      "vxi", "kubolt-usb" or "kubolt-lxi";
    positions: the occupied positions, {1: "СОРВИ", 2: "модуль типа 5"};
    error:     why the positions could not be read (the carrier driver
               cannot open the carrier), else None.
    """

    resource: str
    label: str
    kind: str
    positions: Dict[int, str] = field(default_factory=dict)
    model_code: int = 0
    crate_la: Optional[int] = None
    slot: Optional[int] = None
    serial: Optional[str] = None
    address: Optional[str] = None
    error: Optional[DriverError] = None

    @property
    def sorvi_positions(self) -> List[int]:
        """The positions that hold a SORVI module."""
        return [p for p, what in sorted(self.positions.items()) if what == "СОРВИ"]

    def open(self, position: int, *, reset: bool = True) -> "Module":
        """sorvi.open(self.resource, position)."""
        from .module import open as open_module

        return open_module(self.resource, position, reset=reset)


def position_text(present: bool, module_type: int) -> str:
    if not present:
        return "пусто"
    return "СОРВИ" if module_type == SORVI_TYPE else f"модуль типа {module_type}"


def kubolt_serial(reply: bytes) -> Optional[str]:
    """The serial number in an identification reply ("VELTRONA,TARVO,0457,1.02"
    gives "0457"), or None when the reply is not a Kubolt box's. The serial
    runs from the second character after the prefix to the next comma, at
    most 31 bytes, never cut inside a UTF-8 character."""
    reply = reply.split(b"\0", 1)[0].rstrip(b"\r\n")
    if not reply.startswith(KUBOLT_ID_PREFIX):
        return None
    serial = reply[len(KUBOLT_ID_PREFIX) + 1:].split(b",", 1)[0][:SERIAL_BYTES]
    return serial.decode("utf-8", errors="ignore" if len(serial) == SERIAL_BYTES else "replace")


def visa_library() -> str:
    """The VISA library that goes with the carrier library the driver uses:
    one already loaded with it, else libvisa.so beside the carrier library,
    else "" (PyVISA's own choice: the system's VISA)."""
    lib = _driver.lib()
    loaded = _library.file_of(lib, "viOpenDefaultRM")
    if loaded:
        return loaded
    carrier = _library.file_of(lib, "tarvo_init")
    if carrier:
        beside = pathlib.Path(carrier).with_name("libvisa.so")
        if beside.is_file():
            return str(beside)
    return ""


def _attribute(visa, session: int, attribute: int):
    return visa.get_attribute(session, attribute)[0]


def _identify(visa, manager: int, name: str) -> Optional[Carrier]:
    import pyvisa

    try:
        session, code = visa.open(manager, name)
    except pyvisa.errors.VisaIOError:
        return None
    try:
        if code != 0:
            return None
        interface = _attribute(visa, session, VI_ATTR_INTF_TYPE)
        if interface in (VI_INTF_VXI, VI_INTF_GPIB_VXI):
            return _vxi(visa, session, name)
        if interface in (VI_INTF_TCPIP, VI_INTF_USB):
            return _kubolt(visa, session, name, interface)
        return None
    except pyvisa.errors.VisaIOError:
        return None
    finally:
        visa.close(session)


def _vxi(visa, session: int, name: str) -> Optional[Carrier]:
    import pyvisa

    slot, code = visa.get_attribute(session, VI_ATTR_SLOT)
    if code != 0 or slot not in CARRIER_SLOTS:
        return None
    if _attribute(visa, session, VI_ATTR_MANF_ID) != CARRIER_MAKER:
        return None
    model = _attribute(visa, session, VI_ATTR_MODEL_CODE) & 0x0FFF
    family = VXI_FAMILIES.get(model)
    if family is None:
        return None
    try:
        crate = _attribute(visa, session, VI_ATTR_MAINFRAME_LA)
    except pyvisa.errors.VisaIOError:
        crate = 0
    label = f"{family}  Л.А.крейта:0x{crate & 0xFF:02X}, слот:{slot}  ({name})"
    return Carrier(name, label, "vxi", model_code=model, crate_la=crate, slot=slot)


def _kubolt(visa, session: int, name: str, interface: int) -> Optional[Carrier]:
    import pyvisa

    try:
        visa.lock(session, VI_EXCLUSIVE_LOCK, KUBOLT_LOCK_TIMEOUT_MS)
    except pyvisa.errors.VisaIOError:
        return None
    try:
        visa.write(session, b"*IDN?\n")
        reply, _ = visa.read(session, 255)
    finally:
        visa.unlock(session)
    serial = kubolt_serial(reply)
    if serial is None:
        return None
    if interface == VI_INTF_TCPIP:
        try:
            address = str(_attribute(visa, session, VI_ATTR_TCPIP_ADDR))
        except pyvisa.errors.VisaIOError:
            address = ""
        return Carrier(name, f"Kubolt, LXI ({address}, №:{serial})", "kubolt-lxi", model_code=KUBOLT_MODEL_CODE,
                       serial=serial, address=address)
    return Carrier(name, f"Kubolt, USB (№:{serial})", "kubolt-usb", model_code=KUBOLT_MODEL_CODE, serial=serial)


def _with_positions(carrier: Carrier) -> Carrier:
    """The carrier with its occupied positions, asked of the carrier driver.
    A carrier this process has open is asked through its session; any other
    is opened for the question without a reset, so that a run another program
    has going on it goes on."""
    lib = _driver.lib()
    session = _driver.peek_carrier(carrier.resource)
    opened = ViSession(0)
    try:
        if not session:
            _driver.call("tarvo_init", carrier.resource.encode(), 1, 0, ctypes.byref(opened), where=carrier.resource)
            session = opened.value
        positions = {}
        for position in POSITIONS:
            present, module_type = ViInt16(0), ViInt16(0)
            _driver.call("tarvo_m_type_q", session, position, ctypes.byref(present), ctypes.byref(module_type),
                         where=carrier.resource)
            if present.value:
                positions[position] = position_text(True, module_type.value)
    except DriverError as error:
        return _replace(carrier, error=error)
    finally:
        if opened.value:
            lib.tarvo_close(opened.value)
    return _replace(carrier, positions=positions)


def _replace(carrier: Carrier, **changes: object) -> Carrier:
    import dataclasses

    return dataclasses.replace(carrier, **changes)


def scan(visa_library_path: Optional[str] = None) -> List[Carrier]:
    """The carriers on the instrument bus, in the order of the VISA search,
    each with its occupied positions:

        for carrier in sorvi.scan():
            print(carrier.resource, carrier.label, carrier.positions)

    visa_library_path: the VISA library for PyVISA; by default the one that
    goes with the carrier library the driver uses (see visa_library()).
    An empty bus gives an empty list.
    """
    import pyvisa

    library = visa_library() if visa_library_path is None else visa_library_path
    manager = pyvisa.ResourceManager(library) if library else pyvisa.ResourceManager()
    try:
        visa = manager.visalib
        found = [carrier for name in manager.list_resources("?*INSTR")
                 if (carrier := _identify(visa, manager.session, name)) is not None]
    finally:
        manager.close()
    return [_with_positions(carrier) for carrier in found]
