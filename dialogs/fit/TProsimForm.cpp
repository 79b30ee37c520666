#include "dialogs/fit/TProsimForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>

#include "core/ElementKinds.h"
#include "core/TextHelpers.h"
#include "core/WindowHooks.h"
#include "dialogs/fit/TCDCForm.h"
#include "platform/Services.h"

namespace pellucor::fitwin {
namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

TProsimForm::TProsimForm(QWidget* owner) : QDialog(owner) {
    setObjectName("ProsimForm");
    setWindowTitle("Edit simulation parameters");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(223, 265);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(8, 4, 207, 16);
    Label1->setStyleSheet("background-color: yellow;");
    for (int r = 1; r <= MaxParams; ++r) {
        const bool left = r <= 10;
        const int y = left ? 24 + 24 * (r - 1) : 144 + 24 * (r - 11);
        RowLabels[r] = new QLabel(this);
        RowLabels[r]->setObjectName(QString("Label%1").arg(r + 1));
        RowLabels[r]->setGeometry(left ? 8 : 120, y + 3, left ? 40 : 32, 16);
        Edits[r] = new QLineEdit(this);
        Edits[r]->setObjectName(QString("Edit%1").arg(r));
        Edits[r]->setGeometry(left ? 48 : 152, y, 64, 21);
    }
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(128, 24, 81, 49);
    Image1->setScaledContents(true);
    Image1->setToolTip("Express simulator");
    RefreshBitBtn = new QPushButton("Update", this);
    RefreshBitBtn->setObjectName("RefreshBitBtn");
    RefreshBitBtn->setGeometry(128, 84, 81, 25);
    BitBtn2 = new QPushButton("Close", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setGeometry(128, 114, 81, 25);
    for (QPushButton* b : {RefreshBitBtn, BitBtn2}) b->setAutoDefault(false);

    connect(RefreshBitBtn, &QPushButton::clicked, this, [this] { RefreshBitBtnClick(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { hide(); });
}

void TProsimForm::ShowParameterNames(int) {
    const ParamSet& p = State().Params;
    for (int r = 1; r <= MaxParams; ++r) RowLabels[r]->setText(ElementKindTable(p.Kind[r]).ShortName);
}

void TProsimForm::ShowSimulatorValues(bool reset) {
    ParamSet& p = State().Params;
    for (int r = reset ? 1 : p.ParamCount + 1; r <= MaxParams; ++r) p.Value[r] = 1.0;
    for (int r = 1; r <= MaxParams; ++r) Edits[r]->setText(Q(FormatGeneral(p.Value[r], 4)));
}

void TProsimForm::UpdateSimulation() {
    // Asked first: this window stays open beside a run, and the mode and
    // Start column set below would be read by the rest of that run.
    if (Windows().Main->RefusedWhileRunning("Simulate")) return;
    RunState& run = State().Run;
    run.SimulateMode = true;
    ShowParameterNames(State().Params.ParamCount);
    ParamWindow& par = *Windows().Par;
    for (int r = 1; r <= MaxParams; ++r) par.SetStartText(r, Edits[r]->text().toStdString());
    run.ModelValid = true;
    run.ParamsValid = true;
    run.SimulatedResults = false;
    Windows().Main->SimulateCurrentModel(true);
}

void TProsimForm::LoadFromParameterForm() {
    const ParamWindow& par = *Windows().Par;
    for (int r = 1; r <= MaxParams; ++r) Edits[r]->setText(Q(par.StartText(r)));
}

void TProsimForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only when the window appears. Clicking back into it from the main
    // window must not put the default values back over what was typed.
    if (!event->spontaneous()) FormActivate();
}

void TProsimForm::FormActivate() {
    ParamSet& p = State().Params;
    ShowParameterNames(p.ParamCount);
    for (int r = 1; r <= p.ParamCount; ++r) p.Value[r] = ElementKindTable(p.Kind[r]).DefaultStart;
    ShowSimulatorValues(false);
    UpdateSimulation();
    Label1->setText(Q(State().Circuit.Code));
    const std::string path = TCDCForm::PicturePath(Label1->text().toStdString());
    QPixmap pic;
    if (!pic.load(Q(path))) platform::ReportError("Circuit picture not found: " + path);
    Image1->setPixmap(pic);
}

void TProsimForm::RefreshBitBtnClick() { UpdateSimulation(); }

}  // namespace pellucor::fitwin
