#include "kinetics/fitting/TokenStream.h"

#include <charconv>
#include <cmath>

#include "core/TextHelpers.h"

namespace pellucor::kinfit {

namespace {

// Reads the whole token as a number, a leading '+' allowed; false if any
// character is left over or the number does not fit.
template <class T, class... Format>
bool ParseWhole(const std::string& t, T& v, Format... format) {
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+') ++b;
    auto r = std::from_chars(b, e, v, format...);
    return r.ec == std::errc() && r.ptr == e;
}

}  // namespace

TokenStream::TokenStream(const std::string& text) {
    size_t i = 0;
    // A file edited by hand may have been saved by a Windows editor as UTF-8
    // with a byte-order mark. The mark belongs to no token; left in, it would
    // spoil the first count, and the refusal would quote an invisible mark.
    if (StartsWithUtf8Mark(text)) i = 3;
    const size_t n = text.size();
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
    while (i < n) {
        while (i < n && space(text[i])) ++i;
        size_t start = i;
        while (i < n && !space(text[i])) ++i;
        if (i > start) tokens_.emplace_back(text, start, i - start);
    }
}

bool TokenStream::word(std::string& out) {
    if (atEnd()) return false;
    last_ = tokens_[next_];
    out = last_;
    ++next_;
    return true;
}

bool TokenStream::integer(int& out) {
    if (atEnd()) return false;
    last_ = tokens_[next_];
    int v = 0;
    if (!ParseWhole(last_, v)) return false;
    out = v;
    ++next_;
    return true;
}

bool TokenStream::real(double& out) {
    if (atEnd()) return false;
    last_ = tokens_[next_];
    double v = 0;
    if (!ParseWhole(last_, v, std::chars_format::general) || !std::isfinite(v)) return false;
    out = v;
    ++next_;
    return true;
}

}  // namespace pellucor::kinfit
