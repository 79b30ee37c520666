#include "kinetics/fitting/PatternSearch.h"

#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

namespace pellucor::kinfit {

PatternRule NickelRule() {
    return {0.149, 200, 3, 1e-5, [](int type, double) { return type == 1; }};
}

PatternRule ChromiumRule() {
    return {0.15, 100, 40, 1e-5, [](int type, double trial) {
                if (type == 0) return false;
                if (type == 2) return std::fabs(trial) > 5.0 && std::fabs(trial) < 100.0;
                return true;
            }};
}

PatternResult RunPatternSearch(const PatternRule& rule, const DVector& values, const std::vector<int>& types,
                               const std::function<double(const DVector&)>& objective, int maxParams) {
    PatternResult r;
    r.values = values;
    const int n = values.hi();
    if (values.lo() != 1 || n < 1 || n > maxParams) {
        r.message = "A search takes from 1 to " + std::to_string(maxParams) + " parameters.";
        return r;
    }
    if (static_cast<int>(types.size()) != n || !objective) {
        r.message = "Every parameter needs its type.";
        return r;
    }
    DVector cur = values;
    double best = 1e10, previous = 1e5, step = rule.firstStep;
    for (int pass = 1;; ++pass) {
        if (pass > 1) step *= 0.5;
        for (int sweep = 0; sweep < rule.sweeps; ++sweep) {
            for (int i = 1; i <= n; ++i) {
                const double base = cur[i];
                double kept = base;
                for (int j = -1; j <= 1; ++j) {
                    const double t = (1.0 + j * step) * base;
                    if (!rule.allowed(types[static_cast<size_t>(i - 1)], t)) continue;
                    cur[i] = t;
                    const double s = objective(cur);
                    ++r.evaluations;
                    if (s < best) {
                        best = s;
                        kept = t;
                    }
                }
                cur[i] = kept;
            }
        }
        r.passes = pass;
        const double sum = best + previous;
        // Both zero: nothing changes any more (0/0 otherwise).
        const double change = sum != 0.0 ? std::fabs((best - previous) / sum) : 0.0;
        previous = best;
        if (!(change >= rule.changeTolerance) || pass >= rule.maxPasses) break;
    }
    objective(cur);
    r.values = cur;
    r.best = best;
    r.ran = true;
    return r;
}

std::string CrkbsText(const std::vector<CrkbsRecord>& records, const std::vector<std::vector<double>>& measured,
                      const std::vector<std::vector<double>>& model) {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << std::left;
    for (const auto& rec : records)
        os << std::setw(12) << rec.name << std::setw(5) << rec.type << std::setw(12) << rec.initial << std::setw(12)
           << rec.optimum << '\n';
    for (size_t i = 0; i < measured.size(); ++i)
        for (size_t j = 0; j < measured[i].size(); ++j) {
            const double mod = i < model.size() && j < model[i].size() ? model[i][j] : 0.0;
            os << std::setw(5) << i + 1 << std::setw(5) << j + 1 << std::setw(15) << measured[i][j] << std::setw(15)
               << mod << '\n';
        }
    return os.str();
}

}  // namespace pellucor::kinfit
