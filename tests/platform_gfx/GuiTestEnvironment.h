#pragma once
// Fonts need the GUI application object; tests that measure or draw text
// include this header, which sets one up (offscreen) for the whole run.
#include <QGuiApplication>

#include "OffscreenAppEnvironment.h"

namespace pellucor::testing_support {

inline ::testing::Environment* const kGuiTestEnvironment = AddOffscreenAppEnvironment<QGuiApplication>();

}  // namespace pellucor::testing_support
