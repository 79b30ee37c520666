#include "core/ProgramState.h"

#include "core/NumericLib.h"

namespace pellucor {

AppFolders::AppFolders() {
    DataFolder = AppFolder + "data/";
    ParFolder = AppFolder + "par/";
    SimDataFolder = AppFolder + "data/simulation data/";
    ExportFolder = AppFolder + "data/export data/";
    SimParFolder = AppFolder + "par/simulation par/";
    PicsFolder = AppFolder + "pics/";
    DocFolder = AppFolder + "doc/";
    ReportFolder = AppFolder + "report/";
    BmpFolder = AppFolder + "bmp/";
    BatchFolder = AppFolder + "batch/";
    HistFolder = AppFolder + "hist/";
    TempFolder = AppFolder + "temp/";
    KineticsFolder = AppFolder + "kinetics/";
    CovarsFolder = AppFolder + "covars/";
    for (int i = 1; i <= MaxGroupSets; ++i) SampleId[i] = "#" + std::to_string(i);
}

ProgramState::ProgramState() {
    Params.Value.fill(1.0);
    Params.Sign.fill(1.0);
    Files.DataFileName = Folders.DataFolder + "temp.txt";
}

void ResetProgramState() {
    State() = ProgramState();
    ResetRandomGenerators();
}

void AllocateWorkArrays() {
    ProgramState& s = State();
    s.Fit.SimplexMatrix = AllocMatrix(1, MaxParams + 4, 1, MaxParams + 3);
    s.Fit.SimplexMatrix.fill(0.0);
    s.Fit.ScaleVector = AllocVector(0, MaxParams + 4);
    s.Fit.ScaleVector.fill(0.0);
    s.Group.GroupCount = 1;
    s.Group.GroupMode = false;
    s.Group.GroupShowsCalculated = true;
    s.Group.GroupPlotReady = false;
    s.Run.DataLoaded = false;
}

const std::string& WeightingName(int weighting) {
    static const std::string names[3] = {"Unity", "Modulus", "Statistical"};
    static const std::string none;
    return weighting >= 0 && weighting <= 2 ? names[weighting] : none;
}

}  // namespace pellucor
