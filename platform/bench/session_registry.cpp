#include "session_registry.h"

#include <map>
#include <mutex>
#include <vector>

namespace bench {

struct SessionRegistry::State {
    mutable std::mutex mutex;
    std::map<ViSession, SessionEntry> entries;
    ViSession next = 0x1001;
};

SessionRegistry& SessionRegistry::instance() {
    static SessionRegistry registry;
    return registry;
}

SessionRegistry::State& SessionRegistry::state() const {
    static State s;
    return s;
}

ViSession SessionRegistry::add(SessionEntry entry) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    // Skip 0 (VI_NULL) and any handle still in use after a wrap-around.
    while (s.next == 0 || s.entries.count(s.next) != 0) ++s.next;
    const ViSession handle = s.next++;
    s.entries.emplace(handle, std::move(entry));
    return handle;
}

bool SessionRegistry::remove(ViSession session) {
    State& s = state();
    std::shared_ptr<void> keepAlive;  // released outside the lock
    {
        std::lock_guard lock(s.mutex);
        auto it = s.entries.find(session);
        if (it == s.entries.end()) return false;
        keepAlive = std::move(it->second.object);
        s.entries.erase(it);
    }
    return true;
}

std::optional<SessionEntry> SessionRegistry::find(ViSession session) const {
    State& s = state();
    std::lock_guard lock(s.mutex);
    auto it = s.entries.find(session);
    if (it == s.entries.end()) return std::nullopt;
    return it->second;
}

std::optional<SessionEntry> SessionRegistry::find(ViSession session, SessionKind kind) const {
    auto entry = find(session);
    if (!entry || entry->kind != kind) return std::nullopt;
    return entry;
}

std::vector<ViSession> SessionRegistry::children(ViSession parent) const {
    State& s = state();
    std::lock_guard lock(s.mutex);
    std::vector<ViSession> out;
    for (const auto& [handle, entry] : s.entries)
        if (entry.parent == parent) out.push_back(handle);
    return out;
}

}  // namespace bench
