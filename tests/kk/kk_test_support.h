#pragma once
// Spectra for the Kramers-Kronig tests, computed here from closed forms and
// loaded through the data reader (so the imaginary parts are stored in the
// reader's convention: positive for capacitive data).
#include <cmath>
#include <complex>
#include <functional>
#include <sstream>
#include <string>

#include "core/DataReader.h"
#include "core/ProgramState.h"

namespace pellucor::kktest {

using Impedance = std::function<std::complex<double>(double omega, int index)>;

// Frequencies from `fHigh` down to `fLow` Hz, `perDecade` points a decade.
inline std::string SpectrumText(const Impedance& z, double fHigh, double fLow, int perDecade) {
    std::ostringstream s;
    s.precision(17);
    const int decades = static_cast<int>(std::lround(std::log10(fHigh / fLow)));
    const int n = decades * perDecade + 1;
    for (int i = 0; i < n; ++i) {
        const double f = fHigh * std::pow(10.0, -static_cast<double>(i) / perDecade);
        const std::complex<double> v = z(2 * M_PI * f, i);
        s << f << ' ' << v.real() << ' ' << v.imag() << '\n';
    }
    return s.str();
}

// Reads the spectrum into State() like an opened data file; true when read.
inline bool LoadSpectrum(const Impedance& z, double fHigh, double fLow, int perDecade) {
    std::istringstream in(SpectrumText(z, fHigh, fLow, perDecade));
    if (ReadImpedanceData(in) != 0) return false;
    State().Run.DataLoaded = true;
    return true;
}

// R0 in series with R1 parallel to C.
inline std::complex<double> RcrImpedance(double w, double r0, double r1, double c) {
    return r0 + r1 / std::complex<double>(1.0, w * r1 * c);
}

// R0 in series with R1 parallel to a constant-phase element Q (j w)^alpha.
inline std::complex<double> RqrImpedance(double w, double r0, double r1, double q, double alpha) {
    const std::complex<double> jw = std::pow(std::complex<double>(0.0, w), alpha);
    return r0 + r1 / (1.0 + r1 * q * jw);
}

}  // namespace pellucor::kktest
