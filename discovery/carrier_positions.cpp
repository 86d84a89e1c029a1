#include "carrier_positions.h"

#include "tarvo_32.h"

namespace discovery {

ViStatus readPositions(ViSession carrier, CarrierPositions& positions) {
    positions = {};
    for (int k = 0; k < kPositions; ++k) {
        ViInt16 present = 0;
        ViInt16 type = 0;
        const ViStatus status = tarvo_m_type_q(carrier, static_cast<ViInt16>(k + 1), &present, &type);
        if (status < VI_SUCCESS) return status;
        positions[k].present = present != 0;
        positions[k].type = present != 0 ? type : 0;
    }
    return VI_SUCCESS;
}

std::string positionText(int position, const PositionInfo& info) {
    std::string text = "Позиция " + std::to_string(position) + ": ";
    if (!info.present) return text + "пусто";
    if (info.isSorvi()) return text + "СОРВИ";
    return text + "модуль типа " + std::to_string(info.type);
}

ViStatus CarrierSessions::open(const std::string& resourceName, ViSession& session) {
    session = 0;
    if (const auto it = sessions_.find(resourceName); it != sessions_.end()) {
        session = it->second;
        return VI_SUCCESS;
    }
    // tarvo_init takes a non-const name.
    std::string name = resourceName;
    ViSession opened = 0;
    const ViStatus status = tarvo_init(name.data(), VI_TRUE, VI_TRUE, &opened);
    if (status < VI_SUCCESS) return status;
    sessions_.emplace(resourceName, opened);
    session = opened;
    return status;
}

ViStatus CarrierSessions::closeAll() {
    ViStatus first = VI_SUCCESS;
    for (const auto& [name, session] : sessions_) {
        const ViStatus status = tarvo_close(session);
        if (status < VI_SUCCESS && first == VI_SUCCESS) first = status;
    }
    sessions_.clear();
    return first;
}

}  // namespace discovery
