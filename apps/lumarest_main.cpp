// Lumarest: the equivalent-circuit program.
#include <QApplication>
#include <clocale>
#include <cstdio>

#include "core/ProgramState.h"
#include "platform/qt/QtServices.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Lumarest");
    // Qt adopts the user's locale; numbers in files are always C-locale.
    std::setlocale(LC_NUMERIC, "C");
    pellucor::platform::qt::QtServices services;
    pellucor::AllocateWorkArrays();
    // The main window is not part of this build yet: the analysis core and
    // the chart engine are, and their test suites show what they do.
    std::printf("Lumarest %s: the main window is not built yet; nothing to show.\n",
                pellucor::State().Folders.VersionText.c_str());
    return 0;
}
