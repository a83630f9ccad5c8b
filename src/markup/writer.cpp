// The markup writer.
//
// A declaration line, an empty line, then each top-level element: a leaf as
// one line "<name a="v">value</name>", an element with children as its start
// tag, the children one level deeper, and its end tag; one tab per level,
// every line ended by CRLF, no escaping. Depth is a 16-bit counter: an element
// at depth 32767 cannot be indented, so such a tree is refused before anything
// is written.

#include "markup/writer.h"

#include <vector>

#include "common/errors.h"
#include "common/file_io.h"

namespace tintmoor::markup {

namespace {

constexpr int32_t kMaxDepth = kMaxCounter - 1;  // the deepest level that can be indented
constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

[[noreturn]] void ThrowTooDeep(const Element& e, int32_t depth) {
  throw common::OverflowError("Nesting depth overflowed: element \"" + e.name() + "\" at depth " +
                              std::to_string(depth) + " cannot be indented (at most " +
                              std::to_string(kMaxDepth) + " levels)");
}

// Refuses a subtree that reaches past the deepest level that can be indented.
void CheckDepth(const Element& element, int32_t depth) {
  std::vector<std::pair<const Element*, int32_t>> pending{{&element, depth}};
  while (!pending.empty()) {
    auto [e, d] = pending.back();
    pending.pop_back();
    if (d > kMaxDepth) ThrowTooDeep(*e, d);
    for (const Element& c : e->children()) pending.emplace_back(&c, d + 1);
  }
}

void AppendIndent(std::string& sink, int32_t depth) {
  if (depth > 0) sink.append(static_cast<size_t>(depth), '\t');
}

void AppendStartTag(std::string& sink, const Element& e, int32_t depth) {
  AppendIndent(sink, depth);
  sink += '<';
  sink += e.name();
  for (const Attribute& p : e.attributes()) {
    sink += ' ';
    sink += p.name();
    sink += "=\"";
    sink += p.value();
    sink += '"';
  }
  sink += '>';
}

void AppendEndTag(std::string& sink, const Element& e) {
  sink += "</";
  sink += e.name();
  sink += ">\r\n";
}

// Writes element and its children at depth, which CheckDepth has allowed.
void WriteChecked(const Element& element, int32_t depth, std::string& sink) {
  struct Frame {
    const Element* e;
    int32_t depth;
    int32_t next;  // position of the next child to write
  };
  std::vector<Frame> stack{{&element, depth, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    const OrderedList<Element>& children = f.e->children();
    if (f.next == 0) {
      AppendStartTag(sink, *f.e, f.depth);
      if (children.Count() == 0) {
        sink += f.e->value();
        AppendEndTag(sink, *f.e);
        stack.pop_back();
        continue;
      }
      sink += "\r\n";
    }
    if (f.next < children.Count()) {
      const Element& child = children.Item(++f.next);
      stack.push_back({&child, f.depth + 1, 0});  // f is not used after this
    } else {
      AppendIndent(sink, f.depth);
      AppendEndTag(sink, *f.e);
      stack.pop_back();
    }
  }
}

}  // namespace

void SaveMarkupFile(const std::string& path) { SaveMarkupFile(path, *gDocument); }

void SaveMarkupFile(const std::string& path, const Element& root) {
  common::ReplaceFileBytes(path, WriteDocument(root));
}

std::string WriteDocument(const Element& root) {
  // Every element is checked before anything is written, so a tree too deep
  // to save costs no time and memory for a text that would be thrown away.
  for (const Element& e : root.children()) CheckDepth(e, 0);
  std::string sink;
  sink += kDeclaration;
  sink += "\r\n\r\n";
  for (const Element& e : root.children()) WriteChecked(e, 0, sink);
  return sink;
}

void WriteMarkup(const Element& element, int16_t depth, std::string& sink) {
  CheckDepth(element, depth);
  WriteChecked(element, depth, sink);
}

std::string RepeatString(std::string_view text, int32_t count) {
  if (count < -kMaxCounter - 1 || count >= kMaxCounter)
    throw common::OverflowError("Repeat count overflowed: " + std::to_string(count) +
                                " repetitions (at most " + std::to_string(kMaxCounter - 1) + ")");
  std::string out;
  for (int32_t i = 1; i <= count; ++i) out += text;
  return out;
}

}  // namespace tintmoor::markup
