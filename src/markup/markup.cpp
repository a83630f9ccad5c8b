// The document model. Copying and releasing walk the tree with an explicit
// stack rather than by recursion, so a file nested a million levels deep is
// as safe as a flat one.
#include "markup/markup.h"

#include <algorithm>
#include <new>
#include <utility>

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

constinit BlockPool<sizeof(clsMarkUp), alignof(clsMarkUp)> markupPool;
constinit BlockPool<sizeof(clsParam), alignof(clsParam)> paramPool;

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

void* clsMarkUp::operator new(size_t size) { return TakeRecord<clsMarkUp>(markupPool, size); }
void clsMarkUp::operator delete(void* p, size_t size) noexcept {
  GiveRecord<clsMarkUp>(markupPool, p, size);
}
void* clsParam::operator new(size_t size) { return TakeRecord<clsParam>(paramPool, size); }
void clsParam::operator delete(void* p, size_t size) noexcept {
  GiveRecord<clsParam>(paramPool, p, size);
}

uint64_t MarkupGeneration() { return generation; }
void BumpMarkupGeneration() { ++generation; }

void ThrowPositionError(int32_t position, int32_t count) {
  throw PositionError("List position " + std::to_string(position) +
                      " does not exist: the list holds " + std::to_string(count) +
                      (count == 1 ? " entry" : " entries"));
}

std::string clsParam::GetText() const { return sName_ + " = " + sValue_; }

std::string clsParam::GetKey() const { return sName_ + "=" + sValue_; }

std::unique_ptr<clsParam> clsParam::Clone() const {
  auto copy = std::make_unique<clsParam>();
  copy->bOpen_ = bOpen_;
  copy->nOpenState_ = nOpenState_;
  copy->sName_ = sName_;
  copy->sValue_ = sValue_;
  return copy;
}

clsMarkUp::~clsMarkUp() {
  if (Markups_.Count() > 0) Release(Markups_.TakeAll());
}

void clsMarkUp::Release(std::vector<std::unique_ptr<clsMarkUp>> elements) {
  // Lists still to be released. An element is destroyed only after its own
  // children were moved out, so no destructor reaches below its own level,
  // and a list of leaves is released in one pass.
  std::vector<std::vector<std::unique_ptr<clsMarkUp>>> pending;
  pending.push_back(std::move(elements));
  while (!pending.empty()) {
    std::vector<std::unique_ptr<clsMarkUp>> list = std::move(pending.back());
    pending.pop_back();
    // Last to first: the pool hands out the last block given back first, so
    // the next tree is laid out in memory in the order it is read.
    for (auto e = list.rbegin(); e != list.rend(); ++e) {
      if ((*e)->Markups_.Count() > 0) pending.push_back((*e)->Markups_.TakeAll());
      e->reset();
    }
  }
}

void clsMarkUp::bOpen(bool v) {
  if (v == bOpen_) return;
  bOpen_ = v;
  if (holder_) holder_->openCount_ += v ? 1 : -1;
  BumpMarkupGeneration();
}

void clsMarkUp::Markups(OrderedList<clsMarkUp> v) {
  auto old = Markups_.TakeAll();
  Markups_ = std::move(v);
  Markups_.openCount_ = 0;
  for (const clsMarkUp& c : Markups_)
    if (c.bOpen_) ++Markups_.openCount_;
  Release(std::move(old));
}

std::string clsMarkUp::GetKey() const {
  if (Params_.Count() < 1) return sName_ + sValue_;
  std::string key = sName_;
  for (const clsParam& p : Params_) key += p.GetKey();
  return key;
}

std::string clsMarkUp::GetText() const {
  if (Params_.Count() < 1) return sName_ + " = " + sValue_;
  if (Params_.Count() > 32767)
    throw OverflowError("Attribute count overflowed: element \"" + sName_ + "\" has " +
                        std::to_string(Params_.Count()) +
                        " attributes, more than 32767 cannot be listed");
  std::string text = sName_ + " (";
  bool first = true;
  for (const clsParam& p : Params_) {
    if (!first) text += ", ";
    first = false;
    text += p.GetText();
  }
  return text + ")";
}

std::unique_ptr<clsMarkUp> clsMarkUp::Clone() const {
  auto CopyFields = [](const clsMarkUp& from, clsMarkUp& to) {
    to.bOpen_ = from.bOpen_;
    to.sName_ = from.sName_;
    to.sValue_ = from.sValue_;
    for (const clsParam& p : from.Params_) to.Params_.Add(p.Clone());
  };
  auto copy = std::make_unique<clsMarkUp>();
  CopyFields(*this, *copy);
  // Pairs of (source, copy) whose children are still to be copied.
  std::vector<std::pair<const clsMarkUp*, clsMarkUp*>> pending{{this, copy.get()}};
  while (!pending.empty()) {
    auto [from, to] = pending.back();
    pending.pop_back();
    for (const clsMarkUp& child : from->Markups_) {
      auto c = std::make_unique<clsMarkUp>();
      CopyFields(child, *c);
      clsMarkUp& added = to->Markups_.Add(std::move(c));
      if (child.Markups_.Count() > 0) pending.emplace_back(&child, &added);
    }
  }
  return copy;
}

DocumentRoot gDocument;

clsMarkUp& DocumentRoot::operator*() {
  if (!root_) root_ = std::make_unique<clsMarkUp>();
  return *root_;
}

std::unique_ptr<clsMarkUp> DocumentRoot::Replace(std::unique_ptr<clsMarkUp> root) {
  BumpMarkupGeneration();
  return std::exchange(root_, std::move(root));
}
