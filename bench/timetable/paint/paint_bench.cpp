// Repaint of the timetable under Wine (GDI): the real panes over a week of
// 2,000 programs a day, a full repaint of the visible grid and a scroll step,
// printed beside a plain blit of the same window size (the floor any repaint
// pays). --hold keeps the window open for a look or a screenshot.
//
//   paint_bench.exe [--kind 1|2|3] [--day24] [--runs N] [--hold SECONDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include "common/clock.h"
#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "planner/timetable/win/timetable_host.h"
#include "planner/timetable/win/timetable_views.h"
#include "planner/timetable/win/timetable_windows.h"

namespace {

struct Bench {
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

}  // namespace

int main(int argc, char** argv) {
  int kind = 2, runs = 30, hold = 0;
  bool day24 = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--kind") && i + 1 < argc) kind = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--hold") && i + 1 < argc) hold = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--day24")) day24 = true;
    else {
      std::fprintf(stderr, "usage: paint_bench [--kind 1|2|3] [--day24] [--runs N] [--hold SECONDS]\n");
      return 2;
    }
  }
  Bench b;
  g_bench = &b;
  b.doc = std::make_unique<CTavoraDoc>(b.settings, PlatformFiles(), SystemClock(), b.hooks);
  CTavoraDoc& doc = *b.doc;
  doc.firstDayStart = doc.FirstDayFor(doc.Now().Now());
  FillGuide(doc, doc.firstDayStart);
  doc.ComputePeriod();
  doc.titleKind = kind;
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
  b.windows->ScrollToNow();
  Pump();
  UpdateWindow(frame);

  HWND grid = b.windows->Grid().Handle();
  RECT gr;
  GetClientRect(grid, &gr);
  // Full repaint of the visible grid.
  double best = 1e9, total = 0;
  for (int i = 0; i < runs; ++i) {
    InvalidateRect(grid, nullptr, FALSE);
    const double t = Now();
    UpdateWindow(grid);
    GdiFlush();
    const double d = Now() - t;
    best = std::min(best, d);
    total += d;
  }
  // A scroll step of one line down and back.
  double scrollTotal = 0;
  for (int i = 0; i < runs; ++i) {
    CTavoraView& g = b.windows->Grid();
    const double t = Now();
    g.SetPosition(g.x, g.y + (i % 2 ? -CScView::kLine * 4 : CScView::kLine * 4));
    UpdateWindow(grid);
    b.windows->OnTimer();
    GdiFlush();
    scrollTotal += Now() - t;
  }
  // The floor: a plain blit of the same size into the same window.
  double blitTotal = 0;
  {
    HDC dc = GetDC(grid);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, gr.right, gr.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, gr.right, gr.bottom, WHITENESS);
    for (int i = 0; i < runs; ++i) {
      const double t = Now();
      BitBlt(dc, 0, 0, gr.right, gr.bottom, memory, 0, 0, SRCCOPY);
      GdiFlush();
      blitTotal += Now() - t;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(grid, dc);
  }
  std::printf("timetable repaint (Wine GDI), %zu programs, title kind %d%s, grid %ldx%ld, %d runs, ms\n",
              doc.Programs().Size(), kind, day24 ? ", 24-hour mode" : "", gr.right, gr.bottom, runs);
  std::printf("  full repaint   mean %.2f  best %.2f\n", total / runs, best);
  std::printf("  scroll step    mean %.2f\n", scrollTotal / runs);
  std::printf("  plain blit     mean %.2f   (floor)\n", blitTotal / runs);
  std::printf("  repaint / blit %.1fx; target: full repaint under 16 ms\n", (total / runs) / std::max(0.001, blitTotal / runs));
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
  return 0;
}
