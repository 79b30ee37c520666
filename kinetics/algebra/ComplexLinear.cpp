#include "kinetics/algebra/ComplexLinear.h"

#include <cmath>
#include <vector>

#include "kinetics/algebra/Quotient.h"

namespace pellucor {

namespace {

// A copy of the leading n x n block, so the callers' matrix is never touched
// and the four-species case needs no allocation.
struct Small {
    Complex m[4][4];
    Complex& at(int i, int j) { return m[i - 1][j - 1]; }
    const Complex& at(int i, int j) const { return m[i - 1][j - 1]; }
};

Complex Det2(const Small& s, int r1, int r2, int c1, int c2) {
    return ComplexSub(ComplexMul(s.at(r1, c1), s.at(r2, c2)), ComplexMul(s.at(r2, c1), s.at(r1, c2)));
}

// Rule of Sarrus on rows r[0..2] and columns c[0..2], rows taken cyclically.
Complex Det3(const Small& s, const int r[3], const int c[3]) {
    Complex plus{0.0, 0.0}, minus{0.0, 0.0};
    for (int i = 0; i < 3; ++i) {
        const int i1 = r[i], i2 = r[(i + 1) % 3], i3 = r[(i + 2) % 3];
        Complex p{1.0, 0.0};
        p = ComplexMul(p, s.at(i1, c[0]));
        p = ComplexMul(p, s.at(i2, c[1]));
        p = ComplexMul(p, s.at(i3, c[2]));
        plus = ComplexAdd(plus, p);
        Complex q{1.0, 0.0};
        q = ComplexMul(q, s.at(i1, c[2]));
        q = ComplexMul(q, s.at(i2, c[1]));
        q = ComplexMul(q, s.at(i3, c[0]));
        minus = ComplexAdd(minus, q);
    }
    return ComplexSub(plus, minus);
}

Complex DetSmall(int n, const Small& s) {
    switch (n) {
        case 1: return s.at(1, 1);
        case 2: return Det2(s, 1, 2, 1, 2);
        case 3: {
            const int r[3] = {1, 2, 3}, c[3] = {1, 2, 3};
            return Det3(s, r, c);
        }
        default: {
            // Cofactor expansion along row 1 into 3 x 3 minors.
            const int rows[3] = {2, 3, 4};
            Complex sum{0.0, 0.0};
            for (int j = 1; j <= 4; ++j) {
                int cols[3], k = 0;
                for (int c = 1; c <= 4; ++c)
                    if (c != j) cols[k++] = c;
                const Complex term = ComplexMul(s.at(1, j), Det3(s, rows, cols));
                sum = (j % 2 == 1) ? ComplexAdd(sum, term) : ComplexSub(sum, term);
            }
            return sum;
        }
    }
}

double Modulus(Complex z) { return std::hypot(z.re, z.im); }
bool Finite(Complex z) { return std::isfinite(z.re) && std::isfinite(z.im); }

// Larger systems (no caller has them): elimination with partial pivoting.
Complex DetLarge(int n, std::vector<Complex> m) {
    auto at = [&](int i, int j) -> Complex& { return m[static_cast<size_t>((i - 1) * n + (j - 1))]; };
    Complex det{1.0, 0.0};
    for (int k = 1; k <= n; ++k) {
        int p = k;
        for (int i = k + 1; i <= n; ++i)
            if (Modulus(at(i, k)) > Modulus(at(p, k))) p = i;
        if (at(p, k).re == 0.0 && at(p, k).im == 0.0) return {0.0, 0.0};
        if (p != k) {
            for (int j = 1; j <= n; ++j) std::swap(at(p, j), at(k, j));
            det = ComplexScale(-1.0, det);
        }
        det = ComplexMul(det, at(k, k));
        for (int i = k + 1; i <= n; ++i) {
            const Complex f = kinetic_detail::Quotient(at(i, k), at(k, k));
            for (int j = k; j <= n; ++j) at(i, j) = ComplexSub(at(i, j), ComplexMul(f, at(k, j)));
        }
    }
    return det;
}

// The determinant of a with column `col` replaced by b (col = 0: none).
Complex DetWithColumn(int n, const ComplexMatrix& a, const Vector<Complex>* b, int col) {
    if (n <= 4) {
        Small s;
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) s.at(i, j) = (j == col) ? (*b)[i] : a[i][j];
        return DetSmall(n, s);
    }
    std::vector<Complex> m(static_cast<size_t>(n) * static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            m[static_cast<size_t>((i - 1) * n + (j - 1))] = (j == col) ? (*b)[i] : a[i][j];
    return DetLarge(n, std::move(m));
}

// Hadamard's bound: |det a| <= product of the row lengths. A determinant
// far below it is rounding noise of its own products, not a value to divide by.
bool NumericallySingular(int n, const ComplexMatrix& a, Complex det) {
    double ratio = Modulus(det);
    if (ratio == 0.0) return true;
    for (int i = 1; i <= n; ++i) {
        double len2 = 0.0;
        for (int j = 1; j <= n; ++j) len2 += a[i][j].re * a[i][j].re + a[i][j].im * a[i][j].im;
        if (len2 == 0.0) return true;
        ratio /= std::sqrt(len2);
    }
    return !(ratio > 1e-14);
}

}  // namespace

Complex ComplexDeterminant(int n, const ComplexMatrix& a) {
    if (n < 1) return {0.0, 0.0};
    return DetWithColumn(n, a, nullptr, 0);
}

KineticStatus SolveComplexLinear(int n, const ComplexMatrix& a, const Vector<Complex>& b,
                                 Vector<Complex>& x, Complex& work, Complex& det) {
    if (n < 1) return KineticStatus::BadOrder;
    if (n == 1) {
        x[1] = kinetic_detail::Quotient(b[1], a[1][1]);
        // A divisor that is not a number is turned into a tiny one, so test it.
        if (!Finite(a[1][1]) || !Finite(x[1])) return KineticStatus::NotFinite;
        return NumericallySingular(1, a, a[1][1]) ? KineticStatus::Singular : KineticStatus::Ok;
    }
    det = ComplexDeterminant(n, a);
    bool finite = Finite(det);  // tested before its quotients are trusted, as above
    for (int j = 1; j <= n; ++j) {
        work = DetWithColumn(n, a, &b, j);
        x[j] = kinetic_detail::Quotient(work, det);
        finite = finite && Finite(x[j]);
    }
    if (!finite) return KineticStatus::NotFinite;
    return NumericallySingular(n, a, det) ? KineticStatus::Singular : KineticStatus::Ok;
}

}  // namespace pellucor
