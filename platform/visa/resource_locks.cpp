#include "resource_locks.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "visa_sessions.h"

namespace visa {
namespace {

struct LockEntry {
    ViSession exclusiveOwner = 0;
    int exclusiveCount = 0;
    std::string sharedKey;
    std::map<ViSession, int> sharedHolders;  // session -> nesting count
};

struct LockTable {
    std::mutex mutex;
    std::condition_variable changed;
    // By resource name in capitals. Entries are never erased: a waiter keeps a
    // reference to its entry while the mutex is released.
    std::map<std::string, LockEntry> entries;
    unsigned nextKey = 1;
};

LockTable& table() {
    static LockTable t;
    return t;
}

std::string keyOf(const std::string& resource) {
    std::string key = resource;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::toupper(c); });
    return key;
}

bool othersHold(const LockEntry& e, ViSession vi) {
    if (e.exclusiveCount > 0 && e.exclusiveOwner != vi) return true;
    return std::any_of(e.sharedHolders.begin(), e.sharedHolders.end(), [vi](const auto& h) { return h.first != vi; });
}

}  // namespace

ViStatus acquireLock(ViSession vi, const std::string& resource, ViAccessMode lockType, ViUInt32 timeoutMs,
                     const char* requestedKey, std::string& accessKey) {
    if (lockType != VI_EXCLUSIVE_LOCK && lockType != VI_SHARED_LOCK) return VI_ERROR_INV_LOCK_TYPE;
    LockTable& t = table();
    std::unique_lock guard(t.mutex);
    LockEntry& e = t.entries[keyOf(resource)];
    const std::string wantedKey = requestedKey ? requestedKey : "";

    const auto grantable = [&] {
        if (lockType == VI_EXCLUSIVE_LOCK) return !othersHold(e, vi);
        if (e.exclusiveCount > 0 && e.exclusiveOwner != vi) return false;
        if (e.sharedHolders.empty()) return true;
        if (e.sharedHolders.count(vi)) return true;
        return !wantedKey.empty() && wantedKey == e.sharedKey;
    };

    if (!grantable()) {
        const long long wait = timeoutToWait(timeoutMs);
        bool granted = false;
        if (wait < 0) {
            t.changed.wait(guard, grantable);
            granted = true;
        } else if (wait > 0) {
            granted = t.changed.wait_for(guard, std::chrono::milliseconds(wait), grantable);
        }
        if (!granted) {
            if (lockType == VI_SHARED_LOCK && !e.sharedHolders.empty() && !wantedKey.empty() &&
                wantedKey != e.sharedKey && !(e.exclusiveCount > 0 && e.exclusiveOwner != vi))
                return VI_ERROR_INV_ACCESS_KEY;
            return VI_ERROR_TMO;
        }
    }

    if (lockType == VI_EXCLUSIVE_LOCK) {
        e.exclusiveOwner = vi;
        return ++e.exclusiveCount > 1 ? VI_SUCCESS_NESTED_EXCLUSIVE : VI_SUCCESS;
    }
    if (e.sharedHolders.empty())
        e.sharedKey = wantedKey.empty() ? "sorvi-key-" + std::to_string(t.nextKey++) : wantedKey;
    accessKey = e.sharedKey;
    return ++e.sharedHolders[vi] > 1 ? VI_SUCCESS_NESTED_SHARED : VI_SUCCESS;
}

ViStatus releaseLock(ViSession vi, const std::string& resource) {
    LockTable& t = table();
    std::lock_guard guard(t.mutex);
    auto it = t.entries.find(keyOf(resource));
    if (it == t.entries.end()) return VI_ERROR_SESN_NLOCKED;
    LockEntry& e = it->second;
    ViStatus status = VI_ERROR_SESN_NLOCKED;
    if (e.exclusiveCount > 0 && e.exclusiveOwner == vi) {
        if (--e.exclusiveCount == 0) e.exclusiveOwner = 0;
        status = VI_SUCCESS;
    } else if (auto h = e.sharedHolders.find(vi); h != e.sharedHolders.end()) {
        if (--h->second == 0) e.sharedHolders.erase(h);
        status = VI_SUCCESS;
    }
    if (status != VI_SUCCESS) return status;
    // Still holding a lock: say which one is left.
    if (e.exclusiveCount > 0 && e.exclusiveOwner == vi) status = VI_SUCCESS_NESTED_EXCLUSIVE;
    else if (e.sharedHolders.count(vi)) status = VI_SUCCESS_NESTED_SHARED;
    t.changed.notify_all();
    return status;
}

void releaseAllLocks(ViSession vi, const std::string& resource) {
    LockTable& t = table();
    std::lock_guard guard(t.mutex);
    auto it = t.entries.find(keyOf(resource));
    if (it == t.entries.end()) return;
    LockEntry& e = it->second;
    if (e.exclusiveOwner == vi) {
        e.exclusiveOwner = 0;
        e.exclusiveCount = 0;
    }
    e.sharedHolders.erase(vi);
    t.changed.notify_all();
}

bool lockedAgainst(ViSession vi, const std::string& resource) {
    LockTable& t = table();
    std::lock_guard guard(t.mutex);
    auto it = t.entries.find(keyOf(resource));
    if (it == t.entries.end()) return false;
    const LockEntry& e = it->second;
    // Sessions sharing a lock use the resource together; everyone else waits.
    if (e.exclusiveCount > 0) return e.exclusiveOwner != vi;
    return !e.sharedHolders.empty() && e.sharedHolders.count(vi) == 0;
}

ViAccessMode lockState(const std::string& resource) {
    LockTable& t = table();
    std::lock_guard guard(t.mutex);
    auto it = t.entries.find(keyOf(resource));
    if (it == t.entries.end()) return VI_NO_LOCK;
    return it->second.exclusiveCount > 0 ? VI_EXCLUSIVE_LOCK : VI_SHARED_LOCK;
}

}  // namespace visa
