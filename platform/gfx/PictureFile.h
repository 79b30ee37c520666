#pragma once
// Picture files are written whole or not at all: the bytes go to a temporary
// file beside the target, which replaces the target only once complete, so
// a failed write never leaves a truncated picture under the target's name.
#include <string>

class QImage;

namespace pellucor::platform {

// False with a reason in error when the file cannot be created, written or
// put in place.
bool WritePictureFile(const std::string& fileName, const std::string& bytes, std::string& error);

// The picture in the bitmap file format (24 bits per pixel) or as PNG.
std::string EncodeBmp(const QImage& image);
std::string EncodePng(const QImage& image);

}  // namespace pellucor::platform
