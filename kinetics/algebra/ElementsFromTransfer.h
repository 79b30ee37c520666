#pragma once
// From faradaic-admittance coefficients back to circuit elements: the poles
// of Y_F, the partial-fraction residue of each, and one series C-R or L-R
// branch per relaxation; and the real roots of a cubic. Coefficient and
// element layouts as in kinetics/algebra/TransferFunction.h.
#include "kinetics/algebra/KineticStatus.h"
#include "kinetics/algebra/TransferFunction.h"

namespace pellucor {

// Poles p_k of Y_F and residues r_k = N(p_k)/prod_{j != k}(p_k - p_j), so
// Y_F = sum r_k/(s - p_k); branch k is written to e[2k-1], e[2k]:
//   CRBased: C_k = -r_k/p_k^2, R_k = p_k/r_k;   LRBased: L_k = 1/r_k, R_k = -p_k/r_k.
// Order of the branches (the windows' edits depend on it):
//   n = 1: p1 = -a5.
//   n = 2: pair 1 is the larger pole (-a6 + sqrt(a6^2 - 4 a5))/2, pair 2 the smaller.
//   n = 3: the poles ascending, the most negative first (CubicRoots of D).
//   n = 4: Newton's method from s = 0 finds the pole nearest above (pair 4);
//          the three other poles, ascending, are pairs 1 to 3.
// Entries beyond 2n are not written. Cases without n real branches:
//   ComplexPoles, RepeatedPoles (poles closer than 1e-9 relative for n <= 2,
//   1e-5 for n >= 3, where the cubic's own error is about 1e-6),
//   NoConvergence (no real Newton pole), NotFinite: all 2n entries 0.
//   ZeroResidue (either type) or ZeroPole (CRBased): that pair 0, the other
//   pairs as computed; the first such case is returned.
//   BadOrder (n outside 1..4): nothing written.
KineticStatus ElementsFromTransferFunction(CircuitType type, int n, const TransferCoefficients& a,
                                           BranchElements& e);

// Real roots of x^3 + a x^2 + b x + c = 0; returns 3 or 1 (0 with all roots 0
// when a coefficient is not finite or so large that the formulas overflow).
// 3: root1 <= root2 <= root3, by the trigonometric solution with
//    pi = 3.141592 (2 pi = 6.283184, 4 pi = 12.566368); the short pi alone
//    leaves an error of about 1e-6 of the largest root, which ruins roots much
//    smaller than that one. So the largest root is settled by Newton steps,
//    the other two follow from it as the roots of the remaining quadratic,
//    and each root is then settled by Newton steps on the cubic.
//    A double or triple root (discriminant exactly zero) is returned as 3
//    roots with the repeats.
//    When two roots lie so close together, beside a third one decades
//    larger, that the discriminant is lost in rounding, the far root is
//    divided out and the quadratic left decides between 3 and 1.
// 1: root1 is the real root (Cardano); root2 and root3 are set to the same
//    value, never left undefined.
int CubicRoots(double a, double b, double c, double& root1, double& root2, double& root3);

}  // namespace pellucor
