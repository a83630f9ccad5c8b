// The document model. Copying and releasing walk the tree with an explicit
// stack rather than by recursion, so a file nested a million levels deep is
// as safe as a flat one.
#include "markup/element.h"

#include <algorithm>
#include <new>
#include <utility>

namespace tintmoor::markup {

// Under AddressSanitizer every record comes from the general heap, so that
// use after release is caught.
#if defined(__SANITIZE_ADDRESS__)
#define TINTMOOR_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TINTMOOR_POOL 0
#endif
#endif
#ifndef TINTMOOR_POOL
#define TINTMOOR_POOL 1
#endif

namespace {

uint64_t generation = 0;

// Hands out blocks of one size, carved from 64 KB slabs, and keeps released
// blocks for the next tree: reading a file makes a few records per line and
// releasing the previous tree frees them all at once, which the general heap
// does several times slower. Slabs stay for the life of the process. Like the
// rest of the document, it is used from one thread only.
template <size_t kSize, size_t kAlignment>
class BlockPool {
 public:
  void* Take() {
    if (!free_) Refill();
    Block* b = free_;
    free_ = b->next;
    return b;
  }
  void Give(void* p) noexcept {
    auto* b = static_cast<Block*>(p);
    b->next = free_;
    free_ = b;
  }

 private:
  struct Block {
    Block* next;
  };
  static constexpr size_t kAlign = std::max(kAlignment, alignof(void*));
  static constexpr size_t kBlock = (std::max(kSize, sizeof(Block)) + kAlign - 1) / kAlign * kAlign;
  static constexpr size_t kSlab = 64 * 1024;

  void Refill() {
    char* slab = static_cast<char*>(::operator new(kSlab));
    // Pushed last to first, so blocks are handed out in address order.
    for (size_t off = (kSlab / kBlock - 1) * kBlock;; off -= kBlock) {
      Give(slab + off);
      if (off == 0) break;
    }
  }

  Block* free_ = nullptr;
};

constinit BlockPool<sizeof(Element), alignof(Element)> elementPool;
constinit BlockPool<sizeof(Attribute), alignof(Attribute)> attributePool;

template <class T, class Pool>
void* TakeRecord([[maybe_unused]] Pool& pool, size_t size) {
#if TINTMOOR_POOL
  if (size == sizeof(T)) return pool.Take();
#endif
  return ::operator new(size);
}

template <class T, class Pool>
void GiveRecord([[maybe_unused]] Pool& pool, void* p, [[maybe_unused]] size_t size) noexcept {
#if TINTMOOR_POOL
  if (size == sizeof(T)) return pool.Give(p);
#endif
  ::operator delete(p);
}

}  // namespace

void* Element::operator new(size_t size) { return TakeRecord<Element>(elementPool, size); }
void Element::operator delete(void* p, size_t size) noexcept {
  GiveRecord<Element>(elementPool, p, size);
}
void* Attribute::operator new(size_t size) { return TakeRecord<Attribute>(attributePool, size); }
void Attribute::operator delete(void* p, size_t size) noexcept {
  GiveRecord<Attribute>(attributePool, p, size);
}

uint64_t MarkupGeneration() { return generation; }
void BumpMarkupGeneration() { ++generation; }

void ThrowPositionError(int32_t position, int32_t count) {
  throw common::PositionError("List position " + std::to_string(position) +
                              " does not exist: the list holds " + std::to_string(count) +
                              (count == 1 ? " entry" : " entries"));
}

std::string Attribute::GetText() const { return name_ + " = " + value_; }

std::string Attribute::GetKey() const { return name_ + "=" + value_; }

std::unique_ptr<Attribute> Attribute::Clone() const {
  auto copy = std::make_unique<Attribute>();
  copy->open_ = open_;
  copy->openState_ = openState_;
  copy->name_ = name_;
  copy->value_ = value_;
  return copy;
}

Element::~Element() {
  if (children_.Count() > 0) Release(children_.TakeAll());
}

void Element::Release(std::vector<std::unique_ptr<Element>> elements) {
  // Lists still to be released. An element is destroyed only after its own
  // children were moved out, so no destructor reaches below its own level,
  // and a list of leaves is released in one pass.
  std::vector<std::vector<std::unique_ptr<Element>>> pending;
  pending.push_back(std::move(elements));
  while (!pending.empty()) {
    std::vector<std::unique_ptr<Element>> list = std::move(pending.back());
    pending.pop_back();
    // Last to first: the pool hands out the last block given back first, so
    // the next tree is laid out in memory in the order it is read.
    for (auto e = list.rbegin(); e != list.rend(); ++e) {
      if ((*e)->children_.Count() > 0) pending.push_back((*e)->children_.TakeAll());
      e->reset();
    }
  }
}

void Element::set_open(bool v) {
  if (v == open_) return;
  open_ = v;
  if (holder_) holder_->openCount_ += v ? 1 : -1;
  BumpMarkupGeneration();
}

void Element::set_children(OrderedList<Element> v) {
  auto old = children_.TakeAll();
  children_ = std::move(v);
  children_.openCount_ = 0;
  for (const Element& c : children_)
    if (c.open_) ++children_.openCount_;
  Release(std::move(old));
}

std::string Element::GetKey() const {
  if (attributes_.Count() < 1) return name_ + value_;
  std::string key = name_;
  for (const Attribute& p : attributes_) key += p.GetKey();
  return key;
}

std::string Element::GetText() const {
  if (attributes_.Count() < 1) return name_ + " = " + value_;
  if (attributes_.Count() > kMaxCounter)
    throw common::OverflowError("Attribute count overflowed: element \"" + name_ + "\" has " +
                                std::to_string(attributes_.Count()) + " attributes, more than " +
                                std::to_string(kMaxCounter) + " cannot be listed");
  std::string text = name_ + " (";
  bool first = true;
  for (const Attribute& p : attributes_) {
    if (!first) text += ", ";
    first = false;
    text += p.GetText();
  }
  return text + ")";
}

std::unique_ptr<Element> Element::Clone() const {
  auto CopyFields = [](const Element& from, Element& to) {
    to.open_ = from.open_;
    to.name_ = from.name_;
    to.value_ = from.value_;
    for (const Attribute& p : from.attributes_) to.attributes_.Add(p.Clone());
  };
  auto copy = std::make_unique<Element>();
  CopyFields(*this, *copy);
  // Pairs of (source, copy) whose children are still to be copied.
  std::vector<std::pair<const Element*, Element*>> pending{{this, copy.get()}};
  while (!pending.empty()) {
    auto [from, to] = pending.back();
    pending.pop_back();
    for (const Element& child : from->children_) {
      auto c = std::make_unique<Element>();
      CopyFields(child, *c);
      Element& added = to->children_.Add(std::move(c));
      if (child.children_.Count() > 0) pending.emplace_back(&child, &added);
    }
  }
  return copy;
}

DocumentRoot gDocument;

Element& DocumentRoot::operator*() {
  if (!root_) root_ = std::make_unique<Element>();
  return *root_;
}

std::unique_ptr<Element> DocumentRoot::Replace(std::unique_ptr<Element> root) {
  BumpMarkupGeneration();
  return std::exchange(root_, std::move(root));
}

}  // namespace tintmoor::markup
