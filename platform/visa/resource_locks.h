// Exclusive and shared locks on bench resources. A lock belongs to a session
// and guards the resource against every other session; waiting for a lock is
// bounded by a time-out.
#pragma once

#include <string>

#include "visa.h"

namespace visa {

// Takes a lock of `lockType` (VI_EXCLUSIVE_LOCK or VI_SHARED_LOCK) for session
// `vi` on `resource`, waiting up to `timeoutMs`. Locks nest: the same session
// may take the same lock again and must release it as often. For a shared
// lock `requestedKey` (may be null or empty: a new key is made) names the
// lock and `accessKey` receives it.
ViStatus acquireLock(ViSession vi, const std::string& resource, ViAccessMode lockType, ViUInt32 timeoutMs,
                     const char* requestedKey, std::string& accessKey);

// Releases the most recent lock kind the session holds (exclusive before
// shared). VI_ERROR_SESN_NLOCKED when it holds none.
ViStatus releaseLock(ViSession vi, const std::string& resource);

// Drops every lock of a session that is being closed.
void releaseAllLocks(ViSession vi, const std::string& resource);

// True when another session's lock keeps `vi` from using the resource.
bool lockedAgainst(ViSession vi, const std::string& resource);

// VI_NO_LOCK, VI_EXCLUSIVE_LOCK or VI_SHARED_LOCK as seen by any session.
ViAccessMode lockState(const std::string& resource);

}  // namespace visa
