#include "kinetics/fitting/KineticFitData.h"

#include "core/SafeFile.h"
#include "kinetics/fitting/TokenStream.h"

namespace pellucor::kinfit {

namespace {

class Reader {
public:
    Reader(const std::string& text, const std::string& fileName, std::string& error)
        : in_(text), file_(fileName), error_(error) {}

    bool count(const char* what, int lo, int hi, int& out) {
        int v = 0;
        if (!in_.integer(v)) return fail(what, "a whole number");
        if (v < lo || v > hi) {
            error_ = "The kinetic data file \"" + file_ + "\" gives " + std::to_string(v) + " as " + what +
                     "; it must lie from " + std::to_string(lo) + " to " + std::to_string(hi) + ".";
            return false;
        }
        out = v;
        return true;
    }
    bool integer(const char* what, int& out) { return in_.integer(out) || fail(what, "a whole number"); }
    bool real(const char* what, double& out) { return in_.real(out) || fail(what, "a number"); }
    bool name(const char* what, int maxLength, std::string& out) {
        if (!in_.word(out)) return fail(what, "a name");
        if (static_cast<int>(out.size()) > maxLength) {
            error_ = "The kinetic data file \"" + file_ + "\" has the name \"" + out + "\", longer than " +
                     std::to_string(maxLength) + " characters.";
            return false;
        }
        return true;
    }

private:
    bool fail(const char* what, const char* kind) {
        if (in_.atEnd())
            error_ = "The kinetic data file \"" + file_ + "\" ends before " + what + ".";
        else
            error_ = "The kinetic data file \"" + file_ + "\" has \"" + in_.lastToken() + "\" where " + what +
                     " (" + kind + ") should be.";
        return false;
    }

    TokenStream in_;
    std::string file_;
    std::string& error_;
};

}  // namespace

bool ParseKineticFitData(const std::string& text, const std::string& fileName, FitDataLayout layout,
                         KineticFitData& out, std::string& error, const FitDataLimits& limits) {
    Reader r(text, fileName, error);
    KineticFitData d;
    int nPar = 0;
    if (!r.count("the number of parameters", 1, limits.maxParams, nPar)) return false;
    if (layout == FitDataLayout::NameFirst &&
        !r.count("the second count", 0, limits.maxSecondCount, d.secondCount))
        return false;
    d.params.resize(static_cast<size_t>(nPar));
    for (auto& p : d.params) {
        if (layout == FitDataLayout::NameFirst) {
            if (!r.name("a parameter name", limits.maxNameLength, p.name) ||
                !r.integer("a parameter type", p.type) || !r.real("a parameter value", p.value))
                return false;
        } else {
            if (!r.real("a parameter value", p.value) || !r.integer("a parameter type", p.type) ||
                !r.name("a parameter name", limits.maxNameLength, p.name))
                return false;
        }
    }
    int nPot = 0;
    if (!r.count("the number of fit potentials", 1, limits.maxPotentials, nPot)) return false;
    d.potentials.resize(static_cast<size_t>(nPot));
    for (double& e : d.potentials)
        if (!r.real("a fit potential", e)) return false;
    if (!r.count("the number of elements", 1, limits.maxElements, d.elementCount)) return false;
    const size_t nEl = static_cast<size_t>(d.elementCount);
    d.measured.assign(static_cast<size_t>(nPot), std::vector<double>(nEl, 0.0));
    for (auto& row : d.measured)
        for (double& v : row)
            if (!r.real("a measured element value", v)) return false;
    if (layout == FitDataLayout::WithFitFlags) {
        d.flags.assign(static_cast<size_t>(nPot), std::vector<int>(nEl, 0));
        for (auto& row : d.flags)
            for (int& f : row)
                if (!r.integer("a fit flag", f)) return false;
    }
    out = std::move(d);
    return true;
}

bool ReadKineticFitData(const std::string& path, FitDataLayout layout, KineticFitData& out,
                        std::string& error, const FitDataLimits& limits) {
    std::string text, reason;
    if (!ReadWholeFile(path, &text, &reason)) {
        error = "The kinetic data file \"" + path + "\" cannot be read: " + reason + ".";
        return false;
    }
    return ParseKineticFitData(text, path, layout, out, error, limits);
}

}  // namespace pellucor::kinfit
