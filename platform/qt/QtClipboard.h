#pragma once
// The desktop clipboard through QClipboard. Pictures are offered in every
// format given; a PNG among them is also offered as an image, so programs
// that paste only images take it.
#include "platform/Clipboard.h"

namespace pellucor::platform::qt {

class QtClipboard final : public ClipboardService {
public:
    bool SetFormats(const std::vector<ClipboardFormat>& formats) override;
    bool SetText(const std::string& text) override;
};

}  // namespace pellucor::platform::qt
