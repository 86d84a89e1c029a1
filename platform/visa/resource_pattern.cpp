#include "resource_pattern.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include <re2/re2.h>

#include "bench_units.h"
#include "resource_attributes.h"

namespace visa {
namespace {

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

void appendLiteral(std::string& out, char c) {
    if (isWordChar(c)) {
        out += c;
    } else {
        // Every other byte as a hexadecimal escape: no punctuation, control
        // byte or non-ASCII byte can take a special meaning in RE2.
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x{%02X}", static_cast<unsigned char>(c));
        out += hex;
    }
}

// VISA's regular expression syntax in RE2 terms; nothing when the expression
// is malformed.
std::optional<std::string> translate(std::string_view expr) {
    std::string out;
    for (std::size_t i = 0; i < expr.size(); ++i) {
        const char c = expr[i];
        switch (c) {
        case '?': out += '.'; break;
        case '*':
        case '+':
        case '(':
        case ')':
        case '|': out += c; break;
        case '\\':
            if (++i == expr.size()) return std::nullopt;
            appendLiteral(out, expr[i]);
            break;
        case '[': {
            out += '[';
            std::size_t j = i + 1;
            if (j < expr.size() && expr[j] == '^') {
                out += '^';
                ++j;
            }
            const std::size_t first = j;
            for (; j < expr.size() && (expr[j] != ']' || j == first); ++j) {
                if (expr[j] == '-') out += '-';
                else appendLiteral(out, expr[j]);
            }
            if (j == expr.size() || j == first) return std::nullopt;
            out += ']';
            i = j;
            break;
        }
        default: appendLiteral(out, c);
        }
    }
    return out;
}

// The attribute filter: a small expression language of comparisons joined by
// && and ||, with ! and parentheses. A chain of && (or ||) is one node with
// all its terms, so the tree is built by moving each term in once, and its
// depth grows only with the nesting of parentheses and !, which is bounded.
struct Filter {
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge, And, Or, Not };
    struct Node {
        Op op = Op::Eq;
        ViAttr attribute = 0;
        AttributeValue value;
        std::vector<Node> children;
    };
    Node root;

    static bool compare(const Node& n, const bench::ResourceDescription& r) {
        auto have = resourceAttribute(r, n.attribute);
        if (!have || have->index() != n.value.index()) return false;
        int cmp = 0;
        if (auto* num = std::get_if<long long>(&*have)) {
            const long long want = std::get<long long>(n.value);
            cmp = *num < want ? -1 : (*num > want ? 1 : 0);
        } else {
            std::string a = std::get<std::string>(*have), b = std::get<std::string>(n.value);
            for (auto* s : {&a, &b})
                std::transform(s->begin(), s->end(), s->begin(), [](unsigned char c) { return std::toupper(c); });
            const int c = a.compare(b);
            cmp = c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        switch (n.op) {
        case Op::Eq: return cmp == 0;
        case Op::Ne: return cmp != 0;
        case Op::Lt: return cmp < 0;
        case Op::Gt: return cmp > 0;
        case Op::Le: return cmp <= 0;
        case Op::Ge: return cmp >= 0;
        default: return false;
        }
    }

    static bool evaluate(const Node& n, const bench::ResourceDescription& r) {
        switch (n.op) {
        case Op::And:
            return std::all_of(n.children.begin(), n.children.end(), [&](const Node& c) { return evaluate(c, r); });
        case Op::Or:
            return std::any_of(n.children.begin(), n.children.end(), [&](const Node& c) { return evaluate(c, r); });
        case Op::Not: return !evaluate(n.children[0], r);
        default: return compare(n, r);
        }
    }
};

class FilterParser {
public:
    explicit FilterParser(std::string_view text) : s_(text) {}

    std::optional<Filter::Node> parse() {
        auto n = orExpr();
        skip();
        if (!n || pos_ != s_.size()) return std::nullopt;
        return n;
    }

private:
    // Nesting of parentheses and ! deeper than this is refused, which keeps
    // the parser's and the evaluation's recursion small.
    static constexpr int kMaxDepth = 32;

    std::string_view s_;
    std::size_t pos_ = 0;
    int depth_ = 0;

    void skip() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool eat(std::string_view token) {
        skip();
        if (s_.substr(pos_, token.size()) != token) return false;
        pos_ += token.size();
        return true;
    }
    // term (op term)*: one node holding every term of the chain.
    template <typename Next>
    std::optional<Filter::Node> chain(Filter::Op op, std::string_view token, Next next) {
        auto first = (this->*next)();
        if (!first || !eat(token)) return first;
        Filter::Node n;
        n.op = op;
        n.children.push_back(std::move(*first));
        do {
            auto term = (this->*next)();
            if (!term) return std::nullopt;
            n.children.push_back(std::move(*term));
        } while (eat(token));
        return n;
    }
    std::optional<Filter::Node> orExpr() { return chain(Filter::Op::Or, "||", &FilterParser::andExpr); }
    std::optional<Filter::Node> andExpr() { return chain(Filter::Op::And, "&&", &FilterParser::unary); }
    std::optional<Filter::Node> unary() {
        const bool negate = eat("!");
        const bool group = !negate && eat("(");
        if (!negate && !group) return comparison();
        if (++depth_ > kMaxDepth) return std::nullopt;
        std::optional<Filter::Node> inner = negate ? unary() : orExpr();
        --depth_;
        if (!inner || (group && !eat(")"))) return std::nullopt;
        if (group) return inner;
        Filter::Node n;
        n.op = Filter::Op::Not;
        n.children.push_back(std::move(*inner));
        return n;
    }
    std::optional<Filter::Node> comparison() {
        skip();
        const std::size_t start = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
        Filter::Node n;
        n.attribute = attributeByName(std::string(s_.substr(start, pos_ - start)));
        if (n.attribute == 0) return std::nullopt;
        if (eat("==")) n.op = Filter::Op::Eq;
        else if (eat("!=")) n.op = Filter::Op::Ne;
        else if (eat("<=")) n.op = Filter::Op::Le;
        else if (eat(">=")) n.op = Filter::Op::Ge;
        else if (eat("<")) n.op = Filter::Op::Lt;
        else if (eat(">")) n.op = Filter::Op::Gt;
        else return std::nullopt;
        skip();
        if (pos_ < s_.size() && (s_[pos_] == '"' || s_[pos_] == '\'')) {
            const char quote = s_[pos_++];
            const std::size_t end = s_.find(quote, pos_);
            if (end == std::string_view::npos) return std::nullopt;
            n.value = std::string(s_.substr(pos_, end - pos_));
            pos_ = end + 1;
            return n;
        }
        const std::size_t vstart = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '-')) ++pos_;
        auto number = bench::parseInteger(s_.substr(vstart, pos_ - vstart), INT32_MIN, UINT32_MAX);
        if (!number) return std::nullopt;
        n.value = static_cast<long long>(*number);
        return n;
    }
};

}  // namespace

struct ResourcePattern::Impl {
    std::unique_ptr<re2::RE2> regex;
    std::optional<Filter> filter;
};

ResourcePattern::ResourcePattern() : impl_(std::make_unique<Impl>()) {}
ResourcePattern::ResourcePattern(ResourcePattern&&) noexcept = default;
ResourcePattern& ResourcePattern::operator=(ResourcePattern&&) noexcept = default;
ResourcePattern::~ResourcePattern() = default;

std::optional<ResourcePattern> ResourcePattern::compile(std::string_view expression) {
    if (expression.size() > kMaxSearchExpression) return std::nullopt;
    std::string_view regexPart = expression;
    std::optional<Filter> filter;
    if (const auto brace = expression.find('{'); brace != std::string_view::npos) {
        if (expression.back() != '}') return std::nullopt;
        regexPart = expression.substr(0, brace);
        auto node = FilterParser(expression.substr(brace + 1, expression.size() - brace - 2)).parse();
        if (!node) return std::nullopt;
        filter = Filter{std::move(*node)};
    }
    if (regexPart.empty()) return std::nullopt;
    auto translated = translate(regexPart);
    if (!translated) return std::nullopt;
    // RE2 matches in time linear in the name and never recurses on the
    // input, whatever the expression.
    re2::RE2::Options options;
    options.set_case_sensitive(false);
    options.set_never_capture(true);
    options.set_encoding(re2::RE2::Options::EncodingLatin1);
    options.set_log_errors(false);
    options.set_max_mem(1 << 20);
    ResourcePattern p;
    p.impl_->regex = std::make_unique<re2::RE2>(*translated, options);
    if (!p.impl_->regex->ok()) return std::nullopt;
    p.impl_->filter = std::move(filter);
    return p;
}

bool ResourcePattern::matches(const bench::ResourceDescription& resource) const {
    if (!re2::RE2::FullMatch(resource.name, *impl_->regex)) return false;
    return !impl_->filter || Filter::evaluate(impl_->filter->root, resource);
}

}  // namespace visa
