#include "bench_test_interface.h"

#include <cmath>

#include "bench_simulation.h"
#include "operation_faults.h"
#include "sorvi_module.h"

namespace bench::testing {

namespace {
bool changeModule(const std::string& carrier, int position, const std::function<void(SorviModule&)>& change) {
    auto model = BenchSimulation::instance().carrier(carrier);
    return model && model->withModule(position, change);
}
}  // namespace

void useVirtualClock() {
    BenchSimulation& sim = BenchSimulation::instance();
    sim.clock().switchToVirtual();
    sim.dispatcher().wake();
}

void advanceSeconds(double seconds) {
    BenchSimulation::instance().advance(static_cast<BenchNanos>(std::llround(seconds * kNanosPerSecond)));
}

double nowSeconds() { return static_cast<double>(BenchSimulation::instance().clock().now()) / kNanosPerSecond; }

void useBench(const BenchDescription& description) { BenchSimulation::instance().useDescription(description); }

void resetBench() {
    clearOperationFailures();
    stopOperationLog();
    BenchSimulation::instance().resetForTests();
}

void failNext(const std::string& operation, ViStatus status, int count, int skip) {
    failOperation(operation, status, count, skip);
}

void failAlways(const std::string& operation, ViStatus status) { failOperation(operation, status, -1); }

void clearFailures() { clearOperationFailures(); }

void startCallLog() { startOperationLog(); }

std::vector<std::string> callLog() { return operationLog(); }

void stopCallLog() { stopOperationLog(); }

bool setInput(const std::string& carrier, int position, int channel, const ChannelInput& input) {
    if (channel < 1 || channel > 32) return false;
    return changeModule(carrier, position, [&](SorviModule& m) { m.setInput(channel, input); });
}

bool setCounterInputs(const std::string& carrier, int position, double periodS) {
    // The module takes its first sample 90 us after the start.
    const double t0 = nowSeconds() + 90e-6;
    for (int j = 0; j < 16; ++j) {
        ChannelInput in;
        in.kind = ChannelInput::Kind::Square;
        in.low = 0.0;
        in.high = 5.0;
        in.periodS = std::ldexp(periodS, j + 1);
        in.duty = 0.5;
        in.phaseS = -t0 + std::ldexp(periodS, j) + periodS / 2;
        if (!setInput(carrier, position, j + 1, in) || !setInput(carrier, position, j + 17, in)) return false;
    }
    return true;
}

bool setStuckRegisterBits(const std::string& carrier, int position, std::uint32_t offset, std::uint16_t setMask,
                          std::uint16_t clearMask) {
    return changeModule(carrier, position, [&](SorviModule& m) {
        if (setMask == 0 && clearMask == 0) m.faults().stuckRegisterBits.erase(offset);
        else m.faults().stuckRegisterBits[offset] = {setMask, clearMask};
    });
}

bool setStuckChannels(const std::string& carrier, int position, std::uint32_t high, std::uint32_t low) {
    return changeModule(carrier, position, [&](SorviModule& m) {
        m.faults().stuckHighChannels = high;
        m.faults().stuckLowChannels = low;
    });
}

bool setNoPollAck(const std::string& carrier, int position, bool missing) {
    return changeModule(carrier, position, [&](SorviModule& m) { m.faults().noPollAck = missing; });
}

bool setModuleId(const std::string& carrier, int position, std::uint8_t id) {
    return changeModule(carrier, position, [&](SorviModule& m) { m.faults().idValue = id; });
}

bool setShortPacketReads(const std::string& carrier, int position, std::uint32_t maxSamples) {
    auto model = BenchSimulation::instance().carrier(carrier);
    if (!model || model->moduleType(position) == 0) return false;
    model->setShortPacketReads(position, maxSamples);
    return true;
}

bool raiseEvent(const std::string& carrier, int position, int event) {
    auto model = BenchSimulation::instance().carrier(carrier);
    return model && model->raiseEvent(position, event);
}

bool setRemoved(const std::string& carrier, int position, bool removed) {
    auto model = BenchSimulation::instance().carrier(carrier);
    return model && model->setRemoved(position, removed);
}

void waitForEvents() { BenchSimulation::instance().dispatcher().waitIdle(); }

}  // namespace bench::testing
