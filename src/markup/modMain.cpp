// The markup reader and writer.
//
// Reader
// ------
// Input is bytes; a line ends at CR, CRLF or LF, and the last line needs no
// break. Each line is trimmed of spaces (0x20 only) at both ends, then every
// tab is removed, and the result is cut into words (SplitWords: each of
// < > / space = " ? ( ) [ ] + | is a word, runs of other bytes are words).
// A line is one of:
//
//   start line     "<" name attr* ">" text?           adds an open element
//   complete line  "<" name attr* ">" text? "</" ... ">" ...   adds a closed one
//   end line       "</" ... ">" ...                   closes the deepest open element
//   anything else  ignored
//
//   name   non-delimiter words up to a space or ">"; other delimiters are
//          skipped (so "a(1)" is "a1"); a delimiter first drops the line
//   attr   " "* word then, up to the second quote, every word but "=" and the
//          quotes goes into the value
//   text   every word up to "</"; a "<" not followed by "/" drops the line,
//          and so does a "<" that ends the line
//
// New elements go under the deepest open element: follow open children from
// the root, always taking the first open child (FindOpenMarkup). A dropped
// line changes nothing. The end tag's name is never compared with anything;
// whatever follows an end tag's ">" is ignored. A line of more than 32767
// words is an overflow (the word counter is 16 bits) and fails the whole load
// before any line reaches the tree.
//
// The reader keeps the path from the root to the deepest open element between
// lines, so each line costs the same whatever the depth; the path is rebuilt
// whenever the tree's generation shows that something else changed it.
//
// Writer
// ------
// A declaration line, an empty line, then each top-level element: a leaf as
// one line "<name a="v">value</name>", an element with children as its start
// tag, the children one level deeper, and its end tag; one tab per level,
// every line ended by CRLF, no escaping. Depth is a 16-bit counter: an element
// at depth 32767 cannot be indented, so such a tree is refused before anything
// is written.
#include "markup/modMain.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "markup/fileio.h"
#include "markup/modString.h"
#include "markup/wordscan.h"

using markup_detail::IsDelimiterChar;

namespace {

constexpr int32_t kMaxWordsPerLine = 32767;
constexpr int32_t kMaxDepth = 32766;
constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

// --- Reading -----------------------------------------------------------------

// The first open child of an open element, or null. Under an open element the
// reader only ever leaves the last child open, so that is checked first; the
// count of open entries tells whether it is also the first.
clsMarkUp* OpenChild(clsMarkUp& m) {
  if (!m.bOpen()) return nullptr;
  OrderedList<clsMarkUp>& children = m.Markups();
  const int32_t open = children.OpenCount();
  if (open == 0) return nullptr;
  clsMarkUp& last = children.Item(children.Count());
  if (open == 1 && last.bOpen()) return &last;
  for (clsMarkUp& c : children)
    if (c.bOpen()) return &c;
  return nullptr;
}

// What one line does to the tree.
enum class LineEffect { None, AddOpen, AddClosed, CloseDeepest };

// The element a line builds, kept between lines so its buffers are reused.
struct LineElement {
  struct Attribute {
    std::string name;
    std::string value;
    int16_t openState = 0;
  };
  std::string name;
  std::string value;
  std::vector<Attribute> attributes;
  size_t attributeCount = 0;

  void Clear() {
    name.clear();
    value.clear();
    attributeCount = 0;
  }
  Attribute& NewAttribute(std::string_view attrName) {
    if (attributeCount == attributes.size()) attributes.emplace_back();
    Attribute& a = attributes[attributeCount++];
    a.name.assign(attrName);
    a.value.clear();
    a.openState = 0;
    return a;
  }
  std::unique_ptr<clsMarkUp> Make(bool open) const {
    auto e = std::make_unique<clsMarkUp>();
    e->sName(name);
    e->sValue(value);
    for (size_t i = 0; i < attributeCount; ++i) {
      clsParam& p = e->Params().Add();
      p.sName(attributes[i].name);
      p.sValue(attributes[i].value);
      p.nOpenState(attributes[i].openState);
    }
    e->bOpen(open);
    return e;
  }
};

// The word of line that starts at i: a delimiter alone, or a run of others.
std::string_view WordAt(std::string_view line, size_t i) {
  if (IsDelimiterChar(line[i])) return line.substr(i, 1);
  size_t j = i + 1;
  while (j < line.size() && !IsDelimiterChar(line[j])) ++j;
  return line.substr(i, j - i);
}

// Runs the line's words through the state machine. Works on the words as the
// splitter would cut them, without making a list of them.
LineEffect ParseWords(std::string_view line, LineElement& el) {
  enum class State { LineStart, ElementName, AttributeName, AttributeValue, Content, EndTag };
  State state = State::LineStart;
  bool built = false;
  const size_t n = line.size();
  LineElement::Attribute* last = nullptr;
  size_t i = 0;
  while (i < n) {
    const std::string_view word = WordAt(line, i);
    const char d = IsDelimiterChar(word[0]) ? word[0] : '\0';  // the delimiter, if it is one
    switch (state) {
      case State::LineStart:
      case State::Content:
        if (state == State::Content && d != '<') {
          // The text runs to the next "<"; every word up to it joins the value.
          size_t lt = line.find('<', i);
          if (lt == std::string_view::npos) lt = n;
          el.value.append(line.substr(i, lt - i));
          i = lt;
          continue;
        }
        if (d != '<') return LineEffect::None;
        if (i + 1 >= n) return LineEffect::None;  // "<" ends the line: no next word
        if (line[i + 1] == '/') {
          state = State::EndTag;
        } else if (state == State::Content) {
          return LineEffect::None;  // a second start tag
        } else {
          built = true;
          el.Clear();
          state = State::ElementName;
        }
        break;
      case State::ElementName:
        if (d && el.name.empty()) return LineEffect::None;
        if (d == ' ')
          state = State::AttributeName;
        else if (d == '>')
          state = State::Content;
        else if (!d)
          el.name.append(word);
        break;
      case State::AttributeName:
        if (d == '>')
          state = State::Content;
        else if (d != ' ') {
          last = &el.NewAttribute(word);
          state = State::AttributeValue;
        }
        break;
      case State::AttributeValue:
        if (d == '=') break;
        if (d == '"') {
          if (last->openState == 0)
            last->openState = 1;
          else
            state = State::AttributeName;
        } else {
          last->value.append(word);
        }
        break;
      case State::EndTag: {
        // Nothing up to the end tag's ">" matters, nor anything after it.
        if (line.find('>', i) == std::string_view::npos) return LineEffect::None;
        return built ? LineEffect::AddClosed : LineEffect::CloseDeepest;
      }
    }
    i += word.size();
  }
  if (state == State::Content && built) return LineEffect::AddOpen;
  return LineEffect::None;
}

// The path from a root to its deepest open element, kept between lines.
struct OpenPath {
  clsMarkUp* root = nullptr;
  uint64_t generation = 0;
  std::vector<clsMarkUp*> chain;

  void Extend() {
    while (clsMarkUp* next = OpenChild(*chain.back())) chain.push_back(next);
  }
  clsMarkUp& Deepest(clsMarkUp& r) {
    if (root != &r || generation != MarkupGeneration() || chain.empty()) {
      root = &r;
      chain.assign(1, &r);
      Extend();
    }
    return *chain.back();
  }
};

// Applies one line's effect, keeping the path current.
void Apply(LineEffect effect, const LineElement& el, clsMarkUp& root, OpenPath& path) {
  if (effect == LineEffect::None) return;
  clsMarkUp& deepest = path.Deepest(root);
  switch (effect) {
    case LineEffect::AddOpen: {
      clsMarkUp& added = deepest.Markups().Add(el.Make(true));
      // An open parent had no open child, so the new one is now the deepest;
      // under a closed root the search never descends.
      if (deepest.bOpen()) path.chain.push_back(&added);
      break;
    }
    case LineEffect::AddClosed:
      deepest.Markups().Add(el.Make(false));
      break;
    case LineEffect::CloseDeepest:
      deepest.bOpen(false);
      if (path.chain.size() > 1) {
        path.chain.pop_back();
        path.Extend();
      }
      break;
    case LineEffect::None:
      break;
  }
  path.generation = MarkupGeneration();
}

[[noreturn]] void ThrowTooManyWords(const std::string& source, size_t lineNumber) {
  std::string where = lineNumber ? "line " + std::to_string(lineNumber) + " of \"" + source + "\""
                                 : std::string("a line");
  throw OverflowError("Word count overflowed: " + where + " has more than " +
                      std::to_string(kMaxWordsPerLine) + " words");
}

// The line with spaces trimmed at both ends and then every tab removed;
// scratch holds the bytes when tabs had to be taken out.
std::string_view CleanLine(std::string_view raw, std::string& scratch) {
  size_t b = 0, e = raw.size();
  while (b < e && raw[b] == ' ') ++b;
  while (e > b && raw[e - 1] == ' ') --e;
  std::string_view line = raw.substr(b, e - b);
  if (line.find('\t') == std::string_view::npos) return line;
  scratch.clear();
  for (char c : line)
    if (c != '\t') scratch += c;
  return scratch;
}

// Calls f(line, lineNumber) for each line of bytes.
template <class F>
void ForEachLine(std::string_view bytes, F&& f) {
  const size_t n = bytes.size();
  size_t p = 0, number = 0;
  while (p < n) {
    size_t e = p;
    while (e < n && bytes[e] != '\r' && bytes[e] != '\n') ++e;
    f(bytes.substr(p, e - p), ++number);
    if (e == n) break;
    p = (bytes[e] == '\r' && e + 1 < n && bytes[e + 1] == '\n') ? e + 2 : e + 1;
  }
}

// Reads bytes into root, or, when root is null, into whatever gDocument holds
// at the end of each line (as a load always did: the window may replace it).
void Read(std::string_view bytes, clsMarkUp* root, const std::string& sourceName) {
  // A line with too many words fails the load before it changes anything.
  // Only a line longer than the limit can hold that many words.
  if (bytes.size() > static_cast<size_t>(kMaxWordsPerLine)) {
    std::string scratch;
    ForEachLine(bytes, [&](std::string_view raw, size_t number) {
      if (raw.size() <= static_cast<size_t>(kMaxWordsPerLine)) return;
      if (markup_detail::CountWords(CleanLine(raw, scratch)) > kMaxWordsPerLine)
        ThrowTooManyWords(sourceName, number);
    });
  }
  std::string scratch;
  LineElement el;
  OpenPath path;
  ForEachLine(bytes, [&](std::string_view raw, size_t) {
    std::string_view line = CleanLine(raw, scratch);
    // The window gets its chance after every position, as SplitWords gives it.
    if (markup_detail::CurrentYieldHook())
      markup_detail::ScanWords<true>(line, [](size_t, size_t) {});
    LineEffect effect = ParseWords(line, el);
    Apply(effect, el, root ? *root : *gDocument, path);
  });
}

// --- Writing -----------------------------------------------------------------

[[noreturn]] void ThrowTooDeep(const clsMarkUp& e, int32_t depth) {
  throw OverflowError("Nesting depth overflowed: element \"" + e.sName() + "\" at depth " +
                      std::to_string(depth) + " cannot be indented (at most " +
                      std::to_string(kMaxDepth) + " levels)");
}

// Refuses a subtree that reaches past the deepest level that can be indented.
void CheckDepth(const clsMarkUp& element, int32_t depth) {
  std::vector<std::pair<const clsMarkUp*, int32_t>> pending{{&element, depth}};
  while (!pending.empty()) {
    auto [e, d] = pending.back();
    pending.pop_back();
    if (d > kMaxDepth) ThrowTooDeep(*e, d);
    for (const clsMarkUp& c : e->Markups()) pending.emplace_back(&c, d + 1);
  }
}

void AppendIndent(std::string& sink, int32_t depth) {
  if (depth > 0) sink.append(static_cast<size_t>(depth), '\t');
}

void AppendStartTag(std::string& sink, const clsMarkUp& e, int32_t depth) {
  AppendIndent(sink, depth);
  sink += '<';
  sink += e.sName();
  for (const clsParam& p : e.Params()) {
    sink += ' ';
    sink += p.sName();
    sink += "=\"";
    sink += p.sValue();
    sink += '"';
  }
  sink += '>';
}

void AppendEndTag(std::string& sink, const clsMarkUp& e) {
  sink += "</";
  sink += e.sName();
  sink += ">\r\n";
}

}  // namespace

bool IsDelimiter(std::string_view word) { return word.size() == 1 && IsDelimiterChar(word[0]); }

void LoadMarkupFile(const std::string& path) { Read(ReadFileBytes(path), nullptr, path); }

void LoadMarkupFile(const std::string& path, clsMarkUp& root) {
  Read(ReadFileBytes(path), &root, path);
}

void ReadMarkup(std::string_view bytes, clsMarkUp& root, const std::string& sourceName) {
  Read(bytes, &root, sourceName);
}

void ParseLine(std::string_view line) { ParseLine(line, *gDocument); }

void ParseLine(std::string_view line, clsMarkUp& root) {
  if (line.size() > static_cast<size_t>(kMaxWordsPerLine) &&
      markup_detail::CountWords(line) > kMaxWordsPerLine)
    ThrowTooManyWords({}, 0);
  if (markup_detail::CurrentYieldHook())
    markup_detail::ScanWords<true>(line, [](size_t, size_t) {});
  LineElement el;
  OpenPath path;
  Apply(ParseWords(line, el), el, root, path);
}

clsMarkUp& FindOpenMarkup(clsMarkUp& m) {
  clsMarkUp* at = &m;
  while (clsMarkUp* next = OpenChild(*at)) at = next;
  return *at;
}

void SaveMarkupFile(const std::string& path) { SaveMarkupFile(path, *gDocument); }

void SaveMarkupFile(const std::string& path, const clsMarkUp& root) {
  ReplaceFileBytes(path, WriteDocument(root));
}

std::string WriteDocument(const clsMarkUp& root) {
  for (const clsMarkUp& e : root.Markups()) CheckDepth(e, 0);
  std::string sink;
  sink += kDeclaration;
  sink += "\r\n\r\n";
  for (const clsMarkUp& e : root.Markups()) WriteMarkup(e, 0, sink);
  return sink;
}

void WriteMarkup(const clsMarkUp& element, int16_t depth, std::string& sink) {
  CheckDepth(element, depth);
  struct Frame {
    const clsMarkUp* e;
    int32_t depth;
    int32_t next;  // position of the next child to write
  };
  std::vector<Frame> stack{{&element, depth, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    const OrderedList<clsMarkUp>& children = f.e->Markups();
    if (f.next == 0) {
      AppendStartTag(sink, *f.e, f.depth);
      if (children.Count() == 0) {
        sink += f.e->sValue();
        AppendEndTag(sink, *f.e);
        stack.pop_back();
        continue;
      }
      sink += "\r\n";
    }
    if (f.next < children.Count()) {
      const clsMarkUp& child = children.Item(++f.next);
      stack.push_back({&child, f.depth + 1, 0});  // f is not used after this
    } else {
      AppendIndent(sink, f.depth);
      AppendEndTag(sink, *f.e);
      stack.pop_back();
    }
  }
}

std::string RepeatString(std::string_view text, int32_t count) {
  if (count < -32768 || count >= 32767)
    throw OverflowError("Repeat count overflowed: " + std::to_string(count) +
                        " repetitions (at most 32766)");
  std::string out;
  for (int32_t i = 1; i <= count; ++i) out += text;
  return out;
}
