// For the timed tools, which must never wait on a pop-up: any pop-up during
// the run is answered at once, and counted so that the run can fail on it.
#pragma once

#include <paneltk/paneltk.h>

#include <cstddef>
#include <string>

namespace sorvi_bench {

// Starts answering pop-ups; returns how many had been seen before.
inline std::size_t answerEveryPopup() {
    // Each answer waits for its pop-up as long as the run may take (without
    // the time-out, every line given up after 5 s would leave fewer for a
    // long run, and a pop-up after the last one would wait for ever).
    std::string guard = "timeout 86400\n";
    for (int i = 0; i < 20; ++i) guard += "answer\n";
    tk::startScript(guard, "pop-up guard");
    return tk::messagePopupsSeen().size();
}

}  // namespace sorvi_bench
