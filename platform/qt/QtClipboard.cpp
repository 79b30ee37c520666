#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace pellucor::platform::qt {

bool QtClipboard::SetFormats(const std::vector<ClipboardFormat>& formats) {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return false;
    auto* mime = new QMimeData;
    for (const ClipboardFormat& f : formats) {
        const QByteArray bytes(f.data.data(), static_cast<qsizetype>(f.data.size()));
        mime->setData(QString::fromStdString(f.mimeType), bytes);
        if (f.mimeType == kMimePng) {
            const QImage img = QImage::fromData(bytes, "PNG");
            if (!img.isNull()) mime->setImageData(img);
        }
    }
    cb->setMimeData(mime);  // the clipboard owns it
    return true;
}

bool QtClipboard::SetText(const std::string& text) {
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return false;
    cb->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return true;
}

}  // namespace pellucor::platform::qt
