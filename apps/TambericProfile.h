#pragma once
// Tamberic, the reaction-mechanism program: its captions, the windows its
// main window and its entry create (in the order they are created; a window
// not built yet has an empty line and its commands say so), and its
// "Mechanistic" menu of example and reaction-model windows.
#include "mainwindow/ProgramProfile.h"

namespace pellucor::apps {

class TambericProfile final : public mainwindow::ProgramProfile {
public:
    QString ApplicationTitle() const override;
    QString Caption() const override;
    mainwindow::WindowList OwnedWindows() const override;
    mainwindow::WindowList EntryWindows() const override;
    void BuildMechanisticMenu(mainwindow::TMainForm& form, QMenu& menu) const override;
};

}  // namespace pellucor::apps
