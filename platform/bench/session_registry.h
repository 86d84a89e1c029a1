// One table of sessions for the whole process, shared by the VISA stand-in
// and the carrier stand-in, so that a carrier session opened with tarvo_init
// is also a VISA session (viGetAttribute works on it) and no two sessions of
// either library ever get the same handle.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "visatype.h"

namespace bench {

enum class SessionKind {
    ResourceManager,  // viOpenDefaultRM
    FindList,         // viFindRsrc
    Instrument,       // viOpen
    Carrier,          // tarvo_init
    Mezzanine,        // tarvo_m_init
};

struct SessionEntry {
    SessionKind kind;
    std::string resourceName;      // instrument and carrier sessions: the bench resource
    ViSession parent = 0;          // the resource manager or carrier it belongs to
    std::shared_ptr<void> object;  // whatever the owning library keeps for it
};

class SessionRegistry {
public:
    static SessionRegistry& instance();

    // Hands out a new non-zero handle, never one that is in use.
    ViSession add(SessionEntry entry);
    // Removes the session; false when it was not there.
    bool remove(ViSession session);
    // A copy of the entry, or nothing for an unknown handle.
    std::optional<SessionEntry> find(ViSession session) const;
    // The entry only when it is of the given kind.
    std::optional<SessionEntry> find(ViSession session, SessionKind kind) const;
    // Handles of all sessions whose parent is `parent`.
    std::vector<ViSession> children(ViSession parent) const;

private:
    SessionRegistry() = default;
    struct State;
    State& state() const;
};

}  // namespace bench
