#pragma once
// The about box: created by the Help menu's "&About", run modally, freed.
#include <QDialog>

class QPushButton;

namespace pellucor::dialogs {

class TAbtModalForm : public QDialog {
    Q_OBJECT
public:
    explicit TAbtModalForm(QWidget* owner = nullptr);
    QPushButton* OKButton = nullptr;
};

}  // namespace pellucor::dialogs
