// The tooltips over the colour boxes: one tooltip window with a tool per box.
// The window makes it the first time the pointer moves over it, so start-up
// neither loads comctl32 nor creates a window for it.
#pragma once

#include <windows.h>

#include <string>

#include "ui/layout.h"

namespace tintmoor::ui {

class BoxTips {
 public:
  // Throws a TintError when comctl32 or the tooltip window is not there.
  BoxTips(HWND owner, int tools);
  ~BoxTips();
  BoxTips(const BoxTips&) = delete;
  BoxTips& operator=(const BoxTips&) = delete;

  // Where tool k takes the pointer, in the owner's client pixels.
  void Place(int tool, const PixelRect& r);
  // Its text, UTF-8; a line break starts a new line.
  void SetText(int tool, const std::string& text);
  // Hands the tooltip a mouse message it did not see itself.
  void Relay(const MSG& msg);
  HWND hwnd() const { return tips_; }

 private:
  HWND owner_;
  HWND tips_ = nullptr;
};

}  // namespace tintmoor::ui
