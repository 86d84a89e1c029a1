// Raw access to the module's 16-bit registers through the carrier driver,
// with the driver session as the mezzanine's handle.
#include <paneltk/paneltk.h>

#include "callback_guard.h"
#include "data_path.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"
#include "tarvo_32.h"

namespace {

void readRegister(SorviInstance& inst) {
    if (inst.session == 0) return;
    unsigned offset = 0;
    tk::getValue(inst.mainPanel, MP_NREG_IN, offset);
    ViUInt16 value = 0;
    if (checkError(inst, tarvo_m_in16(inst.session, offset, &value)) < 0) return;
    tk::setValue(inst.mainPanel, MP_REG_IN, static_cast<unsigned>(value));
}

}  // namespace

// "Ввести": the register named in the read field.
int inputReg(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (inst) readRegister(*inst);
    return 0;
}

// "Записать": the write, then a read of the register named in the read field
// (which need not be the one written).
int outReg(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst || inst->session == 0) return 0;
    unsigned offset = 0;
    unsigned short value = 0;
    tk::getValue(inst->mainPanel, MP_NREG_OUT, offset);
    tk::getValue(inst->mainPanel, MP_REG_OUT, value);
    checkError(*inst, tarvo_m_out16(inst->session, offset, value));
    readRegister(*inst);
    return 0;
}
