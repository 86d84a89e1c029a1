// The process-wide table of open instances.
//
// Two things are kept here, both behind one lock because the driver's
// interrupt handler reads them from the carrier's event thread:
//  - the instance table proper: five entries {driver session, instance},
//    indexed by mezzanine position (entries 1..4 used), through which the
//    interrupt handler finds the instance of a session;
//  - the set of open instances (from sorvi_init until the teardown), each
//    with a serial number, so that an export given a stale or foreign handle
//    and a deferred call that outlived its instance can tell.
//
// An entry without an instance never matches a lookup: in demo mode every
// instance has session 0, and so has every empty entry.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "sorvi_instance.h"

namespace instances {

inline constexpr int kTableEntries = 5;  // indexed by mezzanine position; entry 0 unused

struct Entry {
    ViSession session = 0;
    SorviInstance* instance = nullptr;
};

// Adds an instance to the open set and returns its serial number (never 0).
std::uint64_t open(SorviInstance* instance);
// Removes it from the open set and clears every table entry that holds it.
void close(const SorviInstance* instance);
// True while the instance is open (and, with a serial, still the same one).
bool isOpen(const SorviInstance* instance, std::uint64_t serial = 0);

struct OpenInstance {
    SorviInstance* instance = nullptr;
    std::uint64_t serial = 0;
};
// The open instances in the order they were opened. A snapshot: check each
// with isOpen(instance, serial) before use, since any of them may have ended
// in the meantime.
std::vector<OpenInstance> openInOrder();

// Puts {session, instance} into entry mezIndex. False (and nothing changed)
// when mezIndex is not 1..4.
bool put(int mezIndex, ViSession session, SorviInstance* instance);
// Clears the entries that hold this instance, and only those.
void clearEntriesOf(const SorviInstance* instance);
// A copy of entry index (0..4); an empty entry for any other index.
Entry entry(int index);

// Runs action on the instance that entries 1..4 hold for this session,
// while the table is locked, so the instance cannot be freed meanwhile.
// Session 0 names no instance (every demo instance has it). Returns false
// when nothing matched. The action must not call back into this table.
bool withInstanceOfSession(ViSession session, const std::function<void(SorviInstance&, std::uint64_t serial)>& action);

// Tests: forget everything.
void resetForTests();

}  // namespace instances
