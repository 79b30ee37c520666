#include "mainwindow/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

#include "core/FitDriver.h"
#include "core/ProgramState.h"
#include "core/StartUp.h"
#include "core/TextHelpers.h"
#include "dialogs/fit/FitWindowLinks.h"
#include "dialogs/help/AbtFlashForm.h"
#include "dialogs/help/AbtModalForm.h"
#include "mainwindow/ButtonPictures.h"
#include "platform/Desktop.h"
#include "platform/Services.h"
#include "platform/qt/ModalDialogs.h"

namespace pellucor::mainwindow {

namespace {

TMainForm* g_mainForm = nullptr;

const char* const kRunningText =
    "A fit is running. Wait until it ends, or close the \"Please wait\" window to stop it.";

// Starts another program and waits for its end with `window` disabled: what
// the person clicks meanwhile reaches a disabled window and is dropped, not
// carried out afterwards.
int RunAndWaitDisabled(QWidget& window, const std::string& path) {
    struct Disabled {
        QWidget& w;
        explicit Disabled(QWidget& target) : w(target) {
            w.setEnabled(false);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        ~Disabled() {
            QCoreApplication::processEvents();
            w.setEnabled(true);
        }
        Disabled(const Disabled&) = delete;
        Disabled& operator=(const Disabled&) = delete;
    } disabled(window);
    return platform::desktop().programs->RunAndWait(path);
}

}  // namespace

// A menu caption as the person reads it: "&&" shows one "&", a single "&"
// only marks the access key.
std::string PlainCaption(const QString& caption) {
    QString c = caption;
    c.replace("&&", QString(QChar(0x1)));
    c.remove('&');
    c.replace(QChar(0x1), '&');
    return c.toStdString();
}

TMainForm* MainForm() { return g_mainForm; }

// What the engine asks of the main window, passed on to it.
class TMainForm::Hooks final : public MainWindowHooks {
public:
    explicit Hooks(TMainForm& f) : f_(f) {}
    void Replot() override { f_.Replot(State().Run.PlotKind); }
    void SetDialogFolders() override {
        const AppFolders& a = State().Folders;
        f_.Dialogs.OpenDialog1.initialDir = a.DataFolder;
        f_.Dialogs.SaveDialog2.initialDir = a.DataFolder;
        f_.Dialogs.OpenDialog2.initialDir = a.ParFolder;
        f_.Dialogs.SaveDialog1.initialDir = a.ParFolder;
        f_.Dialogs.SaveDialog3.initialDir = a.ExportFolder;
    }
    void SetChartFontSizes() override { f_.chart_->SetFontSizes(f_.Largefont1->isChecked()); }
    void ShowSampleArea() override { f_.ShowSampleArea(); }
    void SetModelComboText(const std::string& code) override {
        // The model dialog's combo box, once that window is built.
        if (QWidget* w = f_.FindWindow("CDCForm"))
            if (auto* combo = w->findChild<QComboBox*>("ComboBox1"))
                combo->setEditText(QString::fromStdString(code));
    }
    void HidePhaseAngleSeries() override { f_.chart_->HidePhaseAngleSeries(); }
    void SetChartBackground(bool white) override { f_.chart_->SetBackground(white); }
    void ShowSplashScreen() override { f_.ShowSplashScreen(); }
    void SimulateCurrentModel(bool nameAsSimulationFile) override {
        f_.SimulateCurrentModel(nameAsSimulationFile);
    }
    bool RefusedWhileRunning(const std::string& command) override {
        return f_.RefusedWhileRunning(QString::fromStdString(command));
    }

private:
    TMainForm& f_;
};

// Locks the data commands for one run and gives every control back the
// state it had, whatever way the run ends.
class TMainForm::RunLock {
public:
    explicit RunLock(TMainForm& f) : f_(f) {
        f_.RunInProgress = true;
        for (QAction* a : f_.runGuardedActions_) {
            actions_.push_back(a->isEnabled());
            a->setEnabled(false);
        }
        for (QWidget* w : f_.runGuardedControls_) {
            controls_.push_back(w->isEnabled());
            w->setEnabled(false);
        }
    }
    ~RunLock() {
        for (size_t i = 0; i < actions_.size(); ++i) f_.runGuardedActions_[i]->setEnabled(actions_[i]);
        for (size_t i = 0; i < controls_.size(); ++i) f_.runGuardedControls_[i]->setEnabled(controls_[i]);
        f_.RunInProgress = false;
    }
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

private:
    TMainForm& f_;
    std::vector<bool> actions_, controls_;
};

TMainForm::TMainForm(const ProgramProfile& profile, MainFormOptions options)
    : QMainWindow(nullptr), profile_(profile), options_(options) {
    setObjectName("MainForm");
    g_mainForm = this;
    setWindowTitle(profile_.Caption());
    resize(664, 494);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bevel = new QFrame(central);
    bevel->setObjectName("Bevel1");
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setFixedHeight(2);
    layout->addWidget(bevel);
    // What the plots read of the window; asked at each plot, so the menus
    // built below are there by then.
    PlotWindowLinks links;
    links.GridLines = [this] { return !Gridlines1 || Gridlines1->isChecked(); };
    links.FixedWindow = [this] { return !ScreenSizeFixed1 || ScreenSizeFixed1->isChecked(); };
    links.Maximised = [this] { return WindowMaximised(); };
    links.LargeFontMenu = [this] { return Largefont1 && Largefont1->isChecked(); };
    links.LargeFontBox = [this] { return CheckBox1 && CheckBox1->isChecked(); };
    links.FrequencyLabelsOn = [this] { return FrequencyLabelsOn; };
    links.HidePointLabel = [this] {
        if (Label6) Label6->hide();
    };
    links.ClientSize = [this] { return platform::Size{width(), height()}; };
    links.ScreenSize = [this] {
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        const QSize size = screen ? screen->availableSize() : QSize(1280, 1024);
        return platform::Size{size.width(), size.height()};
    };
    links.SetClientSize = [this](int w, int h) { resize(w, h); };
    links.PictureCode = [this] {
        // The picture of the code in the model library's box, once that
        // window is built; the current code until then.
        if (QWidget* w = FindWindow("CDCForm"))
            if (auto* combo = w->findChild<QComboBox*>("ComboBox1")) return combo->currentText().toStdString();
        return State().Circuit.Code;
    };
    chart_ = MakeMainChart(central, std::move(links), profile_.Plots());
    layout->addWidget(chart_->Widget(), 1);
    setCentralWidget(central);

    // Two yellow labels lying on the chart, invisible at start.
    for (QLabel** label : {&Label6, &Label7}) {
        *label = new QLabel(chart_->Widget());
        (*label)->setStyleSheet("background: yellow;");
        (*label)->hide();
    }
    Label6->setObjectName("Label6");
    Label7->setObjectName("Label7");
    Label7->setText("Chsq:  ");

    BuildMenus();
    BuildPopupMenu();
    BuildToolbars();
    profile_.ExtendMainWindow(*this);

    for (QWidget* w : {static_cast<QWidget*>(this), chart_->Widget()}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& pos) { PopupMenu1->popup(w->mapToGlobal(pos)); });
    }

    hooks_ = std::make_unique<Hooks>(*this);
    WindowSet set = Windows();
    set.Main = hooks_.get();
    InstallWindows(set);

    FormCreate();
}

TMainForm::~TMainForm() {
    FormDestroy();
    WindowSet set = Windows();
    set.Main = nullptr;
    InstallWindows(set);
    if (g_mainForm == this) g_mainForm = nullptr;
}

// ---- creation and teardown ----

void TMainForm::FormCreate() {
    AllocateWorkArrays();
    CreateWindows(profile_.OwnedWindows(), owned_);
    InstallFitWindows(true);
    chart_->ShowStartSeries();
    ProgramState& s = State();
    s.Group.GroupMode = false;
    s.Group.GroupShowsCalculated = true;
    s.Group.GroupPlotReady = false;
    FrequencyLabelsOn = true;
    s.Run.DataLoaded = false;
    s.Group.GroupCount = 1;
    chart_->SetLabelFontNormal();
    // An error inside the start-up ends it where it happened; the window
    // opens with the steps that ran.
    try {
        StartUp();
        profile_.AfterDefaultSettings();
        s.Fit.SimulationChiSqFromNoise = profile_.SimulationChiSqFromNoise();
    } catch (const std::exception& e) {
        platform::ShowMessage(e.what(), "Start-up");
    }
    OpenDialog1FileName = s.Files.DataFileName;
}

void TMainForm::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    WriteRegistrySettings();
    InstallFitWindows(false);
    for (auto it = entry_.rbegin(); it != entry_.rend(); ++it) delete it->second;
    entry_.clear();
    for (auto it = owned_.rbegin(); it != owned_.rend(); ++it) delete it->second;
    owned_.clear();
}

void TMainForm::CreateWindows(const WindowList& list,
                              std::vector<std::pair<std::string, QWidget*>>& into) {
    for (const WindowSlot& slot : list) {
        if (!slot.create) continue;
        QWidget* w = slot.create(this);
        if (!w) continue;
        if (w->objectName().isEmpty()) w->setObjectName(QString::fromStdString(slot.name));
        // Windows of their own, not widgets inside the main window.
        if (!w->isWindow()) w->setWindowFlag(Qt::Window, true);
        w->hide();
        into.emplace_back(slot.name, w);
    }
}

// The parameter and options windows are the engine's live stores: the engine
// reads and writes their controls once they are built. Their buttons that
// open windows made elsewhere (help, tips, results viewer) reach them here.
void TMainForm::InstallFitWindows(bool install) {
    WindowSet set = Windows();
    auto* par = dynamic_cast<ParamWindow*>(FindWindow("ParForm"));
    auto* opt = dynamic_cast<OptionsWindow*>(FindWindow("OptForm"));
    fitwin::FitWindowLinks& links = fitwin::FitLinks();
    if (install) {
        if (par) set.Par = par;
        if (opt) set.Opt = opt;
        // A help window's global is its class name without the leading T.
        links.ShowHelpWindow = [this](const std::string& className) {
            ShowModeless(className.substr(className.rfind('T', 0) == 0 ? 1 : 0), "Help");
        };
        links.ShowTips = [this] {
            if (auto* tips = dynamic_cast<QDialog*>(FindWindow("TechForm1")))
                platform::qt::RunModal(*tips);
            else
                NotAvailable("Show Tips");
        };
        links.ShowResultsViewer = [this] {
            if (auto* viewer = dynamic_cast<QDialog*>(FindWindow("ClpForm")))
                platform::qt::RunModal(*viewer);
            else
                NotAvailable("Print/Copy");
        };
    } else {
        if (par && set.Par == par) set.Par = nullptr;
        if (opt && set.Opt == opt) set.Opt = nullptr;
        links = {};
    }
    InstallWindows(set);
}

void TMainForm::CreateEntryWindows() { CreateWindows(profile_.EntryWindows(), entry_); }

QWidget* TMainForm::FindWindow(const std::string& name) const {
    for (const auto* list : {&owned_, &entry_})
        for (const auto& [n, w] : *list)
            if (n == name) return w;
    return nullptr;
}

std::vector<std::string> TMainForm::CreatedWindowNames() const {
    std::vector<std::string> names;
    for (const auto* list : {&owned_, &entry_})
        for (const auto& entry : *list) names.push_back(entry.first);
    return names;
}

void TMainForm::ShowSplashScreen() {
    if (options_.splashMs <= 0) return;
    auto* splash = new dialogs::TAbtFlashForm(this, options_.splashMs);
    splash->show();
    // One message at a time, waiting when none is pending, until the
    // splash window's timer clears the flag.
    do {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    } while (State().Run.SplashShowing);
    delete splash;
}

void TMainForm::ShowSampleArea() {
    Label1->setText(QString::fromStdString(FormatGeneral(State().Fit.SampleArea, 4)));
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (RunInProgress) {
        platform::ShowMessage(kRunningText, "Exit");
        event->ignore();
        return;
    }
    event->accept();
    emit Closed();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        // A click on the tool bar outside its buttons, and on the sample-area panel.
        if (watched == Toolbar) {
            Model1Click();
            return true;
        }
        if (watched == Panel1) {
            SurfaceBtn1Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- building the controls ----

QAction* TMainForm::AddCommand(QMenu* menu, const char* name, const QString& caption,
                               void (TMainForm::*handler)(), bool guard) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (menu) menu->addAction(a);
    if (handler) connect(a, &QAction::triggered, this, handler);
    if (guard) GuardDuringRun(a);
    return a;
}

QAction* TMainForm::AddCheckCommand(QMenu* menu, const char* name, const QString& caption,
                                    bool checked, void (TMainForm::*handler)(), bool guard) {
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setCheckable(true);
    a->setChecked(checked);
    if (menu) menu->addAction(a);
    // The menu flips a checkable entry before it reports the click; the
    // handler flips it itself, so the menu's flip is taken back first.
    connect(a, &QAction::triggered, this, [this, a, handler] {
        a->setChecked(!a->isChecked());
        (this->*handler)();
    });
    if (guard) GuardDuringRun(a);
    return a;
}

QToolButton* TMainForm::AddButton(QToolBar* bar, const char* name, const QString& hint,
                                  void (TMainForm::*handler)(), bool guard) {
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setFixedSize(34, 34);
    const QIcon picture = ButtonPicture(b->objectName());
    if (!picture.isNull()) {
        b->setIcon(picture);
        b->setIconSize(QSize(kButtonPictureSize, kButtonPictureSize));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
    } else {
        // A button without a picture of its own shows the start of its hint.
        QString text = hint;
        text.remove('&');
        b->setText(text.left(4));
    }
    bar->addWidget(b);
    connect(b, &QToolButton::clicked, this, handler);
    if (guard) GuardDuringRun(b);
    ToolButtons.push_back(b);
    return b;
}

QCheckBox* TMainForm::AddCheckBox(QToolBar* bar, const char* name, const QString& caption,
                                  bool checked, void (TMainForm::*handler)()) {
    auto* c = new QCheckBox(caption, bar);
    c->setObjectName(name);
    c->setChecked(checked);
    bar->addWidget(c);
    // The box keeps the tick the person gave it; the handler flips the menu entry.
    connect(c, &QCheckBox::clicked, this, handler);
    return c;
}

void TMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    auto menu = [&](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        return m;
    };

    QMenu* file = menu("File1", "&File");
    Open1 = AddCommand(file, "Open1", "&Open ....", &TMainForm::Open1Click, true);
    Paste1 = AddCommand(file, "Paste1", "Paste &Z Data", &TMainForm::Paste1Click, true);
    file->addSeparator();
    RetrievePars = AddCommand(file, "RetrievePars", "&Retrive Parameters", &TMainForm::RetrieveParsClick, true);
    // Saving is refused during a fit: the parameter slots then hold the
    // simplex's trial point, not the values the file's chi-squared and errors
    // belong to, and the save takes the parameter window's entries into them.
    SavePars = AddCommand(file, "SavePars", "Save Parameters", &TMainForm::SaveParsClick, true);
    file->addSeparator();
    SaveImpedaneData1 = AddCommand(file, "SaveImpedaneData1", "Save &Impedance Data",
                                   &TMainForm::SaveImpedaneData1Click, true);
    SaveasDielectric1 = AddCommand(file, "SaveasDielectric1", "Save &Converted (C or Z Data)",
                                   &TMainForm::SaveasDielectric1Click, true);
    SaveasDielectric1->setEnabled(false);
    DeleteSelectedPoint1 = AddCommand(file, "DeleteSelectedPoint1", "Delete Selected Point",
                                      &TMainForm::DeleteSelectedPoint1Click, true);
    file->addSeparator();
    Exit1 = AddCommand(file, "Exit1", "E&xit", &TMainForm::Exit1Click, true);

    QMenu* run = menu("Run1", "&Run");
    Model1 = AddCommand(run, "Model1", "Select &Model && Run Mode", &TMainForm::Model1Click, true);
    ParamList = AddCommand(run, "ParamList", "&Edit Parameters && Run", &TMainForm::ParamListClick, true);
    ToClipboard = AddCommand(run, "ToClipboard", "&View, Print && Copy  Results", &TMainForm::ToClipboardClick);
    Option1 = AddCommand(run, "Option1", "&Options", &TMainForm::Option1Click, true);
    run->addSeparator();
    Simulator1 = AddCommand(run, "Simulator1", "Run in Simulate Mode", &TMainForm::Simulator1Click, true);
    noCPE1 = AddCommand(run, "noCPE1", "Convert CPEs to Capacitors", &TMainForm::noCPE1Click, true);

    QMenu* plot = menu("Plot1", "&Plot");
    Nyquist1 = AddCommand(plot, "Nyquist1", "&Nyquist", &TMainForm::Nyquist1Click);
    Bode1 = AddCommand(plot, "Bode1", "&Bode", &TMainForm::Bode1Click);
    RealImag1 = AddCommand(plot, "RealImag1", "&Real  / Imag", &TMainForm::RealImag1Click);
    Admittance1 = AddCommand(plot, "Admittance1", "&Admittance", &TMainForm::Admittance1Click);
    Capacitance2 = AddCommand(plot, "Capacitance2", "&Capacitance", &TMainForm::Capacitance2Click);
    Error1 = AddCommand(plot, "Error1", "&Errors", &TMainForm::Error1Click);
    YBode = AddCommand(plot, "YBode", "Bode (Y)", &TMainForm::YBodeClick);
    YReIm = AddCommand(plot, "YReIm", "Real / Imag (Y)", &TMainForm::YReImClick);
    plot->addSeparator();
    BodelogZ1 = AddCheckCommand(plot, "BodelogZ1", "Bode in &Logarithm", true, &TMainForm::BodelogZ1Click);
    Gridlines1 = AddCheckCommand(plot, "Gridlines1", "Show &Grid Lines", true, &TMainForm::Gridlines1Click);
    Largefont1 = AddCheckCommand(plot, "Largefont1", "Use Large &Fonts", false, &TMainForm::Largefont1Click);
    ScreenSizeFixed1 = AddCheckCommand(plot, "ScreenSizeFixed1", "Fixed &Window", true,
                                       &TMainForm::ScreenSizeFixed1Click);
    ReImLog = AddCheckCommand(plot, "ReImLog", "Re/Im in Logarithm", false, &TMainForm::ReImLogClick);
    Freqlabels1 = AddCheckCommand(plot, "Freqlabels1", "Freq. labels", true, &TMainForm::Freqlabels1Click);

    QMenu* output = menu("Output1", "&Output");
    PrintBothBtn1 = AddCommand(output, "PrintBothBtn1", "Select Items && &Print", &TMainForm::PrintBothBtn1Click);
    // No command in this program: greyed, so a click is not silently lost.
    // The circuit program binds it and gives it back.
    PrintProjectGroup = AddCommand(output, "PrintProjectGroup", "Print &Project Group", nullptr);
    PrintProjectGroup->setEnabled(false);
    output->addSeparator();
    Copypars = AddCommand(output, "Copypars", "Copy &Results", &TMainForm::CopyparsClick);
    CopyPlot = AddCommand(output, "CopyPlot", "&Copy Plot", &TMainForm::CopyPlotClick);
    SaveToMetafile = AddCommand(output, "SaveToMetafile", "&Save Plot", &TMainForm::SaveToMetafileClick);

    QMenu* tools = menu("Tools1", "&Tools");
    QMenu* exports = tools->addMenu("&Export Data");
    exports->setObjectName("ExportData1");
    export_Z = AddCommand(exports, "export_Z", "Impedance", &TMainForm::export_ZClick);
    export_Z1 = AddCommand(exports, "export_Z1", "Bode, Absolute", &TMainForm::export_Z1Click);
    export_angle = AddCommand(exports, "export_angle", "Bode, Angle", &TMainForm::export_angleClick);
    export_ZandZ1 = AddCommand(exports, "export_ZandZ1", "Real and  Imag", &TMainForm::export_ZandZ1Click);
    export_A = AddCommand(exports, "export_A", "Admittance", &TMainForm::export_AClick);
    export_C = AddCommand(exports, "export_C", "Capacitance", &TMainForm::export_CClick);
    YBodeAbs = AddCommand(exports, "YBodeAbs", "Bode (Y), Absolute", &TMainForm::YBodeAbsClick);
    YBodeAngle = AddCommand(exports, "YBodeAngle", "Bode (Y), Angle", &TMainForm::YBodeAngleClick);
    SurfaceBtn1 = AddCommand(tools, "SurfaceBtn1", "Enter Sample &Area", &TMainForm::SurfaceBtn1Click, true);
    CreateFolder1 = AddCommand(tools, "CreateFolder1", "Create New &Folder", &TMainForm::CreateFolder1Click);
    Headerlines1 = AddCommand(tools, "Headerlines1", "Append &Header Lines", &TMainForm::Headerlines1Click);
    PseudocapacitanceCalculator1 = AddCommand(tools, "PseudocapacitanceCalculator1", "Get &Pseudocapacitance",
                                              &TMainForm::PseudocapacitanceCalculator1Click);
    tools->addSeparator();
    ChangeTitle1 = AddCommand(tools, "ChangeTitle1", "Change Chart &Title", &TMainForm::ChangeTitle1Click);
    SampleIDs = AddCommand(tools, "SampleIDs", "Edit Sample IDs", &TMainForm::SampleIDsClick);
    SampleIDs->setEnabled(false);
    tools->addSeparator();
    SetupImageViewer1 = AddCommand(tools, "SetupImageViewer1", "Specify Image Viewer",
                                   &TMainForm::SetupImageViewer1Click);
    RunImageViewer1 = AddCommand(tools, "RunImageViewer1", "View Saved Plots", &TMainForm::RunImageViewer1Click);

    QMenu* dielectric = menu("Dielectric1", "&Dielectric");
    System1 = AddCheckCommand(dielectric, "System1", "Coductive System", true, &TMainForm::System1Click, true);
    Dielectricsystem1 = AddCheckCommand(dielectric, "Dielectricsystem1", "Dielectric System", false,
                                        &TMainForm::Dielectricsystem1Click, true);
    ImpedanceData1 = AddCheckCommand(dielectric, "ImpedanceData1", "Read Z Data", true,
                                     &TMainForm::ImpedanceData1Click, true);
    ImpedanceData1->setEnabled(false);
    DielectricData1 = AddCheckCommand(dielectric, "DielectricData1", "Read C Data", false,
                                      &TMainForm::DielectricData1Click, true);
    DielectricData1->setEnabled(false);

    MechanisticMenu = menu("Mechanistic1", "Mechanistic");
    profile_.BuildMechanisticMenu(*this, *MechanisticMenu);

    QMenu* help = menu("Help1", "&Help");
    HelpContent = AddCommand(help, "HelpContent", "&Contents", &TMainForm::HelpContentClick);
    Howtorun1 = AddCommand(help, "Howtorun1", "&How to Run", &TMainForm::Howtorun1Click);
    About1 = AddCommand(help, "About1", "&About", &TMainForm::About1Click);
}

void TMainForm::BuildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    QMenu* p = PopupMenu1;
    PopOpen = AddCommand(p, "PopOpen", "Open", &TMainForm::Open1Click, true);
    PopModel = AddCommand(p, "PopModel", "Select Model && Run Mode", &TMainForm::Model1Click, true);
    PopResults = AddCommand(p, "PopResults", "View, Print && Copy Results", &TMainForm::ToClipboardClick);
    PopRetrieve = AddCommand(p, "PopRetrieve", "Retrieve Parameters", &TMainForm::RetrieveParsClick, true);
    PopSimulator = AddCommand(p, "PopSimulator", "Run in Simulate Mode", &TMainForm::Simulator1Click, true);
    p->addSeparator();
    PopCopypars = AddCommand(p, "PopCopypars", "Copy &Results", &TMainForm::CopyparsClick);
    PopCopyPlot = AddCommand(p, "PopCopyPlot", "&Copy Plot", &TMainForm::CopyPlotClick);
    PopSavePlot = AddCommand(p, "PopSavePlot", "&Save Plot", &TMainForm::SaveToMetafileClick);
    PopRunImageViewer = AddCommand(p, "PopRunImageViewer", "View Saved Plots", &TMainForm::RunImageViewer1Click);
    p->addSeparator();
    // No command in this program (greyed); the circuit program binds it.
    PopWord = AddCommand(p, "PopWord", "MS &Word Document", nullptr);
    PopWord->setEnabled(false);
    p->addSeparator();
    PopSaveImpedance =
        AddCommand(p, "PopSaveImpedance", "Save &Impedance Data", &TMainForm::SaveImpedaneData1Click, true);
    PopDeletePoint = AddCommand(p, "PopDeletePoint", "&Delete Selected Point",
                                &TMainForm::DeleteSelectedPoint1Click, true);
}

void TMainForm::BuildToolbars() {
    Toolbar2 = addToolBar("Toolbar2");
    Toolbar2->setObjectName("Toolbar2");
    Toolbar2->setMovable(false);
    Toolbar2->setFixedHeight(41);
    AddButton(Toolbar2, "RetrieveParsBtn", "Retrieve pars", &TMainForm::RetrieveParsClick, true);
    AddButton(Toolbar2, "SaveParsBtn", "Save pars", &TMainForm::SaveParsClick, true);
    AddButton(Toolbar2, "PrintBtn", "Select items & print", &TMainForm::PrintBothBtn1Click);
    AddButton(Toolbar2, "CopyResultsBtn", "Copy results", &TMainForm::CopyparsClick);
    AddButton(Toolbar2, "CopyPlotBtn", "Copy plot", &TMainForm::CopyPlotClick);
    AddButton(Toolbar2, "SavePlotBtn", "Save plot", &TMainForm::SaveToMetafileClick);
    CheckBox1 = AddCheckBox(Toolbar2, "CheckBox1", "Large fonts", false, &TMainForm::Largefont1Click);
    CheckBox4 = AddCheckBox(Toolbar2, "CheckBox4", "Fixed window", true, &TMainForm::ScreenSizeFixed1Click);
    CheckBox2 = AddCheckBox(Toolbar2, "CheckBox2", "Bode in log", true, &TMainForm::BodelogZ1Click);
    CheckBox3 = AddCheckBox(Toolbar2, "CheckBox3", "Grid lines", true, &TMainForm::Gridlines1Click);

    addToolBarBreak();
    Toolbar = addToolBar("Toolbar");
    Toolbar->setObjectName("Toolbar");
    Toolbar->setMovable(false);
    Toolbar->setFixedHeight(40);
    Toolbar->installEventFilter(this);
    AddButton(Toolbar, "OpenBtn", "Open", &TMainForm::Open1Click, true);
    AddButton(Toolbar, "PasteBtn", "Paste Z Data", &TMainForm::Paste1Click, true);
    AddButton(Toolbar, "ModelBtn", "Select Model & Run Mode", &TMainForm::Model1Click, true);
    AddButton(Toolbar, "ParamBtn", "Edit parameters & run", &TMainForm::ParamListClick, true);
    AddButton(Toolbar, "ResultsBtn", "View results", &TMainForm::ToClipboardClick);
    AddButton(Toolbar, "OptionsBtn", "Options", &TMainForm::Option1Click, true);
    // The six plot kinds, one pressed at a time.
    PlotKindButtons = new QButtonGroup(this);
    PlotKindButtons->setExclusive(true);
    for (auto [name, hint, handler] :
         {std::tuple{"NyquistBtn", "Nyquist", &TMainForm::Nyquist1Click},
          std::tuple{"BodeBtn", "Bode", &TMainForm::Bode1Click},
          std::tuple{"RealImagBtn", "Real/Imag", &TMainForm::RealImag1Click},
          std::tuple{"AdmittanceBtn", "Admittance", &TMainForm::Admittance1Click},
          std::tuple{"CapacitanceBtn", "Capacitance", &TMainForm::Capacitance2Click},
          std::tuple{"ErrorBtn", "Error", &TMainForm::Error1Click}}) {
        QToolButton* b = AddButton(Toolbar, name, hint, handler);
        b->setCheckable(true);
        PlotKindButtons->addButton(b);
    }
    PlotKindButtons->buttons().first()->setChecked(true);
    AddButton(Toolbar, "SpeedButton8", "How to run?", &TMainForm::Howtorun1Click);

    Panel1 = new QFrame(Toolbar);
    Panel1->setObjectName("Panel1");
    Panel1->setToolTip("Enter sample area");
    Panel1->setStyleSheet("QFrame#Panel1 { background: yellow; }");
    Panel1->setCursor(Qt::PointingHandCursor);
    auto* panelRow = new QHBoxLayout(Panel1);
    panelRow->setContentsMargins(4, 2, 4, 2);
    Label1 = new QLabel("1.0", Panel1);
    Label1->setObjectName("Label1");
    StaticText1 = new QLabel("sq.cm", Panel1);
    StaticText1->setObjectName("StaticText1");
    panelRow->addWidget(Label1);
    panelRow->addWidget(StaticText1);
    Panel1->installEventFilter(this);
    Toolbar->addWidget(Panel1);
    GuardDuringRun(Panel1);

    CheckBox6 = AddCheckBox(Toolbar, "CheckBox6", "Re/Im in log", false, &TMainForm::ReImLogClick);
    CheckBox5 = AddCheckBox(Toolbar, "CheckBox5", "Freq. labels", true, &TMainForm::Freqlabels1Click);

    // A second "Select model and run mode" button, below the visible part of the bar.
    MasterBtn = new QPushButton("Select model and run mode", this);
    MasterBtn->setObjectName("MasterBtn");
    MasterBtn->hide();
    connect(MasterBtn, &QPushButton::clicked, this, &TMainForm::Model1Click);
    GuardDuringRun(MasterBtn);
}

// ---- helpers of the commands ----

void TMainForm::Replot(int kind) {
    ReplotLog.push_back(kind);
    chart_->Replot(kind);
}

void TMainForm::NotAvailable(const QString& command) {
    platform::ShowMessage("\"" + PlainCaption(command) + "\" is not available yet.", "Not available yet",
                          platform::MsgButtons::Ok, platform::MsgIcon::Information);
}

bool TMainForm::RefusedWhileRunning(const QString& command) {
    if (!RunInProgress) return false;
    platform::ShowMessage(kRunningText, command.toStdString(), platform::MsgButtons::Ok,
                          platform::MsgIcon::Warning);
    return true;
}

void TMainForm::ShowModeless(const std::string& window, const QString& command) {
    QWidget* w = FindWindow(window);
    if (!w) {
        NotAvailable(command);
        return;
    }
    w->show();
    // A window that was still open from an earlier dialog gets no new show
    // event; it must still be usable beside the dialog that asks for it now.
    platform::qt::KeepUsableBesideModal(*w);
    w->raise();
    w->activateWindow();
}

void TMainForm::RunLocked(const std::function<void()>& body) {
    if (RefusedWhileRunning("Run")) return;
    RunLock lock(*this);
    body();
}

int TMainForm::ComputeLocked(const std::string& dataFile) {
    int r = ComputeDataUnavailable;
    RunLocked([&] { r = ComputeAndShow(dataFile); });
    return r;
}

bool TMainForm::WindowMaximised() const { return isMaximized(); }

// ---- File ----

void TMainForm::DeleteSelectedPoint1Click() {
    Trace("DeleteSelectedPoint1Click");
    if (!RefusedWhileRunning("Delete Selected Point")) NotAvailable("Delete Selected Point");
}
void TMainForm::Exit1Click() {
    Trace("Exit1Click");
    if (RefusedWhileRunning("Exit")) return;
    close();
}

// ---- Run ----

void TMainForm::ToClipboardClick() {
    Trace("ToClipboardClick");
    NotAvailable("&View, Print && Copy  Results");
}
void TMainForm::Option1Click() {
    Trace("Option1Click");
    if (RefusedWhileRunning("Options")) return;
    auto* dialog = qobject_cast<QDialog*>(FindWindow("OptForm"));
    if (!dialog) {
        NotAvailable("&Options");
        return;
    }
    ProgramState& s = State();
    const int before = PackOptionFlags();
    if (!platform::qt::RunModal(*dialog)) return;
    Windows().Opt->ReadOptions();
    const int after = PackOptionFlags();
    s.Run.ReadyToRun = s.Run.DataLoaded && s.Run.ModelValid && s.Run.ParamsValid;
    if (after != before) {
        Replot(s.Run.PlotKind);
        // The recomputation minimises and pumps messages: the data must not change under it.
        if (s.Run.ReadyToRun) ComputeLocked(OpenDialog1FileName);
    }
    // The date format of the files follows PeriodDecimal where they are written.
    chart_->SetBackground(s.Options.WhiteBackground);
}
void TMainForm::noCPE1Click() {
    Trace("noCPE1Click");
    if (!RefusedWhileRunning("Convert CPEs to Capacitors")) NotAvailable("Convert CPEs to Capacitors");
}

// ---- Plot kinds and view switches ----

void TMainForm::PlotKindCommand(int kind) {
    State().Run.PlotKind = kind;
    if (!WindowMaximised() && !ScreenSizeFixed1->isChecked() && FixedWindowWidth > 0 &&
        FixedWindowHeight > 0)
        resize(FixedWindowWidth, FixedWindowHeight);
    Replot(kind);
}

void TMainForm::Nyquist1Click() { Trace("Nyquist1Click"); PlotKindCommand(1); }
void TMainForm::Bode1Click() { Trace("Bode1Click"); PlotKindCommand(2); }
void TMainForm::Admittance1Click() { Trace("Admittance1Click"); PlotKindCommand(3); }
void TMainForm::Error1Click() { Trace("Error1Click"); PlotKindCommand(4); }
void TMainForm::Capacitance2Click() { Trace("Capacitance2Click"); PlotKindCommand(5); }
void TMainForm::RealImag1Click() { Trace("RealImag1Click"); PlotKindCommand(6); }
void TMainForm::YBodeClick() { Trace("YBodeClick"); PlotKindCommand(7); }
void TMainForm::YReImClick() { Trace("YReImClick"); PlotKindCommand(8); }

void TMainForm::ViewSwitch(QAction* entry, std::initializer_list<int> kinds) {
    entry->setChecked(!entry->isChecked());
    const int kind = State().Run.PlotKind;
    bool redraw = kinds.size() == 0;
    for (int k : kinds) redraw = redraw || k == kind;
    if (redraw) Replot(kind);
}

void TMainForm::BodelogZ1Click() {
    Trace("BodelogZ1Click");
    State().Run.LogBodeZ = !BodelogZ1->isChecked();
    ViewSwitch(BodelogZ1, {2, 7});
}
void TMainForm::ReImLogClick() {
    Trace("ReImLogClick");
    State().Run.LogReIm = !ReImLog->isChecked();
    ViewSwitch(ReImLog, {6, 8});
}
void TMainForm::Freqlabels1Click() {
    Trace("Freqlabels1Click");
    FrequencyLabelsOn = !Freqlabels1->isChecked();
    ViewSwitch(Freqlabels1, {1, 3, 5});
}
void TMainForm::Gridlines1Click() {
    Trace("Gridlines1Click");
    ViewSwitch(Gridlines1, {});
}
void TMainForm::Largefont1Click() {
    Trace("Largefont1Click");
    Largefont1->setChecked(!Largefont1->isChecked());
    chart_->SetFontSizes(Largefont1->isChecked());
    Replot(State().Run.PlotKind);
}
void TMainForm::ScreenSizeFixed1Click() {
    Trace("ScreenSizeFixed1Click");
    const bool maximised = WindowMaximised();
    // Leaving the mode keeps the present size; entering it restores that size.
    if (!maximised && ScreenSizeFixed1->isChecked()) {
        FixedWindowHeight = height();
        FixedWindowWidth = width();
    }
    ScreenSizeFixed1->setChecked(!ScreenSizeFixed1->isChecked());
    if (!maximised && ScreenSizeFixed1->isChecked() && FixedWindowWidth > 0 && FixedWindowHeight > 0)
        resize(FixedWindowWidth, FixedWindowHeight);
    Replot(State().Run.PlotKind);
    if (!maximised)
        if (QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

// ---- Output ----

void TMainForm::PrintBothBtn1Click() { Trace("PrintBothBtn1Click"); NotAvailable("Select Items && &Print"); }
void TMainForm::CopyparsClick() { Trace("CopyparsClick"); NotAvailable("Copy &Results"); }
void TMainForm::CopyPlotClick() { Trace("CopyPlotClick"); NotAvailable("&Copy Plot"); }
void TMainForm::SaveToMetafileClick() { Trace("SaveToMetafileClick"); NotAvailable("&Save Plot"); }

// ---- Tools ----

void TMainForm::export_ZClick() { Trace("export_ZClick"); NotAvailable("Export Data, Impedance"); }
void TMainForm::export_Z1Click() { Trace("export_Z1Click"); NotAvailable("Export Data, Bode, Absolute"); }
void TMainForm::export_angleClick() { Trace("export_angleClick"); NotAvailable("Export Data, Bode, Angle"); }
void TMainForm::export_ZandZ1Click() { Trace("export_ZandZ1Click"); NotAvailable("Export Data, Real and Imag"); }
void TMainForm::export_AClick() { Trace("export_AClick"); NotAvailable("Export Data, Admittance"); }
void TMainForm::export_CClick() { Trace("export_CClick"); NotAvailable("Export Data, Capacitance"); }
void TMainForm::YBodeAbsClick() { Trace("YBodeAbsClick"); NotAvailable("Export Data, Bode (Y), Absolute"); }
void TMainForm::YBodeAngleClick() { Trace("YBodeAngleClick"); NotAvailable("Export Data, Bode (Y), Angle"); }
void TMainForm::Headerlines1Click() {
    Trace("Headerlines1Click");
    // Its result is not used.
    if (auto* dialog = qobject_cast<QDialog*>(FindWindow("HeaderForm")))
        platform::qt::RunModal(*dialog);
    else
        NotAvailable("Append &Header Lines");
}
void TMainForm::PseudocapacitanceCalculator1Click() {
    Trace("PseudocapacitanceCalculator1Click");
    NotAvailable("Get &Pseudocapacitance");
}

void TMainForm::SetupImageViewer1Click() {
    Trace("SetupImageViewer1Click");
    const std::optional<std::string> chosen = platform::services().fileDialogs->SaveFile(Dialogs.SaveDialog7);
    if (!chosen) return;
    platform::SettingsStore& store = *platform::services().settings;
    const std::string key = UserSettingsKey();
    // Read back at once: the settings store is the only place that keeps it.
    if (!store.WriteString(platform::SettingsScope::User, key, "ImageViewer", *chosen) ||
        store.ReadString(platform::SettingsScope::User, key, "ImageViewer") != chosen)
        platform::ShowMessage("The image viewer could not be stored.", "Settings not saved");
}

void TMainForm::RunImageViewer1Click() {
    Trace("RunImageViewer1Click");
    const std::string viewer =
        platform::services()
            .settings->ReadString(platform::SettingsScope::User, UserSettingsKey(), "ImageViewer")
            .value_or("");
    if (viewer.empty()) {
        platform::ShowMessage("Click [Tools | Select Image Viewer] Menu.", "No Image Viewer is selected.");
        return;
    }
    if (RunAndWaitDisabled(*this, viewer) == -1) platform::ShowMessage("does not exist", viewer);
}

// ---- Dielectric ----


// ---- Mechanistic: each shows its window without a modal loop ----

void TMainForm::SimulationModeRunExamples1Click() {
    Trace("SimulationModeRunExamples1Click");
    ShowModeless("SimulatorForm", "Simulate Mode Run Examples");
}
void TMainForm::EqualImpedancewithdifferentcircuits1Click() {
    Trace("EqualImpedancewithdifferentcircuits1Click");
    ShowModeless("OneAdsForm", "Equal Impedance with Different Circuits");
}
void TMainForm::PrimitivePassivation1Click() {
    Trace("PrimitivePassivation1Click");
    ShowModeless("PrimitForm", "Simple Passivation Model (1 adsorbed)");
}
void TMainForm::NickelDepositClick() {
    Trace("NickelDepositClick");
    ShowModeless("NickelForm", "Electrocrystallization of Nickel (Optimization, 1 adsorbed)");
}
void TMainForm::PassivationofChromium1Click() {
    Trace("PassivationofChromium1Click");
    ShowModeless("CrModelForm", "Passivation of Chromium (Optimization)");
}
void TMainForm::TRanspassivityofNiCrAlloys1Click() {
    Trace("TRanspassivityofNiCrAlloys1Click");
    ShowModeless("NiCrForm", "Transpassive Dissolution of Ni-Cr Alloys (2 adsorbed, OptimA)");
}
void TMainForm::IronDissolution1Click() {
    Trace("IronDissolution1Click");
    ShowModeless("FeModelForm", "Inhibition of Iron Dissolution by Chlorides (3 adsorbed, OptimB and OptimC)");
}
void TMainForm::ZincElectrowinning1Click() {
    Trace("ZincElectrowinning1Click");
    ShowModeless("ZnWinForm", "Zinc Deposition in Acidic Sulfate Electrolytes (4 adsorbed, OptimD)");
}
void TMainForm::ExampleA21Click() {
    Trace("ExampleA21Click");
    ShowModeless("OptimA2Form", "Determination of Kinetic Parameters, OptimA (2 adsorbed)");
}
void TMainForm::ExampleB21Click() {
    Trace("ExampleB21Click");
    ShowModeless("OptB2Form", "Determination of Kinetic Parameters, OptimB and OptimC (3 adsorbed)");
}
void TMainForm::DeterminationofKineticParametersOptimD1Click() {
    Trace("DeterminationofKineticParametersOptimD1Click");
    ShowModeless("OptimDForm", "Determination of Kinetic Parameters, OptimD (4 adsorbed)");
}
void TMainForm::ZincDissolution1Click() {
    Trace("ZincDissolution1Click");
    ShowModeless("ZnDisolveForm", "Effect of Surface Condition on Zinc Dissolution (3 adsorbed)");
}
void TMainForm::ZincModel1Click() {
    Trace("ZincModel1Click");
    ShowModeless("ZnModelForm", "Electrocrystallization of Zinc (3 adsorbed, Multiple steady-states)");
}
void TMainForm::IronModel1Click() {
    Trace("IronModel1Click");
    ShowModeless("IronModelForm", "Reaction Model for Iron Dissolution (4 adsorbed)");
}

// ---- Help ----

void TMainForm::HelpContentClick() {
    Trace("HelpContentClick");
    AppFolders& f = State().Folders;
    f.HelpFileName = "Tavri320.hlp";
    std::uintmax_t size = 0;
    // Without the help file in the program folder nothing is shown.
    if (!FileExistsInFolder(f.AppFolder, f.HelpFileName, size)) return;
    const std::string file = WithTrailingBackslash(f.AppFolder) + f.HelpFileName;
    // A file that is there but that no viewer can show is said, not passed
    // over as if the contents had opened.
    if (!platform::desktop().help->ShowContents(file))
        platform::ShowMessage("Cannot show the help file " + file + ".", "Contents", platform::MsgButtons::Ok,
                              platform::MsgIcon::Warning);
}
void TMainForm::Howtorun1Click() {
    Trace("Howtorun1Click");
    ShowModeless("TechForm2", "&How to Run");
}
void TMainForm::About1Click() {
    Trace("About1Click");
    dialogs::TAbtModalForm about(this);
    platform::qt::RunModal(about);
}

// The main window stays disabled until the other program ends.
void TMainForm::RunOtherExamples1Click() {
    Trace("RunOtherExamples1Click");
    const std::string path = WithTrailingBackslash(State().Folders.AppFolder) + "Tamberic";
    const int result = RunAndWaitDisabled(*this, path);
    if (result == -1) platform::ShowMessage("does not exist", path);
}

}  // namespace pellucor::mainwindow
