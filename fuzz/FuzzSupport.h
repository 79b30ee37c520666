#pragma once
// What every fuzz target shares: quiet platform seams (a message box that
// answers OK without showing anything, an error sink that discards), a
// byte image of the whole program state to compare before and after a
// refused input, and a scratch file per process for the readers that take a
// path.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/ProgramState.h"
#include "platform/Services.h"

namespace pellucor::fuzz {

// Stops the run with a message: libFuzzer then keeps the input as a crash.
#define PELLUCOR_FUZZ_CHECK(cond, what)                                              \
    do {                                                                             \
        if (!(cond)) {                                                               \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, __FILE__, \
                         __LINE__);                                                  \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

class QuietMessages : public platform::MessageBoxService {
public:
    platform::MsgResult Show(const std::string&, const std::string&, platform::MsgButtons,
                             platform::MsgIcon) override {
        ++shown;
        return platform::MsgResult::Ok;
    }
    int shown = 0;
};

class QuietErrors : public platform::ErrorSink {
public:
    void Write(const std::string&) override {}
};

// Installs the quiet seams once per process.
inline QuietMessages& InstallQuietServices() {
    static QuietMessages messages;
    static QuietErrors errors;
    static bool done = false;
    if (!done) {
        platform::Services s;
        s.messages = &messages;
        s.errors = &errors;
        platform::InstallServices(s);
        done = true;
    }
    return messages;
}

// ---- a byte image of the program state --------------------------------------

class StateImage {
public:
    template <class T>
    void put(const T& v) {
        if constexpr (std::is_same_v<T, std::string>) {
            put(v.size());
            block(v.data(), v.size());
        } else if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>) {
            block(&v, sizeof v);
        } else if constexpr (requires { v.rlo(); }) {
            put(v.empty());
            if (!v.empty())
                for (int i = v.rlo(); i <= v.rhi(); ++i)
                    for (int j = v.clo(); j <= v.chi(); ++j) put(v[i][j]);
        } else if constexpr (requires { v.lo(); }) {
            put(v.empty());
            if (!v.empty())
                for (int i = v.lo(); i <= v.hi(); ++i) put(v[i]);
        } else if constexpr (std::is_arithmetic_v<std::remove_cvref_t<decltype(*v.begin())>>) {
            // A fixed array of numbers is one block of memory.
            block(v.begin(), sizeof(*v.begin()) * static_cast<size_t>(T::hi - T::lo + 1));
        } else {
            for (int i = T::lo; i <= T::hi; ++i) put(v[i]);
        }
    }
    template <class... T>
    void all(const T&... v) {
        (put(v), ...);
    }
    // The image is kept as a 64-bit digest of its bytes: the state is large
    // and the targets take it twice per input.
    std::string bytes() const { return std::to_string(digest_); }

private:
    void block(const void* p, size_t n) {
        const size_t h = std::hash<std::string_view>{}(std::string_view(static_cast<const char*>(p), n));
        digest_ = (digest_ ^ h) * 0x100000001b3ULL + n;
    }
    uint64_t digest_ = 0xcbf29ce484222325ULL;
};

inline void PutSpectrum(StateImage& m, const SpectrumBlock& s) {
    m.all(s.Frequency, s.Omega, s.ZReal, s.ZImag, s.ZRealCalc, s.ZImagCalc, s.KKReal, s.KKImag,
          s.ResidualSq, s.PointCount, s.PointCountReal, s.FilePointCount, s.ExtendedPointCount,
          s.ZModMin, s.ZModMax, s.InvOmegaZMin, s.InvOmegaZMax, s.HighImpedance, s.FirstImagNegative);
}

inline std::string OptionsImage() {
    const ProgramOptions& o = State().Options;
    StateImage m;
    m.all(o.SignModeCode, o.AutoSignZImag, o.ReverseZImag, o.Weighting, o.MaxIterations,
          o.MinFreqExponent, o.MaxFreqExponent, o.UseSystemLibrary, o.ScientificFormat,
          o.PeriodDecimal, o.SavePlotFormat, o.ErrorAsStdDev, o.NoiseType, o.NoiseLevelUnity,
          o.NoiseLevelModulus, o.WhiteBackground, o.AutoSetupMethod, o.ClipboardPictureKind);
    return m.bytes();
}

inline std::string PrintImage() {
    const PrintLayout& p = State().Print;
    StateImage m;
    m.all(p.LayoutCode, p.QuadrantItem, p.PlotsPerPage);
    return m.bytes();
}

// Every field of the program state except the options and the print layout
// (see OptionsImage and PrintImage), bit for bit: a NaN compares equal to
// itself.
inline std::string StateImageWithoutOptions() {
    const ProgramState& st = State();
    StateImage m;
    PutSpectrum(m, st.Spectrum);
    const GroupSpectra& g = st.Group;
    m.all(g.GroupRows, g.GroupPointCount, g.GroupCount, g.GroupMode, g.ProjectGroupMode,
          g.GroupShowsCalculated, g.IncludeCalcCurves, g.GroupPlotReady, g.GroupFileSet);
    m.all(st.Circuit.Code, st.Circuit.PreparedCode);
    const ParamSet& p = st.Params;
    m.all(p.ParamCount, p.Kind, p.Value, p.LnValue, p.Sign, p.Error, p.Fixed, p.Reciprocal,
          p.SearchSelect, p.FreeCount, p.FreeIndex);
    const FitSettings& f = st.Fit;
    m.all(f.SampleArea, f.ResistanceScale, f.FreqMin, f.FreqMax, f.SimplexMatrix, f.ScaleVector,
          f.SimplexTolerance, f.ChiSqTolerance, f.ParamTolerance, f.PreviousChiSq, f.ChiSq,
          f.SimplexStep, f.MaxEvaluations, f.ChiSqDivisor, f.SkipThreshold, f.NoiseWindow,
          f.CpeExponentClamped, f.SimplexValues, f.ErrorsUndefined);
    const RunState& r = st.Run;
    m.all(r.IterateMode, r.MonitorMode, r.BatchMode, r.SimulateMode, r.SearchRequested,
          r.UserStartValues, r.StartValuesApplied, r.SimulateChoiceCopy, r.CdcFormFlag,
          r.StopRequested, r.DataLoaded, r.ModelValid, r.ParamsValid, r.ReadyToRun,
          r.ResetParamWindow, r.ResultsComputed, r.SimulatedResults, r.KineticData,
          r.ResultsFileSet, r.BatchResultLoaded, r.PerAreaUnits, r.ExtrapolatedView, r.KKView,
          r.ReadCData, r.ConductiveSystem, r.DistributedElement, r.PlotKind, r.LogBodeZ,
          r.LogReIm, r.SplashShowing, r.SelectedPoint);
    const IterationHistory& h = st.History;
    m.all(h.Iteration, h.IterationCount, h.Ndir, h.ChiSqPerDof, h.StartTime, h.EndTime,
          h.ValueMatrix, h.StartMatrix, h.RunStart, h.RunEnd, h.RunStartText, h.ElapsedText);
    const AppFolders& a = st.Folders;
    m.all(a.RegistryKey, a.VersionText, a.ProgramName, a.HelpFileName, a.AppFolder, a.DataFolder,
          a.ParFolder, a.SimDataFolder, a.ExportFolder, a.SimParFolder, a.PicsFolder, a.DocFolder,
          a.ReportFolder, a.BmpFolder, a.BatchFolder, a.HistFolder, a.TempFolder,
          a.KineticsFolder, a.CovarsFolder, a.SampleId);
    const CurrentFiles& c = st.Files;
    m.all(c.DataFileName, c.ResultsFileName, c.LastParFileName, c.PrintTitle, c.SelectedSpecName,
          c.ModelTitle, c.LastReportedWriteFailure);
    m.all(st.Model.Potential, st.Model.CustomTitles, st.Model.ChartTitle1, st.Model.ChartTitle2,
          st.Model.ModelFormFlag);
    const ExtrapolationState& e = st.Extrap;
    m.all(e.OmegaAt1, e.OmegaAtN, e.ExtrapDivisor, e.OmegaLow, e.OmegaHigh, e.ZRealAt1,
          e.ZRealAtN, e.KKResidual, e.ExtrapolationOrder, e.ExtrapolationOrder2,
          e.ExtrapolationMode);
    m.all(st.Distribution.OmegaTau, st.Distribution.Shape);
    m.put(st.MeasuredKeep.Valid);
    PutSpectrum(m, st.MeasuredKeep.Measured);
    m.all(st.MeasuredKeep.SimulatedPointCount, st.MeasuredKeep.SimulatedFrequency);
    return m.bytes();
}

// The whole program state.
inline std::string WholeStateImage() { return StateImageWithoutOptions() + OptionsImage() + PrintImage(); }

// ---- input helpers -------------------------------------------------------------

// A scratch file of this process holding the input, for readers that open a path.
inline std::string WriteScratchFile(const char* name, const uint8_t* data, size_t size) {
    static const std::string dir = [] {
        const char* t = std::getenv("TMPDIR");
        return std::string(t && *t ? t : "/tmp");
    }();
    const std::string path = dir + "/pellucor-fuzz-" + std::to_string(getpid()) + "-" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

// Takes bytes from the front of the input.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : p_(data), n_(size) {}
    uint8_t byte() {
        if (n_ == 0) return 0;
        --n_;
        return *p_++;
    }
    double real() {
        double v = 0.0;
        if (n_ >= sizeof v) {
            std::memcpy(&v, p_, sizeof v);
            p_ += sizeof v;
            n_ -= sizeof v;
        }
        return v;
    }
    // Up to the next line end (consumed) or the end of the input.
    std::string line() {
        std::string s;
        while (n_ > 0 && *p_ != '\n') {
            s.push_back(static_cast<char>(*p_++));
            --n_;
        }
        if (n_ > 0) {
            ++p_;
            --n_;
        }
        return s;
    }
    std::string rest() {
        std::string s(reinterpret_cast<const char*>(p_), n_);
        p_ += n_;
        n_ = 0;
        return s;
    }
    size_t left() const { return n_; }

private:
    const uint8_t* p_;
    size_t n_;
};

}  // namespace pellucor::fuzz
