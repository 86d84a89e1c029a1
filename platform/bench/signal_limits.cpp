#include "signal_limits.h"

#include <cmath>

namespace bench {
namespace {

bool voltsOk(double v) { return std::isfinite(v) && std::fabs(v) <= kMaxInputVolts; }
bool timeOk(double s, double lo) { return std::isfinite(s) && s >= lo && s <= kMaxSignalTimeS; }

}  // namespace

std::string signalError(const ChannelInput& in) {
    switch (in.kind) {
    case ChannelInput::Kind::Voltage:
        if (!voltsOk(in.volts)) return "voltage out of range (-100V to 100V)";
        return {};
    case ChannelInput::Kind::Square:
        if (!voltsOk(in.low) || !voltsOk(in.high)) return "square levels out of range (-100V to 100V)";
        if (!timeOk(in.periodS, kMinSignalTimeS)) return "square period out of range (1us to 3600s)";
        if (!(in.duty >= 0.0 && in.duty <= 1.0)) return "duty must lie in 0..1";
        if (!timeOk(in.phaseS, 0.0)) return "square phase out of range (0 to 3600s)";
        return {};
    case ChannelInput::Kind::Sequence:
        if (in.sequence.empty() || in.sequence.size() > kMaxSequenceLevels)
            return "a sequence holds 1 to 100000 levels";
        for (double v : in.sequence)
            if (!voltsOk(v)) return "sequence level out of range (-100V to 100V)";
        if (!timeOk(in.stepS, kMinSignalTimeS)) return "sequence step out of range (1us to 3600s)";
        return {};
    case ChannelInput::Kind::Resistance:
        if (std::isinf(in.ohms) && in.ohms > 0) return {};  // open contact
        if (!(in.ohms >= 0.0 && in.ohms <= kMaxSensorOhms)) return "resistance out of range (0 to 1000MOhm)";
        return {};
    case ChannelInput::Kind::Counter: return {};
    }
    return "unknown kind of signal";
}

bool isEventCode(long long code) { return code >= kMinEventCode && code <= kMaxEventCode; }

}  // namespace bench
