// The live bench of this process: the clock, the event thread and one
// carrier model for every bench resource that has a carrier, built on first
// use from the bench description.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bench_clock.h"
#include "bench_description.h"
#include "carrier_model.h"
#include "event_dispatcher.h"

namespace bench {

class BenchSimulation final : public PacedBench {
public:
    static BenchSimulation& instance();

    BenchClock& clock() { return clock_; }
    EventDispatcher& dispatcher() { return *dispatcher_; }

    // The carrier behind the resource `name` (any accepted spelling). Null
    // when the bench cannot be loaded, the resource is unknown or has no
    // carrier; `canonicalName` receives the resource's canonical name.
    std::shared_ptr<CarrierModel> carrier(std::string_view name, std::string* canonicalName = nullptr);

    // Canonical names of the bench resources that have a carrier.
    std::vector<std::string> carrierNames();

    // Tests: run on `description` instead of the process's bench (nothing:
    // back to it). Drops every carrier model; sessions still open on them
    // keep working on the old models.
    void useDescription(std::optional<BenchDescription> description);
    // Tests: every carrier model dropped, events not yet delivered
    // discarded, the clock back on real time, the process's bench in use.
    void resetForTests();

    // Virtual time: moves the clock forward by `nanos`, stopping at every
    // instant an acquisition raises an event, and returns once the events up
    // to the new time have been delivered. Switches to virtual time first.
    void advance(BenchNanos nanos);

    std::optional<BenchNanos> nextEventTime() override;
    void catchUpAll() override;

    ~BenchSimulation() override;

private:
    BenchSimulation();
    const BenchDescription* description();
    std::vector<std::shared_ptr<CarrierModel>> allCarriers();

    std::mutex mutex_;
    std::mutex advanceMutex_;
    BenchClock clock_;
    std::optional<BenchDescription> override_;
    std::map<std::string, std::shared_ptr<CarrierModel>> carriers_;
    // Last, so that the event thread stops before anything else goes.
    std::unique_ptr<EventDispatcher> dispatcher_;
};

}  // namespace bench
