#include "operation_faults.h"

#include <atomic>
#include <map>
#include <mutex>

namespace bench {

namespace {
struct Failure {
    ViStatus status = 0;
    int remaining = 0;  // negative: persistent
};

struct Table {
    std::mutex mutex;
    std::map<std::string, Failure> failures;
    std::atomic<bool> any{false};  // lets calls skip the lock when nothing is injected
};

Table& table() {
    static Table t;
    return t;
}
}  // namespace

void failOperation(const std::string& operation, ViStatus status, int count) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (count == 0) {
        t.failures.erase(operation);
    } else {
        t.failures[operation] = {status, count};
    }
    t.any.store(!t.failures.empty());
}

void clearOperationFailures() {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.failures.clear();
    t.any.store(false);
}

ViStatus injectedFailure(const char* operation) {
    Table& t = table();
    if (!t.any.load()) return 0;
    std::lock_guard lock(t.mutex);
    auto it = t.failures.find(operation);
    if (it == t.failures.end()) return 0;
    const ViStatus status = it->second.status;
    if (it->second.remaining > 0 && --it->second.remaining == 0) t.failures.erase(it);
    t.any.store(!t.failures.empty());
    return status;
}

}  // namespace bench
