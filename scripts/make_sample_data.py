#!/usr/bin/env python3
"""Writes the small sample impedance data files shipped in apps/files/data/.

Each file is the impedance of a known circuit at logarithmically spaced
frequencies (7 per decade, 100 kHz down to 10 mHz, 50 points) with a little
proportional noise (0.5 % of |Z|, normal, fixed seed), in one of the three
layouts the data reader takes:

  rcr_plain.txt      R(CR)      plain "f Z' Z''" lines
  rcrqr_zview.txt    R(CR)(QR)  "ZView"-marked export, data after the "Freq" line,
                                columns separated by ", " (a comma without a blank
                                is a decimal comma to the reader)
  rcrqr_curve.txt    R(CR)(QR)  "EISCURVE" export, data after the "ZCURVE" line

Z'' is written as the impedance gives it (negative for capacitive data);
the reader's sign rule takes care of it. Closed forms:
  R: R;  C: 1/(jwC);  Q: 1/(Y0 (jw)^n);  (AB): parallel, AB: series.
Pure Python, run by hand:
    python3 scripts/make_sample_data.py apps/files/data
"""
import cmath
import math
import os
import random
import sys

TRUE = {
    "rcr": dict(Rs=20.0, C=2.0e-5, Rp=500.0),
    "rcrqr": dict(Rs=15.0, C=1.0e-6, R1=100.0, Y0=5.0e-4, n=0.8, R2=1000.0),
}


def par(a, b):
    return a * b / (a + b)


def z_rcr(w, p):
    return p["Rs"] + par(1 / (1j * w * p["C"]), p["Rp"])


def z_rcrqr(w, p):
    zq = 1 / (p["Y0"] * (1j * w) ** p["n"])
    return p["Rs"] + par(1 / (1j * w * p["C"]), p["R1"]) + par(zq, p["R2"])


def points(zfun, p, seed):
    rng = random.Random(seed)
    out = []
    for k in range(50):
        f = 1e5 * 10 ** (-k / 7)
        z = zfun(2 * math.pi * f, p)
        m = abs(z)
        z += complex(rng.gauss(0, 0.005) * m, rng.gauss(0, 0.005) * m)
        out.append((f, z.real, z.imag))
    return out


def main(folder):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "rcr_plain.txt"), "w", newline="\r\n") as fh:
        for f, zr, zi in points(z_rcr, TRUE["rcr"], 1):
            fh.write("%.6E %.6E %.6E\n" % (f, zr, zi))
    with open(os.path.join(folder, "rcrqr_zview.txt"), "w", newline="\r\n") as fh:
        fh.write('"ZView Calculated Data File: R(CR)(QR) sample"\n')
        fh.write('"Rs=15 C=1E-6 R1=100 Y0=5E-4 n=0.8 R2=1000, 0.5% noise"\n')
        fh.write('"  Freq(Hz)", "Ampl", "Bias", "Time(Sec)", "Z\'(a)", "Z\'\'(b)", "GD", "Err", "Range"\n')
        for i, (f, zr, zi) in enumerate(points(z_rcrqr, TRUE["rcrqr"], 2)):
            fh.write("%.6E, 0.0E+00, 0.0E+00, %d, %.6E, %.6E, 0, 0, 1\n" % (f, i, zr, zi))
    with open(os.path.join(folder, "rcrqr_curve.txt"), "w", newline="\r\n") as fh:
        fh.write("EISCURVE\n")
        fh.write("TITLE\tLABEL\tR(CR)(QR) sample, 0.5% noise\n")
        fh.write("ZCURVE\tTABLE\n")
        for i, (f, zr, zi) in enumerate(points(z_rcrqr, TRUE["rcrqr"], 3)):
            fh.write("%d  %d  %.6E  %.6E  %.6E  0 \n" % (i, i, f, zr, zi))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "apps/files/data")
