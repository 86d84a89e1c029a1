// Loading a bench: reading the file, turning YAML mistakes into messages that
// name the file and the line, and choosing between the file and the default.
#include "bench_loader.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include "bench_file_reader.h"

namespace bench {

namespace {

std::string tooBig(const std::string& sourceName) {
    return sourceName + ": the bench file is larger than " + std::to_string(kMaxBenchFileBytes / 1024) +
           " KiB; a bench file describes a few instruments";
}

// Notes where each document starts and what its root is, building nothing.
class DocumentProbe : public YAML::EventHandler {
public:
    enum class Root { None, Map, List, Other };
    struct Document {
        YAML::Mark mark;
        Root root = Root::None;
    };
    std::vector<Document> documents;

    void OnDocumentStart(const YAML::Mark& mark) override {
        documents.push_back({mark, Root::None});
        depth_ = 0;
    }
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark&, YAML::anchor_t) override { root(Root::Other); }
    void OnAlias(const YAML::Mark&, YAML::anchor_t) override { root(Root::Other); }
    void OnScalar(const YAML::Mark&, const std::string&, YAML::anchor_t, const std::string&) override {
        root(Root::Other);
    }
    void OnSequenceStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {
        root(Root::List);
        ++depth_;
    }
    void OnSequenceEnd() override { --depth_; }
    void OnMapStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override {
        root(Root::Map);
        ++depth_;
    }
    void OnMapEnd() override { --depth_; }

private:
    int depth_ = 0;
    void root(Root kind) {
        if (depth_ == 0 && !documents.empty() && documents.back().root == Root::None) documents.back().root = kind;
    }
};

// The one document of the file. yaml-cpp starts a second document where a
// list is indented less than its key, so a second document is refused with
// a word on indentation. Documents are counted with the parser (at most two
// are asked for): yaml-cpp's LoadAll never ends on some malformed files (a
// ',' where a document's node should be).
YAML::Node singleDocument(const std::string& text, const std::string& sourceName) {
    std::istringstream in(text);
    YAML::Parser parser(in);
    DocumentProbe probe;
    for (int i = 0; i < 2 && parser.HandleNextDocument(probe); ++i) {}
    if (probe.documents.size() > 1) {
        const YAML::Mark mark = probe.documents[1].mark;
        std::string where = sourceName;
        if (!mark.is_null()) where += ":" + std::to_string(mark.line + 1) + ":" + std::to_string(mark.column + 1);
        const bool listLeftOfKey = probe.documents[0].root == DocumentProbe::Root::Map &&
                                   probe.documents[1].root == DocumentProbe::Root::List;
        const bool strayComma = mark.pos >= 0 && static_cast<std::size_t>(mark.pos) < text.size() &&
                                text[mark.pos] == ',';
        throw file::Error(where + ": " +
                          (listLeftOfKey ? "this list is indented less than its key above it; indent the list "
                                           "under the key (the key itself starts the line)"
                           : strayComma  ? "a ',' outside any [list] or {map}"
                                         : "a second YAML document; a bench file holds one document"));
    }
    return YAML::Load(text);
}

}  // namespace

LoadResult loadBenchFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, path + ": cannot open the bench file"};
    // Read no more than the limit (and one byte to tell it was passed).
    std::string text(kMaxBenchFileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) return {std::nullopt, path + ": cannot read the bench file"};
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxBenchFileBytes) return {std::nullopt, tooBig(path)};
    return parseBenchText(text, path);
}

LoadResult parseBenchText(std::string_view text, const std::string& sourceName) {
    if (text.size() > kMaxBenchFileBytes) return {std::nullopt, tooBig(sourceName)};
    try {
        const YAML::Node root = singleDocument(std::string(text), sourceName);
        return {file::readBench(root, sourceName), {}};
    } catch (const file::Error& e) {
        return {std::nullopt, e.what()};
    } catch (const YAML::Exception& e) {
        std::string message = sourceName;
        if (!e.mark.is_null())
            message += ":" + std::to_string(e.mark.line + 1) + ":" + std::to_string(e.mark.column + 1);
        return {std::nullopt, message + ": not valid YAML: " + e.msg};
    } catch (const std::exception& e) {
        return {std::nullopt, sourceName + ": " + e.what()};
    }
}

bool benchFileUsable(std::string& reason) {
    const char* path = std::getenv(kBenchEnvVar);
    if (path == nullptr || *path == '\0') return true;
    const LoadResult loaded = loadBenchFile(path);
    if (!loaded.bench) reason = loaded.error;
    return loaded.bench.has_value();
}

const BenchDescription* currentDescription(std::string* error) {
    static std::once_flag once;
    static LoadResult result;
    std::call_once(once, [] {
        const char* path = std::getenv(kBenchEnvVar);
        if (path && *path) {
            result = loadBenchFile(path);
            if (!result.bench) std::fprintf(stderr, "bench: %s\n", result.error.c_str());
        } else {
            result.bench = defaultBench();
        }
    });
    if (!result.bench && error) *error = result.error;
    return result.bench ? &*result.bench : nullptr;
}

}  // namespace bench
