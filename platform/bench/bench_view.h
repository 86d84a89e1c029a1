// What the bench window reads of the live bench: its carriers and positions,
// and for a SORVI module its inputs, faults and acquisition state. Changes go
// through the text commands (bench_command.h), so a script can do whatever
// the window does.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bench_description.h"

namespace bench {

struct CarrierView {
    std::string name;                           // canonical resource name
    std::array<std::int16_t, 4> moduleTypes{};  // per position; 0 empty, 9 SORVI
};

// The bench's carriers in resource order; empty when the bench cannot be loaded.
std::vector<CarrierView> benchCarriers();

struct ModuleView {
    bool open = false;     // a session holds the position
    bool running = false;  // acquisition running
    int mode = 0;          // 0 single, 1 block, 2 cycle
    std::int32_t framesInMemory = 0;
    std::uint32_t lastFrame = 0;
    std::array<ChannelInput, 32> inputs{};
    ModuleFaults faults;
};

// False when there is no SORVI module at that position.
bool inspectModule(const std::string& carrier, int position, ModuleView& view);
bool isOpen(const std::string& carrier, int position);

// Whether the bench puts the stimulus the verification program asks for on
// the open modules (the "prompt" command). Off at start.
void setFollowingPrompts(bool on);
bool followingPrompts();

}  // namespace bench
