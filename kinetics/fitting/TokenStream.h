#pragma once
// Whitespace-separated tokens of a small kinetics data file, read whole and
// parsed in the C locale (a decimal point whatever the user's locale), with
// numbers that must fill their token: "1,5" or "2x" are refused, never read
// as 1 or 2 with the rest left for the next token.
#include <string>
#include <vector>

namespace pellucor::kinfit {

class TokenStream {
public:
    explicit TokenStream(const std::string& text);

    bool atEnd() const { return next_ >= tokens_.size(); }
    // Each returns false (and consumes nothing) when no token is left or the
    // token is not of the kind asked for; `what` then names the value sought.
    bool word(std::string& out);
    bool integer(int& out);
    bool real(double& out);
    // The last token looked at (for messages) and its position, 1-based.
    const std::string& lastToken() const { return last_; }
    size_t position() const { return next_ + 1; }

private:
    std::vector<std::string> tokens_;
    size_t next_ = 0;
    std::string last_;
};

}  // namespace pellucor::kinfit
