#include "apps/ProgramMain.h"

#include <QApplication>
#include <clocale>
#include <exception>

#include "mainwindow/MainForm.h"
#include "platform/Services.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtServices.h"

namespace pellucor::apps {

int RunProgram(int argc, char** argv, const char* programName,
               const mainwindow::ProgramProfile& profile) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(programName);
    QApplication::setApplicationDisplayName(profile.ApplicationTitle());
    // Qt adopts the user's locale; numbers in files are always C-locale.
    std::setlocale(LC_NUMERIC, "C");
    platform::qt::QtServices services;
    platform::qt::QtDesktopServices desktop;
    try {
        mainwindow::TMainForm form(profile);
        form.CreateEntryWindows();
        QObject::connect(&form, &mainwindow::TMainForm::Closed, &app, &QApplication::quit);
        form.show();
        app.exec();
    } catch (const std::exception& e) {
        platform::ShowMessage(e.what(), programName);
    }
    return 0;
}

}  // namespace pellucor::apps
