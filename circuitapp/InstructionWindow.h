#pragma once
// An instruction window of Lumarest: fixed text in one or more panels (lines
// with an optional label column, headings underlined) and an OK button,
// nothing else. Created hidden at start, shown without a modal loop by the
// help button of the window it explains, and only hidden by OK, the close box
// and Escape, so it keeps its place between showings.
#include <QDialog>
#include <QString>
#include <vector>

class QCloseEvent;
class QPushButton;
class QShowEvent;

namespace pellucor::circuitapp {

struct InstructionLine {
    QString text;
    QString label;         // left column ("Find:"), empty for a plain line
    bool heading = false;  // underlined
    bool indented = false; // a text line continued under the text column
};

struct InstructionPanel {
    int row = 0, column = 0, rowSpan = 1;
    std::vector<InstructionLine> lines;
};

struct InstructionWindowSpec {
    const char* name;     // objectName and the global instance's name
    const char* caption;
    int width, height;
    bool stayOnTop;
    const char* okName;   // the OK button's name in this window
    std::vector<InstructionPanel> panels;
};

class InstructionWindow : public QDialog {
    Q_OBJECT
public:
    InstructionWindow(QWidget* owner, const InstructionWindowSpec& spec);

    // Every text line in reading order (labels before their text).
    QStringList Texts() const;

public slots:
    // The close query: the window is hidden, never destroyed.
    void FormCloseQuery();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    QPushButton* okButton_ = nullptr;
};

}  // namespace pellucor::circuitapp
