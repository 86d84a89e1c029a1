"""Status codes of the driver, as the driver returns them: signed 32-bit
numbers, negative for errors and positive for warnings. The names are those
of the driver's C header lumex.h.

    try:
        module.period = 5.0
    except sorvi.DriverError as error:
        assert error.status == sorvi.status.VI_ERROR_PARAMETER2
"""


def _signed(code: int) -> int:
    return code - (1 << 32) if code & 0x80000000 else code


VI_SUCCESS = 0

LUMEX_WARN_INIT_ERRORS = 0x3FFC0020
LUMEX_WARN_RELAYS_OFF = 0x3FFC0021
LUMEX_ERROR_NO_STOP_ACK = _signed(0xBFFC0021)
LUMEX_ERROR_NO_CARRIER_MEMORY = _signed(0xBFFC0022)
LUMEX_ERROR_NO_POLL_ACK = _signed(0xBFFC0023)
LUMEX_ERROR_RG_COM1 = _signed(0xBFFC0025)
LUMEX_ERROR_INSTR_INTERRUPT = _signed(0xBFFC0026)
LUMEX_ERROR_RUNNING = _signed(0xBFFC0028)
LUMEX_ERROR_RG_COM3 = _signed(0xBFFC0029)
LUMEX_ERROR_RG_PERIOD = _signed(0xBFFC002A)
LUMEX_ERROR_SELF_TEST = _signed(0xBFFC0800)

VI_ERROR_PARAMETER1 = _signed(0xBFFC0001)
VI_ERROR_PARAMETER2 = _signed(0xBFFC0002)
VI_ERROR_PARAMETER3 = _signed(0xBFFC0003)
VI_ERROR_PARAMETER4 = _signed(0xBFFC0004)
VI_ERROR_PARAMETER5 = _signed(0xBFFC0005)
VI_ERROR_FAIL_ID_QUERY = _signed(0xBFFC0011)
VI_ERROR_INV_SETUP = _signed(0xBFFF003A)
VI_ERROR_ALLOC = _signed(0xBFFF003C)
VI_WARN_NSUP_ERROR_QUERY = 0x3FFC0104
VI_WARN_NSUP_REV_QUERY = 0x3FFC0105
VI_WARN_UNKNOWN_STATUS = 0x3FFF0085
