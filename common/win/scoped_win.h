// Owners of Win32 handles, GDI objects, device contexts and registry keys:
// each frees what it holds on every exit path. The owners are move-only; a
// moved-from or released owner holds nothing and frees nothing.
//
//   ScopedRegKey key = OpenRegKey(HKEY_CURRENT_USER, path, KEY_READ);
//   if (!key) return false;
//
// An image list given to a list view is not owned here: the list view frees it
// with itself (the programs' lists do not have LVS_SHAREIMAGELISTS).
#pragma once
#include <windows.h>

#include <wininet.h>
#include <winnetwk.h>

#include <utility>

// Traits name the handle type, the value that means "none" and how to free one.
template <class Traits>
class ScopedWin {
 public:
  using Handle = typename Traits::Handle;

  ScopedWin() = default;
  explicit ScopedWin(Handle h) : h_(h) {}
  ~ScopedWin() { Reset(); }
  ScopedWin(const ScopedWin&) = delete;
  ScopedWin& operator=(const ScopedWin&) = delete;
  ScopedWin(ScopedWin&& o) noexcept : h_(o.Release()) {}
  ScopedWin& operator=(ScopedWin&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }

  // Frees what is held, then holds h.
  void Reset(Handle h = Traits::None()) {
    if (h_ != Traits::None()) Traits::Free(h_);
    h_ = h;
  }
  // Gives the handle up without freeing it.
  Handle Release() { return std::exchange(h_, Traits::None()); }
  Handle Get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::None(); }
  // For a call that returns the handle through a pointer: frees what is held first.
  Handle* Receive() {
    Reset();
    return &h_;
  }

 private:
  Handle h_ = Traits::None();
};

namespace scoped_win {
struct KernelHandle {  // threads, events, mutexes, processes: nullptr on failure
  using Handle = HANDLE;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { CloseHandle(h); }
};
struct FileHandle {  // CreateFile: INVALID_HANDLE_VALUE on failure
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { CloseHandle(h); }
};
struct FindHandle {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle h) { FindClose(h); }
};
struct RegKey {
  using Handle = HKEY;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { RegCloseKey(h); }
};
struct NetEnum {  // WNetOpenEnum
  using Handle = HANDLE;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { WNetCloseEnum(h); }
};
struct Internet {
  using Handle = HINTERNET;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { InternetCloseHandle(h); }
};
struct Icon {
  using Handle = HICON;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { DestroyIcon(h); }
};
struct Menu {
  using Handle = HMENU;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { DestroyMenu(h); }
};
struct Module {
  using Handle = HMODULE;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { FreeLibrary(h); }
};
struct MemoryDC {  // CreateCompatibleDC
  using Handle = HDC;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { DeleteDC(h); }
};
template <class H>
struct GdiObject {
  using Handle = H;
  static Handle None() { return nullptr; }
  static void Free(Handle h) { DeleteObject(h); }
};
}  // namespace scoped_win

using ScopedHandle = ScopedWin<scoped_win::KernelHandle>;
using ScopedFile = ScopedWin<scoped_win::FileHandle>;
using ScopedFind = ScopedWin<scoped_win::FindHandle>;
using ScopedRegKey = ScopedWin<scoped_win::RegKey>;
using ScopedNetEnum = ScopedWin<scoped_win::NetEnum>;
using ScopedInternet = ScopedWin<scoped_win::Internet>;
using ScopedIcon = ScopedWin<scoped_win::Icon>;
using ScopedMenu = ScopedWin<scoped_win::Menu>;
using ScopedModule = ScopedWin<scoped_win::Module>;
using ScopedMemoryDC = ScopedWin<scoped_win::MemoryDC>;
template <class H>
using ScopedGdi = ScopedWin<scoped_win::GdiObject<H>>;
using ScopedFont = ScopedGdi<HFONT>;
using ScopedBrush = ScopedGdi<HBRUSH>;
using ScopedPen = ScopedGdi<HPEN>;
using ScopedBitmap = ScopedGdi<HBITMAP>;
using ScopedPalette = ScopedGdi<HPALETTE>;

// A registry key opened (or created) under root; an empty owner when that
// fails, whatever the call left in its out-parameter.
inline ScopedRegKey OpenRegKey(HKEY root, const wchar_t* path, REGSAM access) {
  HKEY key = nullptr;
  return ScopedRegKey(RegOpenKeyExW(root, path, 0, access, &key) == ERROR_SUCCESS ? key : nullptr);
}
inline ScopedRegKey CreateRegKey(HKEY root, const wchar_t* path, REGSAM access) {
  HKEY key = nullptr;
  return ScopedRegKey(RegCreateKeyExW(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr) == ERROR_SUCCESS ? key
                                                                                                               : nullptr);
}

// Selects an object into a DC for the scope and puts the previous one back.
class SelectInDc {
 public:
  SelectInDc(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~SelectInDc() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectInDc(const SelectInDc&) = delete;
  SelectInDc& operator=(const SelectInDc&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's DC (GetDC/ReleaseDC).
class WindowDC {
 public:
  explicit WindowDC(HWND w) : w_(w), dc_(GetDC(w)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(w_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND w_;
  HDC dc_;
};

// BeginPaint/EndPaint, for WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND w) : w_(w) { dc_ = BeginPaint(w, &ps_); }
  ~PaintDC() { EndPaint(w_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC Get() const { return dc_; }
  const RECT& Clip() const { return ps_.rcPaint; }

 private:
  HWND w_;
  HDC dc_;
  PAINTSTRUCT ps_;
};

// An off-screen bitmap of a given size to paint into and blit once, so a
// repaint never flickers.
class BackBuffer {
 public:
  BackBuffer(HDC target, int width, int height)
      : dc_(CreateCompatibleDC(target)),
        bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
        select_(dc_.Get(), bitmap_.Get()) {}
  HDC Get() const { return dc_.Get(); }

 private:
  ScopedMemoryDC dc_;
  ScopedBitmap bitmap_;
  SelectInDc select_;
};
