#include "bench_simulation.h"

#include "bench_loader.h"
#include "resource_name.h"
#include "session_registry.h"

namespace bench {

BenchSimulation& BenchSimulation::instance() {
    // Built on first use and torn down at exit (the event thread is joined).
    static BenchSimulation simulation;
    return simulation;
}

BenchSimulation::BenchSimulation() {
    // The session table must outlive the event thread, whose routines look
    // sessions up: touching it here makes it be destroyed after this object.
    (void)SessionRegistry::instance().find(0);
    (void)currentDescription();
    dispatcher_ = std::make_unique<EventDispatcher>(clock_, *this);
}

BenchSimulation::~BenchSimulation() { dispatcher_.reset(); }

const BenchDescription* BenchSimulation::description() {
    if (override_) return &*override_;
    return currentDescription();
}

std::shared_ptr<CarrierModel> BenchSimulation::carrier(std::string_view name, std::string* canonicalName) {
    std::lock_guard lock(mutex_);
    const BenchDescription* bench = description();
    if (!bench) return nullptr;
    const ResourceDescription* resource = findResource(*bench, name);
    if (!resource || !resource->carrier) return nullptr;
    const std::string canonical = canonicalResourceName(resource->name).value_or(resource->name);
    if (canonicalName) *canonicalName = canonical;
    auto& slot = carriers_[canonical];
    if (!slot) slot = std::make_shared<CarrierModel>(canonical, *resource->carrier, clock_, *dispatcher_);
    return slot;
}

std::vector<std::string> BenchSimulation::carrierNames() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    if (const BenchDescription* bench = description())
        for (const ResourceDescription& r : bench->resources)
            if (r.carrier) names.push_back(r.name);
    return names;
}

std::vector<std::shared_ptr<CarrierModel>> BenchSimulation::allCarriers() {
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<CarrierModel>> out;
    for (auto& [name, c] : carriers_) out.push_back(c);
    return out;
}

void BenchSimulation::useDescription(std::optional<BenchDescription> description) {
    std::map<std::string, std::shared_ptr<CarrierModel>> dropped;
    {
        std::lock_guard lock(mutex_);
        override_ = std::move(description);
        dropped.swap(carriers_);
    }
    for (auto& [name, c] : dropped) c->resetCarrier();
}

void BenchSimulation::resetForTests() {
    useDescription(std::nullopt);
    dispatcher_->discardPending();
    dispatcher_->waitIdle();
    clock_.switchToReal();
    dispatcher_->wake();
}

std::optional<BenchNanos> BenchSimulation::nextEventTime() {
    std::optional<BenchNanos> next;
    for (auto& c : allCarriers()) {
        auto t = c->nextEventTime();
        if (t && (!next || *t < *next)) next = t;
    }
    return next;
}

void BenchSimulation::catchUpAll() {
    for (auto& c : allCarriers()) c->catchUp();
}

void BenchSimulation::advance(BenchNanos nanos) {
    std::lock_guard serial(advanceMutex_);
    clock_.switchToVirtual();
    dispatcher_->wake();
    const BenchNanos target = clock_.now() + std::max<BenchNanos>(nanos, 0);
    for (;;) {
        const std::optional<BenchNanos> next = nextEventTime();
        BenchNanos step = target;
        if (next && *next < target) step = std::max(*next, clock_.now());
        clock_.setVirtualNow(step);
        catchUpAll();
        dispatcher_->waitIdle();
        if (step >= target) break;
    }
}

}  // namespace bench
