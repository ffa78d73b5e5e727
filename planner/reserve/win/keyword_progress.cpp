#include "planner/reserve/win/keyword_progress.h"

#include <string>

#include "common/text.h"
#include "common/win/dpi.h"

namespace {

// A thread message: the progress thread destroys its window and ends.
constexpr UINT kEndProgress = WM_APP + 1;
constexpr int kWidth = 280, kHeight = 44;  // at 96 dpi, scaled to the screen
// How long the pass waits for the progress thread; a window that cannot be
// shown never holds the pass up.
constexpr DWORD kThreadWaitMs = 2000;

std::wstring ProgressText(int index, int total) {
  return Cp932ToWide(J(u8"キーワード予約の確認中 (") + std::to_string(index) + "/" + std::to_string(total) + ")");
}

}  // namespace

// What the pass and the progress thread share. The thread reads only this,
// never the KeywordProgress, so a thread slow to start touches nothing freed.
struct KeywordProgress::Shared {
  RECT at{};
  std::wstring firstText;
  ScopedHandle ready;       // set once the window is made (or could not be)
  HWND window = nullptr;
  volatile LONG ended = 0;  // the pass is over: the window goes at once
};

DWORD WINAPI KeywordProgress::Run(void* arg) {
  // The thread's own share, handed over by Start.
  const std::unique_ptr<std::shared_ptr<Shared>> held(static_cast<std::shared_ptr<Shared>*>(arg));
  Shared& shared = **held;
  const RECT r = shared.at;
  HWND w = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", shared.firstText.c_str(),
                           WS_POPUP | WS_BORDER | SS_CENTER | SS_CENTERIMAGE, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (w) {
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ShowWindow(w, SW_SHOWNOACTIVATE);
    UpdateWindow(w);
  }
  shared.window = w;
  SetEvent(shared.ready.Get());
  // The end message is posted only once the pass has seen this queue ready;
  // a pass that ended before then is seen here.
  if (w && !InterlockedCompareExchange(&shared.ended, 0, 0)) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (!msg.hwnd && msg.message == kEndProgress) break;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (w) DestroyWindow(w);
  return 0;
}

void KeywordProgress::Start(const std::wstring& text) {
  auto shared = std::make_shared<Shared>();
  shared->firstText = text;
  // Centred on the main window, or on the screen while it has none.
  RECT frame = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (mainWindow_ && IsWindowVisible(mainWindow_)) GetWindowRect(mainWindow_, &frame);
  RECT& at = shared->at;
  const int width = Scaled(kWidth), height = Scaled(kHeight);
  at.left = (frame.left + frame.right - width) / 2;
  at.top = (frame.top + frame.bottom - height) / 2;
  at.right = at.left + width;
  at.bottom = at.top + height;
  shared->ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!shared->ready) return;
  auto handed = std::make_unique<std::shared_ptr<Shared>>(shared);
  thread_.Reset(CreateThread(nullptr, 0, Run, handed.get(), 0, &threadId_));
  if (!thread_) return;
  handed.release();  // the thread's now
  shared_ = std::move(shared);
  WaitForSingleObject(shared_->ready.Get(), kThreadWaitMs);
}

void KeywordProgress::Show(int index, int total) {
  const std::wstring text = ProgressText(index, total);
  if (!shared_) {
    if (!thread_) Start(text);
    return;
  }
  if (WaitForSingleObject(shared_->ready.Get(), 0) != WAIT_OBJECT_0 || !shared_->window) return;
  DWORD_PTR ignored = 0;
  // Sent to the progress thread, which is always pumping; never a long wait
  // on a window that has stopped answering.
  SendMessageTimeoutW(shared_->window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                      kThreadWaitMs, &ignored);
}

KeywordProgress::~KeywordProgress() {
  if (!shared_) return;
  InterlockedExchange(&shared_->ended, 1);
  if (WaitForSingleObject(shared_->ready.Get(), 0) == WAIT_OBJECT_0) PostThreadMessageW(threadId_, kEndProgress, 0, 0);
  // The window is gone before the pass goes on (a test, or the user, sees it
  // go with the pass); a thread that does not end in time finishes on its own,
  // with its share of what it reads.
  WaitForSingleObject(thread_.Get(), kThreadWaitMs);
}
