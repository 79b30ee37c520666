#pragma once
// The help viewer and the program runner on Qt.
#include "platform/Desktop.h"

namespace pellucor::platform::qt {

// Hands the help file to the desktop's viewer for its file type. Numbered
// topics are not addressable that way: the contents are shown instead.
class QtHelpViewer final : public HelpViewer {
public:
    bool ShowContents(const std::string& helpFile) override;
    bool ShowContext(const std::string& helpFile, int context) override;
};

// Runs a program with QProcess and blocks until it ends.
class QtProgramRunner final : public ProgramRunner {
public:
    int RunAndWait(const std::string& path) override;
};

// Owns one of each and installs them for the life of the program.
class QtDesktopServices {
public:
    QtDesktopServices();
    ~QtDesktopServices();
    QtHelpViewer help;
    QtProgramRunner programs;
};

}  // namespace pellucor::platform::qt
