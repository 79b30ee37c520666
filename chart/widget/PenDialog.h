#pragma once
// The pen editor: a small modal window that edits one pen in place
// (visibility, width, line style, colour). Every change goes straight into
// the pen; Cancel puts the pen back exactly as it was. Beside it a colour
// picker, picture loading and a few form utilities of the chart engine.
//
// The window runs through the modal seam (platform/qt/ModalDialogs.h) and
// the colour picker through a seam of its own, so tests script both.
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "chart/ChartCanvas.h"

namespace pellucor::chart {

// Asks a person for a colour; none when they cancel.
class ColorPicker {
public:
    virtual ~ColorPicker() = default;
    virtual std::optional<TColor> Pick(QWidget* owner, TColor initial) = 0;
};
// Never null; the Qt colour dialog until another is installed (nullptr puts
// it back).
ColorPicker& colorPicker();
void InstallColorPicker(ColorPicker* picker);

class TPenDialog : public QDialog {
public:
    explicit TPenDialog(QWidget* owner = nullptr);
    ~TPenDialog() override;

    QCheckBox* CBVisible;
    QLabel* LWidth;
    QSpinBox* SEWidth;   // the width edit with its up-down arrows
    QSpinBox* UDWidth;   // (the same control)
    QGroupBox* RGStyle;
    QButtonGroup* RGStyleItems;
    QGroupBox* GroupBox1;
    QPushButton* BColor;
    QFrame* SHColor;
    QPushButton* Button1;
    QPushButton* Button3;

    TPen* ThePen = nullptr;  // the pen being edited, not owned

    void FormCreate();
    void FormShow();
    void FormClose();
    void CBVisibleClick();
    void SEWidthChange();
    void RGStyleClick();
    void BColorClick();
    void SHColorMouseUp();
    void Button3Click();
    // The selected style item (-1 for none) and the items offered.
    int StyleIndex() const;
    int StyleCount() const;
    void SetStyleIndex(int index);
    // Closing the window any other way than OK is a Cancel.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RefreshSwatch();
    void AddStyleItem(const QString& text);
    TChartPen* ChartPen() const { return dynamic_cast<TChartPen*>(ThePen); }
    std::unique_ptr<TChartPen> Backup;
    bool Initialising = true;
    bool Restored = false;
};

// Edit pen in a pen dialog owned by owner, modally; the pen changes live.
void EditPen(QWidget* owner, TPen& pen);
void EditChartPen(QWidget* owner, TChartPen& pen);
// The colour chosen in the colour picker, or colour when cancelled.
TColor EditColor(QWidget* owner, TColor colour);
// Clears a picture that holds one; otherwise asks for a picture file and
// loads it.
void ChartLoadClearImage(QWidget* owner, TGraphic& picture);
void ShowControls(bool show, std::initializer_list<QWidget*> controls);
void EnableControls(bool enable, std::initializer_list<QWidget*> controls);
// A Yes/No question; true for Yes.
bool ChartYesNo(const std::string& message);

}  // namespace pellucor::chart
