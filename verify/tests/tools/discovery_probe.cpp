// Runs instrument discovery on the bench named by SORVI_BENCH and prints
// what it found, one record a line, for the discovery tests (each bench needs
// a process of its own, since a process loads its bench once).
//
//   count <n>
//   <rsrcName>|<label, line feed as \n>|<modelCode hex>|<crateLA>|<la>|<slot>|<intfType>|<serial>
//
// With VERISK_PROBE_FIND_NEXT_FAILS_AT=N the N-th call of viFindNext fails,
// as a bus that drops out half-way through a search would.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "si.h"
#include "visa.h"

extern "C" ViStatus _VI_FUNC viFindNext(ViFindList list, ViChar desc[]) {
    using FindNext = ViStatus (*)(ViFindList, ViChar*);
    static const auto real = reinterpret_cast<FindNext>(dlsym(RTLD_NEXT, "viFindNext"));
    static int calls = 0;
    const char* failAt = std::getenv("VERISK_PROBE_FIND_NEXT_FAILS_AT");
    if (failAt != nullptr && ++calls == std::atoi(failAt)) return VI_ERROR_SYSTEM_ERROR;
    return real ? real(list, desc) : VI_ERROR_SYSTEM_ERROR;
}

int main() {
    const int found = FindVISAinstruments();
    std::printf("count %d\n", found);
    for (int i = 0; i < kMaxInstruments; ++i) {
        const InstrInfo& r = Instruments[i];
        if (r.label.empty()) continue;
        std::string label;
        for (char c : r.label) label += c == '\n' ? std::string("\\n") : std::string(1, c);
        std::printf("%s|%s|%X|%u|%u|%u|%u|%s\n", r.rsrcName.c_str(), label.c_str(), r.modelCode, r.crateLA, r.la,
                    r.slot, r.intfType, r.serial.c_str());
    }
    return 0;
}
