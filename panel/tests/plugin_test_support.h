// Helpers for tests that run an instance's display loop: work is handed in
// as a deferred call, which the loop runs once its panels are up.
#pragma once

#include <paneltk/paneltk.h>

#include <functional>
#include <string>

#include "instance_table.h"
#include "sorvi.h"
#include "sorvi_plugin.h"

namespace sorvi_test {

inline SorviInstance* instanceOf(sorvi_handle handle) { return reinterpret_cast<SorviInstance*>(handle); }

struct LoopJob {
    sorvi_handle handle = 0;
    std::function<void(SorviInstance&)> body;
    bool ran = false;
    bool cancelled = false;
};

inline void runLoopJob(void* data) {
    auto& job = *static_cast<LoopJob*>(data);
    if (job.cancelled) return;
    job.ran = true;
    if (job.body) job.body(*instanceOf(job.handle));
    sorvi_close(&job.handle);
}

// Displays the instance, runs body inside its loop, then ends it. Returns
// what sorvi_display returned (the instance is gone when that is 0).
inline int displayAndRun(sorvi_handle handle, std::function<void(SorviInstance&)> body = {}) {
    LoopJob job{handle, std::move(body)};
    tk::postDeferredCall(runLoopJob, &job);
    const int status = sorvi_display(handle);
    if (!job.ran) {
        job.cancelled = true;
        tk::processEvents();  // lets the queued call go while job still lives
    }
    return status;
}

inline std::string title(int panel) {
    std::string text;
    tk::getPanelAttribute(panel, tk::ATTR_TITLE, text);
    return text;
}

inline std::string shown(int panel, int control) {
    std::string text;
    tk::getDisplayText(panel, control, text);
    return text;
}

inline bool visible(int panel) {
    int value = 0;
    tk::getPanelAttribute(panel, tk::ATTR_VISIBLE, value);
    return value != 0;
}

// A control's dimmed attribute: 1 dimmed, 0 not, -1 when it cannot be had.
inline int dimmed(int panel, int control) {
    int value = -1;
    tk::getAttribute(panel, control, tk::ATTR_DIMMED, value);
    return value;
}

// sorvi_init for a test that expects it to work: should it fail, its
// pop-up is answered so that the test fails instead of waiting forever.
inline ViInt32 initAnswered(ViSession carrier, int position, sorvi_handle& handle) {
    tk::startScript("answer", "init-guard");
    const ViInt32 status = sorvi_init(carrier, static_cast<ViInt16>(position), VI_TRUE, VI_TRUE, &handle);
    tk::resetScript();
    return status;
}

// Opens a demo instance; host panel 0 unless given.
inline sorvi_handle openDemo(int position, int homePanel = 0) {
    sorvi_handle handle = homePanel;
    return initAnswered(0, position, handle) == 0 ? handle : 0;
}

}  // namespace sorvi_test
