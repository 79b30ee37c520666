#pragma once
// The clipboard seam: pictures go on it in several formats at once (each a
// MIME type with its bytes), texts as plain text. The program installs the Qt
// clipboard; without one a memory clipboard keeps what was put on it, which
// also serves tests (it can be told to refuse, as a clipboard that cannot be
// opened does).
#include <string>
#include <vector>

namespace pellucor::platform {

// The usual MIME types of the picture formats.
inline constexpr const char* kMimeEmf = "image/x-emf";
inline constexpr const char* kMimeWmf = "image/x-wmf";
inline constexpr const char* kMimePng = "image/png";
inline constexpr const char* kMimeBmp = "image/bmp";

struct ClipboardFormat {
    std::string mimeType;
    std::string data;
};

class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Replaces the contents with one item offered in every format given;
    // false when the clipboard cannot be opened.
    virtual bool SetFormats(const std::vector<ClipboardFormat>& formats) = 0;
    // Replaces the contents with a text (UTF-8); false as above.
    virtual bool SetText(const std::string& text) = 0;
};

class MemoryClipboard final : public ClipboardService {
public:
    bool SetFormats(const std::vector<ClipboardFormat>& formats) override;
    bool SetText(const std::string& text) override;
    // The data of one format; empty when it is not offered.
    std::string Data(const std::string& mimeType) const;
    std::vector<ClipboardFormat> formats;
    std::string text;
    int writes = 0;
    // Every call fails while set, leaving the contents as they were.
    bool refuse = false;
};

// The installed clipboard (a memory clipboard until one is installed).
ClipboardService& Clipboard();
// Null puts the memory clipboard back.
void InstallClipboard(ClipboardService* clipboard);

}  // namespace pellucor::platform
