#include "ui/accessibility.h"

#include <ole2.h>
// oleacc.h needs ole2.h first.
#include <oleacc.h>

#include <new>
#include <type_traits>

#include "common/wide_win32.h"
#include "ui/grid_access.h"
#include "ui/ui_system.h"

namespace tintmoor::ui {

namespace {

// The calls of the system's accessibility and COM DLLs, looked up on the
// first screen reader's request.
struct OleCalls {
  decltype(&::LresultFromObject) lresultFromObject;
  decltype(&::CreateStdAccessibleObject) createStdAccessibleObject;
  decltype(&::CoDisconnectObject) coDisconnectObject;
  decltype(&::SysAllocStringLen) sysAllocStringLen;
};

const OleCalls& Ole() {
  static const OleCalls calls = [] {
    OleCalls c{};
    c.lresultFromObject =
        SystemProc<decltype(c.lresultFromObject)>("oleacc.dll", "LresultFromObject");
    c.createStdAccessibleObject = SystemProc<decltype(c.createStdAccessibleObject)>(
        "oleacc.dll", "CreateStdAccessibleObject");
    c.coDisconnectObject =
        SystemProc<decltype(c.coDisconnectObject)>("ole32.dll", "CoDisconnectObject");
    c.sysAllocStringLen =
        SystemProc<decltype(c.sysAllocStringLen)>("oleaut32.dll", "SysAllocStringLen");
    // Handing the object across processes needs COM on this thread; the
    // window's thread is a single-threaded apartment for the rest of the run
    // (a thread that already chose otherwise keeps its choice).
    using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
    SystemProc<CoInitializeExFn>("ole32.dll", "CoInitializeEx")(nullptr, COINIT_APARTMENTTHREADED);
    return c;
  }();
  return calls;
}

HRESULT ToBstr(const std::string& utf8, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (utf8.empty()) return S_FALSE;
  const std::wstring wide = common::Widen(utf8);
  *out = Ole().sysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT NoText(BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return S_FALSE;
}

HRESULT SetChild(VARIANT* out, LONG id) {
  out->vt = VT_I4;
  out->lVal = id;
  return S_OK;
}

HRESULT SetNone(VARIANT* out) {
  out->vt = VT_EMPTY;
  return S_FALSE;
}

// Nothing is thrown across COM: a call that runs out of memory says so.
template <class Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

}  // namespace

class AccessibleClient::Object final : public IAccessible, public IOleWindow {
 public:
  Object(AccessibleSource& source, IAccessible* standard) : source_(&source), standard_(standard) {}
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  // The window is going: from now on every call fails as disconnected.
  void Disconnect() {
    source_ = nullptr;
    if (standard_) standard_->Release();
    standard_ = nullptr;
  }

  // IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
        IsEqualIID(iid, __uuidof(IAccessible))) {
      *out = static_cast<IAccessible*>(this);
    } else if (IsEqualIID(iid, __uuidof(IOleWindow))) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: screen readers call IAccessible directly; there is no type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = nullptr;
    if (!source_) return RPC_E_DISCONNECTED;
    *window = source_->Window();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IAccessible.
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!source_) return RPC_E_DISCONNECTED;
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    if (!source_) return RPC_E_DISCONNECTED;
    *count = source_->StopCount();
    return S_OK;
  }
  // The children are simple elements: the client object answers for them.
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    int stop;
    if (const HRESULT hr = Resolve(child, stop); FAILED(hr)) return hr;
    return stop < 0 ? E_INVALIDARG : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return Text(child, out, &IAccessible::get_accName,
                [](const AccessibleStop& s) { return s.name; });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return Text(child, out, &IAccessible::get_accValue,
                [](const AccessibleStop& s) { return s.value; });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return Text(child, out, &IAccessible::get_accDescription, nullptr);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
    return Text(child, out, &IAccessible::get_accHelp, nullptr);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return Text(child, out, &IAccessible::get_accKeyboardShortcut, nullptr);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return Text(child, out, &IAccessible::get_accDefaultAction, [](const AccessibleStop& s) {
      return std::string(s.kind == AccessibleStop::Kind::kLink ? "Jump" : "Press");
    });
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    int stop;
    if (const HRESULT hr = Resolve(child, stop); FAILED(hr)) return hr;
    return stop < 0 ? standard_->get_accHelpTopic(file, child, topic) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    return Guarded([&] {
      if (!out) return E_POINTER;
      out->vt = VT_EMPTY;
      int stop;
      if (const HRESULT hr = Resolve(child, stop); FAILED(hr)) return hr;
      if (stop < 0) return standard_->get_accRole(child, out);
      const bool link = source_->Describe(stop).kind == AccessibleStop::Kind::kLink;
      return SetChild(out, link ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_PUSHBUTTON);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    return Guarded([&] {
      if (!out) return E_POINTER;
      out->vt = VT_EMPTY;
      int stop;
      if (const HRESULT hr = Resolve(child, stop); FAILED(hr)) return hr;
      if (stop < 0) return standard_->get_accState(child, out);
      LONG state = STATE_SYSTEM_FOCUSABLE;
      if (source_->FocusedStop() == stop) state |= STATE_SYSTEM_FOCUSED;
      if (source_->Describe(stop).kind == AccessibleStop::Kind::kLink) {
        state |= STATE_SYSTEM_LINKED;
      }
      return SetChild(out, state);
    });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    if (!out) return E_POINTER;
    out->vt = VT_EMPTY;
    if (!source_) return RPC_E_DISCONNECTED;
    const int stop = source_->FocusedStop();
    return stop < 0 ? SetNone(out) : SetChild(out, stop + 1);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    if (!out) return E_POINTER;
    if (!source_) return RPC_E_DISCONNECTED;
    return SetNone(out);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    int stop;
    if (const HRESULT hr = Resolve(child, stop); FAILED(hr)) return hr;
    if (stop < 0) return standard_->accSelect(flags, child);
    if (flags != SELFLAG_TAKEFOCUS) return DISP_E_MEMBERNOTFOUND;  // nothing is selectable
    source_->FocusStop(stop);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return Guarded([&] {
      if (!left || !top || !width || !height) return E_POINTER;
      int stop;
      if (const HRESULT hr = Resolve(child, stop); FAILED(hr)) return hr;
      if (stop < 0) return standard_->accLocation(left, top, width, height, child);
      const PixelRect place = source_->Describe(stop).place;
      POINT at{place.left, place.top};
      ClientToScreen(source_->Window(), &at);
      *left = at.x;
      *top = at.y;
      *width = place.width();
      *height = place.height();
      return S_OK;
    });
  }
  // Among the children: in order (next, previous), and across the grid as
  // the arrow keys move.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
    if (!out) return E_POINTER;
    out->vt = VT_EMPTY;
    int stop;
    if (const HRESULT hr = Resolve(start, stop); FAILED(hr)) return hr;
    const int count = source_->StopCount();
    if (stop < 0) {
      if (direction == NAVDIR_FIRSTCHILD) return SetChild(out, 1);
      if (direction == NAVDIR_LASTCHILD) return SetChild(out, count);
      return standard_->accNavigate(direction, start, out);
    }
    int to = stop;
    switch (direction) {
      case NAVDIR_NEXT:
        to = stop + 1 < count ? stop + 1 : stop;
        break;
      case NAVDIR_PREVIOUS:
        to = stop > 0 ? stop - 1 : stop;
        break;
      case NAVDIR_LEFT:
        to = NextStop(stop, GridKey::kLeft, stop);
        break;
      case NAVDIR_RIGHT:
        to = NextStop(stop, GridKey::kRight, stop);
        break;
      case NAVDIR_UP:
        to = NextStop(stop, GridKey::kUp, stop);
        break;
      case NAVDIR_DOWN:
        to = NextStop(stop, GridKey::kDown, stop);
        break;
      default:
        return E_INVALIDARG;  // a simple element has no children
    }
    return to == stop ? SetNone(out) : SetChild(out, to + 1);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override {
    if (!out) return E_POINTER;
    out->vt = VT_EMPTY;
    if (!source_) return RPC_E_DISCONNECTED;
    const HWND window = source_->Window();
    POINT at{x, y};
    RECT client;
    if (!ScreenToClient(window, &at) || !GetClientRect(window, &client) || !PtInRect(&client, at)) {
      return SetNone(out);
    }
    const int stop = source_->StopAt(at);
    return SetChild(out, stop < 0 ? CHILDID_SELF : stop + 1);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    int stop;
    if (const HRESULT hr = Resolve(child, stop); FAILED(hr)) return hr;
    if (stop < 0) return standard_->accDoDefaultAction(child);
    source_->PostDefaultAction(stop);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~Object() {
    if (standard_) standard_->Release();
  }

  // The stop a child id names, -1 for the client itself.
  HRESULT Resolve(const VARIANT& child, int& stop) const {
    if (!source_) return RPC_E_DISCONNECTED;
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) {
      stop = -1;
      return S_OK;
    }
    if (child.lVal < 1 || child.lVal > source_->StopCount()) return E_INVALIDARG;
    stop = child.lVal - 1;
    return S_OK;
  }

  // A text property: the standard object's for the client itself, the
  // stop's own (none when of is null) for a child.
  template <class Of>
  HRESULT Text(const VARIANT& child, BSTR* out,
               HRESULT (STDMETHODCALLTYPE IAccessible::*standard)(VARIANT, BSTR*), Of of) {
    return Guarded([&] {
      if (!out) return E_POINTER;
      *out = nullptr;
      int stop;
      if (const HRESULT hr = Resolve(child, stop); FAILED(hr)) return hr;
      if (stop < 0) return (standard_->*standard)(child, out);
      if constexpr (std::is_same_v<Of, std::nullptr_t>) {
        return NoText(out);
      } else {
        return ToBstr(of(source_->Describe(stop)), out);
      }
    });
  }

  LONG refs_ = 1;
  AccessibleSource* source_;
  IAccessible* standard_;
};

AccessibleClient::~AccessibleClient() {
  if (!object_) return;
  object_->Disconnect();
  // Screen readers in other processes hold proxies: cut them off too.
  Ole().coDisconnectObject(static_cast<IAccessible*>(object_), 0);
  object_->Release();
}

std::optional<LRESULT> AccessibleClient::OnGetObject(WPARAM wp, LPARAM lp) {
  // Compared as a DWORD: a 64-bit lParam may come sign-extended or not.
  if (static_cast<DWORD>(lp) != static_cast<DWORD>(OBJID_CLIENT)) return std::nullopt;
  try {
    const OleCalls& ole = Ole();
    if (!object_) {
      IAccessible* standard = nullptr;
      if (FAILED(ole.createStdAccessibleObject(source_.Window(), OBJID_CLIENT,
                                               __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&standard))) ||
          !standard) {
        return std::nullopt;
      }
      object_ = new (std::nothrow) Object(source_, standard);
      if (!object_) {
        standard->Release();
        return std::nullopt;
      }
    }
    return ole.lresultFromObject(__uuidof(IAccessible), wp, static_cast<IAccessible*>(object_));
  } catch (...) {
    return std::nullopt;  // no oleacc: the system's own answer
  }
}

void NotifyStopFocused(HWND window, int stop) {
  NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, stop + 1);
}

void NotifyStopValueChanged(HWND window, int stop) {
  NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, stop + 1);
}

}  // namespace tintmoor::ui
