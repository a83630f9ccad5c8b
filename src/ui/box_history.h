// The colours of the window's 39 boxes after each change the player made
// since the colours were loaded, for Undo and Redo, and the colours the file
// on disk holds, for the unsaved-changes marker. Portable.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "colorfile/color_table.h"
#include "colorfile/color_value.h"

namespace tintmoor::ui {

using BoxColors = std::array<colorfile::Rgb, colorfile::kCells>;

// Box k holds row k / 3's colour of column k % 3.
colorfile::ColorTable TableOf(const BoxColors& boxes);
BoxColors BoxesOf(const colorfile::ColorTable& table);

class BoxHistory {
 public:
  // Grey boxes, nothing loaded, nothing to undo.
  BoxHistory();

  // The boxes show a file just loaded: every step is forgotten.
  void Reset(const BoxColors& boxes);
  // The boxes changed: one step, and what could be redone is dropped. Boxes
  // that did not change make no step.
  void Record(const BoxColors& boxes);
  // The file on disk now holds these colours.
  void MarkSaved(const BoxColors& boxes) { saved_ = boxes; }

  // Whether the boxes differ from what the file holds: undoing back to it
  // counts as no change.
  bool Unsaved() const { return steps_[current_] != saved_; }
  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ + 1 < steps_.size(); }
  // The boxes one step back or forward; unchanged at either end.
  const BoxColors& Undo();
  const BoxColors& Redo();
  const BoxColors& Current() const { return steps_[current_]; }

 private:
  std::vector<BoxColors> steps_;
  size_t current_ = 0;
  BoxColors saved_;
};

}  // namespace tintmoor::ui
