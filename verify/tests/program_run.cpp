#include "program_run.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr int kRunLimitSeconds = 120;

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

// Scratch directories are removed when the test process ends.
struct ScratchDirectories {
    std::vector<std::string> paths;
    ~ScratchDirectories() {
        std::error_code ignored;
        for (const std::string& path : paths) std::filesystem::remove_all(path, ignored);
    }
};

ScratchDirectories& scratchDirectories() {
    static ScratchDirectories directories;
    return directories;
}

}  // namespace

std::string makeScratchDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/verisk_test_XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = ::mkdtemp(buffer.data());
    if (made == nullptr) return {};
    scratchDirectories().paths.push_back(made);
    return made;
}

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& directory,
                      const std::string& bench, const std::vector<std::string>& extraEnv) {
    std::string command = "cd " + quoted(directory) + " && env QT_QPA_PLATFORM=offscreen SORVI_BENCH=" + quoted(bench);
    for (const std::string& setting : extraEnv) command += " " + quoted(setting);
    // A run left waiting (a script that failed before the exit) is ended, so
    // the test fails instead of hanging.
    command += " timeout --kill-after=5 " + std::to_string(kRunLimitSeconds) + " " + quoted(program);
    for (const std::string& arg : args) command += " " + quoted(arg);
    command += " </dev/null 2>&1";
    ProgramRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[4096];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

std::string writeFile(const std::string& directory, const std::string& name, const std::string& text) {
    const std::string path = directory + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::size_t countOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
    return count;
}

std::string testBench(const std::string& name) { return std::string(VERISK_SOURCE_DIR) + "/tests/benches/" + name; }
