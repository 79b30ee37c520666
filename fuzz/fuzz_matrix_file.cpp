// Iteration-matrix files (.mat and .ma2) read for the history graphs. A
// refused file changes nothing but the print title the readers always set.
#include "FuzzSupport.h"
#include "core/CircuitCode.h"
#include "core/ResultFiles.h"

using namespace pellucor;
using namespace pellucor::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallQuietServices();
    ResetProgramState();
    // The parameter count is that of the code in line 4, as the graph window
    // passes it, or one more or less (the length decides).
    Bytes in(data, size);
    for (int i = 0; i < 3; ++i) in.line();
    std::string code = in.line();
    if (!code.empty() && code.back() == '\r') code.pop_back();
    int paramCount = CdcParameterCount(code) + static_cast<int>(size % 3) - 1;
    if (paramCount < 0) paramCount = 0;
    if (paramCount > MaxParams) paramCount = MaxParams;
    const bool start = size & 4;
    const std::string path = WriteScratchFile(start ? "x.ma2" : "x.mat", data, size);
    ProgramState& st = State();
    st.History.IterationCount = 3;
    st.History.Iteration = 3;
    st.History.ValueMatrix[16] = 42.0;
    st.Files.PrintTitle = "Start Point of Each Iteration";
    const std::string before = WholeStateImage();
    const bool ok = start ? ReadStartPointMatrix(path, paramCount, "R(CR)")
                          : ReadMinimaMatrix(path, paramCount, "R(CR)");
    if (!ok) {
        PELLUCOR_FUZZ_CHECK(WholeStateImage() == before, "a refused matrix file changes nothing");
    } else {
        PELLUCOR_FUZZ_CHECK(st.History.IterationCount >= 0 && st.History.IterationCount <= 10, "at most ten iterations");
        PELLUCOR_FUZZ_CHECK(st.History.Iteration == st.History.IterationCount, "iteration follows the count");
    }
    return 0;
}
