#include "kk/OrderScan.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

#include "core/FileWriting.h"
#include "core/Messages.h"
#include "core/TextHelpers.h"
#include "core/WindowHooks.h"
#include "kk/KramersKronig.h"
#include "kk/TailExtrapolation.h"
#include "platform/Services.h"

namespace pellucor::kk {

namespace {

bool StopRequested() { return State().Run.StopRequested; }

// A degree whose figures are not numbers (an extrapolation that failed)
// ranks after every other: no comparison holds for a NaN, so it would keep
// whatever place it had, the first included.
double KeyOf(const OrderScanEntry& e, int criterion) {
    const double key = criterion == 1   ? e.continuity
                       : criterion == 2 ? e.deviation
                                        : e.continuity * e.deviation;
    return std::isnan(key) ? std::numeric_limits<double>::infinity() : key;
}

}  // namespace

std::string ExtrapolationOrderLabel(int degree) {
    const int divisor = State().Extrap.ExtrapDivisor;
    const char* suffix = divisor == 10 ? "UNO" : divisor == 100 ? "DUO" : "TRIO";
    return std::to_string(degree) + suffix;
}

RefinedPoint RefineParabolic(const std::function<double(double)>& objective, double x0,
                             bool stopTest) {
    double xa = 1.05 * x0, ra = objective(xa);
    double xb = 0.95 * x0, rb = objective(xb);
    double best = 1e20, bestX = xa;
    int rounds = 0;
    for (;;) {
        ++rounds;
        if (std::fabs(ra - rb) / (ra + rb) < 1e-6) break;
        const double xm = (xa + xb) / 2, h = (xb - xa) / 2;
        const double rm = objective(xm);
        if (ra < best) best = ra, bestX = xa;
        if (rb < best) best = rb, bestX = xb;
        if (rm < best) best = rm, bestX = xm;
        const double a2 = (ra + rb - 2 * rm) / (h * h);
        const double a1 = (rb - ra) / (2 * h) - (xa + xb) * a2;
        xa = bestX;
        ra = best;
        xb = -a1 / (2 * a2);
        // A flat or degenerate parabola has no vertex to go to: keep the best.
        if (!std::isfinite(xb)) break;
        rb = objective(xb);
        platform::PumpOneMessage();
        if (stopTest && StopRequested()) return {xa, ra, true};
        if (std::fabs(rb - ra) / (rb + ra) < 1e-5 || rounds >= 20 ||
            std::fabs((xa - xb) / (xa + xb)) < 1e-5)
            break;
    }
    return {xa, ra, false};
}

double TailZrInfSearch() {
    ProgramState& st = State();
    ExtrapolationState& ex = st.Extrap;
    const int count = st.Spectrum.FirstImagNegative ? 75 : 20;
    double best = 1e32, bestX = 0;
    for (int i = 1; i <= count; ++i) {
        const double x = i * ex.ZRealAtN * 0.1;
        const double r = TailTrial(x);
        if (r < best) best = r, bestX = x;
        platform::PumpOneMessage();
        if (StopRequested()) return r;
    }
    const RefinedPoint p = RefineParabolic(TailTrial, bestX, false);
    ex.ZRealAt1 = p.x;
    ex.KKResidual = p.value;
    if (SolveTailPolynomials(p.x)) {
        AppendExtrapolatedPoints(ex.TailCoefficients);
    } else {
        ex.AppendedPointCount = 0;
        st.Spectrum.ExtendedPointCount = st.Spectrum.FilePointCount;
    }
    st.Files.SelectedSpecName = ExtrapolationOrderLabel(ex.ExtrapolationOrder);
    st.Run.KKView = false;
    st.Spectrum.PointCount = st.Spectrum.FilePointCount;
    st.Run.ResultsComputed = true;
    st.Run.ExtrapolatedView = true;
    return ex.KKResidual;
}

double EvaluateKramersKronig(bool search) {
    ProgramState& st = State();
    ExtrapolationState& ex = st.Extrap;
    st.Run.ResultsComputed = false;
    if (st.Run.ExtrapolatedView) {
        st.Spectrum.PointCount = st.Spectrum.ExtendedPointCount;
        st.Run.ExtrapolatedView = false;
        st.Run.KKView = true;
    } else {
        st.Spectrum.PointCount = st.Spectrum.FilePointCount;
        st.Run.KKView = false;
    }
    enum class Mode { Refine, Scan, Once };
    Mode mode = Mode::Refine;
    if (st.Run.KKView) {
        if (!search)
            mode = Mode::Once;
        else if (st.Spectrum.FirstImagNegative)
            mode = Mode::Scan;
    }
    const double x0 = mode == Mode::Scan ? ex.ZRealAtN : ex.ZRealAt1;
    if (!st.Run.DataLoaded) {
        platform::ShowMessage("No data", "Specify data..");
        return ex.KKResidual;
    }
    double x = x0, r = 0;
    switch (mode) {
        case Mode::Scan: {
            const int count = st.Spectrum.FirstImagNegative ? 75 : 20;
            double best = 1e32, bestX = 0;
            for (int i = 1; i <= count; ++i) {
                const double trial = i * x0 * 0.1;
                const double value = RunKramersKronig(trial);
                if (value < best) best = value, bestX = trial;
                platform::PumpOneMessage();
                if (StopRequested()) return value;
            }
            x = bestX;
            r = RunKramersKronig(x);
            break;
        }
        case Mode::Refine: {
            const RefinedPoint p = RefineParabolic(RunKramersKronig, x0, true);
            if (p.stopped) return p.value;
            x = p.x;
            r = RunKramersKronig(x);
            break;
        }
        case Mode::Once:
            r = RunKramersKronig(x0);
            break;
    }
    ex.ZRealAt1 = x;
    st.Files.SelectedSpecName = ExtrapolationOrderLabel(ex.ExtrapolationOrder);
    ex.KKResidual = r;
    st.Run.ResultsComputed = true;
    st.Run.ExtrapolatedView = false;
    st.Run.KKView = true;
    Windows().Main->Replot();
    return ex.KKResidual;
}

double EvaluateOrder() {
    ProgramState& st = State();
    TailZrInfSearch();
    st.Run.ExtrapolatedView = true;
    st.Extrap.OrderScanDone = true;
    st.Extrap.KKResidual = EvaluateKramersKronig(st.Extrap.ZrInfSearchOn);
    return TailTrial(st.Extrap.ZRealAt1);
}

void RankOrderEntries(OrderScanEntry* entries, int count, int criterion) {
    for (int p = 0; p < count - 1; ++p)
        for (int q = count - 1; q > p; --q)
            if (KeyOf(entries[p], criterion) > KeyOf(entries[q], criterion)) std::swap(entries[p], entries[q]);
}

std::string SummaryFileText(const OrderScanEntry* entries, int count) {
    const ProgramState& st = State();
    const platform::DateTime now = platform::Now();
    ScopedCNumericLocale cLocale;
    std::string t = platform::FormatDate(now, st.Options.PeriodDecimal) + ", " +
                    platform::FormatTime(now) + "\n";
    t += ShortDisplayPath(st.Folders.AppFolder, st.Files.SummaryFileName) + "\n";
    t += "\n";
    t += " order   selection       Zr_inf+corr.   continuities   deviations       product \n";
    t += " -------   ------------         ---------------          ---------------      "
         "-------------       ------------\n";
    for (int i = 0; i < count; ++i) {
        const OrderScanEntry& e = entries[i];
        t += FormatText(" %5d  %10s  %12.3le  %12.3le  %12.3le  %12.3le\n", i + 1, e.label.c_str(),
                        e.zrInf, e.continuity, e.deviation, e.continuity * e.deviation);
    }
    return t;
}

bool WriteSummaryFile(const OrderScanEntry* entries, int count) {
    // A report renewed by every scan: no need to wait for the disk.
    return SaveTextFile(State().Files.SummaryFileName, SummaryFileText(entries, count), false);
}

bool ScanExtrapolationOrders(const std::string& openedFile) {
    ProgramState& st = State();
    ExtrapolationState& ex = st.Extrap;
    st.Folders.TempFolder = WithTrailingBackslash(st.Folders.TempFolder);
    st.Files.SummaryFileName = st.Folders.TempFolder + BaseNameOfPath(openedFile) + ".sum";
    ex.OrderScanDone = false;
    st.Run.ExtrapolatedView = false;
    OrderScanEntry entries[5];
    for (int degree = 4; degree <= 8; ++degree) {
        ex.ExtrapolationOrder = degree;
        platform::PumpOneMessage();
        if (StopRequested()) {
            SaveTextFile(st.Files.SummaryFileName, "", false);
            return false;
        }
        OrderScanEntry& e = entries[degree - 4];
        e.continuity = EvaluateOrder();
        e.label = st.Files.SelectedSpecName;
        e.deviation = ex.KKResidual;
        e.zrInf = ex.ZRealAt1;
    }
    // A stop during the last degree leaves that degree's figures half
    // computed: the scan ends as after a stop between degrees.
    if (StopRequested()) {
        SaveTextFile(st.Files.SummaryFileName, "", false);
        return false;
    }
    RankOrderEntries(entries, 5, ex.OrderCriterion);
    for (int i = 1; i <= 5; ++i) {
        ex.OrderLabels[i] = entries[i - 1].label;
        ex.OrderContinuities[i] = entries[i - 1].continuity;
        ex.OrderDeviations[i] = entries[i - 1].deviation;
    }
    const bool written = WriteSummaryFile(entries, 5);
    st.Files.SelectedSpecName = ex.OrderLabels[1];
    ex.ExtrapolationOrder = ex.OrderLabels[1][0] - '0';
    ex.KKResidual = EvaluateOrder();
    st.Spectrum.PointCount = st.Spectrum.FilePointCount;
    st.Run.ResultsComputed = true;
    st.Run.ExtrapolatedView = true;
    st.Run.KKView = false;
    Windows().Main->Replot();
    return written;
}

std::string ExtrapolatedDataText(int count) {
    const ProgramState& st = State();
    const SpectrumBlock& sp = st.Spectrum;
    // The file is opened again as data at once: with the reversed-sign option
    // the reader turns every Z'' over, so the file holds them turned already
    // (as the program's other data files do).
    const double imagSign = st.Options.ReverseZImag ? -1.0 : 1.0;
    ScopedCNumericLocale cLocale;
    std::string t;
    for (int i = 1; i <= count && i < MaxPoints; ++i) {
        std::string line =
            FormatText("%15.6le %15.6le %15.6le\n", sp.Frequency[i], sp.ZReal[i], imagSign * sp.ZImag[i]);
        PointToCommaBuf(st.Options.PeriodDecimal, line.data());
        t += line;
    }
    return t;
}

bool WriteExtrapolatedData(const std::string& fileName, int count) {
    return SaveTextFile(fileName, ExtrapolatedDataText(count));
}

void SaveExtrapolatedData(const SaveExtrapolatedHooks& hooks) {
    ProgramState& st = State();
    if (st.Run.ExtrapolatedView || st.Spectrum.PointCount <= st.Spectrum.FilePointCount) {
        ShowMessageCode(st.Run.ExtrapolatedView ? 14 : 12);
        return;
    }
    st.Files.SelectedSpecName = ExtrapolationOrderLabel(st.Extrap.ExtrapolationOrder);
    const std::string proposed =
        StripExtension(st.Files.DataFileName) + ", " + st.Files.SelectedSpecName + ".ext";
    const std::string shortName = ShortDisplayPath(st.Folders.AppFolder, proposed);
    bool named = false;
    if (platform::ShowMessage("Save with this filename?", shortName,
                              platform::MsgButtons::YesNo) == platform::MsgResult::Yes) {
        st.Files.ExtFileName = proposed;
        named = true;
    } else {
        st.Folders.DataFolder = WithTrailingBackslash(st.Folders.DataFolder);
        platform::FileDialogRequest req;
        req.title = "Save extrapolated data";
        req.initialDir = st.Folders.DataFolder;
        req.fileName = FileNameOfPath(proposed);
        req.filter = "Extrapolated data (*.ext);;All files (*)";
        req.defaultSuffix = "ext";
        const std::optional<std::string> chosen = platform::services().fileDialogs->SaveFile(req);
        if (chosen) {
            st.Files.ExtFileName = *chosen;
            named = true;
        } else {
            st.Files.ExtFileName = st.Folders.DataFolder + FileNameOfPath(proposed);
            // A cancelled dialog still saves under the proposed name in the
            // data folder, but never over a file already there: the person
            // has just declined to replace it twice.
            std::error_code ec;
            if (std::filesystem::exists(std::filesystem::symlink_status(st.Files.ExtFileName, ec))) return;
        }
    }
    if (named && hooks.setCaption)
        hooks.setCaption(ShortDisplayPath(st.Folders.AppFolder, st.Files.ExtFileName) + " - " +
                         st.Folders.ProgramName);
    // A file that could not be written is not loaded: the old data stay.
    if (!WriteExtrapolatedData(st.Files.ExtFileName, st.Spectrum.PointCount)) return;
    // The program's own file of impedances: the reader takes it neither for
    // capacitances nor through the sign detection.
    st.Files.WrittenAsImpedances = st.Files.ExtFileName;
    if (hooks.openDataFile) hooks.openDataFile(st.Files.ExtFileName);
    st.Run.ExtrapolatedView = false;
}

}  // namespace pellucor::kk
