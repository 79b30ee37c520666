#include "dialogs/help/AboutPanels.h"

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace pellucor::dialogs {

QPushButton* BuildAboutPanels(QDialog& window) {
    auto* layout = new QVBoxLayout(&window);

    auto* upper = new QFrame(&window);
    upper->setObjectName("Panel1");
    upper->setFrameShape(QFrame::Panel);
    upper->setFrameShadow(QFrame::Sunken);
    auto* upperRow = new QHBoxLayout(upper);
    auto* icon = new QLabel(upper);
    icon->setObjectName("ProgramIcon");
    icon->setPixmap(window.style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    upperRow->addWidget(icon);
    auto* names = new QVBoxLayout;
    auto* product = new QLabel("Pellucor V 3.20", upper);
    product->setObjectName("ProductName");
    product->setStyleSheet("font-weight: bold; color: blue;");
    names->addWidget(product);
    auto* release = new QLabel("Release 3.20d", upper);
    release->setObjectName("Version");
    names->addWidget(release);
    upperRow->addLayout(names, 1);
    layout->addWidget(upper);

    auto* lower = new QFrame(&window);
    lower->setObjectName("Panel2");
    lower->setFrameShape(QFrame::Panel);
    lower->setFrameShadow(QFrame::Sunken);
    auto* lines = new QVBoxLayout(lower);
    int n = 0;
    for (const char* text : {"Impedance data analysis for electrochemistry",
                             "Equivalent circuits and reaction mechanisms",
                             "Made by the Pellucor developers",
                             "https://example.org/pellucor"}) {
        auto* label = new QLabel(text, lower);
        label->setObjectName(QString("Comments%1").arg(++n));
        lines->addWidget(label);
    }
    layout->addWidget(lower, 1);

    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* ok = new QPushButton("OK", &window);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    row->addWidget(ok);
    row->addStretch();
    layout->addLayout(row);
    return ok;
}

}  // namespace pellucor::dialogs
