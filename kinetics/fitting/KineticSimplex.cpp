#include "kinetics/fitting/KineticSimplex.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

#include "core/SafeFile.h"

namespace pellucor::kinfit {

namespace {

// What a trial costs when the mechanism has no answer or a term has no value:
// large and finite, so the ranking and the stop test stay ordinary numbers.
constexpr double kBad = 1e30;

std::vector<int> Range(int lo, int hi) {
    std::vector<int> v;
    for (int i = lo; i <= hi; ++i) v.push_back(i);
    return v;
}

std::string ParamLabel(const SimplexProblem& p, int i) {
    std::string s = "parameter " + std::to_string(i);
    if (static_cast<size_t>(i - 1) < p.names.size() && !p.names[static_cast<size_t>(i - 1)].empty())
        s += " (" + p.names[static_cast<size_t>(i - 1)] + ")";
    return s;
}

class Run {
public:
    Run(const SimplexProblem& p, const std::vector<FitQuantities>& targets)
        : p_(p), mem_(*p.member), n_(p.values.hi()), targets_(targets), params_(1, n_),
          model_(p.potentials.size()) {
        for (int i = 1; i <= n_; ++i) {
            params_[i] = p.values[i];
            if (p.free[static_cast<size_t>(i - 1)]) freeIdx_.push_back(i);
        }
        m_ = static_cast<int>(freeIdx_.size());
        trace_.imbue(std::locale::classic());
    }

    // The objective at the free log coordinates x[0..m-1]; fixed parameters
    // keep their exact values.
    double objective(const std::vector<double>& x) {
        for (int j = 0; j < m_; ++j) params_[freeIdx_[static_cast<size_t>(j)]] = std::exp(x[static_cast<size_t>(j)]);
        int over = 0;
        for (int i : mem_.penalised)
            if (i >= 1 && i <= n_ && params_[i] > mem_.penaltyLimit) ++over;
        if (over > 0) return mem_.penaltyPerValue * over;
        double sum = 0;
        for (size_t k = 0; k < p_.potentials.size(); ++k) {
            FitQuantities& q = model_[k];
            q.fill(0.0);
            if (!p_.model(params_, p_.potentials[k], static_cast<int>(k), q)) return kBad;
            sum += CoefficientMisfit(mem_.compared, q, targets_[k]);
        }
        return std::isfinite(sum) ? sum : kBad;
    }

    double logOf(int i, const std::vector<double>* x) const {
        for (int j = 0; j < m_; ++j)
            if (freeIdx_[static_cast<size_t>(j)] == i) return x ? (*x)[static_cast<size_t>(j)] : 0;
        // Fixed parameters: the trace shows the logarithm of the value, a value
        // of zero or below as that of 1e-32.
        return std::log(std::max(p_.values[i], 1e-32));
    }

    void traceVertex(int v, const std::vector<double>& x) {
        for (int i = 1; i <= n_; ++i) {
            const double l = logOf(i, &x);
            if (mem_.trace == SimplexTraceLayout::Columned)
                trace_ << std::setw(5) << v << std::setw(5) << i << std::setw(15) << l << std::setw(15)
                       << std::exp(l) << '\n';
            else
                trace_ << v << "  " << i << "  " << l << '\n';
        }
    }
    void traceValue(int v, double y) {
        if (mem_.trace == SimplexTraceLayout::Columned)
            trace_ << "chi-squared =  " << v << std::setw(15) << y << '\n';
        else
            trace_ << v << "  " << y << '\n';
    }

    SimplexResult go() {
        SimplexResult r;
        const int mpts = m_ + 1;
        if (mem_.trace == SimplexTraceLayout::Columned) trace_ << m_ << "  " << mpts << '\n';

        // Initial simplex in the free log coordinates.
        double d1 = 0, d2 = 0;
        InitialOffsets(m_, mem_.step, d1, d2);
        std::vector<std::vector<double>> x(static_cast<size_t>(mpts), std::vector<double>(static_cast<size_t>(m_)));
        for (int j = 0; j < m_; ++j) x[0][static_cast<size_t>(j)] = std::log(p_.values[freeIdx_[static_cast<size_t>(j)]]);
        for (int v = 1; v < mpts; ++v)
            for (int j = 0; j < m_; ++j) x[static_cast<size_t>(v)][static_cast<size_t>(j)] = x[0][static_cast<size_t>(j)] + (j == v - 1 ? d1 : d2);
        std::vector<double> y(static_cast<size_t>(mpts));
        for (int v = 0; v < mpts; ++v) {
            traceVertex(v + 1, x[static_cast<size_t>(v)]);
            y[static_cast<size_t>(v)] = objective(x[static_cast<size_t>(v)]);
            traceValue(v + 1, y[static_cast<size_t>(v)]);
        }

        r.evaluations = minimise(x, y, r.reachedLimit);

        // The best vertex, the first of equal values; the mechanism is
        // evaluated there once more so the model quantities are the optimum's.
        size_t best = 0;
        for (size_t v = 1; v < y.size(); ++v)
            if (y[v] < y[best]) best = v;
        r.minimum = objective(x[best]);
        r.misfit = r.minimum / static_cast<double>(mem_.compared.size());
        if (mem_.trace == SimplexTraceLayout::Columned) trace_ << "minimum chi-squared =  " << r.minimum << '\n';
        r.values = params_;
        for (int i = 1; i <= n_; ++i) trace_ << i << "  " << r.values[i] << '\n';
        r.targets = targets_;
        r.model = model_;
        r.ran = true;
        if (!p_.tracePath.empty()) {
            std::string why;
            if (!WriteFileAtomically(p_.tracePath, trace_.str(), &why, false))
                r.traceError = "The trace file \"" + p_.tracePath + "\" could not be written: " + why + ".";
        }
        return r;
    }

private:
    double trial(std::vector<std::vector<double>>& x, std::vector<double>& y, std::vector<double>& psum,
                 int ihi, double f, int& count) {
        const double fac1 = (1.0 - f) / m_;
        const double fac2 = fac1 - f;
        std::vector<double> t(static_cast<size_t>(m_));
        auto& worst = x[static_cast<size_t>(ihi)];
        for (size_t j = 0; j < t.size(); ++j) t[j] = psum[j] * fac1 - worst[j] * fac2;
        const double yt = objective(t);
        ++count;
        if (yt < y[static_cast<size_t>(ihi)]) {
            y[static_cast<size_t>(ihi)] = yt;
            for (size_t j = 0; j < t.size(); ++j) {
                psum[j] += t[j] - worst[j];
                worst[j] = t[j];
            }
        }
        return yt;
    }

    int minimise(std::vector<std::vector<double>>& x, std::vector<double>& y, bool& reachedLimit) {
        const int mpts = m_ + 1;
        int count = 0;
        std::vector<double> psum(static_cast<size_t>(m_));
        auto sums = [&] {
            for (int j = 0; j < m_; ++j) {
                double s = 0;
                for (int v = 0; v < mpts; ++v) s += x[static_cast<size_t>(v)][static_cast<size_t>(j)];
                psum[static_cast<size_t>(j)] = s;
            }
        };
        sums();
        for (;;) {
            int ilo = 0, ihi, inhi;
            if (y[0] > y[1]) {
                ihi = 0;
                inhi = 1;
            } else {
                ihi = 1;
                inhi = 0;
            }
            for (int i = 0; i < mpts; ++i) {
                const double yi = y[static_cast<size_t>(i)];
                if (yi < y[static_cast<size_t>(ilo)]) ilo = i;
                if (yi > y[static_cast<size_t>(ihi)]) {
                    inhi = ihi;
                    ihi = i;
                } else if (yi > y[static_cast<size_t>(inhi)] && i != ihi) {
                    inhi = i;
                }
            }
            const double hi = y[static_cast<size_t>(ihi)], lo = y[static_cast<size_t>(ilo)];
            const double denom = std::fabs(hi) + std::fabs(lo);
            // All values zero: a perfect fit, nothing left to improve (0/0 otherwise).
            const double rtol = denom > 0 ? 2.0 * std::fabs(hi - lo) / denom : 0.0;
            if (rtol < mem_.tolerance) break;
            if (count >= mem_.evaluationLimit) {
                reachedLimit = true;
                break;
            }
            double ytry = trial(x, y, psum, ihi, -1.0, count);
            if (ytry <= y[static_cast<size_t>(ilo)]) {
                trial(x, y, psum, ihi, 2.0, count);
            } else if (ytry >= y[static_cast<size_t>(inhi)]) {
                const double ysave = y[static_cast<size_t>(ihi)];
                ytry = trial(x, y, psum, ihi, 0.5, count);
                if (ytry >= ysave) {
                    for (int i = 0; i < mpts; ++i) {
                        if (i == ilo) continue;
                        auto& xi = x[static_cast<size_t>(i)];
                        for (int j = 0; j < m_; ++j)
                            xi[static_cast<size_t>(j)] = 0.5 * (xi[static_cast<size_t>(j)] + x[static_cast<size_t>(ilo)][static_cast<size_t>(j)]);
                        y[static_cast<size_t>(i)] = objective(xi);
                    }
                    count += m_;
                    sums();
                }
            }
        }
        return count;
    }

    const SimplexProblem& p_;
    const SimplexMember& mem_;
    int n_;
    const std::vector<FitQuantities>& targets_;
    DVector params_;
    std::vector<FitQuantities> model_;
    std::vector<int> freeIdx_;
    int m_ = 0;
    std::ostringstream trace_;
};

}  // namespace

const SimplexMember& OptimAMember() {
    static const SimplexMember m{"OptimA", 2, {1, 2, 5, 6, 9}, 400000, 1e-10, 0.5, SimplexTraceLayout::Columned,
                                 {}, 0, 0};
    return m;
}

const SimplexMember& OptimBCMember() {
    static const SimplexMember m{"OptimB and OptimC", 3, {1, 2, 3, 5, 6, 7, 9}, 800000, 1e-10, 0.5,
                                 SimplexTraceLayout::Plain, {}, 0, 0};
    return m;
}

const SimplexMember& OptimDMember() {
    // The potential factors b_i sit at the even entries 2..24.
    static const SimplexMember m{"OptimD", 4, Range(1, 9), 1000000, 1e-10, 0.5, SimplexTraceLayout::Plain,
                                 {2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24}, 200.0, 500.0};
    return m;
}

void InitialOffsets(int m, double step, double& d1, double& d2) {
    const double root = std::sqrt(static_cast<double>(m) + 1.0);
    d1 = (root + m - 1.0) * step / (1.414 * m);
    d2 = (root - 1.0) * step / (1.414 * m);
}

double MisfitTerm(double model, double target) {
    const double d = model - target;
    const double s = model + target;
    if (s == 0.0) return d == 0.0 ? 0.0 : kBad;
    const double t = 0.5 * d / s;
    return t * t;
}

double CoefficientMisfit(const std::vector<int>& compared, const FitQuantities& model, const FitQuantities& target) {
    double sum = 0;
    for (int c : compared) sum += MisfitTerm(model[c], target[c]);
    return sum;
}

bool PrepareTargets(CircuitType circuit, int species, const std::vector<double>& elements, FitQuantities& target,
                    std::string& error) {
    const int need = 2 * species + 2;
    if (species < 1 || species > 4 || static_cast<int>(elements.size()) < need) {
        error = "Each data potential needs " + std::to_string(need) + " element values.";
        return false;
    }
    CircuitElements e;
    for (int i = 1; i <= need; ++i) {
        const double v = elements[static_cast<size_t>(i - 1)];
        if (v == 0.0 || !std::isfinite(v)) {
            error = "Element " + std::to_string(i) + " is zero or not a number.";
            return false;
        }
        e[i] = v;
    }
    TransferCoefficients a;
    a.fill(0.0);
    const KineticStatus st = TransferFunctionFromElements(circuit, species, e, a);
    if (st != KineticStatus::Ok) {
        error = std::string("The elements give no transfer function (") + KineticStatusName(st) + ").";
        return false;
    }
    target.fill(0.0);
    for (int c = 1; c <= 8; ++c) target[c] = a[c];
    double g = 1.0 / e[2];
    if (circuit == CircuitType::CRBased)
        for (int k = 1; k <= species; ++k) g += 1.0 / e[2 * k + 2];
    target[9] = g;
    return true;
}

SimplexResult RunSimplexFit(const SimplexProblem& p) {
    SimplexResult r;
    r.values = p.values;
    auto refuse = [&](const std::string& why) {
        r.message = why;
        return r;
    };
    if (!p.member || !p.model) return refuse("No mechanism is given to fit.");
    const int n = p.values.hi();
    if (p.values.lo() != 1 || n < 1 || n > p.limits.maxParams)
        return refuse("A fit takes from 1 to " + std::to_string(p.limits.maxParams) + " parameters.");
    if (static_cast<int>(p.free.size()) != n) return refuse("Every parameter needs its free or fixed mark.");
    int m = 0;
    for (int i = 1; i <= n; ++i) {
        const double v = p.values[i];
        if (!std::isfinite(v)) return refuse("The value of " + ParamLabel(p, i) + " is not a number.");
        if (p.free[static_cast<size_t>(i - 1)]) {
            ++m;
            if (v <= 0.0)
                return refuse("The free " + ParamLabel(p, i) +
                              " must be above zero: the fit works on the logarithms of the values. Fix it or give it a positive start value.");
        }
    }
    if (m == 0) return refuse("No parameter is free: there is nothing to fit.");
    if (m > p.limits.maxFree)
        return refuse("At most " + std::to_string(p.limits.maxFree) + " parameters can be free at once.");
    const size_t nPot = p.potentials.size();
    if (nPot < 1 || static_cast<int>(nPot) > p.limits.maxPotentials)
        return refuse("A fit takes from 1 to " + std::to_string(p.limits.maxPotentials) + " data potentials.");
    if (p.elements.size() != nPot) return refuse("Every data potential needs its row of element values.");
    std::vector<FitQuantities> targets(nPot);
    for (size_t k = 0; k < nPot; ++k) {
        if (static_cast<int>(p.elements[k].size()) > p.limits.maxElements)
            return refuse("A data potential has more than " + std::to_string(p.limits.maxElements) + " element values.");
        std::string why;
        if (!PrepareTargets(p.circuit, p.member->species, p.elements[k], targets[k], why))
            return refuse("Data potential " + std::to_string(k + 1) + ": " + why);
    }
    Run run(p, targets);
    return run.go();
}

}  // namespace pellucor::kinfit
