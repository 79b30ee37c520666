#pragma once
// The layout the about box and the splash window share: an upper panel with
// the program icon, name and version and the release line, a lower panel
// with the maker's lines, and an OK button.
class QDialog;
class QPushButton;

namespace pellucor::dialogs {

// Fills `window` and returns its OK button.
QPushButton* BuildAboutPanels(QDialog& window);

}  // namespace pellucor::dialogs
