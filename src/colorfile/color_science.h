// Colour science for judging whether players can tell their colours apart:
// sRGB to CIELAB (D65), the CIEDE2000 colour difference, and simulation of the
// three dichromacies with the Machado, Oliveira and Fernandes (2009) matrices
// at full severity, applied in linear RGB.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "colorfile/color_value.h"

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

enum class Vision { Normal, Protanopia, Deuteranopia, Tritanopia };
inline constexpr std::array<Vision, 4> kVisions = {Vision::Normal, Vision::Protanopia,
                                                   Vision::Deuteranopia, Vision::Tritanopia};
// "normal", "protanopia", "deuteranopia", "tritanopia".
std::string_view VisionName(Vision v);

using Matrix3 = std::array<std::array<double, 3>, 3>;
// The simulation matrix for a dichromacy (identity for Normal), in linear RGB.
const Matrix3& SimulationMatrix(Vision v);

// One sRGB component 0..1 to linear light, and back.
double SrgbToLinear(double c);
double LinearToSrgb(double c);

LinearRgb ToLinear(Rgb c);
// Linear RGB to CIELAB, D65 white; components outside 0..1 are used as given.
Lab LinearToLab(LinearRgb c);
Lab SrgbToLab(Rgb c);

// The colour as a viewer with the given vision sees it, in linear RGB clamped to 0..1.
LinearRgb Simulate(LinearRgb c, Vision v);
// The CIELAB coordinates of the colour as seen with the given vision.
Lab LabUnder(Rgb c, Vision v);

// CIEDE2000 with kL = kC = kH = 1.
double Ciede2000(const Lab& x, const Lab& y);
