#include "channel_signal.h"

#include <cmath>

namespace bench {

double inputVolts(const ChannelInput& input, double timeS) {
    switch (input.kind) {
    case ChannelInput::Kind::Voltage: return input.volts;
    case ChannelInput::Kind::Square: {
        if (!(input.periodS > 0.0)) return input.low;
        double phase = std::fmod(timeS + input.phaseS, input.periodS);
        if (phase < 0.0) phase += input.periodS;
        return phase < input.duty * input.periodS ? input.high : input.low;
    }
    case ChannelInput::Kind::Sequence: {
        if (input.sequence.empty()) return 0.0;
        if (!(input.stepS > 0.0)) return input.sequence.front();
        const double steps = std::floor(timeS / input.stepS);
        const double n = static_cast<double>(input.sequence.size());
        double index = std::fmod(steps, n);
        if (index < 0.0) index += n;
        return input.sequence[static_cast<std::size_t>(index)];
    }
    case ChannelInput::Kind::Resistance:
        if (!(input.ohms >= 0.0)) return 0.0;
        if (std::isinf(input.ohms)) return kPollSourceVolts;
        return kPollSourceVolts * input.ohms / (input.ohms + kPollSourceOhms);
    case ChannelInput::Kind::Counter: return 0.0;  // the module puts the count on the input (SorviModule::sampleAt)
    }
    return 0.0;
}

}  // namespace bench
