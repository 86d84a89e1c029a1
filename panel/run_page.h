// A page of the current run read back from its result file, for the results
// list's scroll bar. Nothing here touches the panels, so it also runs alone
// (the fuzz target feeds it files of any length).
#pragma once

#include <cstdint>

// What the plug-in knows of the run in its result file.
struct RunInFile {
    bool whole = true;           // every portion of the run got there
    std::int64_t endBytes = -1;  // the file's size after the run's last portion
    std::int64_t frames = 0;     // frames of the run, the file's last ones
    std::uint64_t device = 0;    // the file the run went to
    std::uint64_t inode = 0;
};

enum class PageRead { Ok, CannotOpen, NotThisRun, CannotSeek, CannotRead };

// The first frame of the page of `pageFrames` shown for scroll position
// `position`: the position itself, kept inside the run.
std::int64_t pageStart(std::int64_t position, std::int64_t runFrames, int pageFrames);

// Reads `count` frames of the run from frame `first` on into `frames`. The
// run must still be the end of the same file, exactly as it was left.
PageRead readRunPage(const char* path, const RunInFile& run, std::int64_t first, int count, std::uint32_t* frames);
