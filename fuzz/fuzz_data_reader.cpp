// Impedance data files in any of the three layouts. A refused file changes
// nothing; an accepted one leaves a spectrum the fit can use.
#include <cmath>
#include <sstream>

#include "FuzzSupport.h"
#include "core/DataReader.h"

using namespace pellucor;
using namespace pellucor::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallQuietServices();
    ResetProgramState();
    Bytes in(data, size);
    // The length picks the reading options (so that files from the tests
    // serve as seeds as they are); an earlier spectrum is there so that a
    // refusal has something to keep.
    const unsigned mode = static_cast<unsigned>(size % 32);
    ProgramState& st = State();
    st.Run.PerAreaUnits = mode & 1;
    st.Run.ReadCData = mode & 2;
    st.Options.AutoSignZImag = mode & 4;
    st.Options.ReverseZImag = mode & 8;
    st.Fit.SampleArea = (mode & 16) ? 7.85e-7 : 0.5;
    {
        std::string earlier;
        for (int i = 1; i <= 20; ++i) earlier += std::to_string(i * 10) + " " + std::to_string(100 + i) + " -5\n";
        std::istringstream e(earlier);
        PELLUCOR_FUZZ_CHECK(ReadImpedanceData(e) == 0, "the earlier spectrum is read");
    }

    const std::string before = WholeStateImage();
    std::istringstream text(in.rest());
    const int r = ReadImpedanceData(text);
    if (r != 0) {
        PELLUCOR_FUZZ_CHECK(r == 1, "result 0 or 1");
        PELLUCOR_FUZZ_CHECK(WholeStateImage() == before, "a refused file changes nothing");
        return 0;
    }
    const SpectrumBlock& s = st.Spectrum;
    PELLUCOR_FUZZ_CHECK(s.PointCount >= 15 && s.PointCount <= MaxPoints - 1, "point count within limits");
    for (int i = 1; i <= s.PointCount; ++i) {
        PELLUCOR_FUZZ_CHECK(s.Frequency[i] > 0 && std::isfinite(s.Frequency[i]), "usable frequency");
        PELLUCOR_FUZZ_CHECK(std::isfinite(s.ZReal[i]) && std::isfinite(s.ZImag[i]), "finite impedance");
        PELLUCOR_FUZZ_CHECK(s.Omega[i] == TwoPi * s.Frequency[i], "angular frequency");
        if (i > 1) PELLUCOR_FUZZ_CHECK(s.Frequency[i - 1] >= s.Frequency[i], "falling frequency");
    }
    PELLUCOR_FUZZ_CHECK(s.ZModMin <= s.ZModMax, "modulus range");
    return 0;
}
