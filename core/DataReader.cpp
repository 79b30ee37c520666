#include "core/DataReader.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <istream>
#include <utility>

#include "core/FileWriting.h"
#include "core/TextHelpers.h"
#include "core/WindowHooks.h"
#include "platform/Services.h"

namespace pellucor {

namespace {

constexpr int MinDataPoints = 15;
// Points that fit the rows (slot 0 is unused).
constexpr int MaxStoredPoints = MaxPoints - 1;

bool HasAt(const std::string& line, size_t pos, const char* text) {
    const size_t n = std::char_traits<char>::length(text);
    return line.size() >= pos + n && line.compare(pos, n, text) == 0;
}

// Older Windows runtimes write a missing value as "1.#QNAN", "-1.#IND" or
// "1.#INF"; the scan takes their "1." for a number. In the middle of a line the
// next field then fails to scan, but a last field would pass as 1 or -1.
bool EndsInWindowsNaN(const char* s, int end) { return s[end] == '#'; }

// One point as scanned from a data line; false for a line that is not data.
bool ScanDataLine(DataLayout layout, const std::string& line, double& f, double& zr, double& zi) {
    const char* s = line.c_str();
    int end = 0;
    switch (layout) {
        case DataLayout::ZMarker: {
            double v[6];
            if (std::sscanf(s, "%le , %le , %le , %le , %le , %le%n", &v[0], &v[1], &v[2], &v[3],
                            &v[4], &v[5], &end) != 6 ||
                EndsInWindowsNaN(s, end))
                return false;
            f = v[0];
            zr = v[4];
            zi = v[5];
            return true;
        }
        case DataLayout::Curve: {
            int i1 = 0, i2 = 0, i3 = 0;
            return std::sscanf(s, "%d  %d  %le  %le  %le  %d ", &i1, &i2, &f, &zr, &zi, &i3) == 6;
        }
        case DataLayout::Plain:
            return std::sscanf(s, "%le %le %le%n", &f, &zr, &zi, &end) == 3 &&
                   !EndsInWindowsNaN(s, end);
    }
    return false;
}

// The reader's whole result before it is taken over.
struct ScratchRead {
    SpectrumBlock spectrum;
    int count = 0;
    int positive = 0;
    bool capacitances = false;  // the file holds C', C'' (read as the impedance they stand for)
};

void ReadPoints(std::istream& in, ScratchRead& r) {
    const ProgramState& st = State();
    SpectrumBlock& sp = r.spectrum;
    sp.ZModMin = 1e20;
    sp.ZModMax = 1e-32;
    sp.InvOmegaZMin = 1e32;
    sp.InvOmegaZMax = 1e-32;

    ScopedCNumericLocale cLocale;
    std::string raw;
    bool firstLine = true;
    bool inData = false;
    DataLayout layout = DataLayout::Plain;
    TextLines lines(in);
    while (r.count < MaxPoints && lines.Next(raw)) {
        // Editors that save "UTF-8 with signature" put three marker bytes in
        // front of line 1; they would hide its layout marker or its point.
        if (firstLine && StartsWithUtf8Mark(raw)) raw.erase(0, 3);
        const std::string line = CommaToPoint(raw);
        if (firstLine) {
            layout = DetectDataLayout(line);
            inData = layout == DataLayout::Plain;
            firstLine = false;
        }
        if (!inData) {
            // The line that opens the data block is itself no data.
            if (layout == DataLayout::ZMarker && HasAt(line, 3, "Freq")) inData = true;
            if (layout == DataLayout::Curve && HasAt(line, 0, "ZCURVE")) inData = true;
            continue;
        }

        double f = 0, zr = 0, zi = 0;
        if (!ScanDataLine(layout, line, f, zr, zi)) {
            // Instruments that export this layout also separate the fields by
            // bare commas ("10000,0,0,0,0.0137,0.0071,0,0,0"), which the
            // decimal-comma conversion runs together. A line without a comma
            // followed by a blank has no decimal commas to protect (those
            // files separate fields by ", "), so it is scanned as written.
            if (layout != DataLayout::ZMarker || raw.find(", ") != std::string::npos) continue;
            if (!ScanDataLine(layout, raw, f, zr, zi)) continue;
        }
        const double omega = TwoPi * f;
        if (r.capacitances) {
            // Capacitances C', C'' in the file: held as the impedance they stand for.
            const double m = 1.0 / (zr * zr + zi * zi);
            const double cr = zr, ci = zi;
            zr = ci * m / omega;
            zi = cr * m / omega;
        }
        // The area scales the impedance, after a capacitance became one: an
        // impedance per area (ohm sq. cm) is a capacitance per area (F/sq. cm)
        // divided, not multiplied, by the area.
        if (st.Run.PerAreaUnits) {
            zr *= st.Fit.SampleArea;
            zi *= st.Fit.SampleArea;
        }
        const double mod = std::sqrt(zr * zr + zi * zi);
        const double inv = 1.0 / (omega * mod);
        // Points no later division or logarithm could use are skipped like
        // lines that do not scan: no frequency, values that are not finite, and
        // an impedance of zero (its modulus divides weights and extremes).
        if (!(f > 0) || !std::isfinite(f) || !std::isfinite(zr) || !std::isfinite(zi) ||
            !std::isfinite(omega) || !(mod > 0) || !std::isfinite(inv))
            continue;

        ++r.count;
        if (r.count <= MaxStoredPoints) {
            sp.Frequency[r.count] = f;
            sp.Omega[r.count] = omega;
            sp.ZReal[r.count] = zr;
            sp.ZImag[r.count] = zi;
        }
        if (mod > sp.ZModMax) sp.ZModMax = mod;
        if (mod < sp.ZModMin) sp.ZModMin = mod;
        if (inv > sp.InvOmegaZMax) sp.InvOmegaZMax = inv;
        if (inv < sp.InvOmegaZMin) sp.InvOmegaZMin = inv;
        if (zi > 0) ++r.positive;
    }
}

}  // namespace

DataLayout DetectDataLayout(const std::string& line) {
    if (HasAt(line, 1, "Z60") || HasAt(line, 1, "ZView") || HasAt(line, 1, "ZPlot"))
        return DataLayout::ZMarker;
    if (HasAt(line, 0, "EISCURVE") || HasAt(line, 0, "EXPLAIN")) return DataLayout::Curve;
    return DataLayout::Plain;
}

namespace {

// `detectSign`: whether the sign option "detect the sign of Z''" may turn the
// rows over.
int ReadSpectrum(std::istream& in, bool capacitances, bool detectSign) {
    ProgramState& st = State();
    ScratchRead r;
    r.capacitances = capacitances;
    // The calculated rows go along with the sort, so start from the current set.
    r.spectrum = st.Spectrum;
    ReadPoints(in, r);
    // A read that broke off (a folder chosen as file, a drive gone mid-file)
    // must not pass for the whole spectrum, however many points came before.
    if (in.bad()) {
        platform::ShowMessage("Cannot read the data file.", "Error message");
        return 1;
    }

    const int n = r.count;
    if (n < MinDataPoints) {
        platform::ShowMessage("You have only " + std::to_string(n) + " data points.",
                              "  Invalid data - Needs at least 15 points.");
        return 1;
    }
    if (n >= MaxPoints) {
        platform::ShowMessage("You have " + std::to_string(n) + " data points.",
                              "  Invalid data - Less than 200 points allowed.");
        return 1;
    }

    SpectrumBlock& sp = r.spectrum;
    sp.PointCount = sp.FilePointCount = sp.ExtendedPointCount = n;
    if ((detectSign && st.Options.AutoSignZImag && 2 * r.positive < n) || st.Options.ReverseZImag) {
        for (int i = 1; i <= n; ++i) sp.ZImag[i] = -sp.ZImag[i];
    }
    SortByFrequency(sp);
    sp.FirstImagNegative = sp.ZImag[1] < 0 && sp.ZImag[2] < 0 && sp.ZImag[3] < 0;
    sp.HighImpedance = sp.ZModMax > 1e5;

    st.Spectrum = sp;
    st.Extrap.OmegaAt1 = sp.Omega[1];
    st.Extrap.OmegaAtN = sp.Omega[n];
    st.Extrap.OmegaLow = st.Extrap.OmegaAtN / st.Extrap.ExtrapDivisor;
    st.Extrap.ZRealAt1 = sp.ZReal[1];
    // The extrapolation scans take their scale from Z' as read.
    st.Extrap.ZRealAtN = sp.ZReal[1];
    st.Fit.ResistanceScale = sp.ZModMin * 1e5 < sp.ZModMax ? 1e6 : 1.0;
    return 0;
}

}  // namespace

int ReadImpedanceData(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        platform::ShowMessage("Cannot open the data file " + path + ".", "Error message");
        return 1;
    }
    // A data file the program wrote holds impedances; read as capacitances
    // it would become nonsense (10 ohm as 2.5e-8 ohm). It also holds Z'' with
    // the sign the rows had, turned over only for the reversed-sign option:
    // the sign detection, which takes the majority sign for capacitive, would
    // turn a mostly inductive spectrum (a simulated R(LR), say) into its
    // mirror image the moment it is saved and opened again.
    const ProgramState& st = State();
    const bool ownFile = !st.Files.WrittenAsImpedances.empty() && path == st.Files.WrittenAsImpedances;
    return ReadSpectrum(in, st.Run.ReadCData && !ownFile, !ownFile);
}

int ReadImpedanceData(std::istream& in) { return ReadSpectrum(in, State().Run.ReadCData, true); }


void SortByFrequency(SpectrumBlock& s) {
    const int n = s.PointCount;
    for (int i = 1; i <= n - 1; ++i) {
        for (int j = n; j >= i + 1; --j) {
            if (s.Frequency[i] < s.Frequency[j]) {
                std::swap(s.Frequency[i], s.Frequency[j]);
                std::swap(s.Omega[i], s.Omega[j]);
                std::swap(s.ZReal[i], s.ZReal[j]);
                std::swap(s.ZImag[i], s.ZImag[j]);
                std::swap(s.ZRealCalc[i], s.ZRealCalc[j]);
                std::swap(s.ZImagCalc[i], s.ZImagCalc[j]);
            }
        }
    }
}

void SortByFrequency() { SortByFrequency(State().Spectrum); }

void AfterDataLoaded() {
    RunState& run = State().Run;
    run.DataLoaded = true;
    run.ModelValid = false;
    run.ParamsValid = false;
    run.SimulateMode = false;
    run.ResultsComputed = false;
    run.ExtrapolatedView = false;
    run.SimulatedResults = false;
    // New data have no fit yet: the fit texts under the chart must not go
    // on showing the iteration and chi-squared of the data before.
    State().History.Iteration = 0;
    State().Fit.ChiSq = 0;
    Windows().Main->Replot();
    ParamWindow& par = *Windows().Par;
    par.FreeAllParameters();
    par.ResetUnusedSigns();
    par.ClearSignBoxes();
    par.ShowStartValues(true);
}

void ResetDataOrigin() {
    ProgramState& s = State();
    s.Model.CustomTitles = false;
    s.Run.KineticData = false;
    s.Run.BatchResultLoaded = false;
    s.Run.KKView = false;
    s.Run.ExtrapolatedView = false;
}

}  // namespace pellucor
