// Circuit description codes: the grammar check, the parser, the evaluator
// (fit and simulate mode) and the derivative walk, for any code and any
// parameter values. A refused code changes nothing.
#include <cmath>

#include "FuzzSupport.h"
#include "core/CircuitCode.h"
#include "core/Derivatives.h"
#include "core/Evaluator.h"

using namespace pellucor;
using namespace pellucor::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InstallQuietServices();
    static bool first = true;
    if (first) {
        ResetProgramState();
        first = false;
    }
    Bytes in(data, size);
    const std::string typed = in.line();
    const uint8_t mode = in.byte();

    // Twenty points from 1e5 Hz down, with a measured spectrum to fit against.
    ProgramState& st = State();
    SpectrumBlock& sp = st.Spectrum;
    sp.PointCount = 20;
    for (int i = 1; i <= 20; ++i) {
        sp.Frequency[i] = 1e5 * std::pow(10.0, -0.35 * (i - 1));
        sp.Omega[i] = TwoPi * sp.Frequency[i];
        sp.ZReal[i] = 10.0 + i;
        sp.ZImag[i] = 5.0 / i;
    }
    st.Circuit.Code = "R(CR)";
    st.Params.ParamCount = ParseCircuitCode(st.Circuit.Code);

    std::string code = typed;
    const std::string before = WholeStateImage();
    const bool valid = ValidateCdc(code);
    PELLUCOR_FUZZ_CHECK(WholeStateImage() == before, "the grammar check changes no state");
    // Any text parses without harm, valid or not.
    const int p = ParseCircuitCode(typed);
    PELLUCOR_FUZZ_CHECK(p >= 0 && p <= MaxParams, "parameter count within limits");
    if (!valid) return 0;
    PELLUCOR_FUZZ_CHECK(CdcWithinLimits(code), "a valid code is within the limits");

    st.Circuit.Code = code;
    const int P = ParseCircuitCode(code);
    ParamArray<double> ln, values, dRe, dIm;
    for (int k = 1; k <= MaxParams; ++k) {
        ln[k] = in.real();
        st.Params.Sign[k] = (in.byte() & 1) ? -1.0 : 1.0;
    }
    st.Options.Weighting = mode % 3;
    st.Run.SimulateMode = mode & 4;
    st.Options.NoiseType = (mode >> 3) % 3 - 1;
    double chi = 0.0;
    EvaluateCircuit(ln, chi);
    // A sum of squares, plus penalties and drawn noise: never below zero.
    PELLUCOR_FUZZ_CHECK(!(chi < 0.0), "chi-squared is not negative");
    for (int k = 1; k <= P; ++k) {
        PELLUCOR_FUZZ_CHECK(std::fabs(ln[k]) <= LnValueLimit, "log-magnitudes are clamped in place");
        values[k] = std::exp(ln[k]);
    }
    for (int i = 1; i <= sp.PointCount; i += 7) {
        double zr = 0.0, zi = 0.0;
        CdcImpedanceDerivatives(values, sp.Frequency[i], zr, zi, dRe, dIm);
    }
    return 0;
}
