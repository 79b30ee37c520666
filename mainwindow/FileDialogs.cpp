#include "mainwindow/FileDialogs.h"

#include <vector>

namespace pellucor::mainwindow {

namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

std::string Trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

platform::FileDialogRequest Request(const char* title, const char* extension, const char* filter) {
    platform::FileDialogRequest r;
    r.title = title;
    r.defaultSuffix = extension;
    r.filter = SeamFilter(filter);
    return r;
}

}  // namespace

std::string SeamFilter(const std::string& listed) {
    const std::vector<std::string> parts = Split(listed, '|');
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string name = Trimmed(parts[i]);
        const std::string patterns = Trimmed(parts[i + 1]);
        if (name.empty() || patterns.empty()) continue;
        // The description's own pattern list is replaced by the real one.
        if (const size_t paren = name.find(" ("); paren != std::string::npos) name = name.substr(0, paren);
        std::string qt;
        for (const std::string& p : Split(patterns, ';')) {
            const std::string t = Trimmed(p);
            if (t.empty()) continue;
            if (!qt.empty()) qt += ' ';
            qt += t == "*.*" ? "*" : t;
        }
        if (!out.empty()) out += ";;";
        out += name + " (" + qt + ")";
    }
    return out;
}

MainFileDialogs::MainFileDialogs()
    : OpenDialog1(Request("Select impedance data", "txt",
                          "Text files (*.txt)|*.txt|Data files (*.dat)|*.dat|Gamry files (*.dta)|*.dta|"
                          "ZView files (*.z, *.z60)|*.z;*.z60|Simulated (*.sim)|*.sim|Extrapolated (*.ext)|"
                          "*.ext|All files (*.*)|*.*| | ")),
      OpenDialog2(Request("Retrieve saved results", "par",
                          "Parameter files (*.par) |*.par|Text files (*.txt)|*.txt|Data files (*.dat)|*.dat|"
                          "Batch files (*.0*)|*.0*|All files (*.*)|*.*")),
      SaveDialog1(Request("Save estimated parameters", "par",
                          "Parameters (*.par)|*.par|Text (*.txt)|*.txt|All files (*.*)|*.*")),
      SaveDialog2(Request("Save simulated data", "sim",
                          "Simulated (*.sim)|*.sim|Text file (*.txt)|*.txt|Data file (*.dat)|*.dat|"
                          "Extrapolated (*.ext)|*.ext|All files (*.*)|*.*")),
      SaveDialog3(Request("Save export data", "dat",
                          "Data files (*.dat)|*.dat|Text files (*.txt)|*.txt|All files (*.*)|*.*")),
      SaveDialog4(Request("Save simulated pars", "par",
                          "Par files (*.par)|*.par|Text files (*.txt)|*.txt|All files (*.*)|*.*")),
      SaveDialog5(Request("Save impedance data", "dat",
                          "Data file (*.dat)|*.dat|Text file (*.txt)|*.txt|All files (*.*)|*.*")),
      SaveDialog6(Request("Save extrapolated data", "ext",
                          "Extrapolated (*.ext)|*.ext|Data files (*.dat)|*.dat|Text files (*.txt)|*.txt|"
                          "All files (*.*)|*.*")),
      SavePictureDialog1(Request("Save plot", "emf",
                                 "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|Bitmaps (*.bmp)|"
                                 "*.bmp|JPEG Image File (*.jpg)|*.jpg|All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;"
                                 "*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf| | ")),
      SaveDialog7(Request("Select Image Viewer", "", "")) {
    // It picks the program to run; nothing is written to it.
    SaveDialog7.confirmOverwrite = false;
}

}  // namespace pellucor::mainwindow
