// Colour science for judging whether players can tell their colours apart:
// sRGB to CIELAB (D65), the CIEDE2000 colour difference, and simulation of
// colour vision deficiency with the Machado, Oliveira and Fernandes (2009)
// matrices, applied in linear RGB, from the weakest anomalous trichromacy
// (severity 0.1) to dichromacy (1.0).
#pragma once

#include <array>
#include <cstdint>

#include "colorfile/color_value.h"

namespace tintmoor::colorfile {

struct LinearRgb {
  double r = 0;
  double g = 0;
  double b = 0;
};

struct Lab {
  double L = 0;
  double a = 0;
  double b = 0;
};

// Normal vision, and the three kinds of colour vision deficiency, named by
// the cone that is weak or missing: red (protan), green (deutan), blue (tritan).
enum class Vision { Normal, Protan, Deutan, Tritan };
inline constexpr std::array<Vision, 4> kVisions = {Vision::Normal, Vision::Protan, Vision::Deutan,
                                                   Vision::Tritan};

// How strong a deficiency is: 1 the cone is missing (dichromacy, red-blind and
// so on), below that it is weak (anomalous trichromacy), 0 normal vision.
inline constexpr double kFullSeverity = 1.0;
inline constexpr double kWeakestSeverity = 0.1;

using Matrix3 = std::array<std::array<double, 3>, 3>;
// The published simulation matrix for a kind of vision at severity tenths / 10
// (tenths 0 to 10; the identity for Normal and for tenths 0).
const Matrix3& PublishedMatrix(Vision v, int tenths);
// The simulation matrix at any severity from 0 to 1: the published one on a
// step of 0.1, linear between the two steps around it otherwise. Throws
// std::invalid_argument outside 0..1.
Matrix3 SimulationMatrix(Vision v, double severity);

// One way of seeing colours: a kind of vision at a severity, with its matrix.
struct Sight {
  Vision vision = Vision::Normal;
  double severity = kFullSeverity;
  Matrix3 matrix = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
};
Sight MakeSight(Vision v, double severity);

// One sRGB component 0..1 to linear light, and back.
double SrgbToLinear(double c);
double LinearToSrgb(double c);

LinearRgb ToLinear(Rgb c);
// Linear RGB to CIELAB, D65 white; components outside 0..1 are used as given.
Lab LinearToLab(LinearRgb c);
Lab SrgbToLab(Rgb c);

// The colour as a viewer with the given sight sees it, in linear RGB clamped to 0..1.
LinearRgb Simulate(LinearRgb c, const Sight& s);
// The CIELAB coordinates of the colour as seen with the given sight.
Lab LabUnder(Rgb c, const Sight& s);
// The colour as seen with the given sight, back in 8-bit sRGB: what a swatch shows.
Rgb SeenAs(Rgb c, const Sight& s);

// CIEDE2000 with kL = kC = kH = 1.
double Ciede2000(const Lab& x, const Lab& y);

}  // namespace tintmoor::colorfile
