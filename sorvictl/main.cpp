// sorvictl: the SORVI module driver's jobs from a shell. See `sorvictl
// --help` and `sorvictl SUBCOMMAND --help`.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>
#include <string>

#include "acquire_command.h"
#include "command_error.h"
#include "dac_sweep_command.h"
#include "export_command.h"
#include "scan_command.h"
#include "selftest_command.h"
#include "stop_request.h"
#include "watch_command.h"

namespace {

using namespace sorvictl;

constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kInterrupted = 130;

void addBench(CLI::App* command, std::string& benchFile) {
    command
        ->add_option("--bench", benchFile,
                     "simulated bench description (YAML); sets SORVI_BENCH for the VISA and carrier stand-ins")
        ->type_name("FILE");
}

void addModule(CLI::App* command, std::string& resource, int& position) {
    command->add_option("RESOURCE", resource, "VISA resource name of the carrier, as `sorvictl scan` prints it")
        ->required();
    command->add_option("POSITION", position, "position of the module on the carrier, 1 to 4")
        ->required()
        ->check(CLI::Range(1, 4));
}

// Applies --bench before anything reaches VISA or the carrier driver.
void useBench(const std::string& benchFile) {
    if (benchFile.empty()) return;
    if (::access(benchFile.c_str(), R_OK) != 0) throw CommandError("cannot read the bench file " + benchFile);
    ::setenv("SORVI_BENCH", benchFile.c_str(), 1);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "sorvictl: scripted work with SORVI 32-channel discrete-signal input modules.\n"
        "Finds carriers, tests modules, captures frames to files (.sorvi raw frames, or sigrok's\n"
        ".sr, .vcd and .csv for PulseView and sigrok-cli) and converts result files.",
        "sorvictl"};
    app.require_subcommand(1);
    app.footer(
        "\nA first session on the simulated bench:\n"
        "  sorvictl scan\n"
        "  sorvictl selftest VXI0::24::INSTR 1\n"
        "  sorvictl acquire VXI0::24::INSTR 1 --mode cycle --period 0.001 --duration 10 -o capture.sr\n"
        "  pulseview capture.sr      (or: sigrok-cli -i capture.sr -O bits)\n"
        "Exit status: 0 done, 1 failed (one line says why), 2 wrong usage, 130 stopped by Ctrl-C early.");

    std::string benchFile;

    bool json = false;
    CLI::App* scan = app.add_subcommand("scan", "list the carriers on the bus and the modules at their positions");
    scan->add_flag("--json", json, "print a JSON list instead of one line per position");
    addBench(scan, benchFile);

    std::string resource;
    int position = 1;
    CLI::App* selftest = app.add_subcommand("selftest",
                                            "run the module's self-test; exit status 0 only when it passed");
    addModule(selftest, resource, position);
    addBench(selftest, benchFile);

    AcquireOptions acquire;
    CLI::App* acq = app.add_subcommand("acquire", "capture frames into a file as they arrive");
    acq->add_option("RESOURCE", acquire.resource, "VISA resource name of the carrier, as `sorvictl scan` prints it")
        ->required();
    acq->add_option("POSITION", acquire.positions,
                    "positions of the modules on the carrier, 1 to 4; several in cycle mode, each into a file "
                    "of its own named by the position (-o run.sr: run-1.sr, run-3.sr)")
        ->required()
        ->expected(1, 4)
        ->check(CLI::Range(1, 4));
    acq->add_option("--mode", acquire.mode, "single (one poll per frame), block or cycle (continuous)")
        ->check(CLI::IsMember({"single", "block", "cycle"}))
        ->capture_default_str();
    acq->add_option("--period", acquire.period, "sample period in seconds, 0.0001 to 1")->capture_default_str();
    acq->add_option("--threshold", acquire.threshold, "threshold of all channels in volts, -10 to 10");
    acq->add_option("--threshold1", acquire.threshold1, "threshold of channels 1-16 in volts");
    acq->add_option("--threshold2", acquire.threshold2, "threshold of channels 17-32 in volts");
    acq->add_option("--relays", acquire.relays, "input relays on or off")
        ->check(CLI::IsMember({"on", "off"}))
        ->capture_default_str();
    acq->add_option("--packet", acquire.packet, "cycle mode: frames per packet")->capture_default_str();
    acq->add_option("--block", acquire.block, "block mode: frames per block")->capture_default_str();
    auto* frames = acq->add_option("--frames", acquire.frames,
                                   "frames to capture (default: single 1, block one block, cycle until Ctrl-C)");
    acq->add_option("--duration", acquire.duration, "or capture for this many seconds of sampling")->excludes(frames);
    acq->add_flag("--interrupts", acquire.interrupts, "wait for the module's data events instead of polling");
    acq->add_option("-o,--output", acquire.output, "output file")->required()->type_name("FILE");
    acq->add_option("--format", acquire.format, "sorvi, sr, vcd or csv (default: from the extension)");
    acq->add_flag("--force", acquire.force, "replace an existing output file");
    addBench(acq, benchFile);
    acq->footer(
        "\nExample: sorvictl acquire VXI0::24::INSTR 1 --period 0.0001 --frames 100000 -o run.sorvi\n"
        "Two modules at once: sorvictl acquire VXI0::24::INSTR 1 3 --duration 10 -o run.sr "
        "(writes run-1.sr and run-3.sr)\n"
        "Ctrl-C stops the module and leaves the file whole.");

    ExportOptions exportOptions;
    CLI::App* exp = app.add_subcommand("export", "convert a .sorvi result file to .sr, .vcd or .csv");
    exp->add_option("IN", exportOptions.input, "result file: 4-byte little-endian frames")->required();
    exp->add_option("-o,--output", exportOptions.output, "output file")->required()->type_name("FILE");
    exp->add_option("--samplerate", exportOptions.samplerateHz, "frames per second (1 / sample period)")
        ->required()
        ->type_name("HZ");
    exp->add_option("--channels", exportOptions.channels, "channels to keep, e.g. 1-8,17 (default all 32)");
    exp->add_option("--format", exportOptions.format, "sr, vcd or csv (default: from the extension)");
    exp->add_flag("--force", exportOptions.force, "replace an existing output file");
    addBench(exp, benchFile);
    exp->footer("\nExample: sorvictl export run.sorvi -o run.sr --samplerate 10000");

    WatchOptions watch;
    CLI::App* wat = app.add_subcommand("watch", "print one line per change of the channel states until Ctrl-C");
    addModule(wat, watch.resource, watch.position);
    wat->add_option("--period", watch.period, "sample period in seconds, 0.0001 to 1")->capture_default_str();
    wat->add_option("--threshold", watch.threshold, "threshold of all channels in volts, -10 to 10");
    wat->add_option("--frames", watch.frames, "stop after this many frames");
    addBench(wat, benchFile);
    wat->footer("\nEach line: the frame number, then channels 32 down to 1 in groups of four.");

    CLI::App* dac = app.add_subcommand("dac-sweep", "find each channel's switching threshold (-9.99 V up to 10 V)");
    addModule(dac, resource, position);
    addBench(dac, benchFile);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kUsage;
    }

    Console console{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
    // The long-running subcommands end on Ctrl-C by themselves, leaving
    // their files whole; the others keep the default, immediate end.
    if (acq->parsed() || exp->parsed() || wat->parsed() || dac->parsed()) installStopHandlers();
    try {
        useBench(benchFile);
        SteadyClock clock;
        if (scan->parsed()) {
            runScan(json, console);
        } else if (selftest->parsed()) {
            return runSelftest(resource, position, console) == 0 ? 0 : kFailed;
        } else if (acq->parsed()) {
            return runAcquire(acquire, console, clock).cutShort ? kInterrupted : 0;
        } else if (exp->parsed()) {
            runExport(exportOptions, console);
        } else if (wat->parsed()) {
            runWatch(watch, console, clock);
        } else if (dac->parsed()) {
            runDacSweep(resource, position, console, clock);
        }
    } catch (const CommandError& e) {
        std::cout.flush();
        std::cerr << "sorvictl: " << e.what() << '\n';
        return kFailed;
    } catch (const std::exception& e) {
        std::cerr << "sorvictl: " << e.what() << '\n';
        return kFailed;
    }
    return 0;
}
