// The markup reader.
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

#include "markup/reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/file_io.h"
#include "markup/word_scan.h"
#include "markup/words.h"

namespace tintmoor::markup {

using detail::IsDelimiterChar;

namespace {

constexpr int32_t kMaxWordsPerLine = kMaxCounter;

// The first open child of an open element, or null. Under an open element the
// reader only ever leaves the last child open, so that is checked first; the
// count of open entries tells whether it is also the first.
Element* OpenChild(Element& m) {
  if (!m.is_open()) return nullptr;
  OrderedList<Element>& children = m.children();
  const int32_t open = children.OpenCount();
  if (open == 0) return nullptr;
  Element& last = children.Item(children.Count());
  if (open == 1 && last.is_open()) return &last;
  for (Element& c : children)
    if (c.is_open()) return &c;
  return nullptr;
}

// What one line does to the tree.
enum class LineEffect { None, AddOpen, AddClosed, CloseDeepest };

// What a line builds, as views into the line where the text is one piece of
// it (nearly always), and in buffers kept between lines where pieces had to be
// joined. Nothing is allocated until the line is known to add an element.
struct LineElement {
  struct Attribute {
    std::string_view name;
    std::string_view value;  // when !joined
    std::string joinedValue;
    bool joined = false;
    int16_t openState = 0;
  };
  std::string_view name;
  std::string joinedName;
  bool nameJoined = false;
  std::string_view value;
  std::vector<Attribute> attributes;  // the first attributeCount are this line's
  size_t attributeCount = 0;

  void Clear() {
    name = {};
    nameJoined = false;
    value = {};
    attributeCount = 0;
  }
  // Adds a piece of the element's name (pieces around skipped delimiters join).
  void AddNamePiece(std::string_view piece) {
    if (name.empty() && !nameJoined) {
      name = piece;
      return;
    }
    if (!nameJoined) joinedName.assign(name);
    nameJoined = true;
    joinedName.append(piece);
  }
  Attribute& NewAttribute(std::string_view attrName) {
    if (attributeCount == attributes.size()) attributes.emplace_back();
    Attribute& a = attributes[attributeCount++];
    a.name = attrName;
    a.value = {};
    a.joined = false;
    a.openState = 0;
    return a;
  }
  // Adds the words of text other than "=" to the attribute's value.
  static void AddValueText(Attribute& a, std::string_view text) {
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos && a.value.empty() && !a.joined) {
      a.value = text;
      return;
    }
    if (!a.joined) a.joinedValue.assign(a.value);
    a.joined = true;
    for (char c : text)
      if (c != '=') a.joinedValue += c;
  }
  std::unique_ptr<Element> Make(bool open) const {
    auto e = std::make_unique<Element>();
    e->set_name(nameJoined ? std::string_view(joinedName) : name);
    e->set_value(value);
    e->attributes().Reserve(static_cast<int32_t>(attributeCount));
    for (size_t i = 0; i < attributeCount; ++i) {
      const Attribute& a = attributes[i];
      markup::Attribute& p = e->attributes().Add();
      p.set_name(a.name);
      p.set_value(a.joined ? std::string_view(a.joinedValue) : a.value);
      p.set_open_state(a.openState);
    }
    e->set_open(open);
    return e;
  }
};

// The position of the first c in line at or after i, or the line's length.
// Runs are short here (a value, a tag's rest), where a plain loop beats a call.
size_t Find(std::string_view line, size_t i, char c) {
  while (i < line.size() && line[i] != c) ++i;
  return i;
}

// Runs one cleaned-up line through the state machine of the transition table
// (LineStart, ElementName, AttributeName, AttributeValue, Content, EndTag,
// EndTagDone). It walks bytes rather than a word list: a word is a single
// delimiter or a run of other bytes, so "the next word is /" is "the next
// byte is /", and where a state treats a run of words alike (text, a quoted
// value) the run is taken in one step. The tree is not touched here.
// When the line is abandoned (rather than read to its end), abandonedAt gets
// the offset of the word that abandoned it.
LineEffect ParseWords(std::string_view line, LineElement& el, size_t* abandonedAt = nullptr) {
  const size_t n = line.size();
  auto abandon = [abandonedAt](size_t at) {
    if (abandonedAt) *abandonedAt = at;
    return LineEffect::None;
  };
  // LineStart: only "<" with a word after it goes on.
  if (n < 2 || line[0] != '<') return abandon(0);
  size_t i = 1;
  bool built = false;
  if (line[1] != '/') {
    built = true;
    el.Clear();
    // ElementName: a delimiter first drops the line; after that, non-delimiter
    // words join the name, and delimiters other than space and ">" are skipped.
    if (IsDelimiterChar(line[1])) return abandon(1);
    bool inTag = true;
    while (inTag) {
      if (i == n) return LineEffect::None;
      const char c = line[i];
      if (!IsDelimiterChar(c)) {
        size_t j = i + 1;
        while (j < n && !IsDelimiterChar(line[j])) ++j;
        el.AddNamePiece(line.substr(i, j - i));
        i = j;
        continue;
      }
      ++i;
      if (c == '>') break;
      if (c != ' ') continue;
      // AttributeName: spaces pass, ">" ends the tag, any other word names an attribute.
      for (;;) {
        if (i == n) return LineEffect::None;
        const char a = line[i];
        if (a == ' ') {
          ++i;
          continue;
        }
        if (a == '>') {
          ++i;
          inTag = false;
          break;
        }
        size_t j = i + 1;
        if (!IsDelimiterChar(a))
          while (j < n && !IsDelimiterChar(line[j])) ++j;
        LineElement::Attribute& attr = el.NewAttribute(line.substr(i, j - i));
        i = j;
        // AttributeValue: every word but "=" goes into the value; the first
        // quote opens it, the second ends the attribute.
        for (;;) {
          const size_t q = Find(line, i, '"');
          if (q == n) return LineEffect::None;
          // Before the opening quote this is mostly a lone "=", which adds nothing.
          if (q > i && !(q == i + 1 && line[i] == '='))
            LineElement::AddValueText(attr, line.substr(i, q - i));
          i = q + 1;
          if (attr.openState == 1) break;
          attr.openState = 1;
        }
      }
    }
    // Content: the text runs to the next "<", which must start an end tag.
    const size_t lt = Find(line, i, '<');
    el.value = line.substr(i, lt - i);
    if (lt == n) return LineEffect::AddOpen;
    if (lt + 1 == n || line[lt + 1] != '/') return abandon(lt);
    i = lt + 1;
  }
  // EndTag from the "/": its name is not compared, and once its ">" is read
  // (EndTagDone) nothing after it matters.
  if (Find(line, i, '>') == n) return LineEffect::None;
  return built ? LineEffect::AddClosed : LineEffect::CloseDeepest;
}

// The path from a root to its deepest open element, kept between lines.
struct OpenPath {
  Element* root = nullptr;
  uint64_t generation = 0;
  std::vector<Element*> chain;

  void Extend() {
    while (Element* next = OpenChild(*chain.back())) chain.push_back(next);
  }
  Element& Deepest(Element& r) {
    if (root != &r || generation != MarkupGeneration() || chain.empty()) {
      root = &r;
      chain.assign(1, &r);
      Extend();
    }
    return *chain.back();
  }
};

// Applies one line's effect, keeping the path current.
void Apply(LineEffect effect, const LineElement& el, Element& root, OpenPath& path) {
  if (effect == LineEffect::None) return;
  Element& deepest = path.Deepest(root);
  switch (effect) {
    case LineEffect::AddOpen: {
      Element& added = deepest.children().Add(el.Make(true));
      // An open parent had no open child, so the new one is now the deepest;
      // under a closed root the search never descends.
      if (deepest.is_open()) path.chain.push_back(&added);
      break;
    }
    case LineEffect::AddClosed:
      deepest.children().Add(el.Make(false));
      break;
    case LineEffect::CloseDeepest:
      deepest.set_open(false);
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

// How many words the reader takes of a line: all of them, unless it abandons
// the line first. Only a word it takes moves its 16-bit word position, so a
// long line it drops early (plain text, a bad first word) cannot overflow it.
size_t WordsReached(std::string_view line) {
  LineElement el;
  size_t abandonedAt = std::string_view::npos;
  ParseWords(line, el, &abandonedAt);
  if (abandonedAt == std::string_view::npos) return detail::CountWords(line);
  return detail::CountWords(line.substr(0, abandonedAt)) + 1;
}

[[noreturn]] void ThrowTooManyWords(const std::string& source, size_t lineNumber) {
  std::string where = lineNumber ? "line " + std::to_string(lineNumber) + " of \"" + source + "\""
                                 : std::string("a line");
  throw common::OverflowError("Word count overflowed: " + where + " has more than " +
                              std::to_string(kMaxWordsPerLine) + " words");
}

// The line with spaces trimmed at both ends and then every tab removed;
// scratch holds the bytes when tabs inside the line had to be taken out.
std::string_view CleanLine(std::string_view raw, std::string& scratch) {
  size_t b = 0, e = raw.size();
  while (b < e && raw[b] == ' ') ++b;
  while (e > b && raw[e - 1] == ' ') --e;
  // Indentation tabs (and trailing ones) come off without copying.
  while (b < e && raw[b] == '\t') ++b;
  while (e > b && raw[e - 1] == '\t') --e;
  std::string_view line = raw.substr(b, e - b);
  size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return line;
  scratch.clear();
  while (tab != std::string_view::npos) {
    scratch.append(line.substr(0, tab));
    line.remove_prefix(tab + 1);
    tab = line.find('\t');
  }
  scratch.append(line);
  return scratch;
}

// Calls f(line, lineNumber) for each line of bytes. A line ends at CR, LF or
// CR LF; the last line needs no break.
template <class F>
void ForEachLine(std::string_view bytes, F&& f) {
  const char* const begin = bytes.data();
  const char* const end = begin + bytes.size();
  // The next CR and the next LF at or after p (end when there is none).
  auto Next = [end](const char* p, char c) {
    const void* hit = p < end ? std::memchr(p, c, static_cast<size_t>(end - p)) : nullptr;
    return hit ? static_cast<const char*>(hit) : end;
  };
  const char* p = begin;
  const char* cr = Next(p, '\r');
  const char* lf = Next(p, '\n');
  size_t number = 0;
  while (p < end) {
    if (cr < p) cr = Next(p, '\r');
    if (lf < p) lf = Next(p, '\n');
    const char* e = cr < lf ? cr : lf;
    f(std::string_view(p, static_cast<size_t>(e - p)), ++number);
    if (e == end) break;
    p = (*e == '\r' && e + 1 < end && e[1] == '\n') ? e + 2 : e + 1;
  }
}

// False when every line of bytes is at most kMaxWordsPerLine bytes long, which
// it tells by hopping from the last line break of one such stretch to the
// next: a few bytes looked at per stretch rather than every byte of the file.
bool MayHoldALongLine(std::string_view bytes) {
  const size_t stretch = static_cast<size_t>(kMaxWordsPerLine) + 1;
  size_t p = 0;  // the start of a line
  while (bytes.size() - p >= stretch) {
    size_t q = p + stretch;  // a line starting at p ends before q, or is too long
    while (q > p && bytes[q - 1] != '\r' && bytes[q - 1] != '\n') --q;
    if (q == p) return true;
    p = q;
  }
  return false;
}

// Reads bytes into root, or, when root is null, into whatever gDocument holds
// at the end of each line (as a load always did: the window may replace it).
void Read(std::string_view bytes, Element* root, const std::string& sourceName) {
  // A line with too many words fails the load before it changes anything.
  // Only a line longer than the limit can hold that many words.
  if (MayHoldALongLine(bytes)) {
    std::string scratch;
    ForEachLine(bytes, [&](std::string_view raw, size_t number) {
      if (raw.size() <= static_cast<size_t>(kMaxWordsPerLine)) return;
      if (WordsReached(CleanLine(raw, scratch)) > kMaxWordsPerLine)
        ThrowTooManyWords(sourceName, number);
    });
  }
  std::string scratch;
  LineElement el;
  OpenPath path;
  ForEachLine(bytes, [&](std::string_view raw, size_t) {
    std::string_view line = CleanLine(raw, scratch);
    // The window gets its chance after every position, as SplitWords gives it.
    if (detail::CurrentYieldHook()) detail::ScanWords<true>(line, [](size_t, size_t) {});
    LineEffect effect = ParseWords(line, el);
    Apply(effect, el, root ? *root : *gDocument, path);
  });
}

}  // namespace

bool IsDelimiter(std::string_view word) { return word.size() == 1 && IsDelimiterChar(word[0]); }

void LoadMarkupFile(const std::string& path) { Read(common::ReadFileBytes(path), nullptr, path); }

void LoadMarkupFile(const std::string& path, Element& root) {
  Read(common::ReadFileBytes(path), &root, path);
}

void ReadMarkup(std::string_view bytes, Element& root, const std::string& sourceName) {
  Read(bytes, &root, sourceName);
}

void ParseLine(std::string_view line) { ParseLine(line, *gDocument); }

void ParseLine(std::string_view line, Element& root) {
  if (line.size() > static_cast<size_t>(kMaxWordsPerLine) && WordsReached(line) > kMaxWordsPerLine)
    ThrowTooManyWords({}, 0);
  if (detail::CurrentYieldHook()) detail::ScanWords<true>(line, [](size_t, size_t) {});
  LineElement el;
  OpenPath path;
  Apply(ParseWords(line, el), el, root, path);
}

Element& FindOpenMarkup(Element& m) {
  Element* at = &m;
  while (Element* next = OpenChild(*at)) at = next;
  return *at;
}

}  // namespace tintmoor::markup
