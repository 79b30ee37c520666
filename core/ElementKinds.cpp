#include "core/ElementKinds.h"

namespace pellucor {
namespace {

// Indexed by ElementCode. No element letter yields rows 29-31 and 46-50;
// they keep their names and labels all the same.
const ElementKind kKinds[MaxElementCode + 1] = {
    {' ', "  ", 1.0, "Not used         ", "Not used         "},  // 0 none
    {'R', "R ", 100.0, "Resistance,    [ohm-cm2]", "Resistance,        [ohm]"},  // 1 R
    {'C', "C ", 1e-5, "Capacitance,     [F/cm2]", "Capacitance,         [F]"},  // 2 C
    {'L', "L ", 1e-5, "Inductance,  [Henri-cm2]", "Inductance,      [Henri]"},  // 3 L
    {'W', "W ", 1e-5, "Warburg,Yo [S-sec^.5/cm2]", "Warburg,Yo    [S-sec^.5]"},  // 4 W
    {'Q', "Q-Yo", 1e-5, "CPE,  Yo  [S-sec^n/cm2]", "CPE,  Yo       [S-sec^n]"},  // 5 Q
    {'n', "Q-n", 0.8, "Freq power, n    [0<n<1]", "Freq power, n    [0<n<1]"},  // 6 Q
    {'T', "T-Yo", 0.01, "Tanh, Yo  [S-sec^.5/cm2]", "Tanh, Yo      [S-sec^.5]"},  // 7 T
    {'B', "T-B", 5.0, "          ,   B [sec^.5]", "          ,   B [sec^.5]"},  // 8 T
    {'O', "O-Yo", 0.01, "Coth, Yo  [S-sec^.5/cm2]", "Coth, Yo      [S-sec^.5]"},  // 9 O
    {'B', "O-B", 5.0, "          ,   B [sec^.5]", "          ,   B [sec^.5]"},  // 10 O
    {'G', "G-Yo", 0.01, "Gerischer, Yo[S-sec^.5/cm2]", "Gerischer, Yo [S-sec^.5]"},  // 11 G
    {'K', "G-Ka", 1.0, "         ,   Ka [sec^-1]", "         ,   Ka [sec^-1]"},  // 12 G
    {'H', "H-C", 1e-5, "H-N Element,Co-Cinf [F]", "H-N Element,Co-Cinf  [F]"},  // 13 H
    {'t', "H-tau", 0.001, "  Time const, tau [sec]", "Time const,  tau   [sec]"},  // 14 H
    {'u', "H-mu", 0.8, "   power, mu   [0<mu<1]", "   power, mu    [0<mu<1]"},  // 15 H
    {'p', "H-psi", 0.8, "   power, psi [0<psi<1]", "   power, psi  [0<psi<1]"},  // 16 H
    {'A', "U-Xa", 1000.0, "DX_U,      Xa [ohms-cm2]", "DX_U,      Xa     [ohms]"},  // 17 U
    {'r', "U-Xb", 10.0, "           Xb [ohms-cm2]", "           Xb     [ohms]"},  // 18 U
    {'w', "U-w0", 100.0, "           w0  [sec^-1]", "           w0   [sec^-1]"},  // 19 U
    {'w', "U-w1", 1.0, "           w1  [sec^-1]", "           w1   [sec^-1]"},  // 20 U
    {'f', "U-k*a/D", 10.0, "           k*a/D    [ ]", "           k*a/D     [ ]"},  // 21 U
    {'w', "U-w3", 0.1, "           w3  [sec^-1]", "           w3   [sec^-1]"},  // 22 U
    {'C', "X-Rp", 100000.0, "EXT_X,     Rp    [ohms]", "EXT_X,     Rp     [ohms]"},  // 23 X
    {'R', "X-Cdl", 1e-5, "  layer,   Cdl      [F]", "  layer,   Cdl       [F]"},  // 24 X
    {'n', "X-n", 0.9, "  power,   n    [0<n<1]", "  power,   n     [0<n<1]"},  // 25 X
    {'r', "X-Rs", 10000.0, "  soln re, Rs [ohms-cm2]", "  soln re, Rs     [ohms]"},  // 26 X
    {'L', "X-L", 10.0, "  length,  L      [cm]", "  length,  L        [cm]"},  // 27 X
    {'x', "X-Xw", 0.01, "  width,   Xw      [cm]", "  width,   Xw       [cm]"},  // 28 X
    {'R', "Y-R", 10.0, "EXT_Y,     R     [ohms]", "EXT_Y,     R      [ohms]"},  // 29 none
    {'k', "Y-kappa", 10.0, "  kappa        [sec^-1]", "  kappa         [sec^-1]"},  // 30 none
    {'s', "Y-s", 0.001, "  sqr(del)/D, [sec^0.5]", "  sqr(del)/D,  [sec^0.5]"},  // 31 none
    {'D', "D-C", 1e-5, "Exp. DAE1, Co-Cinf  [F]", "Exp. DAE1, Co-Cinf   [F]"},  // 32 D
    {'t', "D-tau", 0.001, "  relax,  tau     [sec]", "  relax,  tau      [sec]"},  // 33 D
    {'p', "D-psi", 0.8, "  power, psi  [0<psi<1]", "  power, psi   [0<psi<1]"},  // 34 D
    {'x', "D-xs", 5.0, "  energy, xs  [1<xs<50]", "  energy, xs   [1<xs<50]"},  // 35 D
    {'D', "E-C", 1e-5, "Exp. DAE2, Co-Cinf  [F]", "Exp. DAE2, Co-Cinf   [F]"},  // 36 E
    {'t', "E-tau", 0.001, "  relax,  tau     [sec]", "  relax,  tau      [sec]"},  // 37 E
    {'p', "E-psi", 0.8, "  power,  psi [0<psi<1]", "  power,  psi  [0<psi<1]"},  // 38 E
    {'x', "E-xs", 5.0, "  energy,  xs [1<xs<50]", "  energy,  xs  [1<xs<50]"},  // 39 E
    {'D', "F-C", 1e-5, "Gaus. DAE, Co-Cinf  [F]", "Gaus. DAE, Co-Cinf   [F]"},  // 40 F
    {'t', "F-tau", 0.001, "  relax,  tau     [sec]", "  relax,  tau      [sec]"},  // 41 F
    {'e', "F-eps", 1.0, "  epsilon       [0<eps]", "  epsilon        [0<eps]"},  // 42 F
    {'x', "F-xl", 0.5, "  lower , xl  [1<xl<50]", "  lower , xl   [1<xl<50]"},  // 43 F
    {'x', "F-xu", 0.5, "  upper , xu  [1<xu<50]", "  upper , xu   [1<xu<50]"},  // 44 F
    {'t', "F-theta", 0.1, "  theta , theta [0 - 20]", "  theta , theta   [0-20]"},  // 45 F
    {'J', "J-C", 1e-5, "Jonscher, Co-Cinf   [F]", "Jonscher, Co-Cinf    [F]"},  // 46 none
    {'t', "J-tau1", 0.001, "  Time const, tau1 [sec]", "  Time const, tau1 [sec]"},  // 47 none
    {'t', "J-tau2", 1.0, "  Time const, tau2 [sec]", "  Time const, tau2 [sec]"},  // 48 none
    {'u', "J-mu", 0.8, "   power, mu   [0<mu<1]", "   power, psi1  [0<mu<1]"},  // 49 none
    {'p', "J-psi", 0.8, "   power, psi [0<psi<1]", "   power, psi2 [0<psi<1]"},  // 50 none
    {'R', "P-RW", 10.0, "DX Levie, RW [ohms-cm2]", "DX Levie,  RW     [ohms]"},  // 51 P
    {'w', "P-w0", 10000.0, "          w0    [sec^-1]", "           w0   [sec^-1]"},  // 52 P
    {'A', "V-Xa", 1000.0, "DX_V,     Xa [ohms-cm2]", "DX_V,      Xa     [ohms]"},  // 53 V
    {'w', "V-w0", 100.0, "           w0  [sec^-1]", "           w0   [sec^-1]"},  // 54 V
    {'w', "V-w1", 1.0, "           w1  [sec^-1]", "           w1   [sec^-1]"},  // 55 V
    {'f', "V-k*a/D", 10.0, "           k*a/D    [ ]", "           k*a/D     [ ]"},  // 56 V
    {'w', "V-w3", 0.1, "           w3  [sec^-1]", "           w3   [sec^-1]"},  // 57 V
    {'A', "M-Xa", 1000.0, "DX_M,      Xa [ohms-cm2]", "DX_M,      Xa     [ohms]"},  // 58 M
    {'r', "M-Xb", 10.0, "           Xb [ohms-cm2]", "           Xb     [ohms]"},  // 59 M
    {'w', "M-w0", 100.0, "           w0   [sec^-1]", "           w0   [sec^-1]"},  // 60 M
    {'w', "M-w1", 1.0, "           w1   [sec^-1]", "           w1   [sec^-1]"},  // 61 M
    {'f', "M-k*a/D", 1.0, "           k*a/D     [ ]", "           k*a/D     [ ]"},  // 62 M
    {'w', "M-w3", 1.0, "           w3   [sec^-1]", "           w3   [sec^-1]"},  // 63 M
    {'A', "N-Xa", 1000.0, "DX_N,      Xa [ohms-cm2]", "DX_N,      Xa     [ohms]"},  // 64 N
    {'w', "N-w0", 100.0, "           w0   [sec^-1]", "           w0   [sec^-1]"},  // 65 N
    {'w', "N-w1", 1.0, "           w1   [sec^-1]", "           w1   [sec^-1]"},  // 66 N
    {'f', "N-k*a/D", 10.0, "           k*a/D     [ ]", "           k*a/D     [ ]"},  // 67 N
    {'w', "N-w3", 0.1, "           w3   [sec^-1]", "           w3   [sec^-1]"},  // 68 N
    {'S', "S-Yo", 0.01, "DX_S, Yo  [S-sec^.5/cm2]", "DX_S, Yo  [S-sec^.5/cm2]"},  // 69 S
    {'B', "S-B", 5.0, "           B    [sec^.5]", "           B    [sec^.5]"},  // 70 S
    {'f', "S-dtsqr", 0.5, "    sqr(te-ti)  [0 to 1]", "     sqr(te-ti) [0 to 1]"},  // 71 S
    {'B', "B-Yo", 0.001, "DX_B, Yo  [S-sec^.5/cm2]", "DX_B, Yo  [S-sec^.5/cm2]"},  // 72 B
    {'w', "B-w0", 10.0, "          w0    [sec^-1]", "           w0   [sec^-1]"},  // 73 B
    {'K', "B-K", 10.0, "          K          [ ]", "           K         [ ]"},  // 74 B
    {'n', "B-n", 0.5, "  Freq. power, n [0<n<1]", "   Freq. power   [0<n<1]"},  // 75 B
    {'J', "J-Yo", 0.001, "DX_J, Yo  [S-sec^.5/cm2]", "DX_J, Yo  [S-sec^.5/cm2]"},  // 76 J
    {'w', "J-w0", 100.0, "          w0    [sec^-1]", "           w0   [sec^-1]"},  // 77 J
    {'A', "J-A", 0.1, "          A          [ ]", "           A         [ ]"},  // 78 J
    {'f', "J-lamda", 10.0, "          lamda      [ ]", "           lamda     [ ]"},  // 79 J
    {'I', "I-Yo", 0.001, "DX_I, Yo  [S-sec^.5/cm2]", "DX_I, Yo  [S-sec^.5/cm2]"},  // 80 I
    {'w', "I-w0", 100.0, "          w0    [sec^-1]", "           w0   [sec^-1]"},  // 81 I
    {'A', "I-A", 0.1, "          A          [ ]", "           A         [ ]"},  // 82 I
    {'f', "I-lamda", 10.0, "          lamda      [ ]", "           lamda     [ ]"},  // 83 I
    {'A', "Y-Xa", 1000.0, "DX_Y,      Xa  [ohm-cm2]", "DX_Y,      Xa      [ohm]"},  // 84 Y
    {'c', "Y-Cf", 1e-6, "           Cf        [ ]", "           Cf        [ ]"},  // 85 Y
    {'r', "Y-Rf", 0.1, "           Rf        [ ]", "           Rf        [ ]"},  // 86 Y
    {'c', "Y-Cdl", 0.01, "           Cdl       [ ]", "           Cdl       [ ]"},  // 87 Y
    {'r', "Y-Rt", 0.001, "           Rt        [ ]", "           Rt        [ ]"},  // 88 Y
    {'r', "Y-Rd", 1.0, "           Rd        [ ]", "           Rd        [ ]"},  // 89 Y
    {'w', "Y-w3", 0.1, "           w3   [sec^-1]", "           w3   [sec^-1]"},  // 90 Y
};

}  // namespace

const ElementKind& ElementKindTable(int code) {
    if (code < 0 || code > MaxElementCode) code = 0;
    return kKinds[code];
}

}  // namespace pellucor
