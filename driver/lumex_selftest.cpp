// Self-test: walking-one checks of three registers, then three polls of the
// module's internal test source at known thresholds. Every outcome but a
// missing record ends with the module reset and the start trigger restored;
// a failure of those turns a pass into a failure, while an earlier finding
// stays the one reported.
#include <cstdio>
#include <string>

#include "lumex.h"
#include "lumex_record.h"
#include "lumex_registers.h"
#include "lumex_status.h"
#include "tarvo_32.h"

using namespace lumex;

namespace {

// Result codes of the self-test's own findings; a failing carrier or driver
// status is reported by its low 16 bits instead.
enum SelfTestResult : ViInt16 {
    kPassed = 0,
    kNoCarrierMemory = 1,
    kNoLogicOne = 3,
    kNoLogicZeroAt2V = 5,
    kNoLogicZeroAt9V5 = 6,
    kFailed = 100,
};

// Test source selections: clearing bit 15 gives bits 15..13 = 011 (a level
// that reads 1 at 2.0 V), clearing bit 14 gives 101 (a level that reads 0).
constexpr ViUInt16 kSourceHigh = 0x8000;
constexpr ViUInt16 kSourceLow = 0x4000;
constexpr ViUInt16 kSourceBits = 0xE000;

std::string statusText(ViSession vi, ViStatus status)
{
    ViChar text[LUMEX_TEXT_SIZE] = {};
    lumex_error_message(vi, status, text);
    return text;
}

// Starts the module on one test source and takes the polled sample.
ViStatus selfTestPoll(ViSession vi, ViUInt16 sourceMask, ViUInt32& sample)
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        const auto keep = static_cast<ViUInt16>(~sourceMask);
        const auto set = static_cast<ViUInt16>(kSourceBits & ~sourceMask);
        ViStatus status = updateControl(vi, 1, keep, set);
        if (status < 0)
            return status;
        if ((status = updateControl(vi, 2, keep, set)) < 0)
            return status;
        if ((status = tarvo_m_config_event(vi, 0)) < 0)
            return status;
        if ((status = tarvo_m_start(vi, 0)) < 0)
            return status;
        record.runFlag.store(1);
        ViInt16 state = 0;
        if ((status = readRunState(vi, &state)) < 0)
            return status;
        if ((status = waitForStateBit(vi, kPollDoneBit, true, true)) < 0)
            return status;

        if (record.irqMask.load() == 1 && (status = tarvo_m_config_event(vi, 1)) < 0)
            return status;
        ViUInt32 scratch = 0;
        status = readSample(vi, &sample, &scratch, &scratch);
        return status < 0 ? status : VI_SUCCESS;
    });
}

// Stops a running module and waits until it says it has stopped.
ViStatus stopForTest(ViSession vi, lumex_data& record)
{
    if (record.runFlag.load() == 0)
        return VI_SUCCESS;
    ViStatus status = tarvo_m_stop(vi, 0);
    if (status < 0)
        return status;
    if ((status = waitForStateBit(vi, kStillRunningBit, false, false)) < 0)
        return status;
    record.runFlag.store(0);
    return VI_SUCCESS;
}

// Single-sample mode, carrier in single mode, 2.0 V thresholds, shortest
// period, status cleared. The record's own settings stay as they are.
ViStatus prepareModule(ViSession vi)
{
    ViUInt16 period = 0;
    ViStatus status = tarvo_m_in16(vi, RG_PERIOD, &period);
    if (status < 0)
        return status;
    if ((status = tarvo_m_out16(vi, RG_PERIOD, static_cast<ViUInt16>(period | kSingleModeBit))) < 0)
        return status;
    if ((status = tarvo_m_mode(vi, 0, 0)) < 0)
        return status;
    if ((status = tarvo_m_trig_length(vi, 0)) < 0)
        return status;
    if ((status = writePorog(vi, 1, kResetPorogV)) < 0)
        return status;
    if ((status = writePorog(vi, 2, kResetPorogV)) < 0)
        return status;
    if ((status = writePeriod(vi, kResetPeriodS)) < 0)
        return status;
    return clearStatus(vi);
}

class SelfTest {
public:
    SelfTest(ViSession vi, lumex_data& record, ViInt16& result, ViChar* message)
        : vi_(vi), record_(record), result_(result), message_(message)
    {
    }

    ViStatus run()
    {
        report(kFailed, text::selfTestFailed());

        ViInt16 queried = 0;
        if (tarvo_m_config_trigger_q(vi_, 0, &queried) < 0)
            return failureExit();
        savedTrigger_ = queried;
        if (savedTrigger_ != 0 && tarvo_m_config_trigger(vi_, 0, 0) < 0)
            return failureExit();

        if (record_.memSamples.load() == 0) {
            report(kNoCarrierMemory, text::noCarrierMemory());
            return failureExit();
        }

        const std::string* suffix = &text::suffix12V();
        ViStatus status = VI_SUCCESS;
        if ((status = checkRegister(vi_, RG_COM1, 12)) != VI_SUCCESS)
            return statusFailure(LUMEX_ERROR_RG_COM1, *suffix);
        if ((status = checkRegister(vi_, RG_PERIOD, 11)) != VI_SUCCESS)
            return statusFailure(LUMEX_ERROR_RG_PERIOD, *suffix);
        if ((status = checkRegister(vi_, RG_COM3, 12)) != VI_SUCCESS)
            return statusFailure(LUMEX_ERROR_RG_COM3, *suffix);
        if ((status = stopForTest(vi_, record_)) < 0)
            return statusFailure(status, *suffix);
        if ((status = prepareModule(vi_)) < 0)
            return statusFailure(status, *suffix);

        ViUInt32 sample = 0;
        if ((status = selfTestPoll(vi_, kSourceHigh, sample)) < 0)
            return statusFailure(status, *suffix);
        if (sample != 0xFFFFFFFFu) {
            char text[LUMEX_TEXT_SIZE];
            std::snprintf(text, sizeof text, text::noLogicOne().c_str(), static_cast<unsigned>(sample));
            report(kNoLogicOne, text);
            return failureExit();
        }

        suffix = &text::suffix1V2();
        if ((status = selfTestPoll(vi_, kSourceLow, sample)) < 0)
            return statusFailure(status, *suffix);
        if (sample != 0) {
            report(kNoLogicZeroAt2V, text::noLogicZeroAt2V());
            return failureExit();
        }

        suffix = &text::suffix9V5();
        if ((status = writePorog(vi_, 1, 9.5)) < 0 || (status = writePorog(vi_, 2, 9.5)) < 0)
            return statusFailure(status, *suffix);
        if ((status = selfTestPoll(vi_, kSourceHigh, sample)) < 0)
            return statusFailure(status, *suffix);
        if (sample != 0) {
            report(kNoLogicZeroAt9V5, text::noLogicZeroAt9V5());
            return failureExit();
        }

        const ViStatus initStatus = record_.initStatus.load();
        if (initStatus != 0) {
            const auto code = static_cast<ViInt16>(initStatus & 0xFF);
            if (code == 0)
                report(kFailed, text::selfTestFailed());
            else
                report(code, statusText(vi_, initStatus) + text::initErrorSuffix());
            return failureExit();
        }

        report(kPassed, text::selfTestPassed());
        // The module passed but must still be reset and given its trigger
        // back; should either fail, the test does not read as a pass. The
        // reset's failure comes first, as it happened first.
        const ViStatus reset = lumex_reset(vi_);
        const ViStatus restored = savedTrigger_ != 0 ? tarvo_m_config_trigger(vi_, 0, savedTrigger_) : VI_SUCCESS;
        if (reset < 0) {
            reportStatus(reset, std::string());
            return LUMEX_ERROR_SELF_TEST;
        }
        if (restored < 0) {
            report(kFailed, text::selfTestFailed());
            return LUMEX_ERROR_SELF_TEST;
        }
        return VI_SUCCESS;
    }

private:
    void report(ViInt16 result, const std::string& message)
    {
        result_ = result;
        copyText(message_, message.c_str());
    }

    // The failing status's low 16 bits and its text with the suffix of the
    // measurement under way; a status whose low bits are all zero would read
    // as a pass, so it is reported as a plain failure.
    ViStatus statusFailure(ViStatus status, const std::string& suffix)
    {
        reportStatus(status, suffix);
        return failureExit();
    }

    void reportStatus(ViStatus status, const std::string& suffix)
    {
        const auto code = static_cast<ViInt16>(status & 0xFFFF);
        if (code == 0)
            report(kFailed, text::selfTestFailed());
        else
            report(code, statusText(vi_, status) + suffix);
    }

    // After a finding the module is reset and its trigger given back; the
    // finding stays what the test reports, whatever these two do.
    ViStatus failureExit()
    {
        lumex_reset(vi_);
        if (savedTrigger_ != 0)
            tarvo_m_config_trigger(vi_, 0, savedTrigger_);
        return LUMEX_ERROR_SELF_TEST;
    }

    ViSession vi_;
    lumex_data& record_;
    ViInt16& result_;
    ViChar* message_;
    ViInt16 savedTrigger_ = 0;
};

}  // namespace

ViStatus _VI_FUNC lumex_self_test(ViSession vi, ViInt16* result, ViChar message[])
{
    return withRecord(vi, [&](lumex_data& record) -> ViStatus {
        if (result == nullptr)
            return VI_ERROR_PARAMETER2;
        if (message == nullptr)
            return VI_ERROR_PARAMETER3;
        return SelfTest(vi, record, *result, message).run();
    });
}
