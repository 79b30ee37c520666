// The tool-bar buttons of both programs show drawn pictures instead of the
// first letters of their hints: every button has one, no two buttons of
// different commands look alike, and a picture is really drawn where it
// should be. Screenshots of both windows and an enlarged sheet of all
// pictures are written for a reviewer.
#include <QFont>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <string>
#include <vector>

#include "apps/LumarestProfile.h"
#include "mainwindow/ButtonPictures.h"
#include "mainwindow/MainWindowFixture.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using pellucor::testing_support::MainWindowTest;

namespace {

// One row or column of a picture: '#' where the picture is mostly opaque.
std::string Row(const QImage& image, int y) {
    std::string out;
    for (int x = 0; x < image.width(); ++x) out += qAlpha(image.pixel(x, y)) >= 128 ? '#' : '.';
    return out;
}
std::string Column(const QImage& image, int x) {
    std::string out;
    for (int y = 0; y < image.height(); ++y) out += qAlpha(image.pixel(x, y)) >= 128 ? '#' : '.';
    return out;
}

QImage Shown(QToolButton* b) {
    return b->icon().pixmap(QSize(kButtonPictureSize, kButtonPictureSize)).toImage().convertToFormat(
        QImage::Format_ARGB32);
}

}  // namespace

class ButtonPicturesTest : public MainWindowTest {
protected:
    apps::LumarestProfile lumarest;
};

TEST_F(ButtonPicturesTest, EveryButtonOfBothProgramsShowsItsOwnPicture) {
    struct Shot {
        std::string program;
        std::vector<std::pair<std::string, QImage>> pictures;  // hint, picture
    };
    std::vector<Shot> shots;
    for (const ProgramProfile* profile : {static_cast<const ProgramProfile*>(&tamberic),
                                          static_cast<const ProgramProfile*>(&lumarest)}) {
        TMainForm& f = Start(*profile);
        Shot shot{profile == &lumarest ? "Lumarest" : "Tamberic", {}};
        ASSERT_GE(f.ToolButtons.size(), 19u) << shot.program;
        for (QToolButton* b : f.ToolButtons) {
            const std::string hint = b->toolTip().toStdString();
            EXPECT_FALSE(b->icon().isNull()) << shot.program << ": " << hint;
            EXPECT_TRUE(b->text().isEmpty()) << shot.program << ": " << hint << " shows " << b->text().toStdString();
            EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonIconOnly) << hint;
            EXPECT_EQ(b->size(), QSize(34, 34)) << hint;
            const QImage image = Shown(b);
            ASSERT_EQ(image.size(), QSize(kButtonPictureSize, kButtonPictureSize)) << hint;
            shot.pictures.emplace_back(hint, image);
        }
        // Pictures of different commands differ; the circuit program's two
        // "Copy plot" buttons run the same command and look the same.
        for (size_t i = 0; i < shot.pictures.size(); ++i)
            for (size_t j = i + 1; j < shot.pictures.size(); ++j) {
                const auto& [hintA, a] = shot.pictures[i];
                const auto& [hintB, b] = shot.pictures[j];
                if (hintA == hintB)
                    EXPECT_EQ(a, b) << shot.program << ": " << hintA;
                else
                    EXPECT_NE(a, b) << shot.program << ": " << hintA << " and " << hintB;
            }

        // For a reviewer: the window as it starts.
        f.resize(900, 560);
        f.show();
        std::filesystem::create_directories(PELLUCOR_TEST_OUTPUT_DIR);
        const QString stem = QString::fromStdString(PELLUCOR_TEST_OUTPUT_DIR "/main_window_pictures_" + shot.program);
        const QImage window = f.grab().toImage();
        EXPECT_TRUE(window.save(stem + ".png"));
        // And its two tool bars twice as large, pixel for pixel.
        const QRect bars = f.Toolbar2->geometry().united(f.Toolbar->geometry());
        const QImage barsImage = window.copy(bars);
        EXPECT_TRUE(barsImage.scaled(barsImage.size() * 2).save(stem + "_toolbars_x2.png"));
        shots.push_back(std::move(shot));
        form.reset();
        ResetProgramState();
        ResetWindows();
    }
    // The pictures of both programs could be told apart across the programs too:
    // Tamberic's buttons are all in Lumarest, with the same pictures.
    for (const auto& [hint, image] : shots[0].pictures) {
        bool found = false;
        for (const auto& [otherHint, other] : shots[1].pictures) found |= otherHint == hint && other == image;
        EXPECT_TRUE(found) << hint;
    }

    // For a reviewer: every picture at its size and four times enlarged, with its hint.
    const auto& all = shots[1].pictures;
    const int columns = 4, cellWidth = 160, cellHeight = 4 * kButtonPictureSize + 26;
    const int rows = (static_cast<int>(all.size()) + columns - 1) / columns;
    QImage sheet(columns * cellWidth, rows * cellHeight, QImage::Format_ARGB32);
    sheet.fill(QColor(240, 240, 240));
    QPainter p(&sheet);
    for (int i = 0; i < static_cast<int>(all.size()); ++i) {
        const int x = (i % columns) * cellWidth + 4, y = (i / columns) * cellHeight + 4;
        p.drawImage(QPoint(x, y), all[i].second);
        p.drawImage(QRect(x + 30, y, 4 * kButtonPictureSize, 4 * kButtonPictureSize), all[i].second);
        p.drawText(QPoint(x, y + 4 * kButtonPictureSize + 14), QString::fromStdString(all[i].first));
    }
    p.end();
    EXPECT_TRUE(sheet.save(PELLUCOR_TEST_OUTPUT_DIR "/button_pictures.png"));
}

// The Nyquist picture is drawn where it should be: the axes along the left
// and the bottom (x = 3 and y = 19) and the red arc of radius 7 standing on
// the bottom axis about x = 12, whose top is the cell at (12, 12).
TEST_F(ButtonPicturesTest, NyquistPictureIsDrawnWithItsAxesAndArc) {
    const QImage image = ButtonPictureImage("NyquistBtn").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(22, 22));
    EXPECT_EQ(Row(image, 19), "...###################");
    EXPECT_EQ(Column(image, 12), "............#......#..");
    EXPECT_EQ(Column(image, 3), "..##################..");
    EXPECT_EQ(Row(image, 0), std::string(22, '.'));
    const QColor top = image.pixelColor(12, 12);
    EXPECT_GT(top.red(), 150);
    EXPECT_LT(top.green(), 100);
    const QColor axis = image.pixelColor(12, 19);
    EXPECT_LT(axis.red(), 80);
    EXPECT_LT(axis.green(), 80);
    // Drawn twice as large it keeps its shape: the arc's top moves to the double cells.
    const QImage large = ButtonPictureImage("NyquistBtn", 2).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(large.size(), QSize(44, 44));
    EXPECT_GT(large.pixelColor(24, 25).red(), 150);
    EXPECT_EQ(qAlpha(large.pixel(24, 20)), 0);
}

// A button the pictures do not know keeps the start of its hint as its text.
TEST_F(ButtonPicturesTest, AButtonWithoutPictureKeepsAShortText) {
    EXPECT_TRUE(ButtonPictureImage("NoSuchBtn").isNull());
    EXPECT_TRUE(ButtonPicture("NoSuchBtn").isNull());
    TMainForm& f = Start();
    QToolButton* b = f.AddButton(f.Toolbar, "NoSuchBtn", "&Frobnicate", &TMainForm::Howtorun1Click);
    EXPECT_TRUE(b->icon().isNull());
    EXPECT_EQ(b->text(), "Frob");
    EXPECT_EQ(b->toolTip(), "&Frobnicate");
}
