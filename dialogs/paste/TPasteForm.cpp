#include "dialogs/paste/TPasteForm.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include "core/DataReader.h"
#include "core/FileWriting.h"
#include "core/ProgramState.h"
#include "core/SafeFile.h"
#include "core/TextHelpers.h"
#include "dialogs/fit/FitWindowLinks.h"
#include "platform/Clipboard.h"
#include "platform/Services.h"

namespace pellucor::dialogs {
namespace {

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* b = Named(new QPushButton(text, parent), name);
    b->setGeometry(x, y, 75, 25);
    b->setAutoDefault(false);
    return b;
}

// The memo's lines, each ended by CR LF.
std::string MemoLines(const QPlainTextEdit& memo) {
    const QStringList lines = memo.toPlainText().split('\n');
    std::string out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith('\r')) line.chop(1);
        // A final empty line is the end of the last one, not a line of its own.
        if (i == lines.size() - 1 && line.isEmpty()) break;
        out += line.toStdString() + "\r\n";
    }
    return out;
}

}  // namespace

TPasteForm::TPasteForm(QWidget* owner) : QDialog(owner) {
    setObjectName("PasteForm");
    setWindowTitle("Paste Z Data");
    setFixedSize(390, 285);
    Memo1 = Named(new QPlainTextEdit(this), "Memo1");
    Memo1->setGeometry(8, 8, 273, 265);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Label1 = Named(new QLabel("Z Data :", this), "Label1");
    Label1->setGeometry(295, 8, 80, 16);
    Label2 = Named(new QLabel("copied to", this), "Label2");
    Label2->setGeometry(295, 24, 80, 16);
    Label3 = Named(new QLabel("clipboard?", this), "Label3");
    Label3->setGeometry(295, 40, 80, 16);
    MemoryBtn = Button(this, "MemoryBtn", "Paste", 298, 70);
    SaveBtn = Button(this, "SaveBtn", "Save As", 298, 104);
    OkBitBtn = Button(this, "OkBitBtn", "OK", 298, 176);
    CanvelBitBtn = Button(this, "CanvelBitBtn", "Cancel", 298, 210);
    HelpBtn = Button(this, "HelpBtn", "Help", 298, 244);
    SaveDialog1.title = "Save As";
    SaveDialog1.defaultSuffix = "txt";
    SaveDialog1.filter = "Text file (*.txt);;Data file (*.dat);;All files (*)";
    connect(MemoryBtn, &QPushButton::clicked, this, [this] { MemoryBtnClick(); });
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
    connect(OkBitBtn, &QPushButton::clicked, this, [this] { accept(); });
    connect(CanvelBitBtn, &QPushButton::clicked, this, [this] { reject(); });
    connect(HelpBtn, &QPushButton::clicked, this, [this] { HelpBtnClick(); });
}

void TPasteForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TPasteForm::FormActivate() {
    SaveDialog1.initialDir = State().Folders.DataFolder;
    Memo1->clear();
    NoValidData = true;
    acceptedText_.clear();
}

void TPasteForm::MemoryBtnClick() {
    ProgramState& s = State();
    Memo1->clear();
    Memo1->setPlainText(QString::fromStdString(platform::Clipboard().Text()));
    const std::string text = MemoLines(*Memo1);
    const std::string path = WithTrailingBackslash(s.Folders.DataFolder) + "unknown.txt";
    // The current data may come from an earlier paste and so be known by this
    // very file. A refused paste must leave that file as it was, or the data
    // read again (a new sample area) and the results saved with them would
    // name a text that is not their data.
    std::string previousText;
    const bool previous = s.Files.DataFileName == path && ReadWholeFile(path, &previousText);
    // A file that could not be written is reported by the writer; nothing is read.
    if (!SaveTextFile(path, text)) {
        NoValidData = true;
        return;
    }
    // The file now holds what the person copied, even where the program had
    // saved impedances under this name: it is read in the mode they chose.
    const std::string writtenAsImpedances = s.Files.WrittenAsImpedances;
    if (writtenAsImpedances == path) s.Files.WrittenAsImpedances.clear();
    if (ReadImpedanceData(path) != 0) {
        // The data read before stay the current data, so their file keeps its
        // name: naming "unknown.txt" here would tie them to the refused text
        // in every result saved afterwards.
        NoValidData = true;
        if (previous && SaveTextFile(path, previousText)) s.Files.WrittenAsImpedances = writtenAsImpedances;
        platform::ShowMessage("Invalid data on the clipboard.", "No data or illegal data format.");
        return;
    }
    s.Files.DataFileName = path;
    s.Circuit.Code = "NOMODEL";
    // Pasted data are measured data, as an opened file's are, whatever the
    // spectrum before them was.
    ResetDataOrigin();
    AfterDataLoaded();
    NoValidData = false;
    acceptedText_ = text;
}

void TPasteForm::SaveBtnClick() {
    if (NoValidData) {
        platform::ShowMessage("Cannot save the data!", "No data or illegal data format.");
        return;
    }
    const std::optional<std::string> chosen = platform::services().fileDialogs->SaveFile(SaveDialog1);
    if (!chosen) return;
    // The data in memory are those read at the paste: that text is saved.
    if (!SaveTextFile(*chosen, acceptedText_)) return;
    ProgramState& s = State();
    s.Files.DataFileName = *chosen;
    s.Circuit.Code = "NOMODEL";
    SaveDialog1.initialDir = FolderOfPath(*chosen);
    AfterDataLoaded();
}

void TPasteForm::HelpBtnClick() {
    if (fitwin::FitLinks().ShowHelpWindow) fitwin::FitLinks().ShowHelpWindow("THelpPasteForm");
}

}  // namespace pellucor::dialogs
