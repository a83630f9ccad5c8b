// Small helpers shared by the colour-file tests.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "markup/element.h"
#include "markup/reader.h"

// A tree read the way a load reads it: a fresh open root.
inline std::unique_ptr<tintmoor::markup::Element> ParseTree(std::string_view text) {
  auto root = std::make_unique<tintmoor::markup::Element>();
  root->set_open(true);
  tintmoor::markup::ReadMarkup(text, *root, "test");
  return root;
}

// A file of the source tree, as a path the test program can open (under Wine
// the Unix folders are drive Z:).
inline std::string SourcePath(const std::string& relative) {
  const char* root = std::getenv("TINTMOOR_SOURCE_DIR");
  std::string path = std::string(root != nullptr ? root : ".") + "/" + relative;
#ifdef _WIN32
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (!path.empty() && path[0] == '\\') path = "Z:" + path;
#endif
  return path;
}

// Lines joined by CRLF, each ended by it, as the writer lays them out.
inline std::string Crlf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

// A colour file of 13 rows; row r's cells are "r 0 0", "0 r 0", "0 0 r".
inline std::string ThirteenRows(std::string_view extraRows = {}) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<playercolors>\r\n";
  for (int r = 0; r < 13; ++r) {
    const std::string n = std::to_string(r);
    text += "\t<player num=\"" + n + "\" color1=\"" + n + " 0 0\" color2=\"0 " + n +
            " 0\" color3=\"0 0 " + n + "\"></player>\r\n";
  }
  text += extraRows;
  text += "</playercolors>\r\n";
  return text;
}
