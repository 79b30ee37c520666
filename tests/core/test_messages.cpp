#include <gtest/gtest.h>

#include <iterator>

#include "core/Messages.h"
#include "platform/testing/Doubles.h"

using namespace pellucor;

TEST(MessageTable, ShowsTextAndCaptionWithOneOkButton) {
    platform::testing::ScopedServices s;
    ShowMessageCode(30);
    ShowMessageCode(43);
    ASSERT_EQ(s.messages.transcript().size(), 2u);
    EXPECT_EQ(s.messages.transcript()[0].text, "No data points.");
    EXPECT_EQ(s.messages.transcript()[0].caption, "Cannot save.");
    EXPECT_EQ(s.messages.transcript()[0].buttons, platform::MsgButtons::Ok);
    EXPECT_EQ(s.messages.transcript()[1].text, "batch processing mode");
    EXPECT_EQ(s.messages.transcript()[1].caption, "Not applicable to");
}

TEST(MessageTable, CodesWithoutEntryShowNothing) {
    platform::testing::ScopedServices s;
    for (int code : {0, 8, 42, 97, -1, 1000}) ShowMessageCode(code);
    EXPECT_TRUE(s.messages.transcript().empty());
}

TEST(MessageTable, TextsAndCaptionsAsTheUsersKnowThem) {
    // The whole table, typed from the list of the programs' numbered messages.
    const struct {
        int code;
        const char* text;
        const char* caption;
    } expected[] = {
        {1, "No file is opened.", "Error message"},
        {2, "Invalid data format.", "Error message"},
        {3, "No model specified.", "Error message"},
        {4, "Invalid initial parameters.", "Error message"},
        {5, "No simulated data.", "Error message"},
        {6, "No work requested.", "Error message"},
        {7, "No data points to add.", "Error message"},
        {9, "No data to plot.", "Error message"},
        {12, "Apply Kramers-Kronig.", "Instruction"},
        {14, "Add extrapolated points.", "Instruction"},
        {25, "Copied plot to clipboard.", "Ready to paste!!!"},
        {27, "Save model list", "Model list not available"},
        {28, "Save file list", "File list not available"},
        {30, "No data points.", "Cannot save."},
        {31, "Not computed.", "Cannot save results."},
        {32, "No data points read.", "No effect ...."},
        {34, "Locate batch run results first!", "No batch specified..."},
        {35, "Nothing to print!", "Cannot print..."},
        {37, "No valid parameter data", "Cannot find results..."},
        {39, "No results yet...", "Cannot show."},
        {43, "batch processing mode", "Not applicable to"},
        {46, "Results for all the datasets", "Cannot copy"},
        {47, "No CDC specified", "Cannot save"},
        {50, "Not extrapolated...", "Cannot show."},
        {51, "Please try other options...", "Could not get results"},
        {53, "Save these results first.", "Computed in simulate mode"},
        {61, "No picture to copy.", "Cannot do..."},
        {62, "No picture to save.", "Cannot do..."},
        {81, "No results to retrieve", "Cannot do..."},
        {83, "Nothing to edit.", "Cannot do..."},
        {84, "No results to show.", "Cannot do..."},
        {95, "Not in iterate mode.", "Cannot do..."},
        {96, "Not computed.", "Cannot do..."},
    };
    platform::testing::ScopedServices s;
    size_t next = 0;
    for (int code = -5; code <= 120; ++code) {
        SCOPED_TRACE(code);
        s.messages.clear();
        ShowMessageCode(code);
        const auto& shown = s.messages.transcript();
        if (next < std::size(expected) && expected[next].code == code) {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, expected[next].text);
            EXPECT_EQ(shown[0].caption, expected[next].caption);
            EXPECT_EQ(shown[0].buttons, platform::MsgButtons::Ok);
            ++next;
        } else {
            EXPECT_TRUE(shown.empty()) << "no message has this code";
        }
    }
    EXPECT_EQ(next, std::size(expected));
}
