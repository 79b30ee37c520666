#include "mainwindow/ButtonPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace pellucor::mainwindow {

namespace {

// Coordinates below name pixel cells of the 22 × 22 picture: (x, y) is the
// cell's centre, so one-pixel lines and box edges fall on whole pixels and
// stay sharp.
constexpr double kHalf = 0.5;

const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kTextLine(150, 150, 150);
const QColor kRed(208, 40, 32);
const QColor kBlue(32, 96, 192);
const QColor kGreen(32, 144, 64);
const QColor kDarkGreen(16, 96, 40);
const QColor kFolder(240, 196, 72);
const QColor kFolderBack(200, 150, 40);
const QColor kFolderEdge(130, 90, 20);
const QColor kMetal(196, 200, 208);
const QColor kGrid(212, 212, 212);
const QColor kPurple(128, 48, 160);

QPointF Cell(double x, double y) { return {x + kHalf, y + kHalf}; }

void Line(QPainter& p, double x0, double y0, double x1, double y1, const QColor& c, double width = 1.0) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawLine(Cell(x0, y0), Cell(x1, y1));
}

// A box covering the cells x0..x1 and y0..y1, its edge on the outer cells.
void Box(QPainter& p, int x0, int y0, int x1, int y1, const QColor& fill, const QColor& edge) {
    p.setPen(QPen(edge, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill);
    p.drawRect(QRectF(Cell(x0, y0), Cell(x1, y1)));
}

// A filled cell rectangle with no edge.
void Fill(QPainter& p, int x0, int y0, int x1, int y1, const QColor& fill) {
    p.fillRect(QRectF(x0, y0, x1 - x0 + 1, y1 - y0 + 1), fill);
}

void Polygon(QPainter& p, std::initializer_list<QPointF> cells, const QColor& fill, const QColor& edge) {
    QPolygonF poly;
    for (const QPointF& c : cells) poly << Cell(c.x(), c.y());
    p.setPen(QPen(edge, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill);
    p.drawPolygon(poly);
}

void Stroke(QPainter& p, const QPainterPath& path, const QColor& c, double width) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void Dot(QPainter& p, double x, double y, double radius, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(Cell(x, y), radius, radius);
}

// A sheet of paper with a folded corner.
void Sheet(QPainter& p, int x0, int y0, int x1, int y1) {
    const int fold = 3;
    Polygon(p, {{double(x0), double(y0)}, {double(x1 - fold), double(y0)}, {double(x1), double(y0 + fold)},
                {double(x1), double(y1)}, {double(x0), double(y1)}},
            kPaper, kInk);
    Line(p, x1 - fold, y0, x1 - fold, y0 + fold, kInk);
    Line(p, x1 - fold, y0 + fold, x1, y0 + fold, kInk);
}

// Grey lines of text on a sheet, every second row from y0.
void TextLines(QPainter& p, int x0, int x1, int y0, int count) {
    for (int i = 0; i < count; ++i) Line(p, x0, y0 + 2 * i, i % 2 ? x1 - 2 : x1, y0 + 2 * i, kTextLine);
}

// The upper half of a circle standing on the line y = base.
QPainterPath Semicircle(double cx, double base, double r) {
    QPainterPath path;
    const QPointF c = Cell(cx, base);
    path.moveTo(c.x() - r, c.y());
    path.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 180.0, -180.0);
    return path;
}

// A small plot of a Nyquist arc, for sheets and disk labels.
void SmallPlot(QPainter& p, int x0, int y0, int x1, int y1) {
    Line(p, x0, y0, x0, y1, kInk);
    Line(p, x0, y1, x1, y1, kInk);
    const double r = (x1 - x0 - 2) / 2.0;
    Stroke(p, Semicircle(x0 + 1 + r, y1 - 1, r), kRed, 1.3);
}

// Plot axes: the vertical one at x = 3 from y = 2, the horizontal one at y = 19 to x = 21.
void Axes(QPainter& p) {
    Line(p, 3, 2, 3, 19, kInk);
    Line(p, 3, 19, 21, 19, kInk);
}

void Folder(QPainter& p, int top) {
    Polygon(p, {{2, double(top)}, {8, double(top)}, {10, double(top + 2)}, {19, double(top + 2)}, {19, 19}, {2, 19}},
            kFolderBack, kFolderEdge);
}

void Floppy(QPainter& p) {
    Polygon(p, {{2, 2}, {17, 2}, {20, 5}, {20, 20}, {2, 20}}, kBlue, kInk);
    Box(p, 6, 2, 15, 7, kMetal, kInk);
    Fill(p, 12, 3, 13, 6, kInk);
    Box(p, 5, 10, 17, 20, kPaper, kInk);
}

void Printer(QPainter& p, bool sheetOut) {
    Box(p, 2, 9, 20, 16, kMetal, kInk);
    Line(p, 3, 15, 19, 15, QColor(150, 150, 160));
    Dot(p, 17, 11, 1.2, kGreen);
    if (sheetOut) {
        Box(p, 6, 14, 16, 20, kPaper, kInk);
        TextLines(p, 8, 14, 16, 2);
    }
}

void TwoSheets(QPainter& p) {
    Sheet(p, 2, 1, 12, 14);
    Sheet(p, 8, 6, 19, 20);
}

void StackOfSheets(QPainter& p) {
    Sheet(p, 1, 1, 9, 11);
    Sheet(p, 4, 3, 12, 13);
    Sheet(p, 7, 5, 15, 15);
}

void RunArrow(QPainter& p, int x, int y) {
    Polygon(p, {{double(x), double(y)}, {double(x + 7), double(y + 4)}, {double(x), double(y + 8)}}, kGreen,
            kDarkGreen);
}

// --- the pictures, by button ---------------------------------------------

void OpenPicture(QPainter& p) {
    Folder(p, 4);
    Polygon(p, {{5, 10}, {21, 10}, {18, 19}, {2, 19}}, kFolder, kFolderEdge);
}

void RetrieveParsPicture(QPainter& p) {
    Folder(p, 8);
    Sheet(p, 5, 2, 14, 13);
    TextLines(p, 7, 12, 6, 3);
    Polygon(p, {{5, 12}, {21, 12}, {18, 19}, {2, 19}}, kFolder, kFolderEdge);
    // The arrow says the parameters come up out of the folder.
    Polygon(p, {{18, 1}, {21, 5}, {19, 5}, {19, 10}, {17, 10}, {17, 5}, {15, 5}}, kGreen, kDarkGreen);
}

void SaveParsPicture(QPainter& p) {
    Floppy(p);
    TextLines(p, 7, 15, 12, 4);
}

void SavePlotPicture(QPainter& p) {
    Floppy(p);
    SmallPlot(p, 7, 12, 15, 18);
}

void PrintPicture(QPainter& p) {
    Box(p, 6, 2, 16, 9, kPaper, kInk);
    Printer(p, true);
}

void PrintGroupPicture(QPainter& p) {
    StackOfSheets(p);
    TextLines(p, 9, 13, 9, 3);
    Box(p, 4, 14, 21, 21, kMetal, kInk);
    Dot(p, 18, 17, 1.2, kGreen);
    Line(p, 5, 20, 20, 20, QColor(150, 150, 160));
}

void CopyResultsPicture(QPainter& p) {
    TwoSheets(p);
    TextLines(p, 4, 9, 5, 3);
    TextLines(p, 10, 17, 11, 4);
}

void CopyPlotPicture(QPainter& p) {
    TwoSheets(p);
    TextLines(p, 4, 9, 5, 3);
    SmallPlot(p, 10, 11, 17, 18);
}

void PastePicture(QPainter& p) {
    Box(p, 3, 3, 18, 21, QColor(176, 120, 60), QColor(110, 70, 30));
    Box(p, 5, 6, 16, 19, kPaper, kInk);
    // Measured points on the pasted sheet.
    for (auto [x, y] : std::initializer_list<std::pair<int, int>>{{7, 16}, {9, 12}, {11, 10}, {13, 11}, {14, 14}}) Fill(p, x, y, x + 1, y + 1, kBlue);
    Box(p, 7, 1, 14, 5, kMetal, kInk);
    Fill(p, 9, 2, 12, 2, kInk);
}

void ModelPicture(QPainter& p) {
    // A resistor in series with a resistor and a capacitor in parallel.
    Line(p, 0, 11, 2, 11, kInk);
    Box(p, 3, 9, 8, 13, QColor(255, 240, 200), kBlue);
    Line(p, 9, 11, 10, 11, kInk);
    Line(p, 10, 5, 10, 17, kInk);
    Line(p, 10, 5, 12, 5, kInk);
    Box(p, 13, 3, 17, 7, QColor(255, 240, 200), kBlue);
    Line(p, 18, 5, 19, 5, kInk);
    Line(p, 10, 17, 13, 17, kInk);
    Fill(p, 14, 14, 14, 20, kRed);
    Fill(p, 16, 14, 16, 20, kRed);
    Line(p, 17, 17, 19, 17, kInk);
    Line(p, 19, 5, 19, 17, kInk);
    Line(p, 19, 11, 21, 11, kInk);
}

void ParamPicture(QPainter& p) {
    Box(p, 1, 2, 20, 19, kPaper, kInk);
    Fill(p, 2, 3, 19, 6, kBlue);
    for (int y : {7, 11, 15}) Line(p, 1, y, 20, y, kInk);
    Line(p, 8, 2, 8, 19, kInk);
    RunArrow(p, 13, 13);
}

void ResultsPicture(QPainter& p) {
    QPainterPath eye;
    eye.moveTo(Cell(1, 11));
    eye.quadTo(Cell(11, 1), Cell(21, 11));
    eye.quadTo(Cell(11, 21), Cell(1, 11));
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(eye);
    Dot(p, 11, 11, 4.5, kBlue);
    Dot(p, 11, 11, 2.0, kInk);
    Dot(p, 9.5, 9.5, 1.0, kPaper);
}

void OptionsPicture(QPainter& p) {
    const int knobs[] = {6, 14, 9};
    for (int i = 0; i < 3; ++i) {
        const int y = 4 + 7 * i;
        Line(p, 1, y, 20, y, kInk);
        Box(p, knobs[i] - 1, y - 3, knobs[i] + 2, y + 3, i == 1 ? kRed : kBlue, kInk);
    }
}

void NyquistPicture(QPainter& p) {
    Axes(p);
    Stroke(p, Semicircle(12, 19, 7.0), kRed, 1.5);
}

void BodePicture(QPainter& p) {
    // Two decades of a logarithmic grid with the gridlines at 1, 2 and 5.
    for (double decade : {3.0, 12.0})
        for (double k : {2.0, 5.0, 10.0}) {
            const double x = std::round(decade + 9.0 * std::log10(k));
            Line(p, x, 2, x, 18, kGrid);
        }
    for (int y : {6, 12}) Line(p, 4, y, 21, y, kGrid);
    Axes(p);
    QPainterPath fall;
    fall.moveTo(Cell(4, 5));
    fall.lineTo(Cell(9, 5));
    fall.quadTo(Cell(12, 5), Cell(14, 9));
    fall.lineTo(Cell(20, 16));
    Stroke(p, fall, kBlue, 1.5);
}

void RealImagPicture(QPainter& p) {
    Axes(p);
    QPainterPath real;
    real.moveTo(Cell(4, 5));
    real.lineTo(Cell(8, 5));
    real.cubicTo(Cell(12, 5), Cell(12, 14), Cell(16, 14));
    real.lineTo(Cell(21, 14));
    Stroke(p, real, kBlue, 1.5);
    QPainterPath imag;
    imag.moveTo(Cell(4, 18));
    imag.cubicTo(Cell(10, 18), Cell(10, 9), Cell(12, 9));
    imag.cubicTo(Cell(14, 9), Cell(14, 18), Cell(20, 18));
    Stroke(p, imag, kRed, 1.5);
}

void AdmittancePicture(QPainter& p) {
    Axes(p);
    Stroke(p, Semicircle(9, 19, 5.0), kGreen, 1.5);
    // A drawn Y, the symbol of admittance.
    Line(p, 13, 2, 16, 6, kDarkGreen, 1.5);
    Line(p, 19, 2, 16, 6, kDarkGreen, 1.5);
    Line(p, 16, 6, 16, 11, kDarkGreen, 1.5);
}

void CapacitancePicture(QPainter& p) {
    Axes(p);
    QPainterPath c;
    c.moveTo(Cell(4, 12));
    c.lineTo(Cell(8, 12));
    c.quadTo(Cell(12, 12), Cell(14, 15));
    c.lineTo(Cell(16, 17));
    c.lineTo(Cell(21, 17));
    Stroke(p, c, kPurple, 1.5);
    // A capacitor symbol above the curve.
    Line(p, 9, 5, 13, 5, kInk);
    Fill(p, 14, 2, 14, 8, kPurple);
    Fill(p, 16, 2, 16, 8, kPurple);
    Line(p, 17, 5, 21, 5, kInk);
}

void ErrorPicture(QPainter& p) {
    Axes(p);
    p.setPen(QPen(kTextLine, 1.0, Qt::DashLine));
    p.drawLine(Cell(4, 11), Cell(21, 11));
    // Residuals scattered about zero, each on its stem.
    for (auto [x, y] : std::initializer_list<std::pair<int, int>>{{6, 6}, {9, 15}, {12, 8}, {15, 14}, {18, 7}}) {
        Line(p, x, 11, x, y, kInk);
        Fill(p, x - 1, y - 1, x + 1, y + 1, kRed);
    }
}

void HelpPicture(QPainter& p) {
    Dot(p, 10.5, 10.5, 10.0, kBlue);
    QPainterPath q;
    const QPointF c = Cell(10.5, 7.5);
    const double r = 3.5;
    q.arcMoveTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 160.0);
    q.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 160.0, -250.0);
    q.lineTo(Cell(10.5, 13));
    Stroke(p, q, kPaper, 2.4);
    Dot(p, 10.5, 16.5, 1.5, kPaper);
}

void BatchPicture(QPainter& p) {
    StackOfSheets(p);
    TextLines(p, 9, 13, 9, 3);
    RunArrow(p, 13, 12);
}

void LocatePicture(QPainter& p) {
    Sheet(p, 1, 1, 13, 19);
    TextLines(p, 3, 10, 5, 5);
    Line(p, 16, 16, 20, 20, QColor(110, 70, 30), 2.5);
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(170, 210, 250, 200));
    p.drawEllipse(Cell(13, 13), 4.5, 4.5);
}

void HomePicture(QPainter& p) {
    Box(p, 4, 10, 18, 20, QColor(250, 230, 170), kInk);
    Box(p, 9, 14, 12, 20, QColor(150, 90, 40), kInk);
    Polygon(p, {{1, 11}, {11, 1}, {21, 11}}, kRed, QColor(120, 20, 10));
}

void NextPicture(QPainter& p) {
    Polygon(p, {{2, 8}, {11, 8}, {11, 3}, {20, 11}, {11, 19}, {11, 14}, {2, 14}}, kGreen, kDarkGreen);
}

void ProgressPicture(QPainter& p) {
    Box(p, 1, 7, 20, 14, kPaper, kInk);
    for (int x = 3; x <= 12; x += 3) Fill(p, x, 9, x + 1, 12, kBlue);
    // A check mark: the state is looked at, not changed.
    Line(p, 13, 18, 15, 20, kDarkGreen, 1.5);
    Line(p, 15, 20, 20, 15, kDarkGreen, 1.5);
}

void WordPicture(QPainter& p) {
    Sheet(p, 3, 1, 18, 20);
    Fill(p, 4, 2, 14, 3, kBlue);
    QPainterPath w;
    w.moveTo(Cell(5, 7));
    w.lineTo(Cell(7.5, 16));
    w.lineTo(Cell(10.5, 10));
    w.lineTo(Cell(13.5, 16));
    w.lineTo(Cell(16, 7));
    p.setPen(QPen(kBlue, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(w);
}

struct Entry {
    std::string_view name;
    void (*draw)(QPainter&);
};

// Both "Copy plot" buttons of the circuit program do the same, so they share a picture.
constexpr Entry kPictures[] = {
    {"RetrieveParsBtn", RetrieveParsPicture}, {"SaveParsBtn", SaveParsPicture},
    {"PrintBtn", PrintPicture},               {"CopyResultsBtn", CopyResultsPicture},
    {"CopyPlotBtn", CopyPlotPicture},         {"CopyPlotBtn2", CopyPlotPicture},
    {"SavePlotBtn", SavePlotPicture},         {"OpenBtn", OpenPicture},
    {"PasteBtn", PastePicture},               {"ModelBtn", ModelPicture},
    {"ParamBtn", ParamPicture},               {"ResultsBtn", ResultsPicture},
    {"OptionsBtn", OptionsPicture},           {"NyquistBtn", NyquistPicture},
    {"BodeBtn", BodePicture},                 {"RealImagBtn", RealImagPicture},
    {"AdmittanceBtn", AdmittancePicture},     {"CapacitanceBtn", CapacitancePicture},
    {"ErrorBtn", ErrorPicture},               {"SpeedButton8", HelpPicture},
    {"BatchBtn", BatchPicture},               {"LocateBtn", LocatePicture},
    {"BeginBtn", HomePicture},                {"NextBtn", NextPicture},
    {"CheckStatus", ProgressPicture},         {"PrintMangerBtn", PrintGroupPicture},
    {"WordBtn", WordPicture},
};

}  // namespace

QImage ButtonPictureImage(const QString& name, int scale) {
    const QByteArray key = name.toUtf8();
    for (const Entry& e : kPictures) {
        if (e.name != std::string_view(key.constData(), key.size())) continue;
        QImage image(kButtonPictureSize * scale, kButtonPictureSize * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        e.draw(p);
        p.end();
        image.setDevicePixelRatio(scale);
        return image;
    }
    return {};
}

QIcon ButtonPicture(const QString& name) {
    QIcon icon;
    for (int scale : {1, 2}) {
        const QImage image = ButtonPictureImage(name, scale);
        if (image.isNull()) return {};
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace pellucor::mainwindow
