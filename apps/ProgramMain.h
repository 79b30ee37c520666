#pragma once
// The program entry both programs share: the Qt application with the real
// platform seams, the main window of the profile (whose creation runs the
// start-up sequence and the splash window), the entry's own windows, and the
// message loop. An error that escapes is shown in a message box.
namespace pellucor::mainwindow {
class ProgramProfile;
}

namespace pellucor::apps {

int RunProgram(int argc, char** argv, const char* programName,
               const mainwindow::ProgramProfile& profile);

}  // namespace pellucor::apps
