"""The carriers of the default bench as the programs list them, and the
serial numbers of Kubolt boxes' identification replies."""
import pytest

import sorvi
from sorvi.discovery import kubolt_serial


def test_the_default_bench():
    carriers = sorvi.scan()
    assert [(c.resource, c.kind, c.label, c.positions) for c in carriers] == [
        ("VXI0::24::INSTR", "vxi", "Н.М.  Л.А.крейта:0x00, слот:3  (VXI0::24::INSTR)",
         {1: "СОРВИ", 2: "модуль типа 5", 3: "СОРВИ"}),
        ("VXI0::40::INSTR", "vxi", "Н.М.У.  Л.А.крейта:0x00, слот:5  (VXI0::40::INSTR)", {1: "СОРВИ"}),
        ("USB0::0x0E76::0x1004::0457::0::INSTR", "kubolt-usb", "Kubolt, USB (№:0457)", {1: "СОРВИ"}),
    ]
    assert carriers[0].sorvi_positions == [1, 3] and carriers[0].slot == 3
    assert all(c.error is None for c in carriers)


def test_a_carrier_found_opens_its_modules_and_scanning_leaves_them_be():
    box = sorvi.scan()[2]
    with box.open(1) as module:
        module.relays = True
        assert box.positions == sorvi.scan()[2].positions  # asked through the open session
        assert module.relays  # the scan did not reset the carrier


@pytest.mark.parametrize("reply, serial", [
    (b"VELTRONA,TARVO,0457,1.02\n", "0457"),
    (b"VELTRONA,TARVO,0457", "0457"),
    (b"VELTRONA,TARVO\r\n", ""),
    (b"VELTRONA,TARVO,12\0,34", "12"),
    (b"VELTRONA,TARVO," + b"9" * 40 + b",1", "9" * 31),
    (b"VELTRONA,TARVO," + b"9" * 30 + "ж".encode() + b",1", "9" * 30),  # not cut inside a letter
    (b"OTHER,METER,99,1.0\n", None),
    (b" VELTRONA,TARVO,1,2", None),
])
def test_kubolt_serials(reply, serial):
    assert kubolt_serial(reply) == serial
