#include "ui/box_history.h"

namespace tintmoor::ui {

namespace {

BoxColors Grey() {
  BoxColors boxes;
  boxes.fill(colorfile::kGreyColor);
  return boxes;
}

}  // namespace

colorfile::ColorTable TableOf(const BoxColors& boxes) {
  colorfile::ColorTable table{};
  for (int box = 0; box < colorfile::kCells; ++box)
    table[box / colorfile::kColumns][box % colorfile::kColumns] = boxes[box];
  return table;
}

BoxColors BoxesOf(const colorfile::ColorTable& table) {
  BoxColors boxes;
  for (int box = 0; box < colorfile::kCells; ++box)
    boxes[box] = table[box / colorfile::kColumns][box % colorfile::kColumns];
  return boxes;
}

BoxHistory::BoxHistory() : steps_{Grey()}, saved_(Grey()) {}

void BoxHistory::Reset(const BoxColors& boxes) {
  steps_.assign(1, boxes);
  current_ = 0;
  saved_ = boxes;
}

void BoxHistory::Record(const BoxColors& boxes) {
  if (boxes == steps_[current_]) return;
  steps_.resize(current_ + 1);
  steps_.push_back(boxes);
  ++current_;
}

const BoxColors& BoxHistory::Undo() {
  if (CanUndo()) --current_;
  return steps_[current_];
}

const BoxColors& BoxHistory::Redo() {
  if (CanRedo()) ++current_;
  return steps_[current_];
}

}  // namespace tintmoor::ui
