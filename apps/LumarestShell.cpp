// Lumarest's own part of the main window: the Batch and Extrapolate menus,
// project-group printing, the document window and technical support, the
// buttons it adds to the second tool bar; and its variants of the shared
// operations, answered here and asked by the shared main window.
#include <QAction>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QToolBar>
#include <QToolButton>

#include "apps/LumarestProfile.h"
#include "mainwindow/MainForm.h"

namespace pellucor::apps {

using mainwindow::TMainForm;

namespace {

QMenu* TopMenu(TMainForm& f, const char* name) { return f.menuBar()->findChild<QMenu*>(name); }

// A top-level menu placed before an existing one.
QMenu* InsertMenu(TMainForm& f, const char* name, const QString& caption, const char* before) {
    auto* m = new QMenu(caption, f.menuBar());
    m->setObjectName(name);
    f.menuBar()->insertMenu(TopMenu(f, before)->menuAction(), m);
    return m;
}

}  // namespace

void LumarestProfile::ExtendMainWindow(TMainForm& f) const {
    // The shared conversion, under this program's caption.
    f.noCPE1->setText("Convert CPEs to Capcitors");
    // Frequency labels come before "Re/Im in Logarithm" in this program's Plot menu.
    QMenu* plot = TopMenu(f, "Plot1");
    plot->removeAction(f.Freqlabels1);
    plot->insertAction(f.ReImLog, f.Freqlabels1);

    // The batch commands run fits and load results: locked while a fit runs,
    // as the shared data commands are.
    QMenu* batch = InsertMenu(f, "Batch1", "&Batch", "Plot1");
    f.AddCommand(batch, "Batchmode1", "&Setup && Process", &TMainForm::Batchmode1Click, true);
    f.AddCommand(batch, "Examinebatchresults1", "&Locate Results", &TMainForm::Examinebatchresults1Click, true);
    f.AddCommand(batch, "GoHome1", "Go &Home", &TMainForm::BeginBtnClick, true);
    f.AddCommand(batch, "MovetoNext1", "Move to &Next ", &TMainForm::NextBtnClick, true);
    f.AddCommand(batch, "CheckProgress1", "&Check Progress", &TMainForm::CheckStatusClick);

    QObject::connect(f.PrintProjectGroup, &QAction::triggered, &f, &TMainForm::PrintMangerClick);
    f.PrintProjectGroup->setEnabled(true);
    QMenu* output = TopMenu(f, "Output1");
    output->addSeparator();
    f.AddCommand(output, "InterfaceswithMSWord1", "MS &Word Document", &TMainForm::InterfaceswithMSWord1Click);
    QObject::connect(f.PopWord, &QAction::triggered, &f, &TMainForm::InterfaceswithMSWord1Click);
    f.PopWord->setEnabled(true);

    // The extrapolation commands change the points a fit works on.
    QMenu* extrapolate = InsertMenu(f, "Extrapolate", "&Extrapolate", "Tools1");
    f.AddCommand(extrapolate, "Extrapolate1", "Apply &Kramers-Kronig", &TMainForm::Extrapolate1Click, true);
    f.AddCommand(extrapolate, "Addpoints1", "&Add Points", &TMainForm::Addpoints1Click, true);
    f.AddCommand(extrapolate, "Removepoints1", "&Remove Points", &TMainForm::Removepoints1Click, true);
    f.AddCommand(extrapolate, "Recalc1", "&Calculate Impedance", &TMainForm::Recalc1Click, true);
    f.AddCommand(extrapolate, "Saveasdata1", "&Save Extrapolated", &TMainForm::Saveasdata1Click, true);

    QMenu* help = TopMenu(f, "Help1");
    help->addSeparator();
    f.AddCommand(help, "TechSupport", "&Technical support", &TMainForm::TechSupportClick);

    QToolBar* bar = f.Toolbar2;
    f.AddButton(bar, "BatchBtn", "Process batch", &TMainForm::Batchmode1Click, true);
    f.AddButton(bar, "LocateBtn", "Locate results", &TMainForm::Examinebatchresults1Click, true);
    f.AddButton(bar, "BeginBtn", "Go Home", &TMainForm::BeginBtnClick, true);
    f.AddButton(bar, "NextBtn", "Move to Next", &TMainForm::NextBtnClick, true);
    QToolButton* progress = f.AddButton(bar, "CheckStatus", "Check progress", &TMainForm::CheckStatusClick);
    QFont font = progress->font();
    font.setBold(true);
    font.setUnderline(true);
    progress->setFont(font);
    QPalette blue = progress->palette();
    blue.setColor(QPalette::ButtonText, Qt::blue);
    blue.setColor(QPalette::WindowText, Qt::blue);
    progress->setPalette(blue);
    f.AddButton(bar, "PrintMangerBtn", "Print project group", &TMainForm::PrintMangerClick);
    f.AddButton(bar, "WordBtn", "MS Word document ", &TMainForm::InterfaceswithMSWord1Click);
    f.AddButton(bar, "CopyPlotBtn2", "Copy plot", &TMainForm::CopyPlotClick);
}

// Opening a data file keeps the start-value choice of the previous one; the
// next fit still makes automatic start values, since every command that
// starts a fit clears StartValuesApplied first.
bool LumarestProfile::OpenKeepsStartValueChoice() const { return true; }

// Retrieving parameters in simulate mode stays in simulate mode, so the
// express simulator shows the retrieved circuit.
bool LumarestProfile::RetrieveKeepsBatchAndSimulate() const { return true; }

bool LumarestProfile::SignBoxesAfterParametersLoaded() const { return true; }

bool LumarestProfile::EditRefusedInBatchMode() const { return false; }

// The saved simulation becomes measured data waiting for a model: nothing is
// computed for them until a fit or a recomputation runs.
bool LumarestProfile::SavedSimulationKeepsResults() const { return false; }

bool LumarestProfile::SimulationChiSqFromNoise() const { return true; }

}  // namespace pellucor::apps
