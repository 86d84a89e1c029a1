#include "instance_table.h"

#include <array>
#include <map>
#include <mutex>

namespace instances {
namespace {

struct State {
    std::mutex mutex;
    std::array<Entry, kTableEntries> table{};
    std::map<const SorviInstance*, std::uint64_t> open;
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
    s.open.erase(instance);
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
