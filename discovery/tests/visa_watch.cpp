// Wraps the VISA library's functions: the test program's own definitions come
// first, and each passes on to the library's through dlsym(RTLD_NEXT).
#include "visa_watch.h"

#include <dlfcn.h>

#include <mutex>

#include "visa.h"

namespace visa_watch {
namespace {

struct State {
    std::mutex mutex;
    std::set<ViObject> open;
    int locks = 0;
    std::string failing;
    int failAt = 0;
    int calls = 0;
    ViStatus failStatus = VI_SUCCESS;
};

State& state() {
    static State s;
    return s;
}

// True when this call of `function` is the one to fail.
bool failsNow(const char* function, ViStatus& status) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.failing != function) return false;
    if (++s.calls != s.failAt) return false;
    status = s.failStatus;
    return true;
}

void opened(ViStatus status, ViObject object) {
    if (status < VI_SUCCESS) return;
    std::lock_guard lock(state().mutex);
    state().open.insert(object);
}

template <typename F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

std::set<ViObject> openObjects() {
    std::lock_guard lock(state().mutex);
    return state().open;
}

int locksHeld() {
    std::lock_guard lock(state().mutex);
    return state().locks;
}

void failCall(const std::string& function, int n, ViStatus status) {
    std::lock_guard lock(state().mutex);
    state().failing = function;
    state().failAt = n;
    state().calls = 0;
    state().failStatus = status;
}

void clear() { failCall("", 0, VI_SUCCESS); }

}  // namespace visa_watch

using visa_watch::failsNow;
using visa_watch::opened;
using visa_watch::real;
using visa_watch::state;

extern "C" {

ViStatus _VI_FUNC viOpenDefaultRM(ViPSession vi) {
    static const auto next = real<ViStatus (*)(ViPSession)>("viOpenDefaultRM");
    ViStatus status = VI_SUCCESS;
    if (failsNow("viOpenDefaultRM", status)) return status;
    status = next(vi);
    opened(status, *vi);
    return status;
}

ViStatus _VI_FUNC viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout, ViPSession vi) {
    static const auto next = real<ViStatus (*)(ViSession, ViConstRsrc, ViAccessMode, ViUInt32, ViPSession)>("viOpen");
    ViStatus status = VI_SUCCESS;
    if (failsNow("viOpen", status)) return status;
    status = next(sesn, name, mode, timeout, vi);
    opened(status, *vi);
    return status;
}

ViStatus _VI_FUNC viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt, ViChar desc[]) {
    static const auto next = real<ViStatus (*)(ViSession, ViConstString, ViPFindList, ViPUInt32, ViChar*)>(
        "viFindRsrc");
    ViStatus status = VI_SUCCESS;
    if (failsNow("viFindRsrc", status)) return status;
    status = next(sesn, expr, vi, retCnt, desc);
    opened(status, *vi);
    return status;
}

ViStatus _VI_FUNC viFindNext(ViFindList vi, ViChar desc[]) {
    static const auto next = real<ViStatus (*)(ViFindList, ViChar*)>("viFindNext");
    ViStatus status = VI_SUCCESS;
    if (failsNow("viFindNext", status)) return status;
    return next(vi, desc);
}

ViStatus _VI_FUNC viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    static const auto next = real<ViStatus (*)(ViObject, ViAttr, void*)>("viGetAttribute");
    ViStatus status = VI_SUCCESS;
    if (failsNow("viGetAttribute", status)) return status;
    return next(vi, attrName, attrValue);
}

ViStatus _VI_FUNC viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey,
                         ViChar accessKey[]) {
    static const auto next = real<ViStatus (*)(ViSession, ViAccessMode, ViUInt32, ViConstKeyId, ViChar*)>("viLock");
    ViStatus status = VI_SUCCESS;
    if (failsNow("viLock", status)) return status;
    status = next(vi, lockType, timeout, requestedKey, accessKey);
    if (status >= VI_SUCCESS) {
        std::lock_guard lock(state().mutex);
        ++state().locks;
    }
    return status;
}

ViStatus _VI_FUNC viUnlock(ViSession vi) {
    static const auto next = real<ViStatus (*)(ViSession)>("viUnlock");
    const ViStatus status = next(vi);
    if (status >= VI_SUCCESS) {
        std::lock_guard lock(state().mutex);
        --state().locks;
    }
    return status;
}

ViStatus _VI_FUNC viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    static const auto next = real<ViStatus (*)(ViSession, ViConstBuf, ViUInt32, ViPUInt32)>("viWrite");
    ViStatus status = VI_SUCCESS;
    if (failsNow("viWrite", status)) return status;
    return next(vi, buf, cnt, retCnt);
}

ViStatus _VI_FUNC viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    static const auto next = real<ViStatus (*)(ViSession, ViPBuf, ViUInt32, ViPUInt32)>("viRead");
    ViStatus status = VI_SUCCESS;
    if (failsNow("viRead", status)) return status;
    return next(vi, buf, cnt, retCnt);
}

ViStatus _VI_FUNC viClose(ViObject vi) {
    static const auto next = real<ViStatus (*)(ViObject)>("viClose");
    const ViStatus status = next(vi);
    std::lock_guard lock(state().mutex);
    // Closing the manager closes what was opened through it as well; the
    // code under test is expected to close each object itself, so only the
    // object named is struck off.
    state().open.erase(vi);
    return status;
}

}  // extern "C"
