// libsigrok's output modules, as the sinks use them: one process-wide
// library context, a user device of logic channels named by their numbers,
// and an output instance that is sent the usual packets (header, sample rate
// as metadata, logic data, end).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "output_file.h"

struct sr_output;

namespace sorvictl {

class SigrokOutput {
public:
    // moduleId: "srzip", "vcd" or "csv". With a filename the module writes
    // the file itself (srzip); otherwise its text goes to `text`, which may
    // be null. Sends the header and the sample rate. Throws CommandError.
    SigrokOutput(const char* moduleId, const std::vector<int>& channels, std::uint64_t samplerateHz,
                 const char* filename, OutputFile* text);
    ~SigrokOutput();
    SigrokOutput(const SigrokOutput&) = delete;
    SigrokOutput& operator=(const SigrokOutput&) = delete;

    // Samples of `unitSize` bytes each; bit k of a sample is channel k of
    // the list.
    void sendLogic(const void* samples, std::size_t count, unsigned unitSize);
    // Sends the end of the data and frees the module (which completes its
    // file). Throws CommandError; done quietly by the destructor if needed.
    void finish();

private:
    void send(int type, const void* payload);

    std::string name_;
    OutputFile* text_;
    const sr_output* output_ = nullptr;
};

// Bytes per sample for that many channels.
inline unsigned unitSizeFor(std::size_t channels) { return static_cast<unsigned>((channels + 7) / 8); }

}  // namespace sorvictl
