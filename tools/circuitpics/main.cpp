// Writes the circuit pictures of the built-in model library and "NONE.BMP"
// into the folder given as the first argument (the program folder's bmp
// folder, or a folder the set-up copies from).
#include <QGuiApplication>

#include <cstdio>

#include "core/ModelLibrary.h"
#include "tools/circuitpics/CircuitPicture.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <bmp folder>\n", argv[0]);
        return 2;
    }
    // Text needs the GUI application; no screen is ever needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int failed = pellucor::circuitpics::WriteCircuitPictures(argv[1], pellucor::SystemModelLibrary());
    if (failed) std::fprintf(stderr, "%d circuit pictures could not be written\n", failed);
    return failed ? 1 : 0;
}
