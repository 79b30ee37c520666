#pragma once
// Windows need the widget application object: one offscreen QApplication
// for the whole run of a test program.
#include <gtest/gtest.h>

#include <QApplication>

namespace pellucor::testing_support {

class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance()) return;
        static int argc = 1;
        static char arg0[] = "pellucor-test";
        static char* argv[] = {arg0, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

inline ::testing::Environment* const kAppEnvironment =
    ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace pellucor::testing_support
