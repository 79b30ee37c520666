#include "kinetics/fitting/TokenStream.h"

#include <charconv>
#include <cmath>

namespace pellucor::kinfit {

TokenStream::TokenStream(const std::string& text) {
    size_t i = 0;
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
    const std::string& t = tokens_[next_];
    last_ = t;
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+') ++b;
    int v = 0;
    auto r = std::from_chars(b, e, v);
    if (r.ec != std::errc() || r.ptr != e) return false;
    out = v;
    ++next_;
    return true;
}

bool TokenStream::real(double& out) {
    if (atEnd()) return false;
    const std::string& t = tokens_[next_];
    last_ = t;
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+') ++b;
    double v = 0;
    auto r = std::from_chars(b, e, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v)) return false;
    out = v;
    ++next_;
    return true;
}

}  // namespace pellucor::kinfit
