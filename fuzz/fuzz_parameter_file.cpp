// Parameter files, read as the current fit state and for the parameter
// window's import. A refused file changes nothing; an accepted one leaves a
// code and parameter count that agree.
#include <cmath>

#include "FuzzSupport.h"
#include "core/CircuitCode.h"
#include "core/ResultFiles.h"

using namespace pellucor;
using namespace pellucor::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallQuietServices();
    ResetProgramState();
    ProgramState& st = State();
    // A loaded state to keep.
    st.Spectrum.PointCount = 40;
    st.Circuit.Code = "R(QR)";
    st.Params.ParamCount = ParseCircuitCode(st.Circuit.Code);
    for (int i = 1; i <= 4; ++i) {
        st.Params.Value[i] = 10.0 * i;
        st.Params.LnValue[i] = std::log(12.0 * i);
    }
    const std::string path = WriteScratchFile("par", data, size);

    std::string before = WholeStateImage();
    const int r = ReadParameterFile("data.txt", path);
    if (r == 0) {
        PELLUCOR_FUZZ_CHECK(WholeStateImage() == before, "a refused parameter file changes nothing");
    } else {
        std::string code = st.Circuit.Code;
        PELLUCOR_FUZZ_CHECK(ValidateCdc(code) && code == st.Circuit.Code, "a valid upper-case code");
        PELLUCOR_FUZZ_CHECK(st.Params.ParamCount == CdcParameterCount(code), "count of the code");
        PELLUCOR_FUZZ_CHECK(std::isfinite(st.Fit.SampleArea) && st.Fit.SampleArea > 0, "sample area");
        for (int i = 1; i <= st.Params.ParamCount; ++i)
            PELLUCOR_FUZZ_CHECK(std::fabs(st.Params.LnValue[i]) <= 73.696, "end value within the limit");
    }

    before = WholeStateImage();
    const std::string imported = ReadParameterFileForImport(path);
    if (imported.empty())
        PELLUCOR_FUZZ_CHECK(WholeStateImage() == before, "a refused import changes nothing");
    else
        PELLUCOR_FUZZ_CHECK(st.Params.ParamCount == CdcParameterCount(imported), "import count of the code");
    return 0;
}
