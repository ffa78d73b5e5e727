// Repaint of the timetable under Wine (GDI): the real panes over a week of
// 2,000 programs a day, a full repaint of the visible grid and a scroll step
// for each view (by channel, by series, by category, and by category with every
// column widened to its lanes: up to twenty named cells side by side), printed
// beside a plain blit of the same window size (the floor any repaint pays).
//
//   paint_bench.exe [--view channel|series|category|wide]... [--day24] [--runs N]
//                   [--at UNIXTIME] [--dump PREFIX] [--hold SECONDS]
// --at fixes the clock (the same cells every run); --dump writes the pixels of
// each view's grid to PREFIX-VIEW.bmp and of the whole timetable (headings, time
// scale, date header) to PREFIX-VIEW-frame.bmp, to compare a change pixel by pixel;
// --hold keeps the window open for a look or a screenshot.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include "common/clock.h"
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "bench/timetable/paint/default_host.h"
#include "planner/timetable/win/timetable_views.h"
#include "planner/timetable/win/timetable_windows.h"

namespace {

struct Bench {
  std::unique_ptr<ManualClock> fixedClock;
  std::unique_ptr<Settings> store = CreateMemorySettings();
  PlannerSettings settings{*store};
  PlannerDocHooks hooks;
  std::unique_ptr<CTavoraDoc> doc;
  std::unique_ptr<TimetableModel> model;
  DefaultTimetableHost host;
  std::unique_ptr<TimetableWindows> windows;
};
Bench* g_bench = nullptr;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE && g_bench && g_bench->windows) {
    RECT r;
    GetClientRect(hwnd, &r);
    g_bench->windows->Layout(r);
    return 0;
  }
  if (message == WM_COMMAND && g_bench && g_bench->windows && g_bench->windows->OnCommand(LOWORD(wParam))) return 0;
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

void FillGuide(CTavoraDoc& doc, Time32 first) {
  std::mt19937 rng(7);
  const char* categories[] = {u8"ニュース", u8"スポーツ", u8"音楽", u8"映画", u8"教育", u8"天気"};
  for (int i = 0; i < 7 * 2000; ++i) {
    auto p = std::make_unique<GuideProgram>();
    p->programNumber = i + 1;
    p->startTime = first + static_cast<Time32>(rng() % (7 * 86400)) / 300 * 300;
    p->endTime = p->startTime + 300 * (1 + static_cast<Time32>(rng() % 18));
    const int channel = static_cast<int>(rng() % 60);
    p->channelName = J(u8"チャンネル") + std::to_string(channel);
    p->seriesName = J(u8"シリーズ") + std::to_string(rng() % 40);
    p->categoryForSort = J(categories[rng() % 6]);
    p->categoryForSearch = p->categoryForSort;
    p->name = J(u8"番組") + std::to_string(i + 1) + J(u8" 天気予報とニュースのまとめ");
    p->highlight = rng() % 17 == 0 ? 10 : 0;
    doc.Guide().Guide().Add(std::move(p));
  }
}

struct View {
  const char* name;
  std::int32_t kind;
  bool widened;
};
constexpr View kViews[] = {
    {"channel", kTitleChannel, false},
    {"series", kTitleSeries, false},
    {"category", kTitleCategory, false},
    {"wide", kTitleCategory, true},
};

struct Figures {
  double mean = 0, best = 1e9, scroll = 0;
};

// The timetable shows `view`, scrolled to the current time.
void Show(Bench& b, const View& view) {
  CTavoraDoc& doc = *b.doc;
  doc.titleKind = view.kind;
  b.model->BuildTitleRows();
  if (view.widened) {
    for (std::size_t r = 0; r < b.model->Rows().size(); ++r) b.model->ToggleWidened(r);
  }
  b.windows->RedrawAll();
  b.windows->ScrollToNow();
  Pump();
  // Past the scroll pause, so the cells take their text insets as after any scroll.
  Sleep(80);
  b.windows->Grid().Invalidate();
  UpdateWindow(b.windows->Grid().Handle());
}

Figures Measure(Bench& b, int runs) {
  Figures f;
  CTavoraView& g = b.windows->Grid();
  HWND grid = g.Handle();
  double total = 0;
  for (int i = 0; i < runs; ++i) {
    InvalidateRect(grid, nullptr, FALSE);
    const double t = Now();
    UpdateWindow(grid);
    GdiFlush();
    const double d = Now() - t;
    f.best = std::min(f.best, d);
    total += d;
  }
  f.mean = total / runs;
  // A scroll step of four lines down and back.
  double scrollTotal = 0;
  for (int i = 0; i < runs; ++i) {
    const double t = Now();
    g.SetPosition(g.x, g.y + (i % 2 ? -CScView::kLine * 4 : CScView::kLine * 4));
    UpdateWindow(grid);
    b.windows->OnTimer();
    GdiFlush();
    scrollTotal += Now() - t;
  }
  f.scroll = scrollTotal / runs;
  return f;
}

// The floor: a plain blit of the same size into the same window.
double BlitFloor(HWND grid, int runs) {
  RECT gr;
  GetClientRect(grid, &gr);
  double total = 0;
  HDC dc = GetDC(grid);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, gr.right, gr.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  PatBlt(memory, 0, 0, gr.right, gr.bottom, WHITENESS);
  for (int i = 0; i < runs; ++i) {
    const double t = Now();
    BitBlt(dc, 0, 0, gr.right, gr.bottom, memory, 0, 0, SRCCOPY);
    GdiFlush();
    total += Now() - t;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(grid, dc);
  return total / runs;
}

// A window's client pixels, children included, as a 24-bit BMP file.
bool DumpWindow(HWND window, const std::string& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT gr;
  GetClientRect(window, &gr);
  const int w = gr.right, h = gr.bottom;
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, dc, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER bi = {};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  const int stride = (w * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * h);
  const int lines = GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, dc);
  if (lines != h) return false;
  BITMAPFILEHEADER fh = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi;
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi, sizeof bi, 1, f) == 1 &&
                  std::fwrite(pixels.data(), pixels.size(), 1, f) == 1;
  return std::fclose(f) == 0 && ok;
}

int Usage() {
  std::fprintf(stderr,
               "usage: paint_bench [--view channel|series|category|wide]... [--day24] [--runs N] [--at UNIXTIME]\n"
               "                   [--dump PREFIX] [--hold SECONDS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 30, hold = 0;
  bool day24 = false;
  long long at = 0;
  std::string dump;
  std::vector<View> views;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (!std::strcmp(argv[i], "--view") && hasValue) {
      const char* name = argv[++i];
      auto it = std::find_if(std::begin(kViews), std::end(kViews), [name](const View& v) { return !std::strcmp(v.name, name); });
      if (it == std::end(kViews)) {
        std::fprintf(stderr, "paint_bench: unknown view %s\n", name);
        return Usage();
      }
      views.push_back(*it);
    } else if (!std::strcmp(argv[i], "--runs") && hasValue) runs = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--hold") && hasValue) hold = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--at") && hasValue) at = std::atoll(argv[++i]);
    else if (!std::strcmp(argv[i], "--dump") && hasValue) dump = argv[++i];
    else if (!std::strcmp(argv[i], "--day24")) day24 = true;
    else return Usage();
  }
  if (views.empty()) views.assign(std::begin(kViews), std::end(kViews));
  Bench b;
  g_bench = &b;
  if (at > 0) b.fixedClock = std::make_unique<ManualClock>(static_cast<Time32>(at), 1000);
  b.doc = std::make_unique<CTavoraDoc>(b.settings, PlatformFiles(), b.fixedClock ? *b.fixedClock : SystemClock(), b.hooks);
  CTavoraDoc& doc = *b.doc;
  doc.firstDayStart = doc.FirstDayFor(doc.Now().Now());
  FillGuide(doc, doc.firstDayStart);
  doc.ComputePeriod();
  doc.titleKind = views.front().kind;
  b.model = std::make_unique<TimetableModel>(doc, b.settings, PlatformFiles(), ".");
  b.model->LoadColours();
  b.model->AssignColourGroups();
  b.model->BuildTitleRows();
  doc.UpdateProgramMarks();
  b.windows = std::make_unique<TimetableWindows>(doc, *b.model, b.host);
  doc.charHeight = b.windows->MeasureCharHeight(doc.FontSize());
  if (day24) doc.ToggleDayMode24();

  WNDCLASSW wc = {};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"TimetablePaintBench";
  RegisterClassW(&wc);
  HWND frame = CreateWindowExW(0, wc.lpszClassName, L"timetable paint bench", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               0, 0, 1000, 700, nullptr, nullptr, wc.hInstance, nullptr);
  if (!frame || !b.windows->Create(frame, nullptr)) {
    std::fprintf(stderr, "paint_bench: cannot create the windows\n");
    return 1;
  }
  ShowWindow(frame, SW_SHOW);
  RECT client;
  GetClientRect(frame, &client);
  b.windows->Layout(client);
  Pump();
  UpdateWindow(frame);

  HWND grid = b.windows->Grid().Handle();
  RECT gr;
  GetClientRect(grid, &gr);
  std::printf("timetable repaint (Wine GDI), %zu programs%s, grid %ldx%ld, %d runs, ms\n", doc.Programs().Size(),
              day24 ? ", 24-hour mode" : "", gr.right, gr.bottom, runs);
  std::printf("  %-10s %8s %8s %8s %12s\n", "view", "repaint", "best", "scroll", "repaint/blit");
  int status = 0;
  for (const View& view : views) {
    Show(b, view);
    const Figures f = Measure(b, runs);
    const double blit = BlitFloor(grid, runs);
    std::printf("  %-10s %8.2f %8.2f %8.2f %11.1fx\n", view.name, f.mean, f.best, f.scroll,
                f.mean / std::max(0.001, blit));
    std::fflush(stdout);
    if (!dump.empty()) {
      Show(b, view);
      for (HWND w : {grid, frame}) {
        const std::string path = dump + "-" + view.name + (w == frame ? "-frame" : "") + ".bmp";
        if (!DumpWindow(w, path)) {
          std::fprintf(stderr, "paint_bench: cannot write %s\n", path.c_str());
          status = 1;
        }
      }
    }
  }
  std::printf("  %-10s %8.2f   (floor: a plain blit of the grid's size)\n", "blit", BlitFloor(grid, runs));
  std::printf("  target: full repaint under 16 ms\n");
  std::fflush(stdout);
  if (hold > 0) {
    InvalidateRect(frame, nullptr, TRUE);
    const DWORD end = GetTickCount() + static_cast<DWORD>(hold) * 1000;
    while (GetTickCount() < end && IsWindow(frame)) {
      Pump();
      b.windows->OnTimer();
      Sleep(100);
    }
  }
  b.windows.reset();
  DestroyWindow(frame);
  return status;
}
