#include "dialogs/help/HelpWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/qt/ModalDialogs.h"

namespace pellucor::dialogs {

HelpWindow::HelpWindow(QWidget* owner, const HelpWindowSpec& spec)
    : QDialog(owner), modalKind_(spec.modal) {
    setObjectName(spec.name);
    setWindowTitle(QString::fromUtf8(spec.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (spec.stayOnTop) flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    resize(spec.width, spec.height);

    auto* layout = new QVBoxLayout(this);
    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* text = new QVBoxLayout(panel);
    int n = 0;
    for (const QString& p : spec.paragraphs) {
        auto* label = new QLabel(p, panel);
        label->setObjectName(QString("StaticText%1").arg(++n));
        label->setWordWrap(true);
        text->addWidget(label);
    }
    text->addStretch();
    layout->addWidget(panel, 1);

    auto* row = new QHBoxLayout;
    row->addStretch();
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    row->addWidget(BitBtn1);
    layout->addLayout(row);
    connect(BitBtn1, &QPushButton::clicked, this, &HelpWindow::BitBtn1Click);
}

void HelpWindow::showEvent(QShowEvent* event) {
    // Most help buttons sit on modal dialogs; the help must be usable beside them.
    if (!modalKind_) platform::qt::KeepUsableBesideModal(*this);
    QDialog::showEvent(event);
}

void HelpWindow::BitBtn1Click() {
    if (modalKind_)
        accept();
    else
        hide();
}

}  // namespace pellucor::dialogs
