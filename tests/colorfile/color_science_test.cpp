// Colour maths against published reference data.
#include "colorfile/color_science.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace tintmoor::colorfile {

namespace {

struct De2000Case {
  Lab x;
  Lab y;
  double expected;
};

// Sharma, Wu and Dalal (2005), Table 1: all 34 pairs.
const De2000Case kSharma[] = {
    {{50.0000, 2.6772, -79.7751}, {50.0000, 0.0000, -82.7485}, 2.0425},
    {{50.0000, 3.1571, -77.2803}, {50.0000, 0.0000, -82.7485}, 2.8615},
    {{50.0000, 2.8361, -74.0200}, {50.0000, 0.0000, -82.7485}, 3.4412},
    {{50.0000, -1.3802, -84.2814}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, -1.1848, -84.8006}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, -0.9009, -85.5211}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, 0.0000, 0.0000}, {50.0000, -1.0000, 2.0000}, 2.3669},
    {{50.0000, -1.0000, 2.0000}, {50.0000, 0.0000, 0.0000}, 2.3669},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0009}, 7.1792},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0010}, 7.1792},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0011}, 7.2195},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0012}, 7.2195},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0009, -2.4900}, 4.8045},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0010, -2.4900}, 4.8045},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0011, -2.4900}, 4.7461},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 0.0000, -2.5000}, 4.3065},
    {{50.0000, 2.5000, 0.0000}, {73.0000, 25.0000, -18.0000}, 27.1492},
    {{50.0000, 2.5000, 0.0000}, {61.0000, -5.0000, 29.0000}, 22.8977},
    {{50.0000, 2.5000, 0.0000}, {56.0000, -27.0000, -3.0000}, 31.9030},
    {{50.0000, 2.5000, 0.0000}, {58.0000, 24.0000, 15.0000}, 19.4535},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.1736, 0.5854}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2972, 0.0000}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 1.8634, 0.5757}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2592, 0.3350}, 1.0000},
    {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
    {{63.0109, -31.0961, -5.8663}, {62.8187, -29.7946, -4.0864}, 1.2630},
    {{61.2901, 3.7196, -5.3901}, {61.4292, 2.2480, -4.9620}, 1.8731},
    {{35.0831, -44.1164, 3.7933}, {35.0232, -40.0716, 1.5901}, 1.8645},
    {{22.7233, 20.0904, -46.6940}, {23.0331, 14.9730, -42.5619}, 2.0373},
    {{36.4612, 47.8580, 18.3852}, {36.2715, 50.5065, 21.2231}, 1.4146},
    {{90.8027, -2.0831, 1.4410}, {91.1528, -1.6435, 0.0447}, 1.4441},
    {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
    {{6.7747, -0.2908, -2.4247}, {5.8714, -0.0985, -2.2286}, 0.6377},
    {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
};

TEST(Ciede2000, SharmaWuDalalPairs) {
  int pair = 1;
  for (const auto& c : kSharma) {
    EXPECT_NEAR(Ciede2000(c.x, c.y), c.expected, 0.00005) << "pair " << pair;
    // The difference is symmetric: swapping the pair changes nothing.
    EXPECT_NEAR(Ciede2000(c.y, c.x), c.expected, 0.00005) << "pair " << pair << " swapped";
    ++pair;
  }
}

TEST(Ciede2000, IdenticalColoursAreZeroApart) {
  // Not exactly 0 where the x87 unit keeps extra precision in some terms.
  EXPECT_NEAR(Ciede2000({50, 0, 0}, {50, 0, 0}), 0.0, 1e-12);
  EXPECT_NEAR(Ciede2000({31, -12, 40}, {31, -12, 40}), 0.0, 1e-12);
}

struct LabCase {
  Rgb rgb;
  Lab lab;
};

// CIELAB of sRGB colours under D65 (reference values computed with the IEC
// 61966-2-1 matrix and the CIE 15 formulas, as published in colour tables).
const LabCase kLab[] = {
    {{0, 0, 0}, {0, 0, 0}},
    {{255, 255, 255}, {100, 0, 0}},
    {{255, 0, 0}, {53.2408, 80.0925, 67.2032}},
    {{0, 255, 0}, {87.7347, -86.1827, 83.1793}},
    {{0, 0, 255}, {32.2970, 79.1875, -107.8602}},
    {{255, 255, 0}, {97.1393, -21.5537, 94.4780}},
    {{0, 255, 255}, {91.1132, -48.0875, -14.1312}},
    {{255, 0, 255}, {60.3242, 98.2343, -60.8249}},
    {{128, 128, 128}, {53.5850, 0, 0}},
    {{1, 1, 1}, {0.2742, 0, 0}},  // the linear segment of both curves
};

TEST(SrgbToLab, ReferenceColours) {
  for (const auto& c : kLab) {
    const Lab lab = SrgbToLab(c.rgb);
    const std::string name =
        std::to_string(c.rgb.r) + " " + std::to_string(c.rgb.g) + " " + std::to_string(c.rgb.b);
    EXPECT_NEAR(lab.L, c.lab.L, 0.002) << name;
    EXPECT_NEAR(lab.a, c.lab.a, 0.002) << name;
    EXPECT_NEAR(lab.b, c.lab.b, 0.002) << name;
  }
}

TEST(SrgbTransfer, RoundTripsEveryLevelAndMeetsAtTheKnee) {
  for (int v = 0; v <= 255; ++v) {
    const double c = v / 255.0;
    EXPECT_NEAR(LinearToSrgb(SrgbToLinear(c)), c, 1e-12) << v;
  }
  // Both pieces of the curve agree where they meet.
  EXPECT_NEAR(SrgbToLinear(0.04045 - 1e-12), SrgbToLinear(0.04045 + 1e-12), 1e-7);
  EXPECT_NEAR(SrgbToLinear(128 / 255.0), 0.2158605, 1e-7);
}

struct MatrixCase {
  Vision vision;
  int tenths;
  Matrix3 published;
};

// Machado, Oliveira and Fernandes (2009), as published: each kind at full
// severity and at one weaker step.
const MatrixCase kMatrices[] = {
    {Vision::Protan,
     10,
     {{{0.152286, 1.052583, -0.204868},
       {0.114503, 0.786281, 0.099216},
       {-0.003882, -0.048116, 1.051998}}}},
    {Vision::Deutan,
     10,
     {{{0.367322, 0.860646, -0.227968},
       {0.280085, 0.672501, 0.047413},
       {-0.011820, 0.042940, 0.968881}}}},
    {Vision::Tritan,
     10,
     {{{1.255528, -0.076749, -0.178779},
       {-0.078411, 0.930809, 0.147602},
       {0.004733, 0.691367, 0.303900}}}},
    {Vision::Protan,
     1,
     {{{0.856167, 0.182038, -0.038205},
       {0.029342, 0.955115, 0.015544},
       {-0.002880, -0.001563, 1.004443}}}},
    {Vision::Deutan,
     3,  // 0.3 * 10 is not 3 in binary: the step is found all the same
     {{{0.675425, 0.433850, -0.109275},
       {0.125303, 0.847755, 0.026942},
       {-0.007950, 0.018572, 0.989378}}}},
    {Vision::Tritan,
     8,
     {{{1.257728, -0.139648, -0.118081},
       {-0.078003, 0.975409, 0.102594},
       {-0.003316, 0.501214, 0.502102}}}},
};

// The simulation at each published severity, fed each primary at a level
// where no output clamps, gives back the published matrix column by column.
TEST(Simulation, ReproducesThePublishedMatrices) {
  for (const auto& m : kMatrices) {
    const Sight sight = MakeSight(m.vision, m.tenths / 10.0);
    EXPECT_EQ(sight.matrix, m.published) << int(m.vision) << " " << m.tenths;
    for (size_t col = 0; col < 3; ++col) {
      LinearRgb in{0.4, 0.4, 0.4};
      double* channel[] = {&in.r, &in.g, &in.b};
      *channel[col] += 0.1;
      const LinearRgb base = Simulate({0.4, 0.4, 0.4}, sight);
      const LinearRgb out = Simulate(in, sight);
      const double got[] = {(out.r - base.r) / 0.1, (out.g - base.g) / 0.1, (out.b - base.b) / 0.1};
      for (size_t row = 0; row < 3; ++row)
        EXPECT_NEAR(got[row], m.published[row][col], 1e-9)
            << int(m.vision) << " " << m.tenths << " row " << row << " col " << col;
    }
  }
}

// Between two published steps the matrix lies on the line between them.
TEST(Simulation, InterpolatesLinearlyBetweenPublishedSteps) {
  const struct {
    Vision vision;
    double severity;
    int below;
    double t;  // how far from the step below to the one above
  } cases[] = {{Vision::Deutan, 0.531, 5, 0.31},
               {Vision::Protan, 0.05, 0, 0.5},
               {Vision::Tritan, 0.95, 9, 0.5}};
  for (const auto& c : cases) {
    const Matrix3 m = SimulationMatrix(c.vision, c.severity);
    const Matrix3& lo = PublishedMatrix(c.vision, c.below);
    const Matrix3& hi = PublishedMatrix(c.vision, c.below + 1);
    for (size_t i = 0; i < 3; ++i)
      for (size_t j = 0; j < 3; ++j)
        EXPECT_NEAR(m[i][j], (1 - c.t) * lo[i][j] + c.t * hi[i][j], 1e-12) << c.severity;
  }
  EXPECT_EQ(SimulationMatrix(Vision::Deutan, 0), PublishedMatrix(Vision::Normal, 0));
  EXPECT_THROW(SimulationMatrix(Vision::Deutan, 1.01), std::invalid_argument);
  EXPECT_THROW(SimulationMatrix(Vision::Deutan, -0.1), std::invalid_argument);
}

TEST(Simulation, KeepsGreysAndClampsToTheScreen) {
  for (Vision v : kVisions)
    for (int tenths = 1; tenths <= 10; ++tenths)
      for (double g : {0.0, 0.2, 1.0}) {
        const LinearRgb out = Simulate({g, g, g}, MakeSight(v, tenths / 10.0));
        EXPECT_NEAR(out.r, g, 2e-6) << int(v) << " " << tenths;
        EXPECT_NEAR(out.g, g, 2e-6) << int(v) << " " << tenths;
        EXPECT_NEAR(out.b, g, 2e-6) << int(v) << " " << tenths;
      }
  // Pure green for a red-blind viewer asks for more red than a screen has.
  const LinearRgb green = Simulate({0, 1, 0}, MakeSight(Vision::Protan, 1));
  EXPECT_EQ(green.r, 1.0);
  EXPECT_NEAR(green.g, 0.786281, 1e-9);
  EXPECT_EQ(green.b, 0.0);  // -0.048116 clamped
}

// Red and green, far apart for normal vision, come close for green-blind
// vision, and the weaker the green cones the closer.
TEST(Simulation, RedAndGreenMergeAsGreenWeaknessGrows) {
  auto apart = [](double severity) {
    const Sight s = MakeSight(Vision::Deutan, severity);
    return Ciede2000(LabUnder({200, 60, 40}, s), LabUnder({90, 140, 40}, s));
  };
  EXPECT_GT(apart(0), 30);
  EXPECT_LT(apart(0.3), apart(0));
  EXPECT_LT(apart(0.7), apart(0.3));
  EXPECT_LT(apart(1), apart(0) / 2);
}

}  // namespace

}  // namespace tintmoor::colorfile
