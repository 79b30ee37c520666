#include <gtest/gtest.h>

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

TEST(MessageTable, EveryEntryIsComplete) {
    int count = 0;
    for (int code = 0; code < 100; ++code) {
        if (const NumberedMessage* m = FindMessage(code)) {
            ++count;
            EXPECT_GT(std::string(m->text).size(), 0u) << code;
            EXPECT_GT(std::string(m->caption).size(), 0u) << code;
        }
    }
    EXPECT_EQ(count, 33);
    EXPECT_STREQ(FindMessage(32)->caption, "No effect ....");
    EXPECT_STREQ(FindMessage(25)->caption, "Ready to paste!!!");
}
