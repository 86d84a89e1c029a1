// Test helper: a file's bytes taken before a scenario, so that after it the
// test can check that nothing already written was lost or changed (the old
// bytes are still the file's first bytes) and that what the program added
// is whole units: 4-byte frames of a result file, CR LF lines of a protocol.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace sorvi_testing {

// The file's bytes; empty when it does not exist or cannot be read.
inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class FileSnapshot {
public:
    explicit FileSnapshot(std::string path) : path_(std::move(path)), bytes_(fileBytes(path_)) {}

    const std::string& path() const { return path_; }
    const std::string& bytes() const { return bytes_; }

    // The old bytes are the file's prefix now (it was never cut or rewritten).
    ::testing::AssertionResult kept() const { return keptIn(fileBytes(path_)); }

    // The file is exactly as it was.
    ::testing::AssertionResult unchanged() const {
        const std::string now = fileBytes(path_);
        auto result = keptIn(now);
        if (!result) return result;
        if (now.size() != bytes_.size())
            return ::testing::AssertionFailure()
                   << path_ << " grew from " << bytes_.size() << " to " << now.size() << " bytes";
        return ::testing::AssertionSuccess();
    }

    // Also: what was added is whole units of `unit` bytes.
    ::testing::AssertionResult keptWithWholeUnits(std::size_t unit) const {
        const std::string now = fileBytes(path_);
        auto result = keptIn(now);
        if (!result) return result;
        const std::size_t added = now.size() - bytes_.size();
        if (added % unit != 0)
            return ::testing::AssertionFailure()
                   << path_ << ": " << added << " bytes added, not whole units of " << unit;
        return ::testing::AssertionSuccess();
    }

    // Also: what was added is whole CR LF lines.
    ::testing::AssertionResult keptWithWholeLines() const {
        const std::string now = fileBytes(path_);
        auto result = keptIn(now);
        if (!result) return result;
        if (now.size() > bytes_.size() && now.compare(now.size() - 2, 2, "\r\n") != 0)
            return ::testing::AssertionFailure() << path_ << ": the added bytes end inside a line";
        return ::testing::AssertionSuccess();
    }

private:
    ::testing::AssertionResult keptIn(const std::string& now) const {
        if (now.size() < bytes_.size())
            return ::testing::AssertionFailure()
                   << path_ << " shrank from " << bytes_.size() << " to " << now.size() << " bytes";
        const auto diff = std::mismatch(bytes_.begin(), bytes_.end(), now.begin());
        if (diff.first != bytes_.end())
            return ::testing::AssertionFailure()
                   << path_ << ": byte " << (diff.first - bytes_.begin()) << " of what was there before changed";
        return ::testing::AssertionSuccess();
    }

    std::string path_;
    std::string bytes_;
};

}  // namespace sorvi_testing
