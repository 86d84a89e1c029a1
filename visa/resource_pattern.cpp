#include "resource_pattern.h"

#include <algorithm>
#include <cctype>
#include <regex>
#include <vector>

#include "bench_units.h"
#include "resource_attributes.h"

namespace visa {
namespace {

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// VISA's regular expression syntax in ECMAScript terms; nothing when the
// expression is malformed.
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
                if (isWordChar(expr[i])) out += expr[i];
                else out += std::string("\\") + expr[i];
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
                    if (isWordChar(expr[j]) || expr[j] == '-') out += expr[j];
                    else out += std::string("\\") + expr[j];
                }
                if (j == expr.size() || j == first) return std::nullopt;
                out += ']';
                i = j;
                break;
            }
            default:
                if (isWordChar(c)) out += c;
                else out += std::string("\\") + c;
        }
    }
    return out;
}

// The attribute filter: a small expression language of comparisons joined by
// && and ||, with ! and parentheses.
struct Filter {
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge, And, Or, Not };
    struct Node {
        Op op = Op::Eq;
        ViAttr attribute = 0;
        AttributeValue value;
        std::vector<Node> children;
    };
    Node root;

    bool evaluate(const Node& n, const bench::ResourceDescription& r) const {
        switch (n.op) {
            case Op::And: return evaluate(n.children[0], r) && evaluate(n.children[1], r);
            case Op::Or: return evaluate(n.children[0], r) || evaluate(n.children[1], r);
            case Op::Not: return !evaluate(n.children[0], r);
            default: break;
        }
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
            cmp = a.compare(b) < 0 ? -1 : (a.compare(b) > 0 ? 1 : 0);
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
    std::string_view s_;
    std::size_t pos_ = 0;

    void skip() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool eat(std::string_view token) {
        skip();
        if (s_.substr(pos_, token.size()) != token) return false;
        pos_ += token.size();
        return true;
    }
    std::optional<Filter::Node> join(Filter::Op op, std::optional<Filter::Node> a, std::optional<Filter::Node> b) {
        if (!a || !b) return std::nullopt;
        Filter::Node n;
        n.op = op;
        n.children = {std::move(*a), std::move(*b)};
        return n;
    }
    std::optional<Filter::Node> orExpr() {
        auto left = andExpr();
        while (left && eat("||")) left = join(Filter::Op::Or, std::move(left), andExpr());
        return left;
    }
    std::optional<Filter::Node> andExpr() {
        auto left = unary();
        while (left && eat("&&")) left = join(Filter::Op::And, std::move(left), unary());
        return left;
    }
    std::optional<Filter::Node> unary() {
        if (eat("!")) {
            auto inner = unary();
            if (!inner) return std::nullopt;
            Filter::Node n;
            n.op = Filter::Op::Not;
            n.children = {std::move(*inner)};
            return n;
        }
        if (eat("(")) {
            auto inner = orExpr();
            if (!inner || !eat(")")) return std::nullopt;
            return inner;
        }
        return comparison();
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
    std::regex regex;
    std::optional<Filter> filter;
};

ResourcePattern::ResourcePattern() : impl_(std::make_unique<Impl>()) {}
ResourcePattern::ResourcePattern(ResourcePattern&&) noexcept = default;
ResourcePattern& ResourcePattern::operator=(ResourcePattern&&) noexcept = default;
ResourcePattern::~ResourcePattern() = default;

std::optional<ResourcePattern> ResourcePattern::compile(std::string_view expression) {
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
    ResourcePattern p;
    try {
        p.impl_->regex = std::regex(*translated, std::regex::ECMAScript | std::regex::icase | std::regex::nosubs);
    } catch (const std::regex_error&) {
        return std::nullopt;
    }
    p.impl_->filter = std::move(filter);
    return p;
}

bool ResourcePattern::matches(const bench::ResourceDescription& resource) const {
    if (!std::regex_match(resource.name, impl_->regex)) return false;
    return !impl_->filter || impl_->filter->evaluate(impl_->filter->root, resource);
}

}  // namespace visa
