#include "platform/gfx/PictureFile.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace pellucor::platform {

bool WritePictureFile(const std::string& fileName, const std::string& bytes, std::string& error) {
    QSaveFile file(QString::fromStdString(fileName));
    // Unbuffered, so a short write shows at once: a buffered device can lose
    // the failure of its last flush and commit a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString().toStdString();
        return false;
    }
    const qint64 n = file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (n != static_cast<qint64>(bytes.size()) || file.size() != n) {
        error = file.errorString().toStdString();
        if (error.empty() || error == "Unknown error") error = "The file could not be written whole";
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString().toStdString();
        return false;
    }
    return true;
}

namespace {
std::string Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    // Room for an uncompressed picture at once, not grown line by line.
    bytes.reserve(static_cast<qsizetype>(image.width()) * image.height() * 3 + 1024);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) return {};
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
}  // namespace

std::string EncodeBmp(const QImage& image) { return Encode(image.convertToFormat(QImage::Format_RGB32), "bmp"); }
std::string EncodePng(const QImage& image) { return Encode(image, "png"); }

}  // namespace pellucor::platform
