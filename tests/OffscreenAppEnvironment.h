#pragma once
// One application object for the whole test run, made before the first test
// and deleted after the last; the platform (offscreen) comes from
// QT_QPA_PLATFORM. App is QGuiApplication where fonts and images are enough,
// QApplication where widgets are shown. If a test program registers both,
// the first set up serves for all.
#include <gtest/gtest.h>

#include <QCoreApplication>

namespace pellucor::testing_support {

template <class App>
class OffscreenAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance()) return;
        static int argc = 1;
        static char arg0[] = "pellucor-test";
        static char* argv[] = {arg0, nullptr};
        app_ = new App(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    App* app_ = nullptr;
};

// Registers the environment with GoogleTest; use once per test program as
// the initialiser of a namespace-scope constant.
template <class App>
::testing::Environment* AddOffscreenAppEnvironment() {
    return ::testing::AddGlobalTestEnvironment(new OffscreenAppEnvironment<App>);
}

}  // namespace pellucor::testing_support
