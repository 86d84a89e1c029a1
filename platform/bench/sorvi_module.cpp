#include "sorvi_module.h"

#include <utility>

#include "channel_signal.h"

namespace bench {

namespace {
// Power-up state: relays off with the inputs open, threshold code 0,
// period field of 0.1 ms (20 ticks of 5 us).
constexpr std::uint16_t kComPowerUp = 0x3000;
constexpr std::uint16_t kPeriodPowerUp = 19;
constexpr std::uint8_t kSorviId = TARVO_MODULE_TYPE_SORVI;

bool isStorageRegister(std::uint32_t offset) {
    using namespace sorvi_reg;
    return offset == Com1 || offset == Period || offset == Imask || offset == Com3 || offset == Load1 ||
           offset == Load3;
}
}  // namespace

double thresholdCodeVolts(std::uint16_t code) {
    int value = code & 0x0FFF;
    if (value & 0x0800) value -= 0x1000;
    return value / 4096.0 * 20.0;
}

SorviModule::SorviModule(SorviModuleDescription description) : description_(std::move(description)) {
    regs_[sorvi_reg::Com1 / 2] = kComPowerUp;
    regs_[sorvi_reg::Com3 / 2] = kComPowerUp;
    regs_[sorvi_reg::Period / 2] = kPeriodPowerUp;
    latchThreshold(1);
    latchThreshold(2);
}

bool SorviModule::isValidOffset(std::uint32_t offset) { return offset % 2 == 0 && offset < sorvi_reg::WindowBytes; }

std::uint16_t SorviModule::effective(std::uint32_t offset) const {
    std::uint16_t value = 0;
    if (offset == sorvi_reg::Id) {
        value = description_.faults.idValue.value_or(kSorviId);
    } else if (offset == sorvi_reg::State) {
        if (pollDone_ && !description_.faults.noPollAck) value |= kStatePollDone;
        if (running_) value |= kStateRunning;
    } else if (isStorageRegister(offset)) {
        value = stored(offset);
    }
    auto stuck = description_.faults.stuckRegisterBits.find(offset);
    if (stuck != description_.faults.stuckRegisterBits.end())
        value = static_cast<std::uint16_t>((value | stuck->second.setMask) & ~stuck->second.clearMask);
    return value;
}

std::uint16_t SorviModule::read(std::uint32_t offset) {
    if (!isValidOffset(offset)) return 0;
    const std::uint16_t value = effective(offset);
    if (offset == sorvi_reg::State2) pollDone_ = false;
    return value;
}

void SorviModule::write(std::uint32_t offset, std::uint16_t value) {
    if (!isValidOffset(offset) || !isStorageRegister(offset)) return;
    regs_[offset / 2] = value;
    // A write to a load register moves the group's new threshold code into
    // its comparator DAC.
    if (offset == sorvi_reg::Load1) latchThreshold(1);
    if (offset == sorvi_reg::Load3) latchThreshold(2);
}

void SorviModule::latchThreshold(int group) {
    const std::uint32_t com = group == 1 ? sorvi_reg::Com1 : sorvi_reg::Com3;
    latchedCode_[group - 1] = effective(com) & kComThresholdMask;
}

double SorviModule::thresholdVolts(int group) const { return thresholdCodeVolts(latchedCode_[group - 1]); }

void SorviModule::beginRun() {
    pollDone_ = false;
    running_ = true;
}

void SorviModule::endRun() { running_ = false; }

std::uint32_t SorviModule::poll(double timeS) {
    pollDone_ = true;
    const std::uint32_t sample = sampleAt(timeS);
    ++pollCount_;
    return sample;
}

std::uint32_t SorviModule::sampleAt(double timeS) const {
    std::uint32_t sample = 0;
    for (int group = 1; group <= 2; ++group) {
        const std::uint16_t com = effective(group == 1 ? sorvi_reg::Com1 : sorvi_reg::Com3);
        const double threshold = thresholdVolts(group);
        const bool relaysOff = (com & kComRelaysOff) != 0;
        const int source = (com >> 14) & 3;
        if (relaysOff && source != 1 && source != 2) continue;  // inputs open: all read 0
        for (int k = 0; k < 16; ++k) {
            const int index = (group - 1) * 16 + k;
            double volts;
            const ChannelInput& input = description_.inputs[index];
            if (relaysOff) volts = source == 1 ? kTestSourceHighVolts : kTestSourceLowVolts;
            else if (input.kind == ChannelInput::Kind::Counter)
                volts = (pollCount_ >> index) & 1u ? kCounterHighVolts : kCounterLowVolts;
            else volts = inputVolts(input, timeS);
            if (volts > threshold) sample |= 1u << index;
        }
    }
    sample |= description_.faults.stuckHighChannels;
    sample &= ~description_.faults.stuckLowChannels;
    return sample;
}

void SorviModule::setInput(int channel, const ChannelInput& input) { description_.inputs[channel - 1] = input; }

const ChannelInput& SorviModule::input(int channel) const { return description_.inputs[channel - 1]; }

}  // namespace bench
