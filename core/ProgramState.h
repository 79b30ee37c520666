#pragma once
// The whole working state of both programs: one record of each kind, reached
// from everywhere through State(). Windows and the engine read and write the
// fields directly. Arrays are addressed 1-based (rows 0..199 so that points
// 1..199 fit, exactly as the data rows have always been laid out).
#include <string>

#include "core/Bounded.h"

namespace pellucor {

inline constexpr int MaxPoints = 200;
inline constexpr int MaxParams = 15;
inline constexpr int MaxHistory = 40;
inline constexpr int MaxGroupSets = 7;
// Longest circuit description code that fits its 40-character field.
inline constexpr int MaxCodeLength = 39;
// Slots of the per-iteration value tables: MaxHistory iterations of 15 values.
inline constexpr int HistoryValueSlots = MaxHistory * MaxParams;
// The iteration limit the options allow. The value tables hold iteration 0
// (the start) and every iteration up to the largest limit.
inline constexpr int MinIterationLimit = 5;
inline constexpr int MaxIterationLimit = 20;
static_assert(MaxHistory > MaxIterationLimit, "history rows for every iteration the options allow");
static_assert(HistoryValueSlots >= (MaxIterationLimit + 1) * MaxParams,
              "value slots for every iteration the options allow");

// Slot of parameter `param` (1..MaxParams) at iteration `iteration`
// (0..MaxHistory - 1) in the iteration value tables; 0, which no table has,
// for anything outside them.
constexpr int HistoryValueSlot(int iteration, int param) {
    if (iteration < 0 || iteration >= MaxHistory || param < 1 || param > MaxParams) return 0;
    return iteration * MaxParams + param;
}

inline constexpr double TwoPi = 6.283185307179586;

using PointRow = FixedArray<double, 0, MaxPoints - 1>;
template <class T>
using ParamArray = FixedArray<T, 1, MaxParams>;

struct SpectrumBlock {
    PointRow Frequency, Omega, ZReal, ZImag, ZRealCalc, ZImagCalc, KKReal, KKImag;
    PointRow ResidualSq;  // squared noise or residual of each point
    int PointCount = 0;
    int PointCountReal = 0;  // previous PointCount, kept by the model windows
    int FilePointCount = 0;
    int ExtendedPointCount = 0;
    double ZModMin = 0, ZModMax = 0;
    double InvOmegaZMin = 0, InvOmegaZMax = 0;
    bool HighImpedance = false;
    bool FirstImagNegative = false;
};

struct GroupSpectra {
    // Row 7 * quantity + set (quantities 0..6, sets 1..7).
    FixedArray<PointRow, 1, 7 * MaxGroupSets> GroupRows;
    FixedArray<int, 1, MaxGroupSets> GroupPointCount;
    int GroupCount = 0;
    bool GroupMode = false;
    bool ProjectGroupMode = false;
    bool GroupShowsCalculated = false;
    bool IncludeCalcCurves = false;
    bool GroupPlotReady = false;
    bool GroupFileSet = false;
};

struct CircuitCode {
    std::string Code;          // at most MaxCodeLength characters
    std::string PreparedCode;  // case-marked working copy
};

struct ParamSet {
    int ParamCount = 0;
    FixedArray<int, 0, MaxParams> Kind;  // slot 0 is kept 0
    ParamArray<double> Value;
    ParamArray<double> LnValue;
    ParamArray<double> Sign;
    ParamArray<double> Error;
    ParamArray<bool> Fixed;
    ParamArray<bool> Reciprocal;
    ParamArray<bool> SearchSelect;
    int FreeCount = 0;
    ParamArray<int> FreeIndex;
};

struct FitSettings {
    double SampleArea = 1.0;
    double ResistanceScale = 1.0;
    double FreqMin = 0.01, FreqMax = 1e6;
    Matrix<double> SimplexMatrix;  // [1..19][1..18], allocated by AllocateWorkArrays
    Vector<double> ScaleVector;    // [0..19]
    double SimplexTolerance = 5e-7;
    double ChiSqTolerance = 1e-5;
    double ParamTolerance = 0.1;
    double PreviousChiSq = 0;
    double ChiSq = 0;
    double SimplexStep = 0.3;
    int MaxEvaluations = 200000;
    int ChiSqDivisor = 1;
    int SkipThreshold = 50;
    int NoiseWindow = 3;
    bool CpeExponentClamped = false;
    // Simulate mode: chi-squared := the evaluator's sum of squared noise
    // magnitudes instead of 0 (a program's choice).
    bool SimulationChiSqFromNoise = false;
    // Chi-squared of each vertex of the simplex (vertices 1..FreeCount + 1).
    Vector<double> SimplexValues = Vector<double>(1, MaxParams + 1);
    // The last covariance estimate could not invert its curvature matrix:
    // the errors of the free parameters are undefined (not a number).
    bool ErrorsUndefined = false;
};

struct ProgramOptions {
    int SignModeCode = 1;
    bool AutoSignZImag = true;
    bool ReverseZImag = false;
    int Weighting = 1;
    int MaxIterations = 10;
    int MinFreqExponent = -2;
    int MaxFreqExponent = 6;
    bool UseSystemLibrary = false;
    bool ScientificFormat = true;
    bool PeriodDecimal = true;
    int SavePlotFormat = 1;
    bool ErrorAsStdDev = false;
    int NoiseType = 1;
    double NoiseLevelUnity = 0.1;
    double NoiseLevelModulus = 0.01;
    bool WhiteBackground = false;
    int AutoSetupMethod = 1;
    int ClipboardPictureKind = 1;
};

struct RunState {
    bool IterateMode = true;
    bool MonitorMode = false;
    bool BatchMode = false;
    bool SimulateMode = false;
    bool SearchRequested = false;
    bool UserStartValues = false;
    bool StartValuesApplied = false;
    bool SimulateChoiceCopy = false;
    bool CdcFormFlag = false;
    bool StopRequested = false;
    bool DataLoaded = false;
    bool ModelValid = false;
    bool ParamsValid = false;
    bool ReadyToRun = false;
    bool ResetParamWindow = true;
    bool ResultsComputed = false;
    bool SimulatedResults = false;
    bool KineticData = false;
    bool ResultsFileSet = false;
    bool BatchResultLoaded = false;
    bool PerAreaUnits = false;
    bool ExtrapolatedView = false;
    bool KKView = false;
    bool ReadCData = false;
    bool ConductiveSystem = true;
    bool DistributedElement = false;
    int PlotKind = 1;
    bool LogBodeZ = true;
    bool LogReIm = false;
    bool SplashShowing = true;
    int SelectedPoint = 0;
};

struct IterationHistory {
    int Iteration = 0;
    int IterationCount = 0;
    FixedArray<int, 0, MaxHistory - 1> Ndir;
    FixedArray<double, 0, MaxHistory - 1> ChiSqPerDof;
    FixedArray<std::string, 0, MaxHistory - 1> StartTime, EndTime;
    // Slot Iteration * 15 + j for parameter j; room for every iteration the
    // iteration limit allows.
    FixedArray<double, 1, HistoryValueSlots> ValueMatrix;
    FixedArray<double, 1, HistoryValueSlots> StartMatrix;
    double RunStart = 0, RunEnd = 0;
    std::string RunStartText;
    std::string ElapsedText;
};

struct AppFolders {
    std::string RegistryKey = "Software\\Dovel Software\\Lumarest\\";
    std::string VersionText = "3.20d";
    std::string ProgramName = "Lumarest";
    std::string HelpFileName = "Tavri320.hlp";
    std::string AppFolder = "/opt/Lumarest/";
    std::string DataFolder, ParFolder, SimDataFolder, ExportFolder, SimParFolder, PicsFolder,
        DocFolder, ReportFolder, BmpFolder, BatchFolder, HistFolder, TempFolder, KineticsFolder,
        CovarsFolder;
    FixedArray<std::string, 1, MaxGroupSets> SampleId;
    AppFolders();
};

struct CurrentFiles {
    std::string DataFileName;
    std::string ResultsFileName;
    std::string LastParFileName;
    std::string PrintTitle = "EIS Data Analysis";
    std::string SelectedSpecName;
    std::string SummaryFileName;  // order-scan summary (.sum) in the temp folder
    std::string ExtFileName;      // the last saved measured + extrapolated spectrum (.ext)
    std::string ModelTitle;
    // The result file whose failed write was last shown in a message box, so
    // that the writes repeated during one fit do not show it again.
    std::string LastReportedWriteFailure;
    // The data file the program last wrote (saved data, saved simulations).
    // It holds impedances, so the reader takes it as such even while
    // capacitance data are read; a file the person opens or pastes follows
    // the read mode they chose (cleared then).
    std::string WrittenAsImpedances;
};

struct ModelContext {
    double Potential = 0.0;
    bool CustomTitles = false;
    std::string ChartTitle1, ChartTitle2;
    bool ModelFormFlag = false;  // a model window has sent a circuit
};

struct PrintLayout {
    int LayoutCode = 1;
    FixedArray<int, 1, 4> QuadrantItem;
    int PlotsPerPage = 2;
    PrintLayout() {
        QuadrantItem[1] = 0;
        QuadrantItem[2] = 1;
        QuadrantItem[3] = 2;
        QuadrantItem[4] = 6;
    }
};

struct ExtrapolationState {
    double OmegaAt1 = 0;
    double OmegaAtN = 0;
    int ExtrapDivisor = 2;
    double OmegaLow = TwoPi * 1e-4;
    double OmegaHigh = TwoPi * 1e6;
    double ZRealAt1 = 0;
    double ZRealAtN = 0;
    double KKResidual = 0;
    // The two polynomial orders and the mode flag of the extrapolation,
    // put back to 3, 3 and 1 by the default settings.
    int ExtrapolationOrder = 3;
    int ExtrapolationOrder2 = 3;
    int ExtrapolationMode = 1;

    // The Kramers-Kronig check (kk/): what the extrapolation commands asked
    // for and how the scanned polynomial degrees are ranked.
    int ExtrapolationRequest = 2;  // 1 find, 2 view, 3 evaluate
    int OrderCriterion = 3;        // 1 continuities, 2 deviations, else their product
    // Z' above OmegaAt1: exp(HighFreqFit[1]) * w^HighFreqFit[2], or the
    // constant HighFreqFit[3] when HighFreqConstant is set (no usable power law).
    FixedArray<double, 1, 3> HighFreqFit;
    bool HighFreqConstant = false;
    // The tail system of 2n + 2 collocation equations (n <= 14) and its
    // solution: P's coefficients a0..an first, then Q's b0..bn.
    FixedArray<FixedArray<double, 1, 30>, 1, 30> LuMatrix;
    FixedArray<double, 1, 30> TailCoefficients;
    FixedArray<int, 1, 30> LuIndex;
    int AppendedPointCount = 0;  // ExtendedPointCount = FilePointCount + this
    // The scanned degrees, best first, with their tail deviations
    // (continuities) and Kramers-Kronig residuals (deviations).
    FixedArray<std::string, 1, 5> OrderLabels;
    FixedArray<double, 1, 5> OrderContinuities;
    FixedArray<double, 1, 5> OrderDeviations;
    bool OrderScanDone = false;
    bool ZrInfSearchOn = true;
    bool KKResidualOnAppended = true;
    bool SameAsPreviousSelection = false;
};

// The distributed element being integrated (written by the evaluator and the
// derivative routine, read by the distribution integrand).
struct DistributionContext {
    double OmegaTau = 0;
    double Shape = 0.5;
};

// The measured spectrum as it was when a simulation replaced its frequency
// list, and the list the simulation wrote, so that a fit after the
// simulation gets the measured points back whatever their origin.
struct MeasuredSpectrumKeep {
    bool Valid = false;
    SpectrumBlock Measured;
    int SimulatedPointCount = 0;
    PointRow SimulatedFrequency;
};

struct ProgramState {
    SpectrumBlock Spectrum;
    GroupSpectra Group;
    CircuitCode Circuit;
    ParamSet Params;
    FitSettings Fit;
    ProgramOptions Options;
    RunState Run;
    IterationHistory History;
    AppFolders Folders;
    CurrentFiles Files;
    ModelContext Model;
    PrintLayout Print;
    ExtrapolationState Extrap;
    DistributionContext Distribution;
    MeasuredSpectrumKeep MeasuredKeep;

    ProgramState();
};

// The one program-wide instance, made on first use. Defined here so that it
// inlines: a fit asks for it several times per evaluation.
inline ProgramState& State() {
    static ProgramState state;
    return state;
}

// Back to the values the program starts with (tests call this between cases).
// Also restarts the random generators.
void ResetProgramState();

// What creating the main window does to the state: the work arrays of the
// fit and the group flags.
void AllocateWorkArrays();

// "Unity", "Modulus", "Statistical"; any other index gives "".
const std::string& WeightingName(int weighting);

}  // namespace pellucor
