#pragma once
// Faradaic admittance of a reaction mechanism with n = 1..4 adsorbed species,
// as coefficients of a rational function of s = j*omega, and its conversion
// from linearised kinetics and from equivalent-circuit element values.
//
// Coefficients a[1..8] (TransferCoefficients):
//   Y_F(s) = N(s)/D(s),  N(s) = a1 + a2 s + a3 s^2 + a4 s^3   (degree n-1),
//                        D(s) = a5 + a6 s + a7 s^2 + a8 s^3 + s^n (monic, degree n).
//   n = 1: a1/(a5 + s); n = 2: (a1 + a2 s)/(a5 + a6 s + s^2); n = 3 and 4 alike.
//   Entries beyond those of n are not used.
//
// Linearised kinetics: J[i][j] = d(rate of coverage i)/d(coverage j) divided by
// the site density, u[i] = d(rate of coverage i)/dE, w[i] = d(faradaic
// current)/d(coverage i). Then Y_F(j omega) = w^T (j omega I - J)^-1 u.
// The total admittance 1/Rt + Y_F + j omega Cdl is the caller's sum.
//
// Each of the n relaxations g_k/(s + h_k) is drawn as one branch:
//   CircuitType::CRBased: series C_k-R_k, 1/(R_k + 1/(j omega C_k)) =
//     g_k/(j omega + h_k) + 1/R_k with g_k = -1/(C_k R_k^2), h_k = 1/(C_k R_k);
//     the constants 1/R_k belong to the parallel resistance, which a window
//     shows as Rp = 1/(1/Rt - sum 1/R_k). Circuits like "(CR(CR)(CR))".
//   CircuitType::LRBased: series L_k-R_k, 1/(R_k + j omega L_k) exactly, with
//     g_k = 1/L_k, h_k = R_k/L_k; the parallel resistance is Rt itself.
//     Circuits like "(CR(LR)(LR))".
//
// Two element layouts, both 1-based, pair k = branch k:
//   CircuitElements[1..10] (input of TransferFunctionFromElements): 1 = Cdl,
//     2 = Rt or Rp (neither read), then C_k or L_k at 2k+1 and R_k at 2k+2 -
//     the order of the circuit code and of a kinetic fit data file row.
//   BranchElements[1..8] (output of the Jacobian functions and of
//     ElementsFromTransferFunction): C_k or L_k at 2k-1, R_k at 2k.
#include "core/Bounded.h"
#include "core/Complex.h"
#include "core/NumericLib.h"
#include "kinetics/algebra/KineticStatus.h"

namespace pellucor {

using TransferCoefficients = FixedArray<double, 1, 8>;
using BranchElements = FixedArray<double, 1, 8>;
using CircuitElements = FixedArray<double, 1, 10>;

enum class CircuitType { LRBased = 0, CRBased = 1 };

// The windows keep the choice as a check box: set = "(CR) based".
constexpr CircuitType CircuitTypeFromFlag(bool crBased) {
    return crBased ? CircuitType::CRBased : CircuitType::LRBased;
}

// Coefficients only. J is read from J[1..n][1..n] (real parts), u from
// u[1..n] (real parts), w from w[1..n]. a is set to 0 first; then
// D(s) = det(sI - J) (a5 = c0 .. a(4+n-1) = c(n-1)) and
// N(s) = w^T adj(sI - J) u (a1 .. an). No allocation.
// BadOrder for n outside 1..4 and NotFinite when the inputs or the
// coefficients are not finite; a then stays all zeros.
KineticStatus TransferCoefficientsFromJacobian(int n, const ComplexMatrix& J, const Vector<Complex>& u,
                                               const DVector& w, TransferCoefficients& a);

// Coefficients as above, then the branch elements by
// ElementsFromTransferFunction. a and e are set to 0 first. The status is the
// first that is not Ok: of the coefficients, then of the elements.
KineticStatus TransferFunctionFromJacobian(CircuitType type, int n, const ComplexMatrix& J,
                                           const Vector<Complex>& u, const DVector& w,
                                           TransferCoefficients& a, BranchElements& e);

// The same with a real Jacobian J[1..n][1..n] and real u[1..n], w[1..n]
// (the four-species windows and their optimiser).
KineticStatus TransferFunctionFromRealJacobian(CircuitType type, int n, const DMatrix& J,
                                               const DVector& u, const DVector& w,
                                               TransferCoefficients& a, BranchElements& e);

// Coefficients of sum over k of g_k/(s + h_k) from the branch pairs of e
// (entries 2k+1, 2k+2; entries 1 and 2 are not read). Writes only the 2n
// coefficients of its n (a1..an, a5..a(4+n)); the others keep their values,
// so a[6] after an n = 1 call is whatever it held before.
// ZeroElement (a value of zero, so g or h would divide by zero), NotFinite or
// BadOrder leave a unchanged.
KineticStatus TransferFunctionFromElements(CircuitType type, int n, const CircuitElements& e,
                                           TransferCoefficients& a);

// Y_F(j omega) = N(j omega)/D(j omega), formed in closed form per n and
// divided exactly, however small the denominator. At omega = 0 it is
// a1/a5 + 0j. A denominator that is exactly zero (a pole on the imaginary
// axis, e.g. a5 = 0 at omega = 0) gives ComplexDiv's very large finite
// value and, when asked, Singular in *status.
// Coefficients that are not finite give 0 and NotFinite; n outside 1..4
// gives 0 and BadOrder.
Complex FaradaicAdmittance(int n, double omega, const TransferCoefficients& a,
                           KineticStatus* status = nullptr);

}  // namespace pellucor
