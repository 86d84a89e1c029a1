// "Параметры": the size of the ring buffer that frames are read into.
#include <paneltk/paneltk.h>

#include <cstdint>
#include <cstdlib>
#include <limits>

#include "callback_guard.h"
#include "data_path.h"
#include "sorvi_plugin.h"
#include "sorvi_uir.h"

namespace {
constexpr std::int64_t kSizeStep = 256;
}  // namespace

// The ring size a typed value asks for: the next multiple of 256 above the
// largest one not above it (10240 gives 10496, 0 gives 256).
std::int64_t ringSizeFor(std::uint32_t typed) { return (std::int64_t(typed) / kSizeStep + 1) * kSizeStep; }

// Gives the ring newSize frames, keeping what it holds. False (and the ring
// untouched) when that much memory cannot be had.
bool resizeRing(SorviInstance& inst, std::int64_t newSize) {
    if (newSize <= 0 || newSize > std::numeric_limits<std::int32_t>::max() ||
        static_cast<std::uint64_t>(newSize) > std::numeric_limits<std::size_t>::max() / sizeof(ViUInt32)) {
        return false;
    }
    void* grown = std::realloc(inst.buffer, std::size_t(newSize) * sizeof(ViUInt32));
    if (!grown) return false;
    inst.buffer = static_cast<ViUInt32*>(grown);
    inst.bufferSize = static_cast<std::int32_t>(newSize);
    inst.writeIndex = 0;
    inst.wrapped = 0;
    return true;
}

void displayParams(int, int, void* callbackData, int) {
    SorviInstance* inst = instanceFromCallbackData(callbackData);
    if (!inst) return;
    tk::setValue(inst->paramsPanel, PP_BUF_SIZE, inst->bufferSize);
    tk::displayPanel(inst->paramsPanel);
}

// "Принять".
int setParams(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    unsigned typed = 0;
    tk::getValue(inst->paramsPanel, PP_BUF_SIZE, typed);
    const std::int64_t newSize = ringSizeFor(typed);
    if (newSize != inst->bufferSize) {
        if (resizeRing(*inst, newSize)) {
            tk::setValue(inst->paramsPanel, PP_BUF_SIZE, inst->bufferSize);
        } else {
            tk::setValue(inst->mainPanel, MP_ERROR_MESSAGE, "Не возможно получить память");
        }
    }
    tk::hidePanel(inst->paramsPanel);
    tk::displayPanel(inst->mainPanel);
    return 0;
}
