#include "operation_faults.h"

#include <atomic>
#include <map>
#include <mutex>

namespace bench {

namespace {
struct Failure {
    ViStatus status = 0;
    int remaining = 0;  // negative: persistent
    int skip = 0;       // calls still let through first
};

struct Table {
    std::mutex mutex;
    std::map<std::string, Failure> failures;
    bool logging = false;
    std::vector<std::string> log;
    std::atomic<bool> any{false};  // lets calls skip the lock when nothing is injected or logged
};

void updateAny(Table& t) { t.any.store(!t.failures.empty() || t.logging); }

Table& table() {
    static Table t;
    return t;
}

// Starting or stopping the log begins it empty.
void setLogging(bool on) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.logging = on;
    t.log.clear();
    updateAny(t);
}
}  // namespace

void failOperation(const std::string& operation, ViStatus status, int count, int skip) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (count == 0) {
        t.failures.erase(operation);
    } else {
        t.failures[operation] = {status, count, skip > 0 ? skip : 0};
    }
    updateAny(t);
}

void clearOperationFailures() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.failures.clear();
    updateAny(t);
}

ViStatus injectedFailure(const char* operation) {
    Table& t = table();
    if (!t.any.load()) return 0;
    std::lock_guard lock(t.mutex);
    if (t.logging) t.log.emplace_back(operation);
    auto it = t.failures.find(operation);
    if (it == t.failures.end()) return 0;
    if (it->second.skip > 0) {
        --it->second.skip;
        return 0;
    }
    const ViStatus status = it->second.status;
    if (it->second.remaining > 0 && --it->second.remaining == 0) t.failures.erase(it);
    updateAny(t);
    return status;
}

void startOperationLog() { setLogging(true); }

void stopOperationLog() { setLogging(false); }

std::vector<std::string> operationLog() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    return t.log;
}

}  // namespace bench
