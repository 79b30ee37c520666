// The pen editor dialog: live changes, Cancel restoring the pen exactly,
// the style items offered for plain and chart pens, the colour picker seam.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <deque>

#include "OffscreenAppEnvironment.h"
#include "chart/widget/PenDialog.h"
#include "platform/testing/ModalDoubles.h"

namespace pellucor::chart {
namespace {

const auto* const env = testing_support::AddOffscreenAppEnvironment<QApplication>();

class ScriptedColorPicker final : public ColorPicker {
public:
    std::optional<TColor> Pick(QWidget*, TColor initial) override {
        offered.push_back(initial);
        if (answers.empty()) return std::nullopt;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<std::optional<TColor>> answers;
    std::vector<TColor> offered;
};

struct PenState {
    TColor color;
    int width;
    TPenStyle style;
    bool visible, smallDots;
    bool operator==(const PenState&) const = default;
};

PenState StateOf(const TChartPen& p) {
    return {p.GetColor(), p.GetWidth(), p.GetStyle(), p.GetVisible(), p.GetSmallDots()};
}

class PenDialogTest : public ::testing::Test {
protected:
    void SetUp() override { InstallColorPicker(&picker); }
    void TearDown() override { InstallColorPicker(nullptr); }
    platform::testing::ScopedModalRunner modal;
    ScriptedColorPicker picker;
};

TEST_F(PenDialogTest, ChangesGoLiveAndCancelRestoresThePenExactly) {
    int changes = 0;
    TChartPen pen([&] { ++changes; });
    pen.SetColor(clRed);
    pen.SetWidth(1);
    pen.SetStyle(TPenStyle::Dot);
    changes = 0;
    picker.answers = {clBlue};
    modal.runner.whileOpen = [&](QDialog& d) {
        auto& dlg = static_cast<TPenDialog&>(d);
        EXPECT_EQ(dlg.windowTitle(), "Border Color Editor");
        EXPECT_TRUE(dlg.CBVisible->isVisible() || dlg.CBVisible->isVisibleTo(&dlg));
        EXPECT_EQ(dlg.StyleCount(), 6) << "a chart pen may also be small dots";
        EXPECT_EQ(dlg.StyleIndex(), 2);
        QTest::mouseClick(dlg.CBVisible, Qt::LeftButton);
        EXPECT_FALSE(pen.GetVisible()) << "live";
        QTest::mouseClick(dlg.RGStyleItems->button(1), Qt::LeftButton);
        EXPECT_EQ(pen.GetStyle(), TPenStyle::Dash);
        dlg.SEWidth->setValue(3);
        EXPECT_EQ(pen.GetWidth(), 3);
        EXPECT_FALSE(dlg.RGStyle->isEnabled()) << "styles exist only at width 1";
        QTest::mouseClick(dlg.BColor, Qt::LeftButton);
        EXPECT_EQ(pen.GetColor(), clBlue);
        EXPECT_GT(changes, 0);
        changes = 0;
        QTest::mouseClick(dlg.Button3, Qt::LeftButton);
    };
    EditChartPen(nullptr, pen);
    ASSERT_EQ(modal.runner.shown.size(), 1u);
    EXPECT_EQ(modal.runner.shown[0].name, "PenDialog");
    EXPECT_EQ(StateOf(pen), (PenState{clRed, 1, TPenStyle::Dot, true, false}));
    EXPECT_GT(changes, 0) << "the pen's owner hears of the restore";
    EXPECT_EQ(picker.offered, (std::vector<TColor>{clRed}));
}

TEST_F(PenDialogTest, OkKeepsTheChangesAndACancelledColourKeepsTheColour) {
    TChartPen pen;
    pen.SetColor(clGreen);
    picker.answers = {std::nullopt};
    modal.runner.answers = {true};
    modal.runner.whileOpen = [&](QDialog& d) {
        auto& dlg = static_cast<TPenDialog&>(d);
        dlg.SEWidth->setValue(2);
        QTest::mouseClick(dlg.BColor, Qt::LeftButton);
        QTest::mouseClick(dlg.Button1, Qt::LeftButton);
    };
    EditChartPen(nullptr, pen);
    EXPECT_EQ(pen.GetWidth(), 2);
    EXPECT_EQ(pen.GetColor(), clGreen);
}

TEST_F(PenDialogTest, EscapeIsACancel) {
    TChartPen pen;
    pen.SetWidth(1);
    modal.runner.whileOpen = [&](QDialog& d) {
        auto& dlg = static_cast<TPenDialog&>(d);
        dlg.SEWidth->setValue(4);
        dlg.reject();
    };
    EditChartPen(nullptr, pen);
    EXPECT_EQ(pen.GetWidth(), 1);
}

TEST_F(PenDialogTest, SmallDotsAndPlainPens) {
    TChartPen dotted;
    dotted.SetSmallDots(true);
    modal.runner.whileOpen = [&](QDialog& d) {
        auto& dlg = static_cast<TPenDialog&>(d);
        EXPECT_EQ(dlg.StyleIndex(), 5) << "\"Small Dots\" selected";
        QTest::mouseClick(dlg.RGStyleItems->button(0), Qt::LeftButton);
        EXPECT_FALSE(dotted.GetSmallDots()) << "another style clears small dots";
        EXPECT_EQ(dotted.GetStyle(), TPenStyle::Solid);
        dlg.accept();
    };
    modal.runner.answers = {true};
    EditChartPen(nullptr, dotted);
    EXPECT_FALSE(dotted.GetSmallDots());

    TPen plain;
    plain.SetWidth(2);
    modal.runner.whileOpen = [&](QDialog& d) {
        auto& dlg = static_cast<TPenDialog&>(d);
        EXPECT_FALSE(dlg.CBVisible->isVisibleTo(&dlg)) << "a plain pen has no visibility";
        EXPECT_EQ(dlg.StyleCount(), 5);
        EXPECT_EQ(dlg.SEWidth->value(), 2);
        EXPECT_FALSE(dlg.RGStyle->isEnabled());
    };
    EditPen(nullptr, plain);
}

}  // namespace
}  // namespace pellucor::chart
