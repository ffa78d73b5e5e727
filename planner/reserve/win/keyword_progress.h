// What the keyword pass is doing while it fetches detail files from the
// server: a small window "キーワード予約の確認中 (3/10)" beside the main
// window. Each fetch keeps the window thread waiting, so the progress window
// lives on a thread of its own that paints it and answers other programs.
// It has no owner (an owner on the waiting thread would tie the two threads'
// input together) and no caption; the main window's title and panes stay as
// they are, since other programs find the planner by its title.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "common/win/scoped_win.h"

class KeywordProgress {
 public:
  explicit KeywordProgress(HWND mainWindow) : mainWindow_(mainWindow) {}
  // The window goes and its thread ends.
  ~KeywordProgress();
  KeywordProgress(const KeywordProgress&) = delete;
  KeywordProgress& operator=(const KeywordProgress&) = delete;

  // The pass is about to fetch the index-th of total details; the first call
  // opens the window.
  void Show(int index, int total);

 private:
  struct Shared;
  static DWORD WINAPI Run(void* arg);
  void Start(const std::wstring& text);

  HWND mainWindow_;
  std::shared_ptr<Shared> shared_;  // with the progress thread; the last to let go frees it
  ScopedHandle thread_;
  DWORD threadId_ = 0;
};
