// The window's answer to screen readers (MSAA, through WM_GETOBJECT): an
// IAccessible for the client area whose children are the window's focus
// stops, the 39 colour boxes and the home-page link, as simple elements
// (child id = stop + 1). What the window does not describe itself (the client
// area's own name, role, parent and place) comes from the system's standard
// client object. oleacc, ole32 and oleaut32 are loaded on the first request,
// so a start with no screen reader running never pays for them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/layout.h"

namespace tintmoor::ui {

struct AccessibleStop {
  enum class Kind { kButton, kLink };
  Kind kind;
  std::string name;   // UTF-8
  std::string value;  // UTF-8; empty: none
  PixelRect place;    // client pixels
};

// What the client object asks of the window, on the window's thread.
class AccessibleSource {
 public:
  virtual ~AccessibleSource() = default;
  virtual HWND Window() const = 0;
  virtual int StopCount() const = 0;
  virtual AccessibleStop Describe(int stop) const = 0;
  // The stop with the keyboard focus; -1 while the window does not have it.
  virtual int FocusedStop() const = 0;
  // The stop under a client point, or -1.
  virtual int StopAt(POINT client) const = 0;
  // The stop's default action (the click). It must only post it: a screen
  // reader's call waits for the answer, so it must not run a modal dialog.
  virtual void PostDefaultAction(int stop) = 0;
  virtual void FocusStop(int stop) = 0;
};

// Owns the window's client object. The object lives on while a screen reader
// holds it; once the window is gone it answers every call with "disconnected".
class AccessibleClient {
 public:
  explicit AccessibleClient(AccessibleSource& source) : source_(source) {}
  ~AccessibleClient();
  AccessibleClient(const AccessibleClient&) = delete;
  AccessibleClient& operator=(const AccessibleClient&) = delete;

  // WM_GETOBJECT: the reference to answer with for OBJID_CLIENT, or nothing
  // when the request is for another object (DefWindowProc answers those).
  std::optional<LRESULT> OnGetObject(WPARAM wp, LPARAM lp);

 private:
  class Object;
  AccessibleSource& source_;
  Object* object_ = nullptr;  // holds one reference
};

// Tell screen readers that the focus moved to a stop, and that a stop's value
// changed. Cheap when nobody listens.
void NotifyStopFocused(HWND window, int stop);
void NotifyStopValueChanged(HWND window, int stop);

}  // namespace tintmoor::ui
