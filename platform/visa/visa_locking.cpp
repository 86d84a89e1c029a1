// viLock and viUnlock over the resource lock table.
#include "resource_locks.h"
#include "visa_sessions.h"

using namespace visa;

extern "C" {

ViStatus _VI_FUNC viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey,
                         ViChar accessKey[]) {
    ResourceSession s;
    if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
    if (lockType != VI_EXCLUSIVE_LOCK && lockType != VI_SHARED_LOCK) return VI_ERROR_INV_LOCK_TYPE;
    if (lockType == VI_SHARED_LOCK && !accessKey) return VI_ERROR_USER_BUF;
    std::string key;
    const ViStatus st = acquireLock(vi, s.state->resourceName, lockType, timeout,
                                    lockType == VI_SHARED_LOCK ? requestedKey : nullptr, key);
    if (st >= VI_SUCCESS && lockType == VI_SHARED_LOCK) copyOut(accessKey, key);
    return st;
}

ViStatus _VI_FUNC viUnlock(ViSession vi) {
    ResourceSession s;
    if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
    return releaseLock(vi, s.state->resourceName);
}

}  // extern "C"
