#include "dialogs/fit/TParForm.h"

#include <QCheckBox>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <cmath>

#include "core/ResultFiles.h"
#include "core/RoughSearch.h"
#include "dialogs/fit/FitWindowLinks.h"
#include "platform/Services.h"

namespace pellucor::fitwin {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Component numbers of the grid, by row: the form grew in three blocks, so
// the numbering jumps between rows 8/9 and 12/13.
int LabelNumber(int r) { return r <= 8 ? r : r + 8; }
int StartNumber(int r) { return r <= 8 ? r : r <= 12 ? r + 17 : r + 38; }
int EndNumber(int r) { return r <= 8 ? r + 8 : r <= 12 ? r + 21 : r + 41; }
int ErrorNumber(int r) { return r <= 8 ? r + 17 : r <= 12 ? r + 25 : r + 44; }

template <class W>
W* Named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h = 16) {
    auto* l = Named(new QLabel(text, parent), name);
    l->setGeometry(x, y, w, h);
    return l;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 80,
                        int h = 24) {
    auto* b = Named(new QPushButton(text, parent), name);
    b->setGeometry(x, y, w, h);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TParForm::TParForm(QWidget* owner) : QDialog(owner) {
    setObjectName("ParForm");
    setWindowTitle("Edit parameters and run (in iterate, monitor, or simulate mode)");
    setFixedSize(544, 454);
    QFont small = font();  // the dense layout is made for a small dialog font
    small.setPointSize(8);
    setFont(small);

    StaticText1 = MakeLabel(this, "StaticText1", "Input data :", 8, 8, 70);
    FnameLabel = MakeLabel(this, "FnameLabel", " ", 80, 8, 280);
    CDCSText = MakeLabel(this, "CDCSText", "Model", 368, 8, 40);
    CDCLabel = MakeLabel(this, "CDCLabel", "", 408, 8, 132);

    const int colY = 34;
    MakeLabel(this, "ElementCaption", "Element", 8, colY, 100);
    MakeLabel(this, "FixedCaption", "Fixed", 146, colY, 30);
    MakeLabel(this, "SignCaption", "Sign", 174, colY, 26);
    MakeLabel(this, "StartCaption", "Start", 200, colY, 70);
    MakeLabel(this, "EndCaption", "End", 272, colY, 70);
    ErrorLabel = MakeLabel(this, "ErrorLabel", "Pct. error", 344, colY, 70);
    MakeLabel(this, "SearchCaption", "??", 416, colY, 24);

    for (int r = 1; r <= MaxParams; ++r) {
        const int y = 56 + 24 * (r - 1);
        RowLabels[r] = MakeLabel(this, "", "", 8, y + 2, 140);
        RowLabels[r]->setObjectName(QString("Label%1").arg(LabelNumber(r)));
        FixedBoxes[r] = Named(new QCheckBox(this), QString("CheckBox%1").arg(r));
        FixedBoxes[r]->setGeometry(152, y, 20, 20);
        SignBoxes[r] = Named(new QCheckBox(this), QString("CheckBox%1").arg(30 + r));
        SignBoxes[r]->setGeometry(176, y, 20, 20);
        StartEdits[r] = Named(new QLineEdit(this), QString("Edit%1").arg(StartNumber(r)));
        StartEdits[r]->setGeometry(200, y, 70, 21);
        EndEdits[r] = Named(new QLineEdit(this), QString("Edit%1").arg(EndNumber(r)));
        EndEdits[r]->setGeometry(272, y, 70, 21);
        ErrorEdits[r] = Named(new QLineEdit(this), QString("Edit%1").arg(ErrorNumber(r)));
        ErrorEdits[r]->setGeometry(344, y, 70, 21);
        SearchBoxes[r] = Named(new QCheckBox(this), QString("CheckBox%1").arg(15 + r));
        SearchBoxes[r]->setGeometry(416, y, 20, 20);
    }

    const int x = 448;
    WgtSText = MakeLabel(this, "WgtSText", "Weighting factor", x, 56, 92);
    WgtLabel = MakeLabel(this, "WgtLabel", "", x, 72, 92);
    ChiSqrLabel = MakeLabel(this, "ChiSqrLabel", "Chi-squared", x, 92, 92);
    Label9 = MakeLabel(this, "Label9", "", x, 108, 92);
    Label11 = MakeLabel(this, "Label11", "Meas. errors in Z", x, 128, 92);
    Label13 = MakeLabel(this, "Label13", "", x, 144, 92);

    GroupBox1 = Named(new QGroupBox(this), "GroupBox1");
    GroupBox1->setGeometry(x, 164, 92, 98);
    auto* runCaption = MakeLabel(GroupBox1, "StaticText2", "Run Mode", 6, 2, 80);
    (void)runCaption;
    BatchRadioBtn = Named(new QRadioButton("Batch", GroupBox1), "BatchRadioBtn");
    BatchRadioBtn->setGeometry(6, 20, 84, 18);
    BatchRadioBtn->setEnabled(false);
    IternRadioBtn = Named(new QRadioButton("Iterate", GroupBox1), "IternRadioBtn");
    IternRadioBtn->setGeometry(6, 38, 84, 18);
    ReviewRadioBtn = Named(new QRadioButton("Monitor", GroupBox1), "ReviewRadioBtn");
    ReviewRadioBtn->setGeometry(6, 56, 84, 18);
    ReviewRadioBtn->setChecked(true);
    SimnRadioBtn = Named(new QRadioButton("Simulate", GroupBox1), "SimnRadioBtn");
    SimnRadioBtn->setGeometry(6, 74, 84, 18);

    StaticText3 = MakeLabel(this, "StaticText3", "Apply to Start?", x, 268, 92);
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setGeometry(x, 284, 92, 42);
    SignCheckBox = Named(new QCheckBox("Signs", Panel1), "SignCheckBox");
    SignCheckBox->setGeometry(4, 2, 84, 18);
    InitCheckBox = Named(new QCheckBox("Values", Panel1), "InitCheckBox");
    InitCheckBox->setGeometry(4, 21, 84, 18);

    Label12 = MakeLabel(this, "Label12", " ", x, 330, 92);
    Label12->setStyleSheet("background-color: yellow;");
    AutoSelBtn1 = MakeButton(this, "AutoSelBtn1", "Search", x, 350, 92);
    UpdateButton1 = MakeButton(this, "UpdateButton1", "Reset", x, 376, 92);
    Import = MakeButton(this, "Import", "Import", x, 402, 92);

    LockButton = MakeButton(this, "LockButton", "Lock All", 8, 426);
    FreeButton = MakeButton(this, "FreeButton", "Free All", 92, 426);
    PrintButton1 = MakeButton(this, "PrintButton1", "Print/Copy", 176, 426);
    HelpBtn1 = MakeButton(this, "HelpBtn1", "Help", 260, 426);
    OKBitBtn = MakeButton(this, "OKBitBtn", "OK", 368, 428, 80);
    CancelBitBtn = MakeButton(this, "CancelBitBtn", "Cancel", 456, 428, 80);

    connect(OKBitBtn, &QPushButton::clicked, this, [this] { OKBitBtnClick(); });
    connect(CancelBitBtn, &QPushButton::clicked, this, [this] { reject(); });
    connect(UpdateButton1, &QPushButton::clicked, this, [this] { UpdateButton1Click(); });
    connect(LockButton, &QPushButton::clicked, this, [this] { LockButtonClick(); });
    connect(FreeButton, &QPushButton::clicked, this, [this] { FreeButtonClick(); });
    connect(AutoSelBtn1, &QPushButton::clicked, this, [this] { AutoSelBtn1Click(); });
    connect(Import, &QPushButton::clicked, this, [this] { ImportClick(); });
    connect(PrintButton1, &QPushButton::clicked, this, [this] { PrintButton1Click(); });
    connect(HelpBtn1, &QPushButton::clicked, this, [this] { HelpBtn1Click(); });
}

// ---- controls ---------------------------------------------------------------

std::string TParForm::StartText(int row) const { return StartEdits[row]->text().toStdString(); }
void TParForm::SetStartText(int row, const std::string& t) { StartEdits[row]->setText(Q(t)); }
std::string TParForm::EndText(int row) const { return EndEdits[row]->text().toStdString(); }
void TParForm::SetEndText(int row, const std::string& t) { EndEdits[row]->setText(Q(t)); }
void TParForm::SetErrorText(int row, const std::string& t) { ErrorEdits[row]->setText(Q(t)); }
bool TParForm::FixedBox(int row) const { return FixedBoxes[row]->isChecked(); }
void TParForm::SetFixedBox(int row, bool on) { FixedBoxes[row]->setChecked(on); }
bool TParForm::SignBox(int row) const { return SignBoxes[row]->isChecked(); }
void TParForm::SetSignBox(int row, bool on) { SignBoxes[row]->setChecked(on); }
bool TParForm::SearchBox(int row) const { return SearchBoxes[row]->isChecked(); }
void TParForm::SetSearchBox(int row, bool on) { SearchBoxes[row]->setChecked(on); }
void TParForm::SetRowLabel(int row, const std::string& t) { RowLabels[row]->setText(Q(t)); }
std::string TParForm::CdcLabel() const { return CDCLabel->text().toStdString(); }
void TParForm::SetCdcLabel(const std::string& t) { CDCLabel->setText(Q(t)); }
void TParForm::SetChiSqText(const std::string& t) { Label9->setText(Q(t)); }
void TParForm::SetErrorEstimateText(const std::string& t) { Label13->setText(Q(t)); }

void TParForm::SetRunModeRadios(bool iterate, bool monitor, bool simulate, bool /*batch*/) {
    // Each button takes its own flag; the group's exclusiveness would refuse
    // to clear a checked button, so it is set aside while they are set.
    QRadioButton* buttons[] = {IternRadioBtn, ReviewRadioBtn, SimnRadioBtn, BatchRadioBtn};
    for (QRadioButton* b : buttons) b->setAutoExclusive(false);
    IternRadioBtn->setChecked(iterate);
    ReviewRadioBtn->setChecked(monitor);
    SimnRadioBtn->setChecked(simulate);
    for (QRadioButton* b : buttons) b->setAutoExclusive(true);
}

void TParForm::SetInfoTexts(const std::string& dataFile, const std::string& weighting,
                            const std::string& errorCaption) {
    FnameLabel->setText(Q(dataFile));
    WgtLabel->setText(Q(weighting));
    ErrorLabel->setText(Q(errorCaption));
}

// ---- operations -------------------------------------------------------------

void TParForm::ApplyStartOptions() {
    ProgramState& s = State();
    ParamSet& p = s.Params;
    SignCheckBox->setChecked(ReadSigns() > 0);
    if (InitCheckBox->isChecked()) {
        s.Run.StartValuesApplied = true;
        s.Run.UserStartValues = false;
        ReadStartValues();
        ReadSigns();
        // The Sign boxes alone decide the signs.
        for (int r = 1; r <= p.ParamCount; ++r) p.Value[r] = std::fabs(p.Value[r]) * p.Sign[r];
    } else {
        AutoStartValues();
        s.Run.StartValuesApplied = true;
        s.Run.UserStartValues = false;
    }
}

void TParForm::ImportParameterFile(const std::string& path) {
    ProgramState& s = State();
    // The code written inside the file decides, not its name: a renamed file
    // or a name without blank or point is still judged by what it holds. The
    // read changes the parameter set, so a refused file is undone.
    const ParamSet keptParams = s.Params;
    const FitSettings keptFit = s.Fit;
    const std::string fileCode = ReadParameterFileForImport(path);
    if (fileCode.empty()) return;  // refused with its own message; nothing changed
    if (fileCode != s.Circuit.Code) {
        s.Params = keptParams;
        s.Fit = keptFit;
        platform::ShowMessage(fileCode, "Cannot import values for a different model.");
        return;
    }
    // The reader takes an area of 1 from an older file without an area line,
    // but the data in memory were read with the area the user entered, and
    // results saved later must name that area: the import brings values only.
    s.Fit.SampleArea = keptFit.SampleArea;
    ParamSet& p = s.Params;
    for (int r = 1; r <= p.ParamCount; ++r) p.Value[r] = std::fabs(p.Value[r]) * p.Sign[r];
    bool anyNegative = false;
    for (int r = 1; r <= MaxParams; ++r) {
        p.Sign[r] = 1.0;
        if (r <= p.ParamCount && p.Value[r] < 0) {
            p.Sign[r] = -1.0;
            anyNegative = true;
        }
    }
    // The window's Fixed boxes decide what is fixed; the import leaves them.
    for (int r = 1; r <= MaxParams; ++r) p.Fixed[r] = keptParams.Fixed[r];
    ShowSignBoxes();
    ShowStartValues(false);
    SignCheckBox->setChecked(anyNegative);
    InitCheckBox->setChecked(true);
    s.Run.UserStartValues = true;
}

void TParForm::ReadRunMode() {
    RunState& run = State().Run;
    run.BatchMode = BatchRadioBtn->isChecked();
    run.IterateMode = IternRadioBtn->isChecked();
    run.MonitorMode = ReviewRadioBtn->isChecked();
    run.SimulateMode = SimnRadioBtn->isChecked();
    if (run.IterateMode) ApplyStartOptions();
}

// ---- handlers ---------------------------------------------------------------

void TParForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only when the window appears: regaining the focus must not touch what
    // the user typed.
    if (!event->spontaneous()) FormActivate();
}

void TParForm::FormActivate() {
    ProgramState& s = State();
    s.Run.PerAreaUnits = std::fabs(s.Fit.SampleArea - 1.0) >= 1e-6;
    ShowModelInfo(s.Files.DataFileName);
    s.Run.SearchRequested = false;
    if (s.Run.SimulateMode) FnameLabel->setText(" ");
    Label12->setText(" ");
    if (s.Run.MonitorMode)
        ReviewRadioBtn->setChecked(true);
    else if (s.Run.IterateMode)
        IternRadioBtn->setChecked(true);
    else if (s.Run.SimulateMode)
        SimnRadioBtn->setChecked(true);
    importFolder = s.Folders.ParFolder;
    if (s.Run.ResetParamWindow) {
        SignCheckBox->setChecked(false);
        InitCheckBox->setChecked(false);
        ClearSignBoxes();
        ResetUnusedSigns();
        if (!s.Run.SimulateMode) ShowStartValues(true);
    } else if (!s.Run.SimulateMode) {
        SignCheckBox->setChecked(true);
        InitCheckBox->setChecked(s.Run.StartValuesApplied || s.Run.UserStartValues);
        ShowStartValues(false);
        ShowSignBoxes();
    }
    KeepOpened();
}

void TParForm::KeepOpened() {
    const ProgramState& s = State();
    Opened& o = opened_;
    for (int r = 1; r <= MaxParams; ++r) {
        o.start[r] = StartEdits[r]->text();
        o.fixed[r] = FixedBoxes[r]->isChecked();
        o.sign[r] = SignBoxes[r]->isChecked();
        o.search[r] = SearchBoxes[r]->isChecked();
    }
    o.signs = SignCheckBox->isChecked();
    o.values = InitCheckBox->isChecked();
    o.iterate = IternRadioBtn->isChecked();
    o.monitor = ReviewRadioBtn->isChecked();
    o.simulate = SimnRadioBtn->isChecked();
    o.requested = Label12->text();
    o.params = s.Params;
    o.chiSq = s.Fit.ChiSq;
    o.userStartValues = s.Run.UserStartValues;
    o.startValuesApplied = s.Run.StartValuesApplied;
    o.searchRequested = s.Run.SearchRequested;
}

// A cancelled edit must not live on: the Start edits and the boxes are what
// the next computation reads (a typed value would become a fixed parameter's
// value there), and an import already put another file's values, errors and
// chi-squared into the results in memory, which a save would then write.
void TParForm::reject() {
    const Opened& o = opened_;
    for (int r = 1; r <= MaxParams; ++r) {
        StartEdits[r]->setText(o.start[r]);
        FixedBoxes[r]->setChecked(o.fixed[r]);
        SignBoxes[r]->setChecked(o.sign[r]);
        SearchBoxes[r]->setChecked(o.search[r]);
    }
    SignCheckBox->setChecked(o.signs);
    InitCheckBox->setChecked(o.values);
    // The batch button cannot be pressed here; it stays as it is.
    SetRunModeRadios(o.iterate, o.monitor, o.simulate, false);
    Label12->setText(o.requested);
    ProgramState& s = State();
    s.Params = o.params;
    s.Fit.ChiSq = o.chiSq;
    s.Run.UserStartValues = o.userStartValues;
    s.Run.StartValuesApplied = o.startValuesApplied;
    s.Run.SearchRequested = o.searchRequested;
    QDialog::reject();
}

void TParForm::OKBitBtnClick() {
    ReadRunMode();
    accept();
}

void TParForm::UpdateButton1Click() { CopyEndToStart(); }
void TParForm::LockButtonClick() { LockAllParameters(); }
void TParForm::FreeButtonClick() { FreeAllParameters(); }

void TParForm::AutoSelBtn1Click() {
    RunState& run = State().Run;
    run.SearchRequested = !run.SearchRequested;
    if (run.SearchRequested) {
        Label12->setText("Requested");
        run.StartValuesApplied = true;
        run.UserStartValues = false;
        InitCheckBox->setChecked(true);
        CopyEndToStart();
    } else {
        Label12->setText(" ");
    }
}

void TParForm::ImportClick() {
    platform::FileDialogRequest req;
    req.title = "Import parameters";
    req.initialDir = importFolder;
    req.filter = "Parameters (*.par);;All files (*)";
    req.defaultSuffix = "par";
    const std::optional<std::string> path = platform::services().fileDialogs->OpenFile(req);
    if (!path) return;
    ImportParameterFile(*path);
}

void TParForm::PrintButton1Click() {
    if (FitLinks().ShowResultsViewer) FitLinks().ShowResultsViewer();
}

void TParForm::HelpBtn1Click() {
    if (FitLinks().ShowHelpWindow) FitLinks().ShowHelpWindow("TInstEditForm");
}

}  // namespace pellucor::fitwin
