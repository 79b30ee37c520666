#pragma once
// Schematic pictures of circuit description codes, for the program folder's
// bmp folder ("<code>.BMP", "NONE.BMP"). A code's top level is a series
// connection and every parenthesis switches between series and parallel:
// series parts are drawn left to right on one wire, parallel branches are
// stacked between two vertical bars. Each element is drawn with its usual
// symbol (resistor zigzag, capacitor plates, inductor coil, constant-phase
// chevrons, a box for the other elements) and its letter above it.
//
// The layout is worked out first in plain units, then painted, so tests can
// check positions without reading pixels.
#include <QImage>
#include <QLineF>
#include <QRectF>

#include <optional>
#include <string>
#include <vector>

namespace pellucor::circuitpics {

// One element: its letter and the rectangle of its symbol body; the wire
// runs through the body's vertical middle.
struct PlacedElement {
    char letter = 0;
    QRectF body;
};

struct CircuitLayout {
    double width = 0, height = 0;
    double terminalY = 0;  // height of the wire entering and leaving
    std::vector<PlacedElement> elements;
    std::vector<QLineF> wires;
};

// Units of the layout.
inline constexpr double BodyWidth = 30, BodyHeight = 14, LeadLength = 8, LabelHeight = 12;
inline constexpr double BusStub = 8, BranchGap = 6;

// Empty optional for a code that is not well formed (see ValidateCdc).
std::optional<CircuitLayout> LayOutCircuit(const std::string& code);

// The picture of a code on a white image of the given size, the layout
// scaled to fit (never above `maxScale`) and centred. Empty image for a code
// that cannot be drawn.
QImage DrawCircuitPicture(const std::string& code, int width = 354, int height = 194, double maxScale = 2.5);
// Where DrawCircuitPicture put the layout: image x = offset.x + scale * x.
struct PictureMapping {
    double scale = 1, dx = 0, dy = 0;
};
PictureMapping MapLayout(const CircuitLayout& layout, int width, int height, double maxScale = 2.5);

// The picture that stands for every code without one of its own.
QImage DrawNonePicture(int width = 354, int height = 194);

// Writes "<code>.BMP" for every code given and "NONE.BMP" into `folder`.
// Returns the number of files that could not be written.
int WriteCircuitPictures(const std::string& folder, const std::vector<std::string>& codes);

}  // namespace pellucor::circuitpics
