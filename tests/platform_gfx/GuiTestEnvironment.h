#pragma once
// Fonts need the GUI application object; tests that measure or draw text
// include this header, which sets one up (offscreen) for the whole run.
#include <gtest/gtest.h>

#include <QGuiApplication>

namespace pellucor::testing_support {

class GuiTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance()) return;
        static int argc = 1;
        static char arg0[] = "pellucor-test";
        static char* argv[] = {arg0, nullptr};
        app_ = new QGuiApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QGuiApplication* app_ = nullptr;
};

inline ::testing::Environment* const kGuiTestEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiTestEnvironment);

}  // namespace pellucor::testing_support
