// The resource manager: opening it, searching the bench, parsing names,
// opening and closing sessions.
#include <algorithm>
#include <cstring>

#include "resource_locks.h"
#include "resource_name.h"
#include "resource_pattern.h"
#include "visa_sessions.h"

namespace visa {
namespace {

bench::SessionRegistry& registry() { return bench::SessionRegistry::instance(); }

bool hasPatternCharacters(std::string_view text) { return text.find_first_of("?*+[]()|\\{") != std::string_view::npos; }

// The bench resources an expression finds, in bench order; nothing when the
// expression is malformed.
std::optional<std::vector<std::string>> search(const bench::BenchDescription& b, std::string_view expr) {
    std::vector<std::string> names;
    if (expr.size() > kMaxSearchExpression) return std::nullopt;
    if (!hasPatternCharacters(expr) && bench::parseResourceName(expr)) {
        // A plain resource name finds its resource in whatever spelling.
        if (const auto* r = bench::findResource(b, expr)) names.push_back(r->name);
        return names;
    }
    auto pattern = ResourcePattern::compile(expr);
    if (!pattern) return std::nullopt;
    for (const auto& r : b.resources)
        if (pattern->matches(r)) names.push_back(r.name);
    return names;
}

void closeInstrument(ViSession vi, const bench::SessionEntry& entry) {
    releaseAllLocks(vi, entry.resourceName);
    registry().remove(vi);
}

}  // namespace
}  // namespace visa

using namespace visa;

extern "C" {

ViStatus _VI_FUNC viOpenDefaultRM(ViPSession vi) {
    if (!vi) return VI_ERROR_USER_BUF;
    *vi = VI_NULL;
    if (!currentBench()) return VI_ERROR_SYSTEM_ERROR;  // the loader has said why
    bench::SessionEntry entry{bench::SessionKind::ResourceManager, {}, 0, std::make_shared<ManagerState>()};
    *vi = registry().add(std::move(entry));
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viGetDefaultRM(ViPSession vi) { return viOpenDefaultRM(vi); }

ViStatus _VI_FUNC viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt, ViChar desc[]) {
    if (vi) *vi = VI_NULL;
    if (retCnt) *retCnt = 0;
    if (!managerState(sesn)) return VI_ERROR_INV_OBJECT;
    if (!expr) return VI_ERROR_INV_EXPR;
    const bench::BenchDescription* b = currentBench();
    if (!b) return VI_ERROR_SYSTEM_ERROR;
    auto names = search(*b, expr);
    if (!names) return VI_ERROR_INV_EXPR;
    if (names->empty()) return VI_ERROR_RSRC_NFOUND;
    if (retCnt) *retCnt = static_cast<ViUInt32>(names->size());
    if (desc) copyOut(desc, names->front());
    if (vi) {
        auto list = std::make_shared<FindListState>();
        list->remaining.assign(names->begin() + 1, names->end());
        *vi = registry().add(bench::SessionEntry{bench::SessionKind::FindList, {}, sesn, list});
    }
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viFindNext(ViFindList vi, ViChar desc[]) {
    auto entry = registry().find(vi, bench::SessionKind::FindList);
    if (!entry) return VI_ERROR_INV_OBJECT;
    if (!desc) return VI_ERROR_USER_BUF;
    auto list = std::static_pointer_cast<FindListState>(entry->object);
    std::lock_guard guard(list->mutex);
    if (list->remaining.empty()) {
        desc[0] = '\0';
        return VI_ERROR_RSRC_NFOUND;
    }
    copyOut(desc, list->remaining.front());
    list->remaining.erase(list->remaining.begin());
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType, ViPUInt16 intfNum,
                                ViChar rsrcClass[], ViChar expandedUnaliasedName[], ViChar aliasIfExists[]) {
    if (!managerState(rmSesn)) return VI_ERROR_INV_OBJECT;
    if (!rsrcName) return VI_ERROR_INV_RSRC_NAME;
    auto parsed = bench::parseResourceName(rsrcName);
    if (!parsed) return VI_ERROR_INV_RSRC_NAME;
    const bench::BenchDescription* b = currentBench();
    if (!b) return VI_ERROR_SYSTEM_ERROR;
    // Like a real VISA, a name is refused when its interface board does not exist.
    const bool boardExists = std::any_of(b->resources.begin(), b->resources.end(), [&](const auto& r) {
        return r.intfType == parsed->intfType && r.intfNum == parsed->board;
    });
    if (!boardExists) return VI_ERROR_RSRC_NFOUND;
    if (intfType) *intfType = parsed->intfType;
    if (intfNum) *intfNum = parsed->board;
    const auto* resource = bench::findResource(*b, rsrcName);
    if (rsrcClass) copyOut(rsrcClass, parsed->resourceClass);
    if (expandedUnaliasedName) copyOut(expandedUnaliasedName, resource ? resource->name : parsed->canonical);
    if (aliasIfExists) copyOut(aliasIfExists, "");
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType, ViPUInt16 intfNum) {
    return viParseRsrcEx(rmSesn, rsrcName, intfType, intfNum, nullptr, nullptr, nullptr);
}

ViStatus _VI_FUNC viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout, ViPSession vi) {
    if (vi) *vi = VI_NULL;
    auto manager = managerState(sesn);
    if (!manager) return VI_ERROR_INV_OBJECT;
    if (!vi) return VI_ERROR_USER_BUF;
    if (!name || !bench::parseResourceName(name)) return VI_ERROR_INV_RSRC_NAME;
    if ((mode & ~static_cast<ViAccessMode>(VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK | VI_LOAD_CONFIG)) != 0 ||
        (mode & VI_EXCLUSIVE_LOCK && mode & VI_SHARED_LOCK))
        return VI_ERROR_INV_ACC_MODE;
    const bench::BenchDescription* b = currentBench();
    if (!b) return VI_ERROR_SYSTEM_ERROR;
    const auto* resource = bench::findResource(*b, name);
    if (!resource) return VI_ERROR_RSRC_NFOUND;

    auto state = std::make_shared<InstrumentState>();
    state->resourceName = resource->name;
    const ViSession session = registry().add(
        bench::SessionEntry{bench::SessionKind::Instrument, resource->name, sesn, state});
    const ViAccessMode lockType = mode & (VI_EXCLUSIVE_LOCK | VI_SHARED_LOCK);
    if (lockType != 0) {
        std::string key;
        const ViStatus st = acquireLock(session, resource->name, lockType, timeout, nullptr, key);
        if (st < VI_SUCCESS) {
            registry().remove(session);
            return VI_ERROR_RSRC_LOCKED;
        }
    }
    *vi = session;
    return VI_SUCCESS;
}

ViStatus _VI_FUNC viClose(ViObject vi) {
    if (vi == VI_NULL) return VI_WARN_NULL_OBJECT;
    auto entry = registry().find(vi);
    if (!entry) return VI_ERROR_INV_OBJECT;
    switch (entry->kind) {
    case bench::SessionKind::ResourceManager:
        for (ViSession child : registry().children(vi)) {
            auto c = registry().find(child);
            if (!c) continue;
            if (c->kind == bench::SessionKind::Instrument) closeInstrument(child, *c);
            else if (c->kind == bench::SessionKind::FindList) registry().remove(child);
        }
        registry().remove(vi);
        return VI_SUCCESS;
    case bench::SessionKind::FindList: registry().remove(vi); return VI_SUCCESS;
    case bench::SessionKind::Instrument: closeInstrument(vi, *entry); return VI_SUCCESS;
    default:
        // Carrier and mezzanine sessions belong to the carrier driver: they
        // are closed with tarvo_close / tarvo_m_close.
        return VI_ERROR_NSUP_OPER;
    }
}

}  // extern "C"
