#pragma once
// Lumarest, the equivalent-circuit program, on the shared main window: its
// captions, its window lists and its "Mechanistic" menu (the two example
// windows and the start of Tamberic). Its own menus and windows (batch,
// extrapolation, project groups) join through ExtendMainWindow and the window
// lists as they are built.
#include "mainwindow/ProgramProfile.h"

namespace pellucor::apps {

class LumarestProfile final : public mainwindow::ProgramProfile {
public:
    QString ApplicationTitle() const override;
    QString Caption() const override;
    mainwindow::WindowList OwnedWindows() const override;
    mainwindow::WindowList EntryWindows() const override;
    void BuildMechanisticMenu(mainwindow::TMainForm& form, QMenu& menu) const override;
    // The circuit program's parameter tolerance.
    void AfterDefaultSettings() const override;
};

}  // namespace pellucor::apps
