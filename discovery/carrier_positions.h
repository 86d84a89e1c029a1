// The carriers the host has opened, and what sits at their four positions.
#pragma once

#include <array>
#include <map>
#include <string>

#include "tarvo_32.h"
#include "visatype.h"

namespace discovery {

inline constexpr int kPositions = 4;
inline constexpr int kSorviModuleType = TARVO_MODULE_TYPE_SORVI;

struct PositionInfo {
    bool present = false;
    int type = 0;  // module type code when present
    bool isSorvi() const { return present && type == kSorviModuleType; }
};
using CarrierPositions = std::array<PositionInfo, kPositions>;  // [k] is position k+1

// Asks the carrier for the module at each position. Stops at the first
// failing query and returns its status; the positions not asked stay empty.
ViStatus readPositions(ViSession carrier, CarrierPositions& positions);

// "Позиция 1: СОРВИ", "Позиция 2: модуль типа 5", "Позиция 4: пусто".
std::string positionText(int position, const PositionInfo& info);

// Carrier sessions by resource name. A carrier is opened (with identification
// query and reset) the first time it is chosen and stays open until the host
// ends, since soft front panels may still be working on it while the
// operator looks at another carrier.
class CarrierSessions {
public:
    CarrierSessions() = default;
    ~CarrierSessions() { closeAll(); }
    CarrierSessions(const CarrierSessions&) = delete;
    CarrierSessions& operator=(const CarrierSessions&) = delete;

    // The open session for the resource, opening it if needed. On failure
    // returns the carrier driver's status and leaves session 0.
    ViStatus open(const std::string& resourceName, ViSession& session);
    // Closes every open carrier; returns the first failing status, else 0.
    ViStatus closeAll();
    std::size_t openCount() const { return sessions_.size(); }

private:
    std::map<std::string, ViSession> sessions_;
};

}  // namespace discovery
