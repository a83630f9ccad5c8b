// The in-memory markup document: elements (Element) with ordered lists of
// attributes (Attribute) and child elements, and the word record (Word) the
// splitter produces.
//
// Ownership: the document owns its elements. An element owns its two lists and
// each list owns its entries; references handed out (FindOpenMarkup, Item) are
// plain and must not be kept across a yield to the window, which may replace
// the whole tree. Releasing, copying or writing a tree never recurses once per
// level, so any depth is safe on a 1 MB stack.
//
// Bookkeeping for the reader: a list of elements counts its open entries and
// each element knows the list that holds it, so FindOpenMarkup can step to the
// last child in constant time when that child is the only open one. Every
// change that can move the deepest open element bumps a generation number, so
// the reader can keep its path to that element between lines and notice when
// something else (an event handled during a yield) changed the tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "common/errors.h"

namespace tintmoor::markup {

// The largest value of the document's 16-bit counters: words of a line,
// nesting depth, attributes listed, repetitions. One more is an overflow.
inline constexpr int32_t kMaxCounter = 32767;

class Element;

[[noreturn]] void ThrowPositionError(int32_t position, int32_t count);

// Changes whenever an element opens or closes, or a list of elements gains,
// loses or swaps entries.
uint64_t MarkupGeneration();
void BumpMarkupGeneration();

// An ordered list with 1-based access; entries are only ever appended.
template <class T>
class OrderedList {
 public:
  OrderedList() = default;
  OrderedList(const OrderedList&) = delete;
  OrderedList& operator=(const OrderedList&) = delete;
  OrderedList(OrderedList&& other) noexcept
      : items_(std::move(other.items_)), openCount_(std::exchange(other.openCount_, 0)) {
    Adopt();
  }
  OrderedList& operator=(OrderedList&& other) noexcept {
    items_ = std::move(other.items_);
    openCount_ = std::exchange(other.openCount_, 0);
    Adopt();
    return *this;
  }

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }

  // The entry at position 1..Count(); any other position throws PositionError.
  T& Item(int32_t position) const {
    if (position < 1 || position > Count()) ThrowPositionError(position, Count());
    return *items_[static_cast<size_t>(position - 1)];
  }

  // Appends an entry and returns it.
  T& Add(std::unique_ptr<T> entry);
  T& Add() { return Add(std::make_unique<T>()); }

  // Makes room for n entries in all, so the next appends do not reallocate.
  void Reserve(int32_t n) { items_.reserve(static_cast<size_t>(n)); }

  // Walk from first to last.
  auto begin() const { return Iter{items_.begin()}; }
  auto end() const { return Iter{items_.end()}; }

  // Hands the entries over, leaving the list empty (used to release trees
  // without recursion).
  std::vector<std::unique_ptr<T>> TakeAll();

  // Entries of an element list that are open.
  int32_t OpenCount() const { return openCount_; }

 private:
  friend class Element;
  struct Iter {
    typename std::vector<std::unique_ptr<T>>::const_iterator it;
    T& operator*() const { return **it; }
    T* operator->() const { return it->get(); }
    Iter& operator++() {
      ++it;
      return *this;
    }
    bool operator==(const Iter& o) const { return it == o.it; }
  };
  // Points the entries of an element list at this list (after a move).
  void Adopt();

  std::vector<std::unique_ptr<T>> items_;
  int32_t openCount_ = 0;  // element lists only
};

// One attribute of an element.
class Attribute {
 public:
  const std::string& name() const { return name_; }
  void set_name(std::string_view v) { name_.assign(v); }
  const std::string& value() const { return value_; }
  void set_value(std::string_view v) { value_.assign(v); }
  bool is_open() const { return open_; }
  void set_open(bool v) { open_ = v; }
  int16_t open_state() const { return openState_; }
  void set_open_state(int16_t v) { openState_ = v; }

  // "name = value"
  std::string GetText() const;
  // "name=value"
  std::string GetKey() const;
  std::unique_ptr<Attribute> Clone() const;

  // Records come from a pool: a tree is thousands of them, made and released together.
  static void* operator new(size_t size);
  static void operator delete(void* p, size_t size) noexcept;

 private:
  std::string name_;
  std::string value_;
  bool open_ = false;
  int16_t openState_ = 0;  // 1 once the opening quote of the value was read
};

// One element, or the document root.
class Element {
 public:
  Element() = default;
  ~Element();
  Element(const Element&) = delete;
  Element& operator=(const Element&) = delete;

  const std::string& name() const { return name_; }
  void set_name(std::string_view v) { name_.assign(v); }
  const std::string& value() const { return value_; }
  void set_value(std::string_view v) { value_.assign(v); }
  bool is_open() const { return open_; }
  void set_open(bool v);
  OrderedList<Attribute>& attributes() { return attributes_; }
  const OrderedList<Attribute>& attributes() const { return attributes_; }
  void set_attributes(OrderedList<Attribute> v) { attributes_ = std::move(v); }
  OrderedList<Element>& children() { return children_; }
  const OrderedList<Element>& children() const { return children_; }
  // Replaces the children; the previous ones are released.
  void set_children(OrderedList<Element> v);

  // The name and value, or the name and the attributes' keys when there are any.
  std::string GetKey() const;
  // "name = value", or "name (a = 1, b = 2)". Throws OverflowError past 32767 attributes.
  std::string GetText() const;
  // A deep copy sharing nothing with this element.
  std::unique_ptr<Element> Clone() const;

  // Records come from a pool: a tree is thousands of them, made and released together.
  static void* operator new(size_t size);
  static void operator delete(void* p, size_t size) noexcept;

  // Releases a set of subtrees one element at a time, whatever their depth.
  static void Release(std::vector<std::unique_ptr<Element>> elements);

 private:
  friend class OrderedList<Element>;

  std::string name_;
  OrderedList<Attribute> attributes_;
  OrderedList<Element> children_;
  std::string value_;
  bool open_ = false;
  OrderedList<Element>* holder_ = nullptr;  // the list this element is an entry of
};

template <class T>
T& OrderedList<T>::Add(std::unique_ptr<T> entry) {
  if constexpr (std::is_same_v<T, Element>) {
    entry->holder_ = this;
    if (entry->open_) ++openCount_;
    BumpMarkupGeneration();
  }
  items_.push_back(std::move(entry));
  return *items_.back();
}

template <class T>
std::vector<std::unique_ptr<T>> OrderedList<T>::TakeAll() {
  if constexpr (std::is_same_v<T, Element>) {
    for (auto& e : items_) e->holder_ = nullptr;
    openCount_ = 0;
    if (!items_.empty()) BumpMarkupGeneration();
  }
  return std::exchange(items_, {});
}

template <class T>
void OrderedList<T>::Adopt() {
  if constexpr (std::is_same_v<T, Element>) {
    for (auto& e : items_) e->holder_ = this;
    BumpMarkupGeneration();
  }
}

// One token of a split line.
class Word {
 public:
  const std::string& text() const { return text_; }
  void set_text(std::string_view v) { text_.assign(v); }
  int32_t first() const { return first_; }
  void set_first(int32_t v) { first_ = v; }
  int32_t last() const { return last_; }
  void set_last(int32_t v) { last_ = v; }

 private:
  std::string text_;
  int32_t first_ = 0;  // zero-based offset of the first character
  int32_t last_ = 0;   // zero-based offset of the last character
};

// The document root held in gDocument: never reads as empty, since the first
// use that finds no root creates an empty one (not open).
class DocumentRoot {
 public:
  Element& operator*();
  Element* operator->() { return &**this; }
  // Puts a new root in place and hands back the previous one (or null).
  std::unique_ptr<Element> Replace(std::unique_ptr<Element> root);

 private:
  std::unique_ptr<Element> root_;
};

extern DocumentRoot gDocument;

}  // namespace tintmoor::markup
