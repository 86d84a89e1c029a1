// The current frame on the main panel: channels 1-16 and 17-32 as two
// binary words, with the two time values the module gives beside it.
#include <paneltk/paneltk.h>

#include <cstdlib>

#include "callback_guard.h"
#include "data_path.h"
#include "panel_controls.h"
#include "demo_frame.h"
#include "lumex.h"
#include "sorvi_uir.h"

void showRes(int mainPanel, std::uint32_t frame, std::uint32_t firstTime, std::uint32_t lastTime) {
    tk::setValue(mainPanel, MP_RESULT, frame & 0xFFFFu);
    tk::setValue(mainPanel, MP_RESULT_2, frame >> 16);
    tk::setValue(mainPanel, MP_FIRST_TIME, firstTime);
    tk::setValue(mainPanel, MP_LAST_TIME, lastTime);
    tk::setAttribute(mainPanel, MP_D_SHOW_RES, kDecorationAttribute, kEmphasised);
}

ViStatus readCurrentFrame(SorviInstance& inst, std::uint32_t& frame, std::uint32_t& firstTime,
                          std::uint32_t& lastTime) {
    frame = firstTime = lastTime = 0;
    if (inst.session == 0) {
        frame = demoFrame();
        return VI_SUCCESS;
    }
    ViUInt32 f = 0, t1 = 0, t2 = 0;
    const ViStatus status = lumex_read_sample(inst.session, &f, &t1, &t2);
    if (status >= 0) {
        frame = f;
        firstTime = t1;
        lastTime = t2;
    }
    return status;
}

// "Тек.кадр": read the frame now in the module and show it.
int cadr(int, int, int event, void* callbackData, int, int) {
    SorviInstance* inst = committedInstance(event, callbackData);
    if (!inst) return 0;
    std::uint32_t frame = 0, firstTime = 0, lastTime = 0;
    const ViStatus status = checkError(*inst, readCurrentFrame(*inst, frame, firstTime, lastTime));
    // The start time is shown whatever the status; a failed read shows 0,
    // never a value left over from before.
    tk::setValue(inst->resultsPanel, RP_FIRST_TIME, firstTime);
    if (status >= 0) showRes(inst->mainPanel, frame, firstTime, lastTime);
    return 0;
}

std::uint32_t demoFrame() { return static_cast<std::uint32_t>(std::rand() / (RAND_MAX + 1.0) * 65536.0); }
