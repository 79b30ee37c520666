#include "platform/Clipboard.h"

namespace pellucor::platform {

bool MemoryClipboard::SetFormats(const std::vector<ClipboardFormat>& f) {
    if (refuse) return false;
    formats = f;
    text.clear();
    ++writes;
    return true;
}

bool MemoryClipboard::SetText(const std::string& t) {
    if (refuse) return false;
    formats.clear();
    text = t;
    ++writes;
    return true;
}

std::string MemoryClipboard::Data(const std::string& mimeType) const {
    for (const ClipboardFormat& f : formats)
        if (f.mimeType == mimeType) return f.data;
    return {};
}

namespace {
MemoryClipboard& Fallback() {
    static MemoryClipboard c;
    return c;
}
ClipboardService* g_clipboard = nullptr;
}  // namespace

ClipboardService& Clipboard() { return g_clipboard ? *g_clipboard : Fallback(); }

void InstallClipboard(ClipboardService* clipboard) { g_clipboard = clipboard; }

}  // namespace pellucor::platform
