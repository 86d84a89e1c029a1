// The panel toolkit's script language: each line of the input is split into
// words and run against the sample panels (off screen, virtual clock), as a
// script line typed by a person would be. "exit" and "screenshot" are left
// out: they end the process or write files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <paneltk/paneltk.h>

#include "sample_resource.h"

namespace {

// The first word of a line as the script runner reads it (quotes and
// backslash escapes included).
std::string firstWord(std::string_view line) {
    std::size_t i = line.find_first_not_of(" \t\r");
    if (i == std::string_view::npos) return {};
    std::string word;
    if (line[i] != '"') {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
        return word;
    }
    for (++i; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        word += line[i];
    }
    return word;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    unsetenv("SORVI_SCRIPT");
    unsetenv("SORVI_SCREENSHOTS");
    static int argc = 1;
    static char name[] = "fuzz_script";
    static char* argv[] = {name, nullptr};
    if (tk::initRuntime(argc, argv) != tk::OK) std::abort();
    tk::registerResource(sampleResource());
    const int sample = tk::loadPanel(0, "sample.uir", SAMPLE);
    tk::loadPanel(0, "sample.uir", ASK);
    if (sample <= 0) std::abort();
    tk::displayPanel(sample);
    tk::useVirtualClock(true);
    std::string reply;
    tk::executeScriptLine("timeout 0", reply);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string reply;
    for (int lines = 0; !text.empty() && lines < 16; ++lines) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::string word = firstWord(line);
        if (word == "exit" || word == "screenshot") continue;
        tk::executeScriptLine(line, reply);
    }
    tk::processEvents();
    return 0;
}
