#include "platform/qt/QtDesktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace pellucor::platform::qt {

bool QtHelpViewer::ShowContents(const std::string& helpFile) {
    const QString file = QString::fromStdString(helpFile);
    if (!QFileInfo::exists(file)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

bool QtHelpViewer::ShowContext(const std::string& helpFile, int) { return ShowContents(helpFile); }

int QtProgramRunner::RunAndWait(const std::string& path) {
    const QString program = QString::fromStdString(path);
    // A path that names no executable file is "cannot be started", not a
    // program that ran and failed.
    const QFileInfo info(program);
    if (!info.exists() || !info.isFile() || !info.isExecutable()) return -1;
    QProcess process;
    process.setProgram(program);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted(-1)) return -1;
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit) return -1;
    return process.exitCode();
}

QtDesktopServices::QtDesktopServices() { InstallDesktopServices(DesktopServices{&help, &programs}); }

QtDesktopServices::~QtDesktopServices() { ResetDesktopServices(); }

}  // namespace pellucor::platform::qt
