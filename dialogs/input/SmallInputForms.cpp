#include "dialogs/input/SmallInputForms.h"

#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeView>

#include <filesystem>
#include <system_error>

#include "core/NumberText.h"
#include "core/ProgramState.h"
#include "core/TextHelpers.h"
#include "platform/Services.h"

namespace pellucor::dialogs {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* b = Named(new QPushButton(text, parent), name);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

// ---- sample area -------------------------------------------------------------

TSAreaForm::TSAreaForm(QWidget* owner) : QDialog(owner) {
    setObjectName("SAreaForm");
    setWindowTitle("Enter sample area ");
    setFixedSize(186, 72);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setGeometry(8, 8, 80, 22);
    Label1 = Named(new QLabel("cm", this), "Label1");
    Label1->setGeometry(92, 10, 18, 16);
    Label2 = Named(new QLabel("2", this), "Label2");
    Label2->setGeometry(110, 4, 8, 12);
    Label3 = Named(new QLabel("Adjust data with", this), "Label3");
    Label3->setGeometry(8, 36, 100, 14);
    Label4 = Named(new QLabel("this area.", this), "Label4");
    Label4->setGeometry(8, 52, 100, 14);
    BitBtn1 = Button(this, "BitBtn1", "OK");
    BitBtn1->setGeometry(124, 8, 56, 25);
    BitBtn2 = Button(this, "BitBtn2", "Cancel");
    BitBtn2->setGeometry(124, 40, 56, 25);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { reject(); });
}

void TSAreaForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TSAreaForm::FormActivate() {
    shownArea_ = State().Fit.SampleArea;
    shownText_ = Q(FormatGeneral(shownArea_, 4));
    Edit1->setText(shownText_);
}

void TSAreaForm::BitBtn1Click() {
    // The edit shows 4 significant digits; OK on an untouched edit keeps the
    // area it shows as it was (0.785398 stays, not 0.7854), so the data are
    // not read again for a change nobody made.
    const double area =
        Edit1->text() == shownText_ ? shownArea_ : ReadTypedNumber(Edit1->text().toStdString());
    // The data are multiplied by the area: an area of 0 (also what an empty
    // or mistyped edit reads as) would leave no point to read, and a negative
    // one would turn the spectrum over. Such an entry is refused and the
    // window stays open with the area unchanged.
    if (!(area > 0.0)) {
        platform::ShowMessage("The sample area must be a number above 0.", "Invalid sample area");
        return;
    }
    State().Fit.SampleArea = area;
    accept();
}

// ---- new folder --------------------------------------------------------------

TFolderForm::TFolderForm(QWidget* owner) : QDialog(owner) {
    setObjectName("FolderForm");
    setWindowTitle("Create a new folder");
    resize(340, 320);
    auto* grid = new QGridLayout(this);
    Folders = new QFileSystemModel(this);
    Folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    Folders->setRootPath("/");
    DirectoryListBox1 = Named(new QTreeView(this), "DirectoryListBox1");
    DirectoryListBox1->setModel(Folders);
    for (int c = 1; c < Folders->columnCount(); ++c) DirectoryListBox1->hideColumn(c);
    DirectoryListBox1->setHeaderHidden(true);
    grid->addWidget(DirectoryListBox1, 0, 0, 1, 3);
    grid->addWidget(new QLabel("Creat a folder to:", this), 1, 0, 1, 3);
    Label1 = Named(new QLabel(this), "Label1");
    grid->addWidget(Label1, 2, 0, 1, 3);
    grid->addWidget(new QLabel("Folder name:", this), 3, 0, 1, 3);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    grid->addWidget(Edit1, 4, 0, 1, 3);
    CreateBitBtn = Button(this, "CreateBitBtn", "Create");
    OkBitBtn = Button(this, "OkBitBtn", "OK");
    CancelBitBtn = Button(this, "CancelBitBtn", "Cancel");
    grid->addWidget(CreateBitBtn, 5, 0);
    grid->addWidget(OkBitBtn, 5, 1);
    grid->addWidget(CancelBitBtn, 5, 2);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { DirectoryListBox1Change(); });
    connect(CreateBitBtn, &QPushButton::clicked, this, [this] { CreateBitBtnClick(); });
    connect(OkBitBtn, &QPushButton::clicked, this, [this] { OkBitBtnClick(); });
    connect(CancelBitBtn, &QPushButton::clicked, this, [this] { reject(); });
    SelectFolder(State().Folders.DataFolder);
}

void TFolderForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TFolderForm::SelectFolder(const std::string& path) {
    const QModelIndex index = Folders->index(Q(path));
    if (index.isValid()) {
        DirectoryListBox1->setCurrentIndex(index);
        DirectoryListBox1->scrollTo(index);
    }
    Label1->setText(Q(path));
}

void TFolderForm::FormActivate() { DirectoryListBox1Change(); }

void TFolderForm::DirectoryListBox1Change() {
    const QModelIndex index = DirectoryListBox1->currentIndex();
    if (index.isValid()) Label1->setText(Folders->filePath(index));
}

void TFolderForm::CreateBitBtnClick() {
    const std::string folder = Label1->text().toStdString();
    const std::string name = Edit1->text().toStdString();
    LastPath = (!folder.empty() && folder.back() == PathSep) ? folder + name : folder + PathSep + name;
    std::error_code ec;
    if (std::filesystem::is_directory(LastPath, ec)) {
        platform::ShowMessage("This folder already exists", LastPath);
        return;
    }
    // One level: the parent must be there.
    // The error ends the click; it is shown here, since it must not cross
    // the modal loop.
    if (!std::filesystem::create_directory(LastPath, ec) || ec) {
        platform::ShowMessage("Cannot create folder.", LastPath, platform::MsgButtons::Ok, platform::MsgIcon::Error);
        return;
    }
    platform::ShowMessage("Created this folder.", LastPath);
}

// ---- chart titles ------------------------------------------------------------

TTitleForm::TTitleForm(QWidget* owner) : QDialog(owner) {
    setObjectName("TitleForm");
    setWindowTitle("Change chart titles");
    setFixedSize(411, 76);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit1->setGeometry(8, 8, 289, 22);
    Edit2 = Named(new QLineEdit(this), "Edit2");
    Edit2->setGeometry(8, 40, 289, 22);
    OkBitBtn = Button(this, "OkBitBtn", "OK");
    OkBitBtn->setGeometry(320, 8, 80, 25);
    CancelBitBtn = Button(this, "CancelBitBtn", "Cancel");
    CancelBitBtn->setGeometry(320, 40, 80, 25);
    connect(OkBitBtn, &QPushButton::clicked, this, [this] { OkBitBtnClick(); });
    connect(CancelBitBtn, &QPushButton::clicked, this, [this] { reject(); });
}

void TTitleForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TTitleForm::FormActivate() {
    ModelContext& m = State().Model;
    m.CustomTitles = false;
    Edit1->setText(Q(m.ChartTitle1));
    Edit2->setText(Q(m.ChartTitle2));
}

void TTitleForm::OkBitBtnClick() {
    ModelContext& m = State().Model;
    m.CustomTitles = true;
    m.ChartTitle1 = Edit1->text().toStdString();
    m.ChartTitle2 = Edit2->text().toStdString();
    accept();
}

// ---- sample IDs --------------------------------------------------------------

TSampleIDForm::TSampleIDForm(QWidget* owner) : QDialog(owner) {
    setObjectName("SampleIDForm");
    setWindowTitle("Enter Sample IDs");
    resize(274, 223);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Index", this), 0, 0);
    grid->addWidget(new QLabel("Sample ID", this), 0, 1);
    static const char* const labelNames[] = {"Label1", "Label2", "Label3", "Label4", "Label5", "Label8", "Label9"};
    for (int r = 1; r <= MaxGroupSets; ++r) {
        auto* label = new QLabel(QString("#%1").arg(r), this);
        label->setObjectName(labelNames[r - 1]);
        grid->addWidget(label, r, 0);
        Edits[r] = new QLineEdit(this);
        Edits[r]->setObjectName(QString("Edit%1").arg(r));
        grid->addWidget(Edits[r], r, 1);
    }
    OkBitBtn = Button(this, "OkBitBtn", "OK");
    CancelBitBtn = Button(this, "CancelBitBtn", "Cancel");
    grid->addWidget(OkBitBtn, MaxGroupSets + 1, 0);
    grid->addWidget(CancelBitBtn, MaxGroupSets + 1, 1);
    connect(OkBitBtn, &QPushButton::clicked, this, [this] { OkBitBtnClick(); });
    connect(CancelBitBtn, &QPushButton::clicked, this, [this] { reject(); });
}

void TSampleIDForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TSampleIDForm::FormActivate() {
    for (int r = 1; r <= MaxGroupSets; ++r) Edits[r]->setText(Q(State().Folders.SampleId[r]));
}

void TSampleIDForm::OkBitBtnClick() {
    for (int r = 1; r <= MaxGroupSets; ++r) State().Folders.SampleId[r] = Edits[r]->text().toStdString();
    accept();
}

}  // namespace pellucor::dialogs
