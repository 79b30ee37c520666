#pragma once
// A help window: fixed text in numbered steps and an OK button, nothing else.
// It reads and writes no program state. Two kinds: the ones created at start
// that live until the end (OK and the close box only hide them, a second
// show brings back the same window), and the modal ones, which the caller
// creates, runs through the modal seam and frees.
#include <QDialog>
#include <QString>
#include <QStringList>

class QPushButton;
class QShowEvent;

namespace pellucor::dialogs {

struct HelpWindowSpec {
    const char* name;      // objectName and the global instance's name
    const char* caption;
    int width, height;
    bool stayOnTop;
    bool modal;            // ended by OK as a modal dialog
    QStringList paragraphs;
};

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    HelpWindow(QWidget* owner, const HelpWindowSpec& spec);

    QPushButton* BitBtn1 = nullptr;  // OK
    bool IsModalKind() const { return modalKind_; }

public slots:
    // OK: hides a window that lives until the end; ends a modal one with OK.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool modalKind_;
};

}  // namespace pellucor::dialogs
