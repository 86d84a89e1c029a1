#include "visa_sessions.h"

#include <cstring>
#include <map>

#include "bench_loader.h"
#include "resource_name.h"

namespace visa {
namespace {

// States of carrier-stand-in sessions used through VISA, by handle. Handles
// are never reused, so a stale entry is only dropped when noticed.
struct ForeignStates {
    std::mutex mutex;
    std::map<ViSession, std::shared_ptr<InstrumentState>> states;
};

ForeignStates& foreignStates() {
    static ForeignStates f;
    return f;
}

std::shared_ptr<InstrumentState> foreignState(ViSession vi, const std::string& resourceName) {
    ForeignStates& f = foreignStates();
    std::lock_guard guard(f.mutex);
    auto it = f.states.find(vi);
    if (it != f.states.end()) return it->second;
    // Forget sessions the carrier stand-in has closed meanwhile.
    for (auto s = f.states.begin(); s != f.states.end();) {
        if (bench::SessionRegistry::instance().find(s->first)) ++s;
        else s = f.states.erase(s);
    }
    auto state = std::make_shared<InstrumentState>();
    state->resourceName = resourceName;
    f.states.emplace(vi, state);
    return state;
}

}  // namespace

const bench::BenchDescription* currentBench() { return bench::currentDescription(); }

ViStatus resolveResourceSession(ViSession vi, ResourceSession& out) {
    auto entry = bench::SessionRegistry::instance().find(vi);
    if (!entry) return VI_ERROR_INV_OBJECT;
    const bench::BenchDescription* b = currentBench();
    if (!b) return VI_ERROR_INV_OBJECT;
    out.resource = bench::findResource(*b, entry->resourceName);
    if (!out.resource) return VI_ERROR_INV_OBJECT;
    switch (entry->kind) {
    case bench::SessionKind::Instrument: out.state = std::static_pointer_cast<InstrumentState>(entry->object); break;
    case bench::SessionKind::Carrier:
    case bench::SessionKind::Mezzanine:
        // Keyed by the bench's own spelling, so that locks taken through
        // any session of the resource meet.
        out.state = foreignState(vi, out.resource->name);
        break;
    default: return VI_ERROR_INV_OBJECT;
    }
    if (!out.state) return VI_ERROR_INV_OBJECT;
    out.entry = std::move(*entry);
    return VI_SUCCESS;
}

std::shared_ptr<ManagerState> managerState(ViSession vi) {
    auto entry = bench::SessionRegistry::instance().find(vi, bench::SessionKind::ResourceManager);
    if (!entry) return nullptr;
    return std::static_pointer_cast<ManagerState>(entry->object);
}

void copyOut(ViChar* dest, const std::string& text, std::size_t size) {
    if (!dest || size == 0) return;
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

long long timeoutToWait(ViUInt32 timeoutMs) {
    if (timeoutMs == VI_TMO_INFINITE) return -1;
    return static_cast<long long>(timeoutMs);
}

}  // namespace visa
