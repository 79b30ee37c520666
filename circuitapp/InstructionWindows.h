#pragma once
// The five instruction windows of Lumarest. Each hides itself on OK and on
// its close query (FormCloseQuery, shared by all five); the window it
// explains shows it.
#include "circuitapp/InstructionWindow.h"

namespace pellucor::circuitapp {

// How to set up a batch and start it (help button of the batch set-up window).
class TInstForm : public InstructionWindow {
    Q_OBJECT
public:
    explicit TInstForm(QWidget* owner = nullptr);
    static const InstructionWindowSpec& Spec();
    QPushButton* OkBitBtn1 = nullptr;
public slots:
    void OkBitBtn1Click();
};

// How to read the job monitor (its help button).
class TInstMonitorForm : public InstructionWindow {
    Q_OBJECT
public:
    explicit TInstMonitorForm(QWidget* owner = nullptr);
    static const InstructionWindowSpec& Spec();
    QPushButton* OkBitBtn1 = nullptr;
public slots:
    void OkBitBtn1Click();
};

// How to print a project group (Help button of the project-group window).
class TInstManagerForm : public InstructionWindow {
    Q_OBJECT
public:
    explicit TInstManagerForm(QWidget* owner = nullptr);
    static const InstructionWindowSpec& Spec();
    QPushButton* HelpBitBtn1 = nullptr;
public slots:
    void HelpBitBtn1Click();
};

// How to extrapolate (help button of the extrapolation dialog).
class THelpKKForm : public InstructionWindow {
    Q_OBJECT
public:
    explicit THelpKKForm(QWidget* owner = nullptr);
    static const InstructionWindowSpec& Spec();
    QPushButton* BitBtn1 = nullptr;
public slots:
    void BitBtn1Click();
};

// How to prepare a single-page document (help button of the document window).
class TInstWordForm : public InstructionWindow {
    Q_OBJECT
public:
    explicit TInstWordForm(QWidget* owner = nullptr);
    static const InstructionWindowSpec& Spec();
    QPushButton* BitBtn1 = nullptr;
public slots:
    void BitBtn1Click();
};

}  // namespace pellucor::circuitapp
