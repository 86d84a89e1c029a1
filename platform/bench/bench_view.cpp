#include "bench_view.h"

#include <atomic>

#include "bench_simulation.h"
#include "sorvi_module.h"

namespace bench {
namespace {
std::atomic<bool> following{false};
}

std::vector<CarrierView> benchCarriers() {
    std::vector<CarrierView> carriers;
    BenchSimulation& sim = BenchSimulation::instance();
    for (const std::string& name : sim.carrierNames()) {
        auto model = sim.carrier(name);
        if (!model) continue;
        CarrierView view{name, {}};
        for (int p = 1; p <= 4; ++p) view.moduleTypes[static_cast<std::size_t>(p - 1)] = model->moduleType(p);
        carriers.push_back(view);
    }
    return carriers;
}

bool inspectModule(const std::string& carrier, int position, ModuleView& view) {
    auto model = BenchSimulation::instance().carrier(carrier);
    if (!model || model->moduleType(position) != kSorviModuleType) return false;
    const PositionState state = model->positionState(position);
    view.open = state.session != 0;
    view.running = state.running;
    view.mode = static_cast<int>(state.mode);
    view.framesInMemory = state.ready;
    view.lastFrame = state.lastSample;
    return model->withModule(position, [&](SorviModule& m) {
        for (int k = 1; k <= 32; ++k) view.inputs[static_cast<std::size_t>(k - 1)] = m.input(k);
        view.faults = m.faults();
    });
}

bool isOpen(const std::string& carrier, int position) {
    auto model = BenchSimulation::instance().carrier(carrier);
    return model && model->sessionAt(position) != 0;
}

void setFollowingPrompts(bool on) { following = on; }
bool followingPrompts() { return following; }

}  // namespace bench
