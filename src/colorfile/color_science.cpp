// The formulas follow the standard texts: IEC 61966-2-1 for sRGB, CIE 15 for
// CIELAB, and Sharma, Wu and Dalal's statement of CIEDE2000 (including their
// notes on hue angles near 0 and 360 degrees and on zero chroma).
#include "colorfile/color_science.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

double Deg(double rad) { return rad * 180.0 / kPi; }
double Rad(double deg) { return deg * kPi / 180.0; }

// Linear sRGB to XYZ for a D65 white, and that white as the matrix's row sums,
// so that sRGB white comes out as a* = b* = 0.
constexpr Matrix3 kToXyz = {{{0.4124564, 0.3575761, 0.1804375},
                             {0.2126729, 0.7151522, 0.0721750},
                             {0.0193339, 0.1191920, 0.9503041}}};

constexpr Matrix3 kIdentity = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

// Machado, Oliveira and Fernandes (2009), severity 1.0.
constexpr Matrix3 kProtanopia = {{{0.152286, 1.052583, -0.204868},
                                  {0.114503, 0.786281, 0.099216},
                                  {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix3 kDeuteranopia = {{{0.367322, 0.860646, -0.227968},
                                    {0.280085, 0.672501, 0.047413},
                                    {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix3 kTritanopia = {{{1.255528, -0.076749, -0.178779},
                                  {-0.078411, 0.930809, 0.147602},
                                  {0.004733, 0.691367, 0.303900}}};

std::array<double, 3> Apply(const Matrix3& m, double x, double y, double z) {
  std::array<double, 3> out{};
  for (size_t i = 0; i < 3; ++i) out[i] = m[i][0] * x + m[i][1] * y + m[i][2] * z;
  return out;
}

double LabF(double t) {
  constexpr double d = 6.0 / 29.0;
  return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29.0;
}

}  // namespace

std::string_view VisionName(Vision v) {
  switch (v) {
    case Vision::Normal:
      return "normal";
    case Vision::Protanopia:
      return "protanopia";
    case Vision::Deuteranopia:
      return "deuteranopia";
    case Vision::Tritanopia:
      return "tritanopia";
  }
  return "normal";
}

const Matrix3& SimulationMatrix(Vision v) {
  switch (v) {
    case Vision::Normal:
      return kIdentity;
    case Vision::Protanopia:
      return kProtanopia;
    case Vision::Deuteranopia:
      return kDeuteranopia;
    case Vision::Tritanopia:
      return kTritanopia;
  }
  return kIdentity;
}

double SrgbToLinear(double c) {
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double LinearToSrgb(double c) {
  return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

LinearRgb ToLinear(Rgb c) {
  return {SrgbToLinear(c.r / 255.0), SrgbToLinear(c.g / 255.0), SrgbToLinear(c.b / 255.0)};
}

Lab LinearToLab(LinearRgb c) {
  const auto xyz = Apply(kToXyz, c.r, c.g, c.b);
  const auto white = Apply(kToXyz, 1, 1, 1);
  const double fx = LabF(xyz[0] / white[0]);
  const double fy = LabF(xyz[1] / white[1]);
  const double fz = LabF(xyz[2] / white[2]);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

Lab SrgbToLab(Rgb c) { return LinearToLab(ToLinear(c)); }

LinearRgb Simulate(LinearRgb c, Vision v) {
  const auto out = Apply(SimulationMatrix(v), c.r, c.g, c.b);
  // The matrices can leave the gamut slightly; a screen cannot show more than it has.
  return {std::clamp(out[0], 0.0, 1.0), std::clamp(out[1], 0.0, 1.0), std::clamp(out[2], 0.0, 1.0)};
}

Lab LabUnder(Rgb c, Vision v) { return LinearToLab(Simulate(ToLinear(c), v)); }

double Ciede2000(const Lab& x, const Lab& y) {
  const double c1 = std::hypot(x.a, x.b);
  const double c2 = std::hypot(y.a, y.b);
  const double cMean = (c1 + c2) / 2;
  const double cMean7 = std::pow(cMean, 7);
  const double pow25_7 = 6103515625.0;  // 25^7
  const double g = 0.5 * (1 - std::sqrt(cMean7 / (cMean7 + pow25_7)));
  const double a1 = (1 + g) * x.a;
  const double a2 = (1 + g) * y.a;
  const double c1p = std::hypot(a1, x.b);
  const double c2p = std::hypot(a2, y.b);
  auto hue = [](double b, double a) {
    if (a == 0 && b == 0) return 0.0;
    const double h = Deg(std::atan2(b, a));
    return h < 0 ? h + 360 : h;
  };
  const double h1p = hue(x.b, a1);
  const double h2p = hue(y.b, a2);

  const double dLp = y.L - x.L;
  const double dCp = c2p - c1p;
  // Hues exactly opposite each other (180 degrees apart, as in Sharma's pair
  // 14) must take the same branch on every FPU; without the allowance the
  // x87 unit of the 32-bit build rounds them the other way.
  constexpr double kOpposite = 180 + 1e-9;
  double dhp = 0;
  if (c1p * c2p != 0) {
    dhp = h2p - h1p;
    if (dhp > kOpposite)
      dhp -= 360;
    else if (dhp < -kOpposite)
      dhp += 360;
  }
  const double dHp = 2 * std::sqrt(c1p * c2p) * std::sin(Rad(dhp / 2));

  const double lMean = (x.L + y.L) / 2;
  const double cpMean = (c1p + c2p) / 2;
  double hpMean = h1p + h2p;
  if (c1p * c2p != 0) {
    if (std::abs(h1p - h2p) <= kOpposite)
      hpMean /= 2;
    else if (h1p + h2p < 360)
      hpMean = (hpMean + 360) / 2;
    else
      hpMean = (hpMean - 360) / 2;
  }
  const double t = 1 - 0.17 * std::cos(Rad(hpMean - 30)) + 0.24 * std::cos(Rad(2 * hpMean)) +
                   0.32 * std::cos(Rad(3 * hpMean + 6)) - 0.20 * std::cos(Rad(4 * hpMean - 63));
  const double dTheta = 30 * std::exp(-std::pow((hpMean - 275) / 25, 2));
  const double cpMean7 = std::pow(cpMean, 7);
  const double rc = 2 * std::sqrt(cpMean7 / (cpMean7 + pow25_7));
  const double l50 = (lMean - 50) * (lMean - 50);
  const double sl = 1 + 0.015 * l50 / std::sqrt(20 + l50);
  const double sc = 1 + 0.045 * cpMean;
  const double sh = 1 + 0.015 * cpMean * t;
  const double rt = -std::sin(Rad(2 * dTheta)) * rc;
  const double tl = dLp / sl;
  const double tc = dCp / sc;
  const double th = dHp / sh;
  return std::sqrt(tl * tl + tc * tc + th * th + rt * tc * th);
}
