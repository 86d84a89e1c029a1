#include "instance_table.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>

namespace instances {
namespace {

struct State {
    std::mutex mutex;
    std::array<Entry, kTableEntries> table{};
    // Keyed by the instance; std::less<> lets a const pointer look one up.
    std::map<SorviInstance*, std::uint64_t, std::less<>> open;
    std::uint64_t nextSerial = 1;
};

State& state() {
    static State s;
    return s;
}

}  // namespace

std::uint64_t open(SorviInstance* instance) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    const std::uint64_t serial = s.nextSerial++;
    s.open[instance] = serial;
    return serial;
}

void close(const SorviInstance* instance) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (const auto it = s.open.find(instance); it != s.open.end()) s.open.erase(it);
    for (Entry& e : s.table) {
        if (e.instance == instance) e = Entry{};
    }
}

bool isOpen(const SorviInstance* instance, std::uint64_t serial) {
    if (!instance) return false;
    State& s = state();
    std::lock_guard lock(s.mutex);
    const auto it = s.open.find(instance);
    return it != s.open.end() && (serial == 0 || it->second == serial);
}

std::vector<OpenInstance> openInOrder() {
    State& s = state();
    std::vector<OpenInstance> found;
    {
        std::lock_guard lock(s.mutex);
        found.reserve(s.open.size());
        for (const auto& [instance, serial] : s.open) found.push_back({instance, serial});
    }
    std::sort(found.begin(), found.end(),
              [](const OpenInstance& a, const OpenInstance& b) { return a.serial < b.serial; });
    return found;
}

bool put(int mezIndex, ViSession session, SorviInstance* instance) {
    if (mezIndex < 1 || mezIndex >= kTableEntries) return false;
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.table[mezIndex] = Entry{session, instance};
    return true;
}

void clearEntriesOf(const SorviInstance* instance) {
    if (!instance) return;
    State& s = state();
    std::lock_guard lock(s.mutex);
    for (Entry& e : s.table) {
        if (e.instance == instance) e = Entry{};
    }
}

Entry entry(int index) {
    if (index < 0 || index >= kTableEntries) return {};
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.table[index];
}

bool withInstanceOfSession(ViSession session, const std::function<void(SorviInstance&, std::uint64_t)>& action) {
    if (session == 0) return false;
    State& s = state();
    std::lock_guard lock(s.mutex);
    for (int i = 1; i < kTableEntries; ++i) {
        const Entry& e = s.table[i];
        if (e.instance && e.session == session) {
            const auto it = s.open.find(e.instance);
            action(*e.instance, it == s.open.end() ? 0 : it->second);
            return true;
        }
    }
    return false;
}

void resetForTests() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.table = {};
    s.open.clear();
}

}  // namespace instances
