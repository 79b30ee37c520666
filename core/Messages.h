#pragma once
#include <string>

namespace pellucor {

struct NumberedMessage {
    int code;
    const char* text;
    const char* caption;
};

// The table entry of a code, or nullptr for a code that has none.
const NumberedMessage* FindMessage(int code);

// Shows the numbered message in a modal box with one OK button and no icon;
// a code without an entry shows nothing.
void ShowMessageCode(int code);

}  // namespace pellucor
