// The VISA stand-in's sessions: what it keeps for the resource manager, find
// lists and instrument sessions, kept in the process-wide session table it
// shares with the carrier stand-in.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "bench_description.h"
#include "session_registry.h"
#include "visa.h"

namespace visa {

inline constexpr ViUInt32 kDefaultTimeoutMs = 2000;

// Local settings and I/O state of a session to one resource. Carrier sessions
// opened by tarvo_init get one too, so that they can be used as VISA sessions.
struct InstrumentState {
    std::mutex mutex;
    std::string resourceName;  // canonical bench name
    ViUInt32 timeoutMs = kDefaultTimeoutMs;
    ViUInt8 termChar = '\n';
    bool termCharEnabled = false;
    bool sendEnd = true;
    bool suppressEnd = false;
    bool fileAppend = false;
    bool dmaAllowed = true;
    ViUInt16 ioProtocol = VI_PROT_NORMAL;
    ViUInt16 readBufferMode = VI_FLUSH_DISABLE;
    ViUInt16 writeBufferMode = VI_FLUSH_WHEN_FULL;
    ViUInt32 readBufferSize = 4096;
    ViUInt32 writeBufferSize = 4096;
    ViUInt32 maxQueueLength = 50;
    ViAttrState userData = 0;
    bool tcpNoDelay = true;
    bool tcpKeepAlive = false;
    bool gpibReaddress = true;
    bool gpibUnaddress = false;

    std::deque<std::string> replies;  // device answers not yet read, one message each
    std::string readBuffer;           // formatted-read buffer (viScanf)
    std::string writeBuffer;          // formatted-write buffer (viPrintf)
    std::set<ViEventType> queueEvents;
    std::set<ViEventType> handlerEvents;
};

// What the resource manager session keeps.
struct ManagerState {
    std::mutex mutex;
    ViUInt32 timeoutMs = kDefaultTimeoutMs;
    ViAttrState userData = 0;
};

// What a find list keeps: the names not yet handed out.
struct FindListState {
    std::mutex mutex;
    std::vector<std::string> remaining;
};

// A session to one bench resource, resolved.
struct ResourceSession {
    bench::SessionEntry entry;
    std::shared_ptr<InstrumentState> state;
    const bench::ResourceDescription* resource = nullptr;
};

// The bench of this process, or null when the bench file is bad.
const bench::BenchDescription* currentBench();

// Resolves an instrument session, or a carrier or mezzanine session of the
// carrier stand-in, to its resource. Returns VI_SUCCESS or VI_ERROR_INV_OBJECT.
ViStatus resolveResourceSession(ViSession vi, ResourceSession& out);

// As resolveResourceSession, and VI_ERROR_RSRC_LOCKED when another session's
// lock keeps `vi` from using the resource.
ViStatus usableSession(ViSession vi, ResourceSession& out);

// The manager state of a resource manager session, or null.
std::shared_ptr<ManagerState> managerState(ViSession vi);

// Copies `text` into a caller's buffer of VISA's usual 256 bytes.
void copyOut(ViChar* dest, const std::string& text, std::size_t size = VI_FIND_BUFLEN);

// Milliseconds to wait for a VISA time-out value (VI_TMO_INFINITE: -1).
long long timeoutToWait(ViUInt32 timeoutMs);

}  // namespace visa
