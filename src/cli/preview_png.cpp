#include "cli/preview_png.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "colorfile/vision_words.h"
#include "common/errors.h"

// Two single-header libraries: a bitmap font made of rectangles, and a PNG
// encoder (its file functions left out: bytes go through a callback). Their
// folder is a system include directory, so their own warnings stay quiet.
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_easy_font.h>
#include <stb_image_write.h>

namespace tintmoor::cli {

namespace {

// stb_easy_font's capitals and digits are 7 units high, on a 12-unit line:
// drawn at twice that they read at 100% zoom.
constexpr int kText = 2;
constexpr int kTitleText = 3;
constexpr int kGlyphHeight = 7;

constexpr int kMargin = 28;
constexpr int kCaptionWidth = 120;
constexpr int kSwatchHeight = 44;
constexpr int kColumnGap = 16;
constexpr int kRowPitch = 54;
constexpr int kGroupGap = 48;
constexpr int kGroupWidth = 640;  // four swatches of 148 and their gaps
static_assert(2 * kMargin + kCaptionWidth + 2 * kGroupWidth + kGroupGap == kPreviewWidth);
static_assert(kRowPitch - kSwatchHeight >= 2 * kPreviewFrame + 2, "frames of rows touch");
static_assert(kColumnGap >= 2 * kPreviewFrame + 2, "frames of columns touch");

constexpr int kTitleY = kMargin;
constexpr int kSubtitleY = kTitleY + 36;
constexpr int kGroupHeaderY = kSubtitleY + 44;
constexpr int kVisionHeaderY = kGroupHeaderY + 32;
constexpr int kGridY = kVisionHeaderY + 30;
constexpr int kLegendY = kGridY + (colorfile::kRows - 1) * kRowPitch + kSwatchHeight + 28;
constexpr int kListY = kLegendY + 44;
constexpr int kListHeading = 30;
constexpr int kLinePitch = 24;

constexpr colorfile::Rgb kInk = {28, 28, 28};
constexpr colorfile::Rgb kQuietInk = {96, 96, 96};
constexpr colorfile::Rgb kRule = {176, 176, 176};
constexpr colorfile::Rgb kBorder = {150, 150, 150};
constexpr colorfile::Rgb kTagInk = {255, 255, 255};

int GroupX(int column) { return kMargin + kCaptionWidth + column * (kGroupWidth + kGroupGap); }

// The font covers printable ASCII only; anything else would index past its tables.
std::string Printable(std::string_view text) {
  std::string out(text);
  for (char& ch : out)
    if (ch < 32 || ch > 126) ch = '?';
  return out;
}

int TextWidth(std::string_view text, int scale) {
  std::string s = Printable(text);
  return stb_easy_font_width(s.data()) * scale;
}

// Shortens text to fit maxWidth, marking the cut with "...": at the front for
// a path (its file name matters most), at the end otherwise.
std::string Fit(std::string text, int scale, int maxWidth, bool cutFront) {
  if (TextWidth(text, scale) <= maxWidth) return text;
  while (!text.empty()) {
    if (cutFront)
      text.erase(0, 1);
    else
      text.pop_back();
    const std::string shown = cutFront ? "..." + text : text + "...";
    if (TextWidth(shown, scale) <= maxWidth) return shown;
  }
  return "";
}

class Canvas {
 public:
  Canvas(int width, int height) {
    image_.width = width;
    image_.height = height;
    image_.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    Fill({0, 0, width, height}, kPreviewBackground);
  }

  void Fill(PixelRect r, colorfile::Rgb c) {
    const int x0 = std::max(r.x, 0);
    const int y0 = std::max(r.y, 0);
    const int x1 = std::min(r.x + r.width, image_.width);
    const int y1 = std::min(r.y + r.height, image_.height);
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        uint8_t* p = &image_.rgb[(static_cast<size_t>(y) * static_cast<size_t>(image_.width) +
                                  static_cast<size_t>(x)) *
                                 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
      }
  }

  // Draws text with the top of its capitals at y; returns its width.
  int Text(int x, int y, std::string_view text, int scale, colorfile::Rgb c) {
    std::string s = Printable(text);
    // No character takes more than 11 quads (its widest, '@' and the like);
    // a quad is 4 vertices of 4 floats. A smaller buffer would cut the text.
    std::vector<float> vertices(s.size() * 12 * 16 + 16);
    const int quads = stb_easy_font_print(0, 0, s.data(), nullptr, vertices.data(),
                                          static_cast<int>(vertices.size() * sizeof(float)));
    for (int q = 0; q < quads; ++q) {
      const float* v = &vertices[static_cast<size_t>(q) * 16];
      // Corners 0 and 2 of each quad are its top left and bottom right, on whole units.
      const int left = static_cast<int>(std::lround(v[0])) * scale;
      const int top = static_cast<int>(std::lround(v[1])) * scale;
      const int right = static_cast<int>(std::lround(v[8])) * scale;
      const int bottom = static_cast<int>(std::lround(v[9])) * scale;
      Fill({x + left, y + top, right - left, bottom - top}, c);
    }
    return TextWidth(s, scale);
  }

  int Centred(int left, int width, int y, std::string_view text, int scale, colorfile::Rgb c) {
    return Text(left + (width - TextWidth(text, scale)) / 2, y, text, scale, c);
  }

  PreviewImage Take() { return std::move(image_); }

 private:
  PreviewImage image_;
};

std::string RowTag(int row) { return row == 0 ? "G" : std::to_string(row); }

// A swatch with its border or, when marked, its frame and the tag naming the
// rows it is too close to.
void DrawSwatch(Canvas& canvas, PixelRect r, colorfile::Rgb colour,
                const std::vector<int>& partners) {
  if (partners.empty()) {
    canvas.Fill({r.x - 1, r.y - 1, r.width + 2, r.height + 2}, kBorder);
    canvas.Fill(r, colour);
    return;
  }
  constexpr int f = kPreviewFrame;
  canvas.Fill({r.x - f, r.y - f, r.width + 2 * f, r.height + 2 * f}, kPreviewMark);
  canvas.Fill(r, colour);
  // As many rows as fit, then how many more there are.
  std::string tag;
  for (size_t shown = partners.size(); shown > 0; --shown) {
    tag.clear();
    for (size_t i = 0; i < shown; ++i) {
      if (i) tag += ' ';
      tag += RowTag(partners[i]);
    }
    if (shown < partners.size()) tag += " +" + std::to_string(partners.size() - shown);
    if (TextWidth(tag, kText) + 6 <= r.width - 8) break;
  }
  const int tagWidth = TextWidth(tag, kText) + 6;
  const int tagHeight = kGlyphHeight * kText + 6;
  const PixelRect box{r.x + r.width - tagWidth, r.y + r.height - tagHeight, tagWidth, tagHeight};
  canvas.Fill(box, kPreviewMark);
  canvas.Text(box.x + 4, box.y + 3, tag, kText, kTagInk);
}

std::string Figure(const char* format, double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

int ListLines(const colorfile::CheckResult& result, int column) {
  return static_cast<int>(
      std::count_if(result.close.begin(), result.close.end(),
                    [&](const colorfile::ClosePair& p) { return p.column == column; }));
}

// The close pairs of one column under its swatches, as the check lists them.
void DrawList(Canvas& canvas, const colorfile::CheckResult& result, int column) {
  const int x = GroupX(column);
  const int maxWidth = kGroupWidth + (column == 0 ? kGroupGap : kMargin) - 8;
  const std::string threshold = colorfile::NumberText(result.options.threshold);
  const int count = ListLines(result, column);
  const std::string heading =
      std::string(column == 0 ? "Unit" : "Minimap") + " colors: " +
      (count == 0 ? std::string("no pair")
                  : std::to_string(count) + (count == 1 ? " pair" : " pairs")) +
      " closer than " + threshold;
  canvas.Text(x, kListY, heading, kText, kInk);
  const int distanceWidth = TextWidth("00.00", kText);
  const int pairWidth = TextWidth("Player 12 / Player 12", kText);
  int y = kListY + kListHeading;
  for (const colorfile::ClosePair& p : result.close) {
    if (p.column != column) continue;
    const std::string distance = Figure("%.2f", p.distance);
    canvas.Text(x + distanceWidth - TextWidth(distance, kText), y, distance, kText, kInk);
    const int pairX = x + distanceWidth + 12;
    canvas.Text(pairX, y,
                std::string(colorfile::RowCaption(p.rowA)) + " / " +
                    std::string(colorfile::RowCaption(p.rowB)),
                kText, kInk);
    const int visionsX = pairX + pairWidth + 24;
    canvas.Text(visionsX, y,
                Fit(colorfile::FailureWords(p, result.options.audience.severity), kText,
                    x + maxWidth - visionsX, false),
                kText, kQuietInk);
    y += kLinePitch;
  }
}

void Append(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                             static_cast<size_t>(size));
}

}  // namespace

colorfile::Rgb PreviewImage::At(int x, int y) const {
  const size_t at =
      (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

PixelRect SwatchRect(int row, int column, size_t sight, size_t sights) {
  const int n = static_cast<int>(std::max<size_t>(sights, 1));
  const int width = (kGroupWidth - (n - 1) * kColumnGap) / n;
  return {GroupX(column) + static_cast<int>(sight) * (width + kColumnGap), kGridY + row * kRowPitch,
          width, kSwatchHeight};
}

int PreviewHeight(const colorfile::CheckResult& result) {
  const int lines = std::max(ListLines(result, 0), ListLines(result, 1));
  return kListY + kListHeading + lines * kLinePitch + kMargin;
}

PreviewImage RenderPreview(const colorfile::ColorTable& table, const colorfile::CheckResult& result,
                           std::string_view title) {
  Canvas canvas(kPreviewWidth, PreviewHeight(result));
  const int textWidth = kPreviewWidth - 2 * kMargin;
  canvas.Text(kMargin, kTitleY, Fit(std::string(title), kTitleText, textWidth, true), kTitleText,
              kInk);
  const std::vector<colorfile::Sight>& sights = result.options.audience.sights;
  const double severity = result.options.audience.severity;
  std::string seenWith = "Seen with normal vision";
  for (size_t i = 1; i < sights.size(); ++i)
    seenWith += std::string(i + 1 == sights.size() ? " and " : ", ") +
                colorfile::VisionFullName(sights[i].vision, severity);
  if (severity < colorfile::kFullSeverity)
    seenWith += ", severity " + colorfile::NumberText(severity) + " of 1";
  canvas.Text(kMargin, kSubtitleY, Fit(seenWith, kText, textWidth, false), kText, kQuietInk);

  for (int column = 0; column < 2; ++column) {
    const int x = GroupX(column);
    canvas.Centred(x, kGroupWidth, kGroupHeaderY, column == 0 ? "Unit colors" : "Minimap colors",
                   kText, kInk);
    canvas.Fill({x, kGroupHeaderY + kGlyphHeight * kText + 8, kGroupWidth, 2}, kRule);
    for (size_t s = 0; s < sights.size(); ++s) {
      const PixelRect r = SwatchRect(0, column, s, sights.size());
      canvas.Centred(r.x, r.width, kVisionHeaderY,
                     colorfile::VisionName(sights[s].vision, severity), kText, kQuietInk);
    }
  }
  for (int row = 0; row < colorfile::kRows; ++row) {
    const int y = SwatchRect(row, 0, 0, sights.size()).y;
    canvas.Text(kMargin, y + (kSwatchHeight - kGlyphHeight * kText) / 2, colorfile::RowCaption(row),
                kText, kInk);
    for (int column = 0; column < 2; ++column)
      for (size_t s = 0; s < sights.size(); ++s)
        DrawSwatch(canvas, SwatchRect(row, column, s, sights.size()),
                   colorfile::SeenAs(table[static_cast<size_t>(row)][static_cast<size_t>(column)],
                                     sights[s]),
                   colorfile::ClosePartners(result, column, row, sights[s].vision));
  }

  // The legend: a sample of the mark, and what it means.
  const PixelRect sample{kMargin + kPreviewFrame, kLegendY, 72, 26};
  DrawSwatch(canvas, sample, {150, 150, 150}, {0, 7});
  canvas.Text(sample.x + sample.width + kPreviewFrame + 16,
              kLegendY + (sample.height - kGlyphHeight * kText) / 2,
              "Framed: closer than " + colorfile::NumberText(result.options.threshold) +
                  " (CIEDE2000) under that vision to the players named in its corner (G is Gaia)",
              kText, kInk);
  DrawList(canvas, result, 0);
  DrawList(canvas, result, 1);
  return canvas.Take();
}

std::string EncodePng(const PreviewImage& image) {
  std::string bytes;
  if (!stbi_write_png_to_func(Append, &bytes, image.width, image.height, 3, image.rgb.data(),
                              image.width * 3))
    throw common::TintError("the preview could not be encoded as PNG");
  return bytes;
}

std::string PreviewPng(const colorfile::ColorTable& table, const colorfile::CheckOptions& options,
                       std::string_view title) {
  colorfile::CheckOptions picture = options;
  picture.columns = {colorfile::kDefaultColumns.begin(), colorfile::kDefaultColumns.end()};
  return EncodePng(RenderPreview(table, colorfile::CheckTable(table, picture), title));
}

}  // namespace tintmoor::cli
