#include "kinetics/algebra/TransferFunction.h"

#include <cmath>

#include "kinetics/algebra/ElementsFromTransfer.h"
#include "kinetics/algebra/Quotient.h"

namespace pellucor {

namespace {

// The linearised kinetics as plain fixed arrays (0-based), copied once.
struct Kinetics {
    int n = 0;
    double J[4][4] = {};
    double u[4] = {};
    double w[4] = {};
};

// Determinant of the principal or general submatrix of J on the rows r[] and
// columns c[] (k = 1..4), by cofactor expansion along its first row.
double SubDet(const Kinetics& k, const int* r, const int* c, int m) {
    if (m == 1) return k.J[r[0]][c[0]];
    if (m == 2) return k.J[r[0]][c[0]] * k.J[r[1]][c[1]] - k.J[r[0]][c[1]] * k.J[r[1]][c[0]];
    double sum = 0.0;
    int rest[3], cols[3];
    for (int i = 1; i < m; ++i) rest[i - 1] = r[i];
    for (int j = 0; j < m; ++j) {
        int q = 0;
        for (int t = 0; t < m; ++t)
            if (t != j) cols[q++] = c[t];
        const double term = k.J[r[0]][c[j]] * SubDet(k, rest, cols, m - 1);
        sum += (j % 2 == 0) ? term : -term;
    }
    return sum;
}

// Sum of the principal minors of order m of J (n x n).
double PrincipalMinorSum(const Kinetics& k, int m) {
    double sum = 0.0;
    int idx[4];
    for (int mask = 0; mask < (1 << k.n); ++mask) {
        int q = 0;
        for (int i = 0; i < k.n; ++i)
            if (mask & (1 << i)) idx[q++] = i;
        if (q == m) sum += SubDet(k, idx, idx, m);
    }
    return sum;
}

void MatVec(const Kinetics& k, const double* x, double* y) {
    for (int i = 0; i < k.n; ++i) {
        double s = 0.0;
        for (int j = 0; j < k.n; ++j) s += k.J[i][j] * x[j];
        y[i] = s;
    }
}

double Dot(int n, const double* x, const double* y) {
    double s = 0.0;
    for (int i = 0; i < n; ++i) s += x[i] * y[i];
    return s;
}

// Coefficients in the closed forms per n: the denominator is det(sI - J) from
// the trace and principal minors, the numerator w^T adj(sI - J) u from the
// recurrence B(n-1) = I, B(k-1) = J B(k) + c(k) I.
KineticStatus Coefficients(const Kinetics& k, TransferCoefficients& a) {
    a.fill(0.0);
    const int n = k.n;
    if (n < 1 || n > 4) return KineticStatus::BadOrder;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(k.u[i]) || !std::isfinite(k.w[i])) return KineticStatus::NotFinite;
        for (int j = 0; j < n; ++j)
            if (!std::isfinite(k.J[i][j])) return KineticStatus::NotFinite;
    }
    const double* J0 = k.J[0];
    const double* J1 = k.J[1];
    switch (n) {
        case 1:
            a[1] = k.w[0] * k.u[0];
            a[5] = -J0[0];
            break;
        case 2:
            a[1] = k.w[0] * (J0[1] * k.u[1] - J1[1] * k.u[0]) + k.w[1] * (J1[0] * k.u[0] - J0[0] * k.u[1]);
            a[2] = k.w[0] * k.u[0] + k.w[1] * k.u[1];
            a[5] = J0[0] * J1[1] - J0[1] * J1[0];
            a[6] = -(J0[0] + J1[1]);
            break;
        default: {
            double Ju[4], J2u[4], J3u[4];
            MatVec(k, k.u, Ju);
            MatVec(k, Ju, J2u);
            MatVec(k, J2u, J3u);
            const double wu = Dot(n, k.w, k.u), wJu = Dot(n, k.w, Ju), wJ2u = Dot(n, k.w, J2u);
            const int all[4] = {0, 1, 2, 3};
            double trace = 0.0;
            for (int i = 0; i < n; ++i) trace += k.J[i][i];
            if (n == 3) {
                a[7] = -trace;
                a[6] = PrincipalMinorSum(k, 2);
                a[5] = -SubDet(k, all, all, 3);
                a[3] = wu;
                a[2] = wJu + a[7] * wu;
                a[1] = wJ2u + a[7] * wJu + a[6] * wu;
            } else {
                a[8] = -trace;
                a[7] = PrincipalMinorSum(k, 2);
                a[6] = -PrincipalMinorSum(k, 3);
                a[5] = SubDet(k, all, all, 4);
                a[4] = wu;
                a[3] = wJu + a[8] * wu;
                a[2] = wJ2u + a[8] * wJu + a[7] * wu;
                a[1] = Dot(n, k.w, J3u) + a[8] * wJ2u + a[7] * wJu + a[6] * wu;
            }
        }
    }
    for (double v : a)
        if (!std::isfinite(v)) {
            a.fill(0.0);
            return KineticStatus::NotFinite;
        }
    return KineticStatus::Ok;
}

Kinetics FromComplex(int n, const ComplexMatrix& J, const Vector<Complex>& u, const DVector& w) {
    Kinetics k;
    k.n = n;
    if (n < 1 || n > 4) return k;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) k.J[i - 1][j - 1] = J[i][j].re;
        k.u[i - 1] = u[i].re;
        k.w[i - 1] = w[i];
    }
    return k;
}

Kinetics FromReal(int n, const DMatrix& J, const DVector& u, const DVector& w) {
    Kinetics k;
    k.n = n;
    if (n < 1 || n > 4) return k;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) k.J[i - 1][j - 1] = J[i][j];
        k.u[i - 1] = u[i];
        k.w[i - 1] = w[i];
    }
    return k;
}

KineticStatus WithElements(CircuitType type, const Kinetics& k, TransferCoefficients& a,
                           BranchElements& e) {
    e.fill(0.0);
    const KineticStatus s = Coefficients(k, a);
    if (s != KineticStatus::Ok) return s;
    return ElementsFromTransferFunction(type, k.n, a, e);
}

}  // namespace

KineticStatus TransferCoefficientsFromJacobian(int n, const ComplexMatrix& J, const Vector<Complex>& u,
                                               const DVector& w, TransferCoefficients& a) {
    return Coefficients(FromComplex(n, J, u, w), a);
}

KineticStatus TransferFunctionFromJacobian(CircuitType type, int n, const ComplexMatrix& J,
                                           const Vector<Complex>& u, const DVector& w,
                                           TransferCoefficients& a, BranchElements& e) {
    return WithElements(type, FromComplex(n, J, u, w), a, e);
}

KineticStatus TransferFunctionFromRealJacobian(CircuitType type, int n, const DMatrix& J,
                                               const DVector& u, const DVector& w,
                                               TransferCoefficients& a, BranchElements& e) {
    return WithElements(type, FromReal(n, J, u, w), a, e);
}

KineticStatus TransferFunctionFromElements(CircuitType type, int n, const CircuitElements& e,
                                           TransferCoefficients& a) {
    if (n < 1 || n > 4) return KineticStatus::BadOrder;
    double g[4], h[4];
    for (int k = 1; k <= n; ++k) {
        const double x = e[2 * k + 1], r = e[2 * k + 2];  // C_k or L_k, then R_k
        if (!std::isfinite(x) || !std::isfinite(r)) return KineticStatus::NotFinite;
        if (type == CircuitType::CRBased) {
            // A zero R leaves a pure capacitor, not a relaxation; a zero C no branch.
            if (x == 0.0 || r == 0.0) return KineticStatus::ZeroElement;
            const double cr = x * r, cr2 = x * r * r;
            if (cr == 0.0 || cr2 == 0.0) return KineticStatus::NotFinite;  // underflow
            g[k - 1] = -1.0 / cr2;
            h[k - 1] = 1.0 / cr;
        } else {
            if (x == 0.0) return KineticStatus::ZeroElement;
            g[k - 1] = 1.0 / x;
            h[k - 1] = r / x;
        }
        if (!std::isfinite(g[k - 1]) || !std::isfinite(h[k - 1])) return KineticStatus::NotFinite;
    }
    TransferCoefficients b = a;
    switch (n) {
        case 1:
            b[1] = g[0];
            b[5] = h[0];
            break;
        case 2:
            b[1] = g[0] * h[1] + g[1] * h[0];
            b[2] = g[0] + g[1];
            b[5] = h[0] * h[1];
            b[6] = h[0] + h[1];
            break;
        case 3:
            b[1] = g[0] * h[1] * h[2] + g[1] * h[0] * h[2] + g[2] * h[0] * h[1];
            b[2] = g[0] * (h[1] + h[2]) + g[1] * (h[0] + h[2]) + g[2] * (h[0] + h[1]);
            b[3] = g[0] + g[1] + g[2];
            b[5] = h[0] * h[1] * h[2];
            b[6] = h[0] * h[1] + h[1] * h[2] + h[0] * h[2];
            b[7] = h[0] + h[1] + h[2];
            break;
        default: {
            // For each k the elementary symmetric sums of the other three h.
            double s1 = 0.0, s2 = 0.0, s3 = 0.0, g1 = 0.0;
            for (int k = 0; k < 4; ++k) {
                double o[3];
                int q = 0;
                for (int l = 0; l < 4; ++l)
                    if (l != k) o[q++] = h[l];
                s3 += g[k] * (o[0] * o[1] * o[2]);
                s2 += g[k] * (o[0] * o[1] + o[0] * o[2] + o[1] * o[2]);
                s1 += g[k] * (o[0] + o[1] + o[2]);
                g1 += g[k];
            }
            b[1] = s3;
            b[2] = s2;
            b[3] = s1;
            b[4] = g1;
            b[5] = h[0] * h[1] * h[2] * h[3];
            b[6] = h[0] * h[1] * h[2] + h[0] * h[1] * h[3] + h[0] * h[2] * h[3] + h[1] * h[2] * h[3];
            b[7] = h[0] * h[1] + h[0] * h[2] + h[0] * h[3] + h[1] * h[2] + h[1] * h[3] + h[2] * h[3];
            b[8] = h[0] + h[1] + h[2] + h[3];
        }
    }
    for (int i = 1; i <= n; ++i)
        if (!std::isfinite(b[i]) || !std::isfinite(b[4 + i])) return KineticStatus::NotFinite;
    a = b;
    return KineticStatus::Ok;
}

Complex FaradaicAdmittance(int n, double omega, const TransferCoefficients& a, KineticStatus* status) {
    const double w = omega, w2 = omega * omega;
    Complex num, den;
    switch (n) {
        case 1:
            num = {a[1], 0.0};
            den = {a[5], w};
            break;
        case 2:
            num = {a[1], a[2] * w};
            den = {a[5] - w2, a[6] * w};
            break;
        case 3:
            num = {a[1] - a[3] * w2, a[2] * w};
            den = {a[5] - a[7] * w2, a[6] * w - w2 * w};
            break;
        case 4:
            num = {a[1] - a[3] * w2, a[2] * w - a[4] * w2 * w};
            den = {a[5] - a[7] * w2 + w2 * w2, a[6] * w - a[8] * w2 * w};
            break;
        default:
            if (status) *status = KineticStatus::BadOrder;
            return {0.0, 0.0};
    }
    // A divisor that is not a number is turned into a tiny one, so the
    // operands are tested as well as the quotient.
    const Complex y = kinetic_detail::Quotient(num, den);
    const bool finite = std::isfinite(num.re) && std::isfinite(num.im) && std::isfinite(den.re) &&
                        std::isfinite(den.im) && std::isfinite(y.re) && std::isfinite(y.im);
    if (!finite) {
        if (status) *status = KineticStatus::NotFinite;
        return {0.0, 0.0};
    }
    if (status) *status = den.re == 0.0 && den.im == 0.0 ? KineticStatus::Singular : KineticStatus::Ok;
    return y;
}

}  // namespace pellucor
