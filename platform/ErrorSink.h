#pragma once
#include <string>

namespace pellucor::platform {

// Where numeric warnings go (standard error in the programs).
class ErrorSink {
public:
    virtual ~ErrorSink() = default;
    virtual void Write(const std::string& text) = 0;
};

}  // namespace pellucor::platform
