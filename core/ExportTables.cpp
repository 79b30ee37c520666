#include "core/ExportTables.h"

#include <vector>

#include "core/Complex.h"
#include "core/FileWriting.h"
#include "core/Messages.h"
#include "core/ProgramState.h"
#include "core/TextHelpers.h"
#include "platform/Services.h"

namespace pellucor {

namespace {

constexpr double DegreesPerRadian = 57.29577951308232;

// Which columns a table holds.
enum class Content {
    Both,          // measured and calculated (a fit result)
    Measured,      // data only
    Calculated,    // a simulation
    Nothing,       // simulate mode before anything was computed
};

Content ContentOf(const RunState& run) {
    if (!run.SimulateMode) return run.ResultsComputed ? Content::Both : Content::Measured;
    return run.ResultsComputed ? Content::Calculated : Content::Nothing;
}

struct ColumnHeader {
    const char* format;
    const char* title;
    const char* dashes;
};

// Column header of a kind, per content (Both, Measured, Calculated).
struct KindHeaders {
    ColumnHeader both, measured, calculated;
};

const KindHeaders kKind1 = {
    {"%75s \n", "Freq(Hz)         Zr_msd        Zi_msd        Zr_cal       Zi_cal ",
     "--------        ------        ------         ------      ------ "},
    {"%45s \n", "   Freq(Hz)     Zr_msd     Zi_msd ", "   --------     ------     ------ "},
    {"%45s \n", "   Freq(Hz)      Zr_cal     Zi_cal ", "   --------      ------     ------ "}};
const KindHeaders kKind2Conductive = {
    {"%45s \n", "   Freq(Hz)       |Z|_msd     |Z|_cal ", "   --------       --------    -------- "},
    {"%30s \n", "   Freq(Hz)     |Z|_msd ", "   --------     ------- "},
    {"%30s \n", "   Freq(Hz)     |Z|_cal ", "   --------     ------- "}};
const KindHeaders kKind2Dielectric = {
    {"%45s \n", "    Freq(Hz)      |C|_msd     |C|_cal ", "    --------      --------    ------- "},
    {"%30s \n", "    Freq(Hz)      |C|_msd ", "    --------      ------- "},
    {"%30s \n", "    Freq(Hz)      |C|_cal ", "    --------      ------- "}};
const KindHeaders kKindAngle = {
    {"%45s \n", "    Freq(Hz)     Angle_msd    Angle_cal ", "    --------     ---------    --------- "},
    {"%30s \n", "    Freq(Hz)     Angle_msd ", "    --------     --------- "},
    {"%30s \n", "    Freq(Hz)     Angle_cal ", "    --------     --------- "}};
const KindHeaders kKind4Conductive = {
    {"%75s \n", "    Freq(Hz)        Zr_msd        Zi_msd        Zr_cal      Zi_cal ",
     "    --------        ------        ------        ------      ------ "},
    {"%45s \n", "    Freq(Hz)       Zr_msd        Zi_msd ", "    --------       ------        ------ "},
    {"%45s \n", "    Freq(Hz)       Zr_cal        Zi_cal ", "    --------       ------        ------ "}};
const KindHeaders kKind4Dielectric = {
    {"%75s \n", "    Freq(Hz)       Cr_msd        Ci_msd         Cr_cal        Ci_cal ",
     "    --------       ------        ------         ------        ------ "},
    {"%45s \n", "    Freq(Hz)       Cr_msd       Ci_msd ", "    --------       ------       ------ "},
    {"%45s \n", "    Freq(Hz)       Cr_cal       Ci_cal ", "    --------       ------       ------ "}};
const KindHeaders kKind5Conductive = {
    {"%75s \n", "    Freq(Hz)       Yr_msd        Yi_msd         Yr_cal       Yi_cal ",
     "    --------        ------        ------        ------       ------ "},
    {"%45s \n", "    Freq(Hz)        Yr_msd       Yi_msd ", "    --------        ------       ------ "},
    {"%45s \n", "    Freq(Hz)        Yr_cal       Yi_cal ", "    --------        ------       ------ "}};
const KindHeaders kKind5Dielectric = {
    {"%75s \n", "    Freq(Hz)      1/Cr_msd       1/Ci_msd        1/Cr_cal      1/Ci_cal ",
     "    --------      --------       --------        --------      -------- "},
    {"%45s \n", "    Freq(Hz)        1/Cr_msd       1/Ci_msd ",
     "    --------        --------       -------- "},
    {"%45s \n", "    Freq(Hz)        1/Cr_cal       1/Ci_cal ",
     "    --------        --------       -------- "}};
const KindHeaders kKind6 = {
    {"%75s \n", "    Freq(Hz)       Cr_msd        Ci_msd        Cr_cal        Ci_cal ",
     "    --------       ------         ------       ------        ------ "},
    {"%45s \n", "    Freq(Hz)      Cr_msd       Ci_msd ", "    --------      ------       ------ "},
    {"%45s \n", "    Freq(Hz)       Cr_cal      Ci_cal ", "    --------       ------      ------ "}};
const KindHeaders kKind7 = {
    {"%45s \n", "   Freq(Hz)       |Y|_msd     |Y|_cal ", "   --------       --------    -------- "},
    {"%30s \n", "   Freq(Hz)     |Y|_msd ", "   --------     ------- "},
    {"%30s \n", "   Freq(Hz)     |Y|_cal ", "   --------     ------- "}};

const KindHeaders& HeadersOf(int kind, bool conductive) {
    switch (kind) {
        case 1: return kKind1;
        case 2: return conductive ? kKind2Conductive : kKind2Dielectric;
        case 3:
        case 8: return kKindAngle;
        case 4: return conductive ? kKind4Conductive : kKind4Dielectric;
        case 5: return conductive ? kKind5Conductive : kKind5Dielectric;
        case 6: return kKind6;
        default: return kKind7;
    }
}

// Capacitance pair of an impedance pair (imaginary part stored with reversed sign).
Complex Capacitance(Complex z, double omega) {
    const double k = 1.0 / (z.re * z.re + z.im * z.im);
    return {z.im * k / omega, z.re * k / omega};
}

Complex Admittance(Complex z) {
    const double m = ComplexModulus(z.re, z.im);
    return {z.re / (m * m), z.im / (m * m)};
}

double Modulus(Complex p) { return ComplexModulus(p.re, p.im); }
double PhaseDegrees(Complex p) { return PhaseAngle(p.im, p.re) * DegreesPerRadian; }

// The columns of one pair (measured or calculated) for a kind.
void AppendColumns(int kind, bool conductive, Complex z, double f, double omega,
                   std::vector<double>& out) {
    const Complex c = Capacitance(z, omega);
    switch (kind) {
        case 1:
            out.push_back(z.re);
            out.push_back(z.im);
            break;
        case 2: out.push_back(conductive ? Modulus(z) : Modulus(c)); break;
        case 3: out.push_back(conductive ? PhaseDegrees(z) : PhaseDegrees(c)); break;
        case 4: {
            const Complex p = conductive ? z : c;
            out.push_back(p.re);
            out.push_back(p.im);
            break;
        }
        case 5: {
            const Complex y = Admittance(conductive ? z : c);
            out.push_back(y.re);
            out.push_back(y.im);
            break;
        }
        case 6: {
            const Complex p = Capacitance(z, TwoPi * f);
            out.push_back(p.re);
            out.push_back(p.im);
            break;
        }
        case 7: out.push_back(Modulus(Admittance(z))); break;
        case 8: out.push_back(PhaseDegrees(Admittance(z))); break;
        default: break;
    }
}

}  // namespace

const char* ExportTableName(int kind) {
    static const char* const names[ExportKindCount + 1] = {
        "",           "Impedance data ", "Bode Absolute ", "Bode, phase angle ", "Zreal and Zimag",
        "Admittance ", "Capacitance ",   "Y Absolute ",   "Y, phase angle "};
    return kind >= 1 && kind <= ExportKindCount ? names[kind] : "";
}

namespace {

// The table of a kind; the rows' impedance pairs are divided by `divisor` and
// their imaginary parts multiplied by `imagSign` first (data files, below).
std::string FormatTable(int kind, double divisor, double imagSign) {
    if (kind < 1 || kind > ExportKindCount) return {};
    const ProgramState& st = State();
    const SpectrumBlock& sp = st.Spectrum;
    const bool conductive = st.Run.ConductiveSystem;
    const Content content = ContentOf(st.Run);
    const platform::DateTime now = platform::Now();

    ScopedCNumericLocale cLocale;
    std::string t = st.Folders.ProgramName + "\n";
    t += platform::FormatDate(now, st.Options.PeriodDecimal) + ", " + platform::FormatTime(now) +
         "\n";
    t += "\n";
    t += FormatText("%20s \n", ExportTableName(kind));
    t += FormatText("%5d \n", sp.PointCount);
    if (content == Content::Nothing) return t;

    const KindHeaders& headers = HeadersOf(kind, conductive);
    const ColumnHeader& h = content == Content::Both       ? headers.both
                            : content == Content::Measured ? headers.measured
                                                           : headers.calculated;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    t += FormatText(h.format, h.title);
    t += FormatText(h.format, h.dashes);
#pragma GCC diagnostic pop

    std::vector<double> row;
    for (int i = 1; i <= sp.PointCount; ++i) {
        const double f = sp.Frequency[i];
        const double omega = sp.Omega[i];
        row.clear();
        if (content != Content::Calculated)
            AppendColumns(kind, conductive, {sp.ZReal[i] / divisor, imagSign * sp.ZImag[i] / divisor}, f,
                          omega, row);
        if (content != Content::Measured)
            AppendColumns(kind, conductive, {sp.ZRealCalc[i] / divisor, imagSign * sp.ZImagCalc[i] / divisor}, f,
                          omega, row);
        t += FormatText("%15.6le ", f);
        for (double v : row) t += FormatText("%15.6le ", v);
        t += "\n";
    }
    return t;
}

}  // namespace

std::string FormatExportTable(int kind) { return FormatTable(kind, 1.0, 1.0); }

std::string FormatDataFileTable(bool perAreaUndone) {
    const ProgramState& st = State();
    // The reader multiplies by the area in per-area units and turns the sign
    // of Z'' over with the reversed-sign option; the file holds what it
    // turns back into these rows when it reads impedances (the main window
    // reads its own saved files so, whatever data it reads otherwise).
    const bool divide = perAreaUndone && st.Run.PerAreaUnits && st.Fit.SampleArea > 0.0;
    return FormatTable(1, divide ? st.Fit.SampleArea : 1.0, st.Options.ReverseZImag ? -1.0 : 1.0);
}

bool SaveDataFile(const std::string& path, bool perAreaUndone) {
    if (State().Spectrum.PointCount <= 0) {
        ShowMessageCode(30);
        return false;
    }
    return SaveTextFile(path, FormatDataFileTable(perAreaUndone));
}

bool ExportPlotData(const std::string& path, int kind) {
    if (State().Spectrum.PointCount <= 0) {
        ShowMessageCode(30);
        return false;
    }
    if (kind < 1 || kind > ExportKindCount) return false;
    return SaveTextFile(path, FormatExportTable(kind));
}

std::string FormatConvertedData() {
    const ProgramState& st = State();
    const SpectrumBlock& sp = st.Spectrum;
    ScopedCNumericLocale cLocale;
    std::string t;
    for (int i = 1; i <= sp.PointCount; ++i) {
        const double f = sp.Frequency[i];
        const Complex source = st.Run.SimulateMode ? Complex{sp.ZRealCalc[i], sp.ZImagCalc[i]}
                                                   : Complex{sp.ZReal[i], sp.ZImag[i]};
        // Capacitance data are already held as impedances: write those back.
        const Complex p = st.Run.ReadCData ? source : Capacitance(source, TwoPi * f);
        std::string line = FormatText("%15.6le %15.6le  %15.6le \n", f, p.re, p.im);
        PointToCommaBuf(st.Options.PeriodDecimal, line.data());
        t += line;
    }
    return t;
}

bool SaveConvertedData(const std::string& path) { return SaveTextFile(path, FormatConvertedData()); }

}  // namespace pellucor
