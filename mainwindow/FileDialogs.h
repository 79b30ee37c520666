#pragma once
// The file dialogs of the main window: title, default extension and filter
// of each, as the commands hand them to the file dialog seam. Filters are
// written as the desktop lists them ("Text files (*.txt)|*.txt|...") and
// turned into the seam's form here.
#include <string>

#include "platform/Dialogs.h"

namespace pellucor::mainwindow {

// "Text files (*.txt)|*.txt|All files (*.*)|*.*" -> "Text files (*.txt);;All files (*)".
// Pairs without a pattern are dropped; "*.*" means every file.
std::string SeamFilter(const std::string& listed);

struct MainFileDialogs {
    platform::FileDialogRequest OpenDialog1, OpenDialog2, SaveDialog1, SaveDialog2, SaveDialog3,
        SaveDialog4, SaveDialog5, SaveDialog6, SavePictureDialog1, SaveDialog7;
    MainFileDialogs();
};

}  // namespace pellucor::mainwindow
