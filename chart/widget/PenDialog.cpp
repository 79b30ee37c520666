#include "chart/widget/PenDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QImageReader>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "platform/Services.h"
#include "platform/qt/ModalDialogs.h"

namespace pellucor::chart {

namespace {

class QtColorPicker final : public ColorPicker {
public:
    std::optional<TColor> Pick(QWidget* owner, TColor initial) override {
        const TColor c = platform::ColorToRGB(initial);
        const QColor chosen = QColorDialog::getColor(
            QColor(platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c)), owner);
        if (!chosen.isValid()) return std::nullopt;
        return platform::RGBColor(chosen.red(), chosen.green(), chosen.blue());
    }
};

ColorPicker* g_picker = nullptr;

QString SwatchStyle(TColor color) {
    const TColor c = platform::ColorToRGB(color);
    return QString("background-color: rgb(%1, %2, %3);")
        .arg(platform::RedOf(c))
        .arg(platform::GreenOf(c))
        .arg(platform::BlueOf(c));
}

}  // namespace

ColorPicker& colorPicker() {
    static QtColorPicker qtPicker;
    return g_picker ? *g_picker : qtPicker;
}

void InstallColorPicker(ColorPicker* picker) { g_picker = picker; }

TPenDialog::TPenDialog(QWidget* owner) : QDialog(owner) {
    setObjectName("PenDialog");
    setWindowTitle("Border Color Editor");
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);

    CBVisible = new QCheckBox("&Visible", this);
    CBVisible->setObjectName("CBVisible");
    layout->addWidget(CBVisible);

    auto* widthRow = new QHBoxLayout;
    LWidth = new QLabel("&Width:", this);
    LWidth->setObjectName("LWidth");
    LWidth->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SEWidth = new QSpinBox(this);
    SEWidth->setObjectName("SEWidth");
    SEWidth->setMinimum(1);
    SEWidth->setMaximum(100);
    SEWidth->setValue(1);
    SEWidth->setWrapping(false);
    UDWidth = SEWidth;
    LWidth->setBuddy(SEWidth);
    widthRow->addWidget(LWidth);
    widthRow->addWidget(SEWidth);
    layout->addLayout(widthRow);

    RGStyle = new QGroupBox("&Style:", this);
    RGStyle->setObjectName("RGStyle");
    new QVBoxLayout(RGStyle);
    RGStyleItems = new QButtonGroup(this);
    for (const char* item : {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"}) AddStyleItem(item);
    layout->addWidget(RGStyle);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName("GroupBox1");
    auto* colourRow = new QHBoxLayout(GroupBox1);
    BColor = new QPushButton("&Color...", GroupBox1);
    BColor->setObjectName("BColor");
    SHColor = new QFrame(GroupBox1);
    SHColor->setObjectName("SHColor");
    SHColor->setFrameShape(QFrame::Box);
    SHColor->setMinimumSize(32, 20);
    SHColor->installEventFilter(this);
    colourRow->addWidget(BColor);
    colourRow->addWidget(SHColor);
    layout->addWidget(GroupBox1);

    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button3 = new QPushButton("Cancel", this);
    Button3->setObjectName("Button3");
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    layout->addLayout(buttons);
    resize(213, 191);

    connect(CBVisible, &QCheckBox::clicked, this, [this] { CBVisibleClick(); });
    connect(SEWidth, &QSpinBox::valueChanged, this, [this] { SEWidthChange(); });
    connect(RGStyleItems, &QButtonGroup::idClicked, this, [this] { RGStyleClick(); });
    connect(BColor, &QPushButton::clicked, this, [this] { BColorClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { accept(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    FormCreate();
}

TPenDialog::~TPenDialog() = default;

void TPenDialog::AddStyleItem(const QString& text) {
    auto* b = new QRadioButton(text, RGStyle);
    RGStyle->layout()->addWidget(b);
    RGStyleItems->addButton(b, RGStyleItems->buttons().size());
}

int TPenDialog::StyleIndex() const { return RGStyleItems->checkedId(); }
int TPenDialog::StyleCount() const { return static_cast<int>(RGStyleItems->buttons().size()); }

void TPenDialog::SetStyleIndex(int index) {
    if (QAbstractButton* b = RGStyleItems->button(index)) b->setChecked(true);
}

void TPenDialog::FormCreate() { Initialising = true; }

void TPenDialog::FormShow() {
    if (!ThePen) return;
    QApplication::restoreOverrideCursor();
    Backup = std::make_unique<TChartPen>();
    Backup->Assign(*ThePen);
    if (TChartPen* cp = ChartPen()) {
        CBVisible->setChecked(cp->GetVisible());
        Backup->SetVisible(cp->GetVisible());
        if (StyleCount() == 5) AddStyleItem("Small Dots");
        SetStyleIndex(cp->GetSmallDots() ? StyleCount() - 1 : static_cast<int>(cp->GetStyle()));
    } else {
        CBVisible->setVisible(false);
        SetStyleIndex(static_cast<int>(ThePen->GetStyle()));
    }
    SEWidth->setValue(ThePen->GetWidth());
    RGStyle->setEnabled(ThePen->GetWidth() == 1);
    SHColor->setCursor(Qt::PointingHandCursor);
    RefreshSwatch();
    Initialising = false;
}

void TPenDialog::FormClose() { Backup.reset(); }

void TPenDialog::RefreshSwatch() {
    BColor->setEnabled(SHColor->isVisibleTo(this));
    if (ThePen) SHColor->setStyleSheet(SwatchStyle(ThePen->GetColor()));
}

void TPenDialog::CBVisibleClick() {
    if (Initialising) return;
    if (TChartPen* cp = ChartPen()) cp->SetVisible(CBVisible->isChecked());
}

void TPenDialog::SEWidthChange() {
    if (Initialising || !ThePen) return;
    ThePen->SetWidth(UDWidth->value());
    RGStyle->setEnabled(ThePen->GetWidth() == 1);
}

void TPenDialog::RGStyleClick() {
    if (!ThePen) return;
    TChartPen* cp = ChartPen();
    const int index = StyleIndex();
    if (cp && StyleCount() == 6 && index == 5) {
        cp->SetSmallDots(true);
        return;
    }
    ThePen->SetStyle(static_cast<TPenStyle>(index));
    if (cp) cp->SetSmallDots(false);
}

void TPenDialog::BColorClick() {
    if (!ThePen) return;
    ThePen->SetColor(EditColor(this, ThePen->GetColor()));
    RefreshSwatch();
}

void TPenDialog::SHColorMouseUp() { BColorClick(); }

bool TPenDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SHColor && event->type() == QEvent::MouseButtonRelease) {
        SHColorMouseUp();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TPenDialog::Button3Click() {
    if (ThePen && Backup && !Restored) {
        Restored = true;
        ThePen->AssignPen(*Backup);
        if (TChartPen* cp = ChartPen()) {
            cp->Assign(*Backup);
            cp->SetVisible(Backup->GetVisible());
            if (cp->OnChange) cp->OnChange();
        }
    }
    QDialog::reject();
}

void TPenDialog::reject() { Button3Click(); }

namespace {
void RunPenDialog(QWidget* owner, TPen& pen) {
    TPenDialog dialog(owner);
    dialog.ThePen = &pen;
    dialog.FormShow();
    platform::qt::RunModal(dialog);
    dialog.FormClose();
}
}  // namespace

void EditPen(QWidget* owner, TPen& pen) { RunPenDialog(owner, pen); }
void EditChartPen(QWidget* owner, TChartPen& pen) { RunPenDialog(owner, pen); }

TColor EditColor(QWidget* owner, TColor colour) {
    const std::optional<TColor> chosen = colorPicker().Pick(owner, colour);
    return chosen ? *chosen : colour;
}

void ChartLoadClearImage(QWidget*, TGraphic& picture) {
    if (!picture.isNull()) {
        picture = TGraphic();
        return;
    }
    QStringList patterns;
    for (const QByteArray& f : QImageReader::supportedImageFormats()) patterns << "*." + QString::fromLatin1(f);
    platform::FileDialogRequest req;
    req.filter = "All pictures (" + patterns.join(' ').toStdString() + ")";
    const std::optional<std::string> file = platform::services().fileDialogs->OpenFile(req);
    if (file) picture.load(QString::fromStdString(*file));
}

void ShowControls(bool show, std::initializer_list<QWidget*> controls) {
    for (QWidget* w : controls) w->setVisible(show);
}

void EnableControls(bool enable, std::initializer_list<QWidget*> controls) {
    for (QWidget* w : controls) w->setEnabled(enable);
}

bool ChartYesNo(const std::string& message) {
    QApplication::restoreOverrideCursor();
    return platform::ShowMessage(message, "", platform::MsgButtons::YesNo, platform::MsgIcon::Question) ==
           platform::MsgResult::Yes;
}

}  // namespace pellucor::chart
