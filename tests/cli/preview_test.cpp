// The preview picture read back through a PNG decoder of its own: its size,
// what its swatches show, which of them are marked, and the command around it.
#include "cli/preview_png.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <tuple>

#include "cli/cli.h"
#include "colorfile/color_store.h"
#include "colorfile/presets.h"

#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace tintmoor::cli {

using colorfile::Audience;
using colorfile::CheckOptions;
using colorfile::CheckResult;
using colorfile::CheckTable;
using colorfile::ClosePair;
using colorfile::ColorTable;
using colorfile::ColourVisionScheme;
using colorfile::ColumnName;
using colorfile::DefaultScheme;
using colorfile::EveryVision;
using colorfile::kRows;
using colorfile::MakeAudience;
using colorfile::Rgb;
using colorfile::RowCaption;
using colorfile::Sight;
using colorfile::SystemFileSystem;
using colorfile::Vision;

namespace {

PreviewImage Decode(const std::string& png) {
  PreviewImage image;
  int channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                          static_cast<int>(png.size()), &image.width, &image.height,
                                          &channels, 3);
  EXPECT_NE(pixels, nullptr) << stbi_failure_reason();
  if (pixels) image.rgb.assign(pixels, pixels + image.width * image.height * 3);
  stbi_image_free(pixels);
  return image;
}

TEST(Preview, PngDecodesToTheDocumentedSize) {
  // 992 pixels high, and 24 more for each line of the longer list of pairs.
  const struct {
    const ColorTable& table;
    double threshold;
    int height;
  } cases[] = {{DefaultScheme(), 10, 992 + 13 * 24},
               {ColourVisionScheme(), 10, 992},
               {ColourVisionScheme(), 11, 992 + 1 * 24}};
  for (const auto& c : cases) {
    const CheckOptions options{EveryVision(), {0, 1}, c.threshold};
    const PreviewImage decoded = Decode(PreviewPng(c.table, options, "Preset"));
    EXPECT_EQ(decoded.width, 1504);
    EXPECT_EQ(decoded.height, c.height) << c.threshold;
    EXPECT_TRUE(decoded.rgb == RenderPreview(c.table, CheckTable(c.table, options), "Preset").rgb)
        << "the PNG is not the picture drawn";
  }
}

TEST(Preview, SwatchesShowTheColourAsSeenWithTheirVision) {
  // Worked out apart from the program, from the published matrices.
  const struct {
    int row, column;
    size_t sight;
    Rgb seen;
  } cases[] = {{2, 0, 3, {255, 0, 54}},   // blue-blind
               {0, 0, 1, {120, 105, 0}},  // red-blind
               {1, 1, 2, {0, 61, 251}},   // green-blind
               {10, 1, 0, {146, 205, 185}}};
  const PreviewImage image =
      RenderPreview(DefaultScheme(), CheckTable(DefaultScheme(), CheckOptions{}), "t");
  for (const auto& c : cases) {
    const PixelRect r = SwatchRect(c.row, c.column, c.sight, 4);
    int wrong = 0;
    // A tag may cover the lower right; the rest is the colour alone.
    for (int y = r.y; y < r.y + r.height; ++y)
      for (int x = r.x; x < r.x + (y < r.y + r.height / 2 ? r.width : r.width / 3); ++x)
        wrong += image.At(x, y) != c.seen;
    EXPECT_EQ(wrong, 0) << RowCaption(c.row) << " " << ColumnName(c.column) << " " << c.sight;
  }
}

TEST(Preview, MarksExactlyTheSwatchesOfTheClosePairs) {
  ColorTable twins = ColourVisionScheme();
  twins[3][1] = twins[9][1];  // the same minimap colour: close under every vision
  const Vision deutan[] = {Vision::Deutan};
  const struct {
    const char* name;
    const ColorTable& table;
    int marked;
    Audience audience = EveryVision();
  } cases[] = {{"default", DefaultScheme(), 24 + 18},
               {"colour-vision", ColourVisionScheme(), 0},
               {"twins", twins, 8},
               {"twins, green-weak", twins, 4, MakeAudience(deutan, 0.5)},
               {"default, green-weak", DefaultScheme(), 6, MakeAudience(deutan, 0.6)}};
  for (const auto& c : cases) {
    const std::vector<Sight>& sights = c.audience.sights;
    const CheckResult result = CheckTable(c.table, {c.audience, {0, 1}, 10});
    std::set<std::tuple<int, int, Vision>> close;
    for (const ClosePair& p : result.close)
      for (const auto& failure : p.failures) {
        close.emplace(p.rowA, p.column, failure.first);
        close.emplace(p.rowB, p.column, failure.first);
      }
    const PreviewImage image = RenderPreview(c.table, result, c.name);
    int marked = 0;
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < 2; ++column)
        for (size_t s = 0; s < sights.size(); ++s) {
          const Vision v = sights[s].vision;
          const PixelRect r = SwatchRect(row, column, s, sights.size());
          const bool framed = image.At(r.x - 2, r.y + r.height / 2) == kPreviewMark &&
                              image.At(r.x + r.width + 1, r.y) == kPreviewMark;
          const bool tagged = image.At(r.x + r.width - 2, r.y + r.height - 2) == kPreviewMark;
          const bool expected = close.count({row, column, v}) > 0;
          EXPECT_EQ(framed, expected)
              << c.name << ": " << RowCaption(row) << " " << ColumnName(column) << " " << s;
          EXPECT_EQ(tagged, expected) << c.name << ": " << RowCaption(row);
          marked += framed;
        }
    EXPECT_EQ(marked, c.marked) << c.name;
  }
}

TEST(Preview, Command) {
  // A name of its own: other builds run this test at the same time.
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("tintmoor-preview-" + std::to_string(std::random_device()()) + ".png");
  const std::string missing = (file.parent_path() / "no-such-folder" / "p.png").string();
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;  // the start of it
  } cases[] = {{{"--preset", "default", "--out", file.string()}, kExitOk, "Wrote " + file.string()},
               {{"--preset", "default", "--out", "-"}, kExitOk, "\x89PNG\r\n"},
               {{"--preset", "default"}, kExitUsage, ""},
               {{"--preset", "default", "--scheme", "x", "--out", "-"}, kExitUsage, ""},
               {{"--preset", "default", "--threshold", "ten", "--out", "-"}, kExitUsage, ""},
               {{"--preset", "default", "--column", "dead", "--out", "-"}, kExitUsage, ""},
               {{"--preset", "rainbow", "--out", "-"}, kExitUsage, ""},
               {{"--preset", "default", "--out", missing}, kExitFailed, ""}};
  std::string png;
  for (const auto& c : cases) {
    std::ostringstream out, err;
    std::istringstream in;
    CliEnv env{out, err, in, SystemFileSystem()};
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "preview");
    EXPECT_EQ(RunCli(args, env), c.status) << c.args.back() << err.str();
    EXPECT_EQ(out.str().substr(0, c.out.size()), c.out);
    EXPECT_EQ(err.str().empty(), c.status == kExitOk) << err.str();
    if (c.args.back() == "-" && c.status == kExitOk) png = out.str();
  }
  EXPECT_TRUE(png == SystemFileSystem().ReadAll(file.string()))
      << "file and standard output differ";
  std::filesystem::remove(file);
}

}  // namespace

}  // namespace tintmoor::cli
