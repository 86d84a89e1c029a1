// The time an acquisition loop runs on. On hardware (and on the bench in
// real time) it is the system's steady clock; tests and the timed tools
// substitute the bench's virtual clock, which moves only when paused on.
#pragma once

#include <condition_variable>
#include <mutex>

#include "visatype.h"

namespace sorvictl {

class AcquisitionClock {
public:
    virtual ~AcquisitionClock() = default;
    // Seconds since some fixed start.
    virtual double now() = 0;
    // Lets up to `seconds` pass; returns early when woken or, on the real
    // clock, after at most 0.1 s so that a stop request is seen promptly.
    virtual void pause(double seconds) = 0;
    // Called from the carrier's event thread when data is ready.
    virtual void wake() {}
};

class SteadyClock : public AcquisitionClock {
public:
    double now() override;
    void pause(double seconds) override;
    void wake() override;

private:
    std::mutex lock_;
    std::condition_variable woken_;
    bool pending_ = false;
};

// The clock the module's data events wake while an acquisition runs:
// installs the driver's user handler and enables module interrupts, and
// undoes both at the end of the scope. Without interrupts it does nothing.
class DataEvents {
public:
    DataEvents(ViSession vi, AcquisitionClock& clock, bool interrupts);
    ~DataEvents();
    DataEvents(const DataEvents&) = delete;
    DataEvents& operator=(const DataEvents&) = delete;
    long count() const;

private:
    ViSession vi_;
    bool on_;
};

}  // namespace sorvictl
