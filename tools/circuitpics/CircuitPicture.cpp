#include "tools/circuitpics/CircuitPicture.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <filesystem>

#include "core/CircuitCode.h"

namespace pellucor::circuitpics {
namespace {

// A code as a tree: an element (letter set) or a group of parts connected in
// series or in parallel.
struct Node {
    char letter = 0;
    bool parallel = false;
    std::vector<Node> parts;
};

Node ParseGroup(const std::string& code, size_t& i, bool parallel) {
    Node group;
    group.parallel = parallel;
    while (i < code.size()) {
        const char c = code[i++];
        if (c == '(') {
            group.parts.push_back(ParseGroup(code, i, !parallel));
        } else if (c == ')') {
            break;
        } else {
            Node e;
            e.letter = c;
            group.parts.push_back(e);
        }
    }
    return group;
}

// A laid-out part with its own origin at the top left.
struct Laid {
    double w = 0, h = 0, mid = 0;
    std::vector<PlacedElement> elements;
    std::vector<QLineF> wires;

    void Shift(double dx, double dy) {
        for (PlacedElement& e : elements) e.body.translate(dx, dy);
        for (QLineF& l : wires) l.translate(dx, dy);
    }
    void Take(Laid&& other) {
        elements.insert(elements.end(), other.elements.begin(), other.elements.end());
        wires.insert(wires.end(), other.wires.begin(), other.wires.end());
    }
};

Laid Lay(const Node& n);

Laid LayElement(char letter) {
    Laid l;
    l.w = 2 * LeadLength + BodyWidth;
    l.h = LabelHeight + BodyHeight + 4;
    l.mid = LabelHeight + BodyHeight / 2;
    l.elements.push_back({letter, QRectF(LeadLength, LabelHeight, BodyWidth, BodyHeight)});
    l.wires.emplace_back(0, l.mid, LeadLength, l.mid);
    l.wires.emplace_back(LeadLength + BodyWidth, l.mid, l.w, l.mid);
    return l;
}

Laid LaySeries(const std::vector<Node>& parts) {
    Laid out;
    if (parts.empty()) {
        out.w = 2 * LeadLength;
        out.h = BodyHeight;
        out.mid = BodyHeight / 2;
        out.wires.emplace_back(0, out.mid, out.w, out.mid);
        return out;
    }
    std::vector<Laid> laid;
    double above = 0, below = 0;
    for (const Node& p : parts) {
        laid.push_back(Lay(p));
        above = std::max(above, laid.back().mid);
        below = std::max(below, laid.back().h - laid.back().mid);
    }
    double x = 0;
    for (Laid& l : laid) {
        l.Shift(x, above - l.mid);
        x += l.w;
        out.Take(std::move(l));
    }
    out.w = x;
    out.h = above + below;
    out.mid = above;
    return out;
}

Laid LayParallel(const std::vector<Node>& branches) {
    if (branches.size() <= 1) return LaySeries(branches);
    std::vector<Laid> laid;
    double widest = 0;
    for (const Node& b : branches) {
        laid.push_back(Lay(b));
        widest = std::max(widest, laid.back().w);
    }
    Laid out;
    const double left = BusStub, right = BusStub + widest;
    double y = 0, firstMid = 0, lastMid = 0;
    for (size_t k = 0; k < laid.size(); ++k) {
        Laid& l = laid[k];
        const double x = left + (widest - l.w) / 2;
        l.Shift(x, y);
        const double m = y + l.mid;
        if (x > left) out.wires.emplace_back(left, m, x, m);
        if (x + l.w < right) out.wires.emplace_back(x + l.w, m, right, m);
        if (k == 0) firstMid = m;
        lastMid = m;
        y += l.h + BranchGap;
        out.Take(std::move(l));
    }
    out.w = widest + 2 * BusStub;
    out.h = y - BranchGap;
    out.mid = (firstMid + lastMid) / 2;
    out.wires.emplace_back(left, firstMid, left, lastMid);
    out.wires.emplace_back(right, firstMid, right, lastMid);
    out.wires.emplace_back(0, out.mid, left, out.mid);
    out.wires.emplace_back(right, out.mid, out.w, out.mid);
    return out;
}

Laid Lay(const Node& n) {
    if (n.letter) return LayElement(n.letter);
    return n.parallel ? LayParallel(n.parts) : LaySeries(n.parts);
}

void DrawSymbol(QPainter& p, const PlacedElement& e) {
    const QRectF& b = e.body;
    const double y = b.center().y(), cx = b.center().x();
    switch (e.letter) {
    case 'R': {
        // Zigzag of six strokes across the body.
        QPainterPath path(QPointF(b.left(), y));
        const int teeth = 6;
        for (int k = 0; k < teeth; ++k) {
            const double x = b.left() + b.width() * (k + 0.5) / teeth;
            path.lineTo(x, k % 2 == 0 ? b.top() : b.bottom());
        }
        path.lineTo(b.right(), y);
        p.drawPath(path);
        break;
    }
    case 'C':
        p.drawLine(QPointF(b.left(), y), QPointF(cx - 3, y));
        p.drawLine(QPointF(cx + 3, y), QPointF(b.right(), y));
        p.drawLine(QPointF(cx - 3, b.top() - 2), QPointF(cx - 3, b.bottom() + 2));
        p.drawLine(QPointF(cx + 3, b.top() - 2), QPointF(cx + 3, b.bottom() + 2));
        break;
    case 'L': {
        // Four loops of a coil above the wire.
        const int loops = 4;
        const double lw = b.width() / loops;
        QPainterPath path(QPointF(b.left(), y));
        for (int k = 0; k < loops; ++k)
            path.arcTo(QRectF(b.left() + k * lw, y - lw / 2, lw, lw), 180, -180);
        p.drawPath(path);
        break;
    }
    case 'Q': {
        // Constant-phase element: two nested chevrons, a capacitor whose
        // plates are bent.
        p.drawLine(QPointF(b.left(), y), QPointF(cx - 5, y));
        p.drawLine(QPointF(cx + 1, y), QPointF(b.right(), y));
        const double a = b.height() / 2 + 2;
        p.drawPolyline(QPolygonF({QPointF(cx - 1, y - a), QPointF(cx - 5, y), QPointF(cx - 1, y + a)}));
        p.drawPolyline(QPolygonF({QPointF(cx + 5, y - a), QPointF(cx + 1, y), QPointF(cx + 5, y + a)}));
        break;
    }
    default:
        p.setBrush(QColor(225, 225, 225));
        p.drawRect(b);
        p.setBrush(Qt::NoBrush);
        break;
    }
    p.drawText(QRectF(b.left(), b.top() - LabelHeight, b.width(), LabelHeight - 1), Qt::AlignCenter,
               QString(QChar(e.letter)));
}

QImage WhiteImage(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

}  // namespace

std::optional<CircuitLayout> LayOutCircuit(const std::string& code) {
    std::string checked = code;
    if (!ValidateCdc(checked)) return std::nullopt;
    size_t i = 0;
    const Node top = ParseGroup(checked, i, false);
    Laid l = LaySeries(top.parts);
    CircuitLayout out;
    out.width = l.w;
    out.height = l.h;
    out.terminalY = l.mid;
    out.elements = std::move(l.elements);
    out.wires = std::move(l.wires);
    return out;
}

PictureMapping MapLayout(const CircuitLayout& layout, int width, int height, double maxScale) {
    const double margin = 6;
    PictureMapping m;
    m.scale = std::min({(width - 2 * margin) / layout.width, (height - 2 * margin) / layout.height, maxScale});
    m.dx = (width - layout.width * m.scale) / 2;
    m.dy = (height - layout.height * m.scale) / 2;
    return m;
}

QImage DrawCircuitPicture(const std::string& code, int width, int height, double maxScale) {
    const std::optional<CircuitLayout> layout = LayOutCircuit(code);
    if (!layout) return QImage();
    QImage img = WhiteImage(width, height);
    const PictureMapping m = MapLayout(*layout, width, height, maxScale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(m.dx, m.dy);
    p.scale(m.scale, m.scale);
    QPen pen(Qt::black);
    pen.setWidthF(1.0);
    p.setPen(pen);
    QFont font("DejaVu Sans");
    font.setPixelSize(static_cast<int>(LabelHeight) - 2);
    font.setBold(true);
    p.setFont(font);
    // Wires and bars are straight: drawn without smoothing they stay one
    // crisp line; the symbols' slanted strokes are smoothed.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (const QLineF& w : layout->wires) p.drawLine(w);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const PlacedElement& e : layout->elements) DrawSymbol(p, e);
    return img;
}

QImage DrawNonePicture(int width, int height) {
    QImage img = WhiteImage(width, height);
    QPainter p(&img);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, width - 1, height - 1);
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(10, height / 8));
    p.setFont(font);
    p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, "No picture");
    return img;
}

int WriteCircuitPictures(const std::string& folder, const std::vector<std::string>& codes) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    int failed = 0;
    for (const std::string& code : codes) {
        const QImage img = DrawCircuitPicture(code);
        if (img.isNull() || !img.save(QString::fromStdString(dir + code + ".BMP"), "BMP")) ++failed;
    }
    if (!DrawNonePicture().save(QString::fromStdString(dir + "NONE.BMP"), "BMP")) ++failed;
    return failed;
}

}  // namespace pellucor::circuitpics
