#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "platform/Services.h"
#include "platform/testing/Doubles.h"

namespace pp = pellucor::platform;
using pp::MsgButtons;
using pp::MsgResult;

TEST(ScriptedMessageBox, AnswersFromQueueAndKeepsTranscript) {
    pp::testing::ScopedServices s;
    s.messages.Answer(MsgResult::Yes);
    s.messages.Answer(MsgResult::No);
    EXPECT_EQ(pp::ShowMessage("Save?", "Q", MsgButtons::YesNo), MsgResult::Yes);
    EXPECT_EQ(pp::ShowMessage("Again?", "Q", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(pp::ShowMessage("Done.", "Info"), MsgResult::Ok);  // plain OK needs no script
    ASSERT_EQ(s.messages.transcript().size(), 3u);
    EXPECT_EQ(s.messages.transcript()[1].text, "Again?");
    EXPECT_EQ(s.messages.transcript()[2].caption, "Info");
}

TEST(ScriptedMessageBox, UnscriptedQuestionFailsTheTest) {
    pp::testing::ScopedServices s;
    std::string reported;
    s.messages.onUnexpected = [&](const std::string& what) { reported = what; };
    EXPECT_EQ(pp::ShowMessage("Overwrite?", "Careful", MsgButtons::YesNo), MsgResult::No);
    EXPECT_NE(reported.find("Overwrite?"), std::string::npos);
}

TEST(ScriptedMessageBox, UnscriptedQuestionIsAGtestFailureByDefault) {
    EXPECT_NONFATAL_FAILURE(
        {
            pp::testing::ScopedServices s;
            pp::ShowMessage("Overwrite?", "Careful", MsgButtons::YesNo);
        },
        "unexpected message box");
}

TEST(Services, DoublesAreRemovedAtScopeEnd) {
    {
        pp::testing::ScopedServices s;
        EXPECT_EQ(pp::Now().year, 2026);
        pp::ReportError("x");
        EXPECT_EQ(s.errors.captured, "x");
    }
    // Defaults are back: the real clock and a non-null set of seams.
    EXPECT_NE(pp::services().clock, nullptr);
    EXPECT_NE(pp::services().messages, nullptr);
    EXPECT_NE(pp::services().settings, nullptr);
}

TEST(CountingPump, RaisesStopAfterKSteps) {
    pp::testing::ScopedServices s;
    bool stop = false;
    s.pump.stopAfter = 3;
    s.pump.onStop = [&] { stop = true; };
    pp::PumpOneMessage();
    pp::PumpOneMessage();
    EXPECT_FALSE(stop);
    pp::PumpOneMessage();
    EXPECT_TRUE(stop);
    EXPECT_EQ(s.pump.calls, 3);
}
