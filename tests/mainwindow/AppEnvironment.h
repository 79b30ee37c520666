#pragma once
// Windows need the widget application object: one offscreen QApplication
// for the whole run of a test program.
#include <QApplication>

#include "OffscreenAppEnvironment.h"

namespace pellucor::testing_support {

inline ::testing::Environment* const kAppEnvironment = AddOffscreenAppEnvironment<QApplication>();

}  // namespace pellucor::testing_support
