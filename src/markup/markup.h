// The in-memory markup document: elements (clsMarkUp) with ordered lists of
// attributes (clsParam) and child elements, and the word record (clsWord) the
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

#include "markup/errors.h"

class clsMarkUp;

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

  // Entries of an element list whose bOpen is true.
  int32_t OpenCount() const { return openCount_; }

 private:
  friend class clsMarkUp;
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
class clsParam {
 public:
  int16_t nOpenState() const { return nOpenState_; }
  void nOpenState(int16_t v) { nOpenState_ = v; }
  bool bOpen() const { return bOpen_; }
  void bOpen(bool v) { bOpen_ = v; }
  const std::string& sValue() const { return sValue_; }
  void sValue(std::string_view v) { sValue_.assign(v); }
  const std::string& sName() const { return sName_; }
  void sName(std::string_view v) { sName_.assign(v); }

  // "name = value"
  std::string GetText() const;
  // "name=value"
  std::string GetKey() const;
  std::unique_ptr<clsParam> Clone() const;

  // Records come from a pool: a tree is thousands of them, made and released together.
  static void* operator new(size_t size);
  static void operator delete(void* p, size_t size) noexcept;

 private:
  std::string sName_;
  std::string sValue_;
  bool bOpen_ = false;
  int16_t nOpenState_ = 0;  // 1 once the opening quote of the value was read
};

// One element, or the document root.
class clsMarkUp {
 public:
  clsMarkUp() = default;
  ~clsMarkUp();
  clsMarkUp(const clsMarkUp&) = delete;
  clsMarkUp& operator=(const clsMarkUp&) = delete;

  bool bOpen() const { return bOpen_; }
  void bOpen(bool v);
  clsMarkUp* curMarkup() const { return curMarkup_; }
  void curMarkup(clsMarkUp* v) { curMarkup_ = v; }
  const std::string& sValue() const { return sValue_; }
  void sValue(std::string_view v) { sValue_.assign(v); }
  OrderedList<clsMarkUp>& Markups() { return Markups_; }
  const OrderedList<clsMarkUp>& Markups() const { return Markups_; }
  // Replaces the children; the previous ones are released.
  void Markups(OrderedList<clsMarkUp> v);
  OrderedList<clsParam>& Params() { return Params_; }
  const OrderedList<clsParam>& Params() const { return Params_; }
  void Params(OrderedList<clsParam> v) { Params_ = std::move(v); }
  const std::string& sName() const { return sName_; }
  void sName(std::string_view v) { sName_.assign(v); }

  // sName and sValue, or sName and the attributes' keys when there are any.
  std::string GetKey() const;
  // "name = value", or "name (a = 1, b = 2)". Throws OverflowError past 32767 attributes.
  std::string GetText() const;
  // A deep copy sharing nothing with this element; curMarkup stays empty.
  std::unique_ptr<clsMarkUp> Clone() const;

  // Records come from a pool: a tree is thousands of them, made and released together.
  static void* operator new(size_t size);
  static void operator delete(void* p, size_t size) noexcept;

  // Releases a set of subtrees one element at a time, whatever their depth.
  static void Release(std::vector<std::unique_ptr<clsMarkUp>> elements);

 private:
  friend class OrderedList<clsMarkUp>;

  std::string sName_;
  OrderedList<clsParam> Params_;
  OrderedList<clsMarkUp> Markups_;
  std::string sValue_;
  clsMarkUp* curMarkup_ = nullptr;  // not owned; nothing in the program sets it
  bool bOpen_ = false;
  OrderedList<clsMarkUp>* holder_ = nullptr;  // the list this element is an entry of
};

template <class T>
T& OrderedList<T>::Add(std::unique_ptr<T> entry) {
  if constexpr (std::is_same_v<T, clsMarkUp>) {
    entry->holder_ = this;
    if (entry->bOpen_) ++openCount_;
    BumpMarkupGeneration();
  }
  items_.push_back(std::move(entry));
  return *items_.back();
}

template <class T>
std::vector<std::unique_ptr<T>> OrderedList<T>::TakeAll() {
  if constexpr (std::is_same_v<T, clsMarkUp>) {
    for (auto& e : items_) e->holder_ = nullptr;
    openCount_ = 0;
    if (!items_.empty()) BumpMarkupGeneration();
  }
  return std::exchange(items_, {});
}

template <class T>
void OrderedList<T>::Adopt() {
  if constexpr (std::is_same_v<T, clsMarkUp>) {
    for (auto& e : items_) e->holder_ = this;
    BumpMarkupGeneration();
  }
}

// One token of a split line.
class clsWord {
 public:
  int32_t lEnd() const { return lEnd_; }
  void lEnd(int32_t v) { lEnd_ = v; }
  int32_t lBegin() const { return lBegin_; }
  void lBegin(int32_t v) { lBegin_ = v; }
  const std::string& sWord() const { return sWord_; }
  void sWord(std::string_view v) { sWord_.assign(v); }

 private:
  std::string sWord_;
  int32_t lBegin_ = 0;  // zero-based offset of the first character
  int32_t lEnd_ = 0;    // zero-based offset of the last character
};

// The document root held in gDocument: never reads as empty, since the first
// use that finds no root creates an empty one (bOpen false).
class DocumentRoot {
 public:
  clsMarkUp& operator*();
  clsMarkUp* operator->() { return &**this; }
  // Puts a new root in place and hands back the previous one (or null).
  std::unique_ptr<clsMarkUp> Replace(std::unique_ptr<clsMarkUp> root);

 private:
  std::unique_ptr<clsMarkUp> root_;
};

extern DocumentRoot gDocument;
