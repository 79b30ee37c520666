#include "kinetics/fitting/RateConstantFile.h"

#include <sstream>

#include "core/SafeFile.h"
#include "kinetics/fitting/TokenStream.h"

namespace pellucor::kinfit {

namespace {

constexpr int kMaxNameLength = 7;

const RateConstantLayout kLayouts[] = {
    {"fedisolv.dat", 3, 1, 6, 14, 2},
    {"FeinAcid.dat", 3, 1, 10, 14, 2},
    {"znwin.dat", 7, 3, 12, 14, 2},
    {"zndep.dat", 3, 1, 9, 14, 5},
    {"zn_diss.dat", 9, 4, 8, 14, 2},
};

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

const RateConstantLayout& LayoutOf(RateConstantKind kind) { return kLayouts[static_cast<int>(kind)]; }

bool ParseRateConstantFile(const std::string& text, const std::string& fileName, RateConstantKind kind,
                           RateConstantData& out, std::string& error) {
    const RateConstantLayout& layout = LayoutOf(kind);
    TokenStream in(text);
    const std::string head = "The rate-constant file " + Quote(fileName);
    auto fail = [&](const std::string& what) {
        if (in.atEnd())
            error = head + " ends before " + what + ".";
        else
            error = head + " has " + Quote(in.lastToken()) + " where " + what + " should be.";
        return false;
    };
    auto name = [&](const std::string& what, std::string& s) {
        if (!in.word(s)) return fail(what);
        if (static_cast<int>(s.size()) > kMaxNameLength) {
            error = head + " has the name " + Quote(s) + ", longer than " + std::to_string(kMaxNameLength) +
                    " characters.";
            return false;
        }
        return true;
    };

    int n = 0;
    if (!in.integer(n)) return fail("the number of steps");
    if (n < layout.minSteps || n > layout.maxSteps) {
        error = head + " gives " + std::to_string(n) + " steps; the mechanism needs " +
                (layout.minSteps == layout.maxSteps ? std::to_string(layout.minSteps)
                                                    : "from " + std::to_string(layout.minSteps) + " to " +
                                                          std::to_string(layout.maxSteps)) +
                ".";
        return false;
    }
    RateConstantData d;
    d.stepNames.resize(static_cast<size_t>(n));
    d.steps.assign(static_cast<size_t>(n), std::vector<double>(static_cast<size_t>(layout.numbersPerStep)));
    for (int i = 0; i < n; ++i) {
        const std::string which = "step " + std::to_string(i + 1);
        if (!name("the name of " + which, d.stepNames[static_cast<size_t>(i)])) return false;
        for (double& v : d.steps[static_cast<size_t>(i)])
            if (!in.real(v)) return fail("a number of " + which);
    }
    d.constantNames.resize(static_cast<size_t>(layout.constantCount));
    d.constants.resize(static_cast<size_t>(layout.constantCount));
    for (int c = 0; c < layout.constantCount; ++c) {
        const std::string which = "constant " + std::to_string(c + 1);
        if (!name("the name of " + which, d.constantNames[static_cast<size_t>(c)])) return false;
        if (!in.real(d.constants[static_cast<size_t>(c)])) return fail("the value of " + which);
    }
    out = std::move(d);
    return true;
}

bool ReadRateConstantFile(const std::string& path, RateConstantKind kind, RateConstantData& out,
                          std::string& error) {
    std::string text, reason;
    if (!ReadWholeFile(path, &text, &reason)) {
        error = "The rate-constant file " + Quote(path) + " cannot be read: " + reason + ".";
        return false;
    }
    return ParseRateConstantFile(text, path, kind, out, error);
}

std::vector<RateStep> StepsOfSet(RateConstantKind kind, const RateConstantData& data, int set) {
    const RateConstantLayout& layout = LayoutOf(kind);
    if (set < 0 || set >= layout.setCount) set = 0;
    std::vector<RateStep> steps;
    for (const auto& r : data.steps) {
        RateStep st;
        switch (kind) {
        case RateConstantKind::FeDissolution:
        case RateConstantKind::FeInAcid:
            st = {r[2], r[0], r[1]};
            break;
        case RateConstantKind::ZnDeposition:
            st = {r[0], r[1], r[2]};
            break;
        case RateConstantKind::ZnWinning:
        case RateConstantKind::ZnDissolution:
            st = {r[0], r[static_cast<size_t>(1 + 2 * set)], r[static_cast<size_t>(2 + 2 * set)]};
            break;
        }
        steps.push_back(st);
    }
    return steps;
}

std::string EchoText(RateConstantKind kind, const RateConstantData& data, int set) {
    std::ostringstream os;
    os << data.stepCount() << '\n';
    const auto steps = StepsOfSet(kind, data, set);
    for (size_t i = 0; i < steps.size(); ++i)
        os << i + 1 << "  " << steps[i].s << "  " << steps[i].k0 << "   " << steps[i].b << '\n';
    for (double c : data.constants) os << c << '\n';
    return os.str();
}

}  // namespace pellucor::kinfit
