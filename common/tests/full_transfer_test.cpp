// Whole-buffer transfers over pipes, a full device and a closed descriptor.
#include "full_transfer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <numeric>
#include <thread>
#include <vector>

namespace {

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() { EXPECT_EQ(::pipe(fds), 0); }
    ~Pipe() {
        closeEnd(0);
        closeEnd(1);
    }
    void closeEnd(int k) {
        if (fds[k] >= 0) ::close(fds[k]);
        fds[k] = -1;
    }
};

std::vector<unsigned char> pattern(std::size_t n) {
    std::vector<unsigned char> bytes(n);
    std::iota(bytes.begin(), bytes.end(), static_cast<unsigned char>(7));
    return bytes;
}

TEST(FullTransfer, ReadGathersWhatArrivesInPieces) {
    Pipe p;
    const auto sent = pattern(256 * 1024);
    std::thread writer([&] {
        // Small pieces: the reader sees many short reads.
        for (std::size_t at = 0; at < sent.size(); at += 1000) {
            const std::size_t n = std::min<std::size_t>(1000, sent.size() - at);
            ASSERT_TRUE(fileio::writeFully(p.fds[1], sent.data() + at, n).complete);
        }
    });
    std::vector<unsigned char> got(sent.size());
    const fileio::Transfer t = fileio::readFully(p.fds[0], got.data(), got.size());
    writer.join();
    EXPECT_TRUE(t.complete);
    EXPECT_EQ(t.bytes, sent.size());
    EXPECT_EQ(got, sent);
}

TEST(FullTransfer, WriteLargerThanThePipeHoldsArrivesWhole) {
    Pipe p;
    const auto sent = pattern(1 << 20);
    std::vector<unsigned char> got(sent.size());
    fileio::Transfer read;
    std::thread reader([&] { read = fileio::readFully(p.fds[0], got.data(), got.size()); });
    const fileio::Transfer written = fileio::writeFully(p.fds[1], sent.data(), sent.size());
    reader.join();
    EXPECT_TRUE(written.complete);
    EXPECT_EQ(written.bytes, sent.size());
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(got, sent);
}

TEST(FullTransfer, EndsAndFailuresSayHowFarTheyGot) {
    {
        // The file ends early: no error, the bytes that came.
        Pipe p;
        ASSERT_TRUE(fileio::writeFully(p.fds[1], "0123456789", 10).complete);
        p.closeEnd(1);
        char buffer[20];
        const fileio::Transfer t = fileio::readFully(p.fds[0], buffer, sizeof buffer);
        EXPECT_FALSE(t.complete);
        EXPECT_EQ(t.bytes, 10u);
        EXPECT_EQ(t.error, 0);
    }
    {
        const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        const fileio::Transfer t = fileio::writeFully(fd, "abc", 3);
        ::close(fd);
        EXPECT_FALSE(t.complete);
        EXPECT_EQ(t.bytes, 0u);
        EXPECT_EQ(t.error, ENOSPC);
    }
    {
        char buffer[4];
        const fileio::Transfer t = fileio::readFully(-1, buffer, sizeof buffer);
        EXPECT_FALSE(t.complete);
        EXPECT_EQ(t.error, EBADF);
    }
    // Nothing asked for is done at once, whatever the descriptor.
    EXPECT_TRUE(fileio::writeFully(-1, "", 0).complete);
}

}  // namespace
