#include "dialogs/help/AbtModalForm.h"

#include <QPushButton>

#include "dialogs/help/AboutPanels.h"

namespace pellucor::dialogs {

TAbtModalForm::TAbtModalForm(QWidget* owner) : QDialog(owner) {
    setObjectName("AbtModalForm");
    setWindowTitle("About Pellucor");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    resize(305, 224);
    OKButton = BuildAboutPanels(*this);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace pellucor::dialogs
