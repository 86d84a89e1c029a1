// A small program on the panel toolkit: shows the sample panel, reacts to its
// buttons, and can report its own CPU use while idle.
//
//   tk_demo [--idle SECONDS] [--script FILE] [--screenshots DIR]
//
// With --idle it sits in its event loop for that long, prints the CPU time it
// used, and exits. A mistake on the command line or a script that cannot be
// read ends it with status 2 before any window opens.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <paneltk/paneltk.h>

#include "sample_resource.h"
#include "standard_options.h"

namespace {

bool quit = false;
bool exitRequested = false;
int mainPanel = 0, askPanel = 0;

int startP(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::setAttribute(panel, SAMPLE_START, tk::ATTR_DIMMED, 1);
    tk::setAttribute(panel, SAMPLE_STOP, tk::ATTR_DIMMED, 0);
    std::uint32_t points[4 * 64];
    for (int i = 0; i < 64; ++i)
        for (int t = 0; t < 4; ++t) points[i * 4 + t] = std::uint32_t(3 * t + ((i / (t + 3)) % 2));
    tk::plotStripChart(panel, SAMPLE_CHART, points, 4 * 64);
    for (int ch = 1; ch <= 4; ++ch) {
        char line[64];
        std::snprintf(line, sizeof line, "канал %2d    %d(норма)", ch, ch % 2);
        tk::appendLine(panel, SAMPLE_LOG, line);
        tk::setCell(panel, SAMPLE_TABLE, ch, 1, ch % 2 ? "1" : "0");
    }
    tk::setValue(panel, SAMPLE_STATUS, "проверка выполнена");
    return 0;
}

int stopP(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::setAttribute(panel, SAMPLE_START, tk::ATTR_DIMMED, 0);
    tk::setAttribute(panel, SAMPLE_STOP, tk::ATTR_DIMMED, 1);
    return 0;
}

int exitP(int, int, int event, void*, int, int) {
    if (event == tk::EVENT_COMMIT) exitRequested = true;
    return 0;
}

int yes(int, int, int event, void*, int, int) {
    if (event == tk::EVENT_COMMIT) quit = true;
    return 0;
}

int no(int, int, int event, void*, int, int) {
    if (event == tk::EVENT_COMMIT) tk::removePopup(0);
    return 0;
}

int go(int panel, int, int event, void*, int, int) {
    if (event != tk::EVENT_COMMIT) return 0;
    tk::FileSelectOptions o;
    o.title = "Файл протокола";
    o.defaultFile = "*.log";
    o.filter = "*.log";
    std::string path;
    if (tk::fileSelectPopup(o, path) > 0) tk::setValue(panel, PAGE_FILE, path);
    return 0;
}

void about(int, int, void*, int) { tk::messagePopup("О программе", "Пример панели на Qt 6"); }
void pexit(int, int, void*, int) { exitRequested = true; }

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

const char kUsage[] =
    "usage: tk_demo [--idle SECONDS] [--script FILE] [--screenshots DIR]\n"
    "  --idle SECONDS     sit idle that long, print the CPU time used, exit\n"
    "  --script FILE      drive the panel from a script (see docs/scripting.md)\n"
    "  --screenshots DIR  save every panel shown as a PNG file in DIR\n"
    "  --help, -h         print this text and exit\n"
    "  --version          print the version and exit\n";

int refuse(const std::string& reason) { return sorvi::refuseArguments("tk_demo", reason); }

}  // namespace

int main(int argc, char** argv) {
    double idle = -1;
    std::string script;
    // Every option that does not end the program takes a value.
    for (int i = 1; i < argc; i += 2) {
        const bool valued = std::strcmp(argv[i], "--idle") == 0 || std::strcmp(argv[i], "--script") == 0 ||
                            std::strcmp(argv[i], "--screenshots") == 0;
        if (sorvi::answeredStandardOption("tk_demo", kUsage, argv[i])) return 0;
        if (!valued) return refuse(std::string("unknown option ") + argv[i] + " (tk_demo --help lists the options)");
        if (i + 1 >= argc || argv[i + 1][0] == '\0') return refuse(std::string(argv[i]) + " needs a value");
        if (std::strcmp(argv[i], "--idle") == 0) {
            char* end = nullptr;
            idle = std::strtod(argv[i + 1], &end);
            if (*end != '\0' || !(idle >= 0 && idle <= 86400))
                return refuse(std::string("--idle needs a number of seconds (0 to 86400), not ") + argv[i + 1]);
        }
        if (std::strcmp(argv[i], "--script") == 0) script = argv[i + 1];
    }
    std::string reason;
    if (!tk::checkScriptFile(script, reason)) return refuse(reason);
    if (tk::initRuntime(argc, argv) < 0) return -1;

    tk::registerResource(sampleResource());
    const tk::Bindings bindings{{"startP", startP}, {"stopP", stopP}, {"exitP", exitP}, {"yes", yes},
                                {"no", no},         {"about", about}, {"pexit", pexit}, {"go", go}};
    mainPanel = tk::loadPanel(0, "sample.uir", SAMPLE, &bindings);
    askPanel = tk::loadPanel(0, "sample.uir", ASK, &bindings);
    if (mainPanel < 0 || askPanel < 0) {
        std::fprintf(stderr, "tk_demo: %s\n", tk::statusText(mainPanel < 0 ? mainPanel : askPanel));
        return -1;
    }
    tk::makeTabPage(mainPanel, SAMPLE_CANVAS, "sample.uir", PAGE, {}, &bindings);
    tk::setValue(mainPanel, SAMPLE_REG, 0x1A3);
    tk::setValue(mainPanel, SAMPLE_BITS, 5);
    tk::setValue(mainPanel, SAMPLE_SCI, 1.5e-6);
    tk::setValue(mainPanel, SAMPLE_BUF, 10240u);
    tk::setValue(mainPanel, SAMPLE_LED, 1);
    tk::setValue(mainPanel, SAMPLE_STATUS, "Идет инициализация");
    tk::setAttribute(mainPanel, SAMPLE_STATUS, tk::ATTR_TEXT_BGCOLOR, 0xFFFF00);
    tk::appendLine(mainPanel, SAMPLE_LOG, "Протокол поверки мезонина СОРВИ крейт 10,слот 11,мезонин 1");
    tk::displayPanel(mainPanel);

    double cpu0 = cpuSeconds(), t0 = tk::timer();
    long long turns = 0;
    while (!quit) {
        tk::processEvents();
        if (exitRequested) {
            exitRequested = false;
            tk::installPopup(askPanel);
        }
        tk::waitEvents();
        ++turns;
        if (idle >= 0 && tk::timer() - t0 >= idle) break;
    }
    if (idle >= 0) {
        double wall = tk::timer() - t0, cpu = cpuSeconds() - cpu0;
        std::printf("idle %.1f s: cpu %.3f s = %.2f%% of one core, %lld loop turns (%.0f per second)\n", wall, cpu,
                    100.0 * cpu / wall, turns, double(turns) / wall);
    }
    tk::discardPanel(askPanel);
    tk::discardPanel(mainPanel);
    return 0;
}
