// Basic and buffered I/O on message-based sessions: viWrite, viRead, viClear,
// viReadSTB, viFlush and their relatives.
#include <cstring>

#include "message_device.h"
#include "resource_locks.h"
#include "visa_sessions.h"

namespace visa {

// Resolves `vi` and refuses it when another session's lock stands in the way.
ViStatus usableSession(ViSession vi, ResourceSession& s) {
    if (const ViStatus st = resolveResourceSession(vi, s); st != VI_SUCCESS) return st;
    if (lockedAgainst(vi, s.state->resourceName)) return VI_ERROR_RSRC_LOCKED;
    return VI_SUCCESS;
}

namespace {

// What every read and write checks first: the count out says 0 until
// something moves, the session is usable, and the buffer is there when needed.
ViStatus startTransfer(ViSession vi, const void* buf, bool bufNeeded, ViPUInt32 retCnt, ResourceSession& s) {
    if (retCnt) *retCnt = 0;
    if (const ViStatus st = usableSession(vi, s); st != VI_SUCCESS) return st;
    return buf || !bufNeeded ? VI_SUCCESS : VI_ERROR_USER_BUF;
}

}  // namespace
}  // namespace visa

using namespace visa;

extern "C" {

ViStatus _VI_FUNC viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    ResourceSession s;
    if (const ViStatus st = startTransfer(vi, buf, cnt > 0, retCnt, s); st != VI_SUCCESS) return st;
    std::lock_guard guard(s.state->mutex);
    sendMessage(s, std::string_view(reinterpret_cast<const char*>(buf), cnt));
    if (retCnt) *retCnt = cnt;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    ResourceSession s;
    if (const ViStatus st = startTransfer(vi, buf, true, retCnt, s); st != VI_SUCCESS) return st;
    if (cnt == 0) return VI_ERROR_INV_PARAMETER;
    std::unique_lock lock(s.state->mutex);
    ViUInt32 got = 0;
    const ViStatus st = receive(s, lock, buf, cnt, got);
    if (retCnt) *retCnt = got;
    return st;
}

ViStatus _VI_FUNC viBufWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    ResourceSession s;
    if (const ViStatus st = startTransfer(vi, buf, cnt > 0, retCnt, s); st != VI_SUCCESS) return st;
    std::lock_guard guard(s.state->mutex);
    s.state->writeBuffer.append(reinterpret_cast<const char*>(buf), cnt);
    if (retCnt) *retCnt = cnt;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viBufRead(ViSession vi, ViPBuf buf, ViUInt32 cnt, ViPUInt32 retCnt) {
    ResourceSession s;
    if (const ViStatus st = startTransfer(vi, buf, true, retCnt, s); st != VI_SUCCESS) return st;
    std::unique_lock lock(s.state->mutex);
    std::string& pending = s.state->readBuffer;
    if (pending.empty()) {
        if (const ViStatus st = receiveMessage(s, lock, pending); st != VI_SUCCESS) return st;
    }
    const std::size_t n = std::min<std::size_t>(cnt, pending.size());
    std::memcpy(buf, pending.data(), n);
    pending.erase(0, n);
    if (retCnt) *retCnt = static_cast<ViUInt32>(n);
    return pending.empty() ? VI_SUCCESS : VI_SUCCESS_MAX_CNT;
}

ViStatus _VI_FUNC viFlush(ViSession vi, ViUInt16 mask) {
    ResourceSession s;
    if (const ViStatus st = usableSession(vi, s); st != VI_SUCCESS) return st;
    if (mask == 0 || (mask & VI_READ_BUF && mask & VI_READ_BUF_DISCARD) ||
        (mask & VI_WRITE_BUF && mask & VI_WRITE_BUF_DISCARD) || (mask & VI_IO_IN_BUF && mask & VI_IO_IN_BUF_DISCARD) ||
        (mask & VI_IO_OUT_BUF && mask & VI_IO_OUT_BUF_DISCARD) || mask > 0xFF)
        return VI_ERROR_INV_MASK;
    std::lock_guard guard(s.state->mutex);
    InstrumentState& st = *s.state;
    if (mask & VI_WRITE_BUF && !st.writeBuffer.empty()) {
        sendMessage(s, st.writeBuffer);
        st.writeBuffer.clear();
    }
    if (mask & VI_WRITE_BUF_DISCARD) st.writeBuffer.clear();
    if (mask & (VI_READ_BUF | VI_READ_BUF_DISCARD)) st.readBuffer.clear();
    if (mask & VI_IO_IN_BUF_DISCARD) st.replies.clear();
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viSetBuf(ViSession vi, ViUInt16 mask, ViUInt32 size) {
    ResourceSession s;
    if (const ViStatus st = usableSession(vi, s); st != VI_SUCCESS) return st;
    if (mask == 0 || (mask & ~(VI_READ_BUF | VI_WRITE_BUF | VI_IO_IN_BUF | VI_IO_OUT_BUF)) != 0)
        return VI_ERROR_INV_MASK;
    std::lock_guard guard(s.state->mutex);
    if (mask & VI_READ_BUF) s.state->readBufferSize = size;
    if (mask & VI_WRITE_BUF) s.state->writeBufferSize = size;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viClear(ViSession vi) {
    ResourceSession s;
    if (const ViStatus st = usableSession(vi, s); st != VI_SUCCESS) return st;
    std::lock_guard guard(s.state->mutex);
    s.state->replies.clear();
    s.state->readBuffer.clear();
    s.state->writeBuffer.clear();
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viReadSTB(ViSession vi, ViPUInt16 status) {
    ResourceSession s;
    if (const ViStatus st = usableSession(vi, s); st != VI_SUCCESS) return st;
    if (!status) return VI_ERROR_USER_BUF;
    std::lock_guard guard(s.state->mutex);
    *status = s.state->replies.empty() ? 0 : 0x10;  // MAV: message available
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viAssertTrigger(ViSession vi, ViUInt16 protocol) {
    ResourceSession s;
    if (const ViStatus st = usableSession(vi, s); st != VI_SUCCESS) return st;
    return protocol == VI_TRIG_PROT_DEFAULT ? VI_SUCCESS : VI_ERROR_INV_PROT;
}

}  // extern "C"
