// The desktop clipboard: a picture goes on in every format given, a PNG
// among them also as an image; texts as plain text.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/qt/QtClipboard.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::platform::qt {
namespace {

TEST(QtClipboard, MetafileAndPictureAreOfferedTogether) {
    QImage img(7, 5, QImage::Format_RGB32);
    img.fill(Qt::red);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "PNG"));
    QtClipboard clipboard;
    ASSERT_TRUE(clipboard.SetFormats({{kMimeEmf, std::string("\x01\x00\x00\x00 EMF", 8)},
                                      {kMimePng, std::string(png.constData(), static_cast<size_t>(png.size()))}}));
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->data(kMimeEmf), QByteArray("\x01\x00\x00\x00 EMF", 8));
    ASSERT_TRUE(mime->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), QSize(7, 5));

    ASSERT_TRUE(clipboard.SetText("R(CR)"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "R(CR)");
}

}  // namespace
}  // namespace pellucor::platform::qt
