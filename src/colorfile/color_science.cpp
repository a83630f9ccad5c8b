// The formulas follow the standard texts: IEC 61966-2-1 for sRGB, CIE 15 for
// CIELAB, and Sharma, Wu and Dalal's statement of CIEDE2000 (including their
// notes on hue angles near 0 and 360 degrees and on zero chroma).
#include "colorfile/color_science.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tintmoor::colorfile {

namespace {

constexpr double kPi = std::numbers::pi;

double Deg(double rad) { return rad * 180.0 / kPi; }
double Rad(double deg) { return deg * kPi / 180.0; }

// Linear sRGB to XYZ for a D65 white, and that white as the matrix's row sums,
// so that sRGB white comes out as a* = b* = 0.
constexpr Matrix3 kToXyz = {{{0.4124564, 0.3575761, 0.1804375},
                             {0.2126729, 0.7151522, 0.0721750},
                             {0.0193339, 0.1191920, 0.9503041}}};

// Machado, G. M., Oliveira, M. M. and Fernandes, L. A. F. (2009), "A
// physiologically-based model for simulation of color vision deficiency",
// IEEE Transactions on Visualization and Computer Graphics 15(6): the
// matrices the authors published with the paper for severities 0.0 to 1.0 in
// steps of 0.1, for linear RGB. Severity 0 is the identity.
using Published = std::array<Matrix3, 11>;
constexpr Matrix3 kIdentity = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

constexpr Published kProtan = {{
    kIdentity,
    {{{0.856167, 0.182038, -0.038205},
      {0.029342, 0.955115, 0.015544},
      {-0.002880, -0.001563, 1.004443}}},
    {{{0.734766, 0.334872, -0.069637},
      {0.051840, 0.919198, 0.028963},
      {-0.004928, -0.004209, 1.009137}}},
    {{{0.630323, 0.465641, -0.095964},
      {0.069181, 0.890046, 0.040773},
      {-0.006308, -0.007724, 1.014032}}},
    {{{0.539009, 0.579343, -0.118352},
      {0.082546, 0.866121, 0.051332},
      {-0.007136, -0.011959, 1.019095}}},
    {{{0.458064, 0.679578, -0.137642},
      {0.092785, 0.846313, 0.060902},
      {-0.007494, -0.016807, 1.024301}}},
    {{{0.385450, 0.769005, -0.154455},
      {0.100526, 0.829802, 0.069673},
      {-0.007442, -0.022190, 1.029632}}},
    {{{0.319627, 0.849633, -0.169261},
      {0.106241, 0.815969, 0.077790},
      {-0.007025, -0.028051, 1.035076}}},
    {{{0.259411, 0.923008, -0.182420},
      {0.110296, 0.804340, 0.085364},
      {-0.006276, -0.034346, 1.040622}}},
    {{{0.203876, 0.990338, -0.194214},
      {0.112975, 0.794542, 0.092483},
      {-0.005222, -0.041043, 1.046265}}},
    {{{0.152286, 1.052583, -0.204868},
      {0.114503, 0.786281, 0.099216},
      {-0.003882, -0.048116, 1.051998}}},
}};

constexpr Published kDeutan = {{
    kIdentity,
    {{{0.866435, 0.177704, -0.044139},
      {0.049567, 0.939063, 0.011370},
      {-0.003453, 0.007233, 0.996220}}},
    {{{0.760729, 0.319078, -0.079807},
      {0.090568, 0.889315, 0.020117},
      {-0.006027, 0.013325, 0.992702}}},
    {{{0.675425, 0.433850, -0.109275},
      {0.125303, 0.847755, 0.026942},
      {-0.007950, 0.018572, 0.989378}}},
    {{{0.605511, 0.528560, -0.134071},
      {0.155318, 0.812366, 0.032316},
      {-0.009376, 0.023176, 0.986200}}},
    {{{0.547494, 0.607765, -0.155259},
      {0.181692, 0.781742, 0.036566},
      {-0.010410, 0.027275, 0.983136}}},
    {{{0.498864, 0.674741, -0.173604},
      {0.205199, 0.754872, 0.039929},
      {-0.011131, 0.030969, 0.980162}}},
    {{{0.457771, 0.731899, -0.189670},
      {0.226409, 0.731012, 0.042579},
      {-0.011595, 0.034333, 0.977261}}},
    {{{0.422823, 0.781057, -0.203881},
      {0.245752, 0.709602, 0.044646},
      {-0.011843, 0.037423, 0.974421}}},
    {{{0.392952, 0.823610, -0.216562},
      {0.263559, 0.690210, 0.046232},
      {-0.011910, 0.040281, 0.971630}}},
    {{{0.367322, 0.860646, -0.227968},
      {0.280085, 0.672501, 0.047413},
      {-0.011820, 0.042940, 0.968881}}},
}};

constexpr Published kTritan = {{
    kIdentity,
    {{{0.926670, 0.092514, -0.019184},
      {0.021191, 0.964503, 0.014306},
      {0.008437, 0.054813, 0.936750}}},
    {{{0.895720, 0.133330, -0.029050},
      {0.029997, 0.945400, 0.024603},
      {0.013027, 0.104707, 0.882266}}},
    {{{0.905871, 0.127791, -0.033662},
      {0.026856, 0.941251, 0.031893},
      {0.013410, 0.148296, 0.838294}}},
    {{{0.948035, 0.089490, -0.037526},
      {0.014364, 0.946792, 0.038844},
      {0.010853, 0.193991, 0.795156}}},
    {{{1.017277, 0.027029, -0.044306},
      {-0.006113, 0.958479, 0.047634},
      {0.006379, 0.248708, 0.744913}}},
    {{{1.104996, -0.046633, -0.058363},
      {-0.032137, 0.971635, 0.060503},
      {0.001336, 0.317922, 0.680742}}},
    {{{1.193214, -0.109812, -0.083402},
      {-0.058496, 0.979410, 0.079086},
      {-0.002346, 0.403492, 0.598854}}},
    {{{1.257728, -0.139648, -0.118081},
      {-0.078003, 0.975409, 0.102594},
      {-0.003316, 0.501214, 0.502102}}},
    {{{1.278864, -0.125333, -0.153531},
      {-0.084748, 0.957674, 0.127074},
      {-0.000989, 0.601151, 0.399838}}},
    {{{1.255528, -0.076749, -0.178779},
      {-0.078411, 0.930809, 0.147602},
      {0.004733, 0.691367, 0.303900}}},
}};

const Published* Table(Vision v) {
  switch (v) {
    case Vision::Normal:
      return nullptr;
    case Vision::Protan:
      return &kProtan;
    case Vision::Deutan:
      return &kDeutan;
    case Vision::Tritan:
      return &kTritan;
  }
  return nullptr;
}

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

const Matrix3& PublishedMatrix(Vision v, int tenths) {
  const Published* table = Table(v);
  if (!table || tenths <= 0) return kIdentity;
  return (*table)[static_cast<size_t>(std::min(tenths, 10))];
}

Matrix3 SimulationMatrix(Vision v, double severity) {
  if (!(severity >= 0 && severity <= 1))
    throw std::invalid_argument("a severity is a number from 0 to 1");
  // On a step (allowing for 0.3 not being exact in binary), the published
  // matrix as it stands: full severity is exactly the dichromacy matrix.
  const double scaled = severity * 10;
  const double step = std::round(scaled);
  if (std::abs(scaled - step) < 1e-9) return PublishedMatrix(v, static_cast<int>(step));
  const int below = static_cast<int>(std::floor(scaled));
  const double t = scaled - below;
  const Matrix3& lo = PublishedMatrix(v, below);
  const Matrix3& hi = PublishedMatrix(v, below + 1);
  Matrix3 m{};
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j) m[i][j] = (1 - t) * lo[i][j] + t * hi[i][j];
  return m;
}

Sight MakeSight(Vision v, double severity) {
  return {v, severity, SimulationMatrix(v, v == Vision::Normal ? 0 : severity)};
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

LinearRgb Simulate(LinearRgb c, const Sight& s) {
  const auto out = Apply(s.matrix, c.r, c.g, c.b);
  // The matrices can leave the gamut slightly; a screen cannot show more than it has.
  return {std::clamp(out[0], 0.0, 1.0), std::clamp(out[1], 0.0, 1.0), std::clamp(out[2], 0.0, 1.0)};
}

Lab LabUnder(Rgb c, const Sight& s) { return LinearToLab(Simulate(ToLinear(c), s)); }

Rgb SeenAs(Rgb c, const Sight& s) {
  if (s.vision == Vision::Normal) return c;  // no round trip through linear light
  const LinearRgb seen = Simulate(ToLinear(c), s);
  const auto byte = [](double linear) {
    return static_cast<uint8_t>(std::lround(std::clamp(LinearToSrgb(linear), 0.0, 1.0) * 255));
  };
  return {byte(seen.r), byte(seen.g), byte(seen.b)};
}

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

}  // namespace tintmoor::colorfile
