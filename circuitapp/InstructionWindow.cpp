#include "circuitapp/InstructionWindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/qt/ModalDialogs.h"

namespace pellucor::circuitapp {

InstructionWindow::InstructionWindow(QWidget* owner, const InstructionWindowSpec& spec) : QDialog(owner) {
    setObjectName(spec.name);
    setWindowTitle(QString::fromUtf8(spec.caption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (spec.stayOnTop) flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    // A frame of fixed size, as the text was laid out for it.
    setFixedSize(spec.width, spec.height);

    auto* layout = new QVBoxLayout(this);
    auto* panels = new QGridLayout;
    int panelNo = 0, textNo = 0;
    for (const InstructionPanel& p : spec.panels) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QString("Panel%1").arg(++panelNo));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        auto* grid = new QGridLayout(panel);
        grid->setColumnStretch(1, 1);
        grid->setVerticalSpacing(2);
        int row = 0;
        for (const InstructionLine& line : p.lines) {
            auto add = [&](const QString& text, int column, int span) {
                auto* label = new QLabel(text, panel);
                label->setObjectName(QString("StaticText%1").arg(++textNo));
                if (line.heading) {
                    QFont f = label->font();
                    f.setUnderline(true);
                    label->setFont(f);
                }
                grid->addWidget(label, row, column, 1, span);
            };
            if (line.indented) {
                add(line.text, 1, 1);
            } else if (line.label.isEmpty()) {
                add(line.text, 0, 2);
            } else {
                add(line.label, 0, 1);
                add(line.text, 1, 1);
            }
            ++row;
        }
        grid->setRowStretch(row, 1);
        panels->addWidget(panel, p.row, p.column, p.rowSpan, 1);
    }
    layout->addLayout(panels, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    okButton_ = new QPushButton("OK", this);
    okButton_->setObjectName(spec.okName);
    okButton_->setDefault(true);
    buttons->addWidget(okButton_);
    layout->addLayout(buttons);
}

QStringList InstructionWindow::Texts() const {
    QStringList texts;
    // Children keep their creation order, which is the reading order.
    for (const QLabel* l : findChildren<QLabel*>())
        if (l->objectName().startsWith("StaticText")) texts << l->text();
    return texts;
}

void InstructionWindow::FormCloseQuery() { hide(); }

void InstructionWindow::showEvent(QShowEvent* event) {
    // The windows they explain may be modal; the instructions must stay usable.
    platform::qt::KeepUsableBesideModal(*this);
    QDialog::showEvent(event);
}

void InstructionWindow::closeEvent(QCloseEvent* event) {
    FormCloseQuery();
    event->accept();
}

}  // namespace pellucor::circuitapp
