// Formatted I/O operations: viPrintf, viScanf, viQueryf and their variants.
// viPrintf collects text in the session's write buffer and hands it to the
// device when a line end is written (or at once in flush-on-access mode);
// viScanf reads whole messages into the read buffer and takes values from it.
#include <cstdarg>
#include <cstring>

#include "formatted_io.h"
#include "message_device.h"
#include "visa_sessions.h"

namespace visa {
namespace {

ViStatus printTo(ViSession vi, const char* fmt, va_list& args, bool flushAlways) {
    ResourceSession s;
    if (const ViStatus st = usableSession(vi, s); st != VI_SUCCESS) return st;
    if (!fmt) return VI_ERROR_USER_BUF;
    std::lock_guard guard(s.state->mutex);
    std::string text;
    if (const ViStatus st = formatText(text, fmt, args); st != VI_SUCCESS) return st;
    InstrumentState& state = *s.state;
    state.writeBuffer += text;
    // Writing starts a new exchange: an unread rest of an old answer is dropped.
    state.readBuffer.clear();
    if (flushAlways || state.writeBufferMode == VI_FLUSH_ON_ACCESS ||
        state.writeBuffer.find('\n') != std::string::npos || state.writeBuffer.size() >= state.writeBufferSize) {
        sendMessage(s, state.writeBuffer);
        state.writeBuffer.clear();
    }
    return VI_SUCCESS;
}

ViStatus scanFrom(ViSession vi, const char* fmt, va_list& args) {
    ResourceSession s;
    if (const ViStatus st = usableSession(vi, s); st != VI_SUCCESS) return st;
    if (!fmt) return VI_ERROR_USER_BUF;
    std::unique_lock lock(s.state->mutex);
    InstrumentState& state = *s.state;
    std::size_t pos = 0;
    const ViStatus st = scanText(state.readBuffer, pos, fmt, args,
                                 [&](std::string& input) { return receiveMessage(s, lock, input); });
    state.readBuffer.erase(0, pos);
    if (state.readBufferMode == VI_FLUSH_ON_ACCESS) state.readBuffer.clear();
    return st;
}

}  // namespace
}  // namespace visa

using namespace visa;

extern "C" {

ViStatus _VI_FUNC viVPrintf(ViSession vi, ViConstString writeFmt, va_list params) {
    va_list args;
    va_copy(args, params);
    const ViStatus st = printTo(vi, writeFmt, args, false);
    va_end(args);
    return st;
}

ViStatus _VI_FUNCC viPrintf(ViSession vi, ViConstString writeFmt, ...) {
    va_list args;
    va_start(args, writeFmt);
    const ViStatus st = printTo(vi, writeFmt, args, false);
    va_end(args);
    return st;
}

ViStatus _VI_FUNC viVSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, va_list params) {
    if (!bench::SessionRegistry::instance().find(vi)) return VI_ERROR_INV_OBJECT;
    if (!buf || !writeFmt) return VI_ERROR_USER_BUF;
    va_list args;
    va_copy(args, params);
    std::string text;
    const ViStatus st = formatText(text, writeFmt, args);
    va_end(args);
    if (st != VI_SUCCESS) return st;
    std::memcpy(buf, text.c_str(), text.size() + 1);
    return VI_SUCCESS;
}

ViStatus _VI_FUNCC viSPrintf(ViSession vi, ViPBuf buf, ViConstString writeFmt, ...) {
    va_list args;
    va_start(args, writeFmt);
    const ViStatus st = viVSPrintf(vi, buf, writeFmt, args);
    va_end(args);
    return st;
}

ViStatus _VI_FUNC viVScanf(ViSession vi, ViConstString readFmt, va_list params) {
    va_list args;
    va_copy(args, params);
    const ViStatus st = scanFrom(vi, readFmt, args);
    va_end(args);
    return st;
}

ViStatus _VI_FUNCC viScanf(ViSession vi, ViConstString readFmt, ...) {
    va_list args;
    va_start(args, readFmt);
    const ViStatus st = scanFrom(vi, readFmt, args);
    va_end(args);
    return st;
}

ViStatus _VI_FUNC viVSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, va_list params) {
    if (!bench::SessionRegistry::instance().find(vi)) return VI_ERROR_INV_OBJECT;
    if (!buf || !readFmt) return VI_ERROR_USER_BUF;
    std::string input(reinterpret_cast<const char*>(buf));
    std::size_t pos = 0;
    va_list args;
    va_copy(args, params);
    const ViStatus st = scanText(input, pos, readFmt, args, nullptr);
    va_end(args);
    return st;
}

ViStatus _VI_FUNCC viSScanf(ViSession vi, ViConstBuf buf, ViConstString readFmt, ...) {
    va_list args;
    va_start(args, readFmt);
    const ViStatus st = viVSScanf(vi, buf, readFmt, args);
    va_end(args);
    return st;
}

ViStatus _VI_FUNC viVQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, va_list params) {
    va_list args;
    va_copy(args, params);
    ViStatus st = printTo(vi, writeFmt, args, true);
    if (st == VI_SUCCESS) st = scanFrom(vi, readFmt, args);
    va_end(args);
    return st;
}

ViStatus _VI_FUNCC viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...) {
    va_list args;
    va_start(args, readFmt);
    ViStatus st = printTo(vi, writeFmt, args, true);
    if (st == VI_SUCCESS) st = scanFrom(vi, readFmt, args);
    va_end(args);
    return st;
}

}  // extern "C"
