// Owners of GDI objects and device contexts, so every exit path frees them.
#pragma once
#include <windows.h>

#include <utility>

template <class H>
class ScopedGdi {
 public:
  ScopedGdi() = default;
  explicit ScopedGdi(H h) : h_(h) {}
  ~ScopedGdi() { Reset(); }
  ScopedGdi(const ScopedGdi&) = delete;
  ScopedGdi& operator=(const ScopedGdi&) = delete;
  ScopedGdi(ScopedGdi&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  ScopedGdi& operator=(ScopedGdi&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  void Reset(H h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }
  H Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  H h_ = nullptr;
};
using ScopedFont = ScopedGdi<HFONT>;
using ScopedBrush = ScopedGdi<HBRUSH>;
using ScopedPen = ScopedGdi<HPEN>;
using ScopedBitmap = ScopedGdi<HBITMAP>;
using ScopedPalette = ScopedGdi<HPALETTE>;

// Selects an object into a DC for the scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
  ~Selected() {
    if (old_) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

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

// BeginPaint/EndPaint.
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
      : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
        select_(dc_.dc, bitmap_.Get()) {}
  ~BackBuffer() = default;
  HDC Get() const { return dc_.dc; }

 private:
  struct MemoryDC {
    explicit MemoryDC(HDC d) : dc(d) {}
    ~MemoryDC() {
      if (dc) DeleteDC(dc);
    }
    HDC dc;
  };
  MemoryDC dc_;
  ScopedBitmap bitmap_;
  Selected select_;
};
