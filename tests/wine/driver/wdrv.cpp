// wdrv.exe: the one Win32 test driver the Wine tests use to drive the real
// programs' windows from outside, the way a user or a peer program would.
// Arguments and output are UTF-8; exit 0 on success, 1 when the window or
// control is not there (or a wait timed out), 2 on a usage error.
//
// A WINDOW argument is a top-level window's exact title (compared without
// regard to case, as FindWindow does), or "~TEXT" for the first title that
// contains TEXT, or "dialog:TITLE" for a dialog or message box with that title
// (a program's hidden main window may carry the same title), or
// "wndclass:NAME" for the first top-level window of that class.
// A CONTROL argument is a control id (decimal), or "class:NAME"
// or "class:NAME:N" for the N-th (from 0) descendant of that window class.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "menu_probe.h"

namespace {

using Args = std::vector<std::wstring>;

// A command that cannot go on ends with this exit code: the process's, or in
// serve the answer's.
struct CommandExit {
  int code;
};

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

// Output goes out as raw UTF-8 bytes, whatever the console code page.
void Print(const std::wstring& line) {
  const std::string s = Utf8(line) + "\n";
  std::fwrite(s.data(), 1, s.size(), stdout);
  std::fflush(stdout);
}

void Error(const std::wstring& what) {
  const std::string s = "wdrv: " + Utf8(what) + "\n";
  std::fwrite(s.data(), 1, s.size(), stderr);
}

long Number(const std::wstring& text, const wchar_t* what) {
  wchar_t* end = nullptr;
  const long value = std::wcstol(text.c_str(), &end, 0);
  if (text.empty() || *end) {
    Error(std::wstring(L"not a number for ") + what + L": " + text);
    throw CommandExit{2};
  }
  return value;
}

std::wstring WindowText(HWND w) {
  // Ask with a time limit: a hung target must not hang the test. A loaded
  // machine can keep a busy thread from answering for seconds; ten of them
  // tell hung from slow.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length)) return std::wstring();
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 10000, &got);
  text.resize(got);
  return text;
}

// A top-level window's title as the window manager holds it: read without a
// message to the window's thread, so that looking through every window for a
// title part waits for no program that is busy painting.
std::wstring TitleOf(HWND w) {
  wchar_t title[1024] = {};
  const int n = InternalGetWindowText(w, title, 1024);
  return std::wstring(title, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring ClassOf(HWND w) {
  wchar_t name[256] = {};
  GetClassNameW(w, name, 255);
  return name;
}

std::wstring Lower(std::wstring s) {
  CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
  return s;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> all;
  EnumWindows([](HWND w, LPARAM p) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND FindTop(const std::wstring& locator) {
  if (locator.size() > 1 && locator[0] == L'~') {
    const std::wstring part = locator.substr(1);
    for (HWND w : TopLevelWindows())
      if (TitleOf(w).find(part) != std::wstring::npos) return w;
    return nullptr;
  }
  if (locator.compare(0, 7, L"dialog:") == 0) return FindWindowW(L"#32770", locator.substr(7).c_str());
  if (locator.compare(0, 9, L"wndclass:") == 0) return FindWindowW(locator.substr(9).c_str(), nullptr);
  return FindWindowW(nullptr, locator.c_str());
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, [](HWND w, LPARAM p) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND FindControl(HWND top, const std::wstring& locator) {
  if (locator.compare(0, 6, L"class:") == 0) {
    std::wstring name = locator.substr(6);
    int index = 0;
    const size_t colon = name.find(L':');
    if (colon != std::wstring::npos) {
      index = static_cast<int>(Number(name.substr(colon + 1), L"control index"));
      name.resize(colon);
    }
    for (HWND w : Descendants(top))
      if (Lower(ClassOf(w)) == Lower(name) && index-- == 0) return w;
    return nullptr;
  }
  const long id = Number(locator, L"control id");
  for (HWND w : Descendants(top))
    if (GetDlgCtrlID(w) == id) return w;
  return nullptr;
}

HWND NeedTop(const std::wstring& locator) {
  HWND w = FindTop(locator);
  if (!w) {
    Error(L"no window " + locator);
    throw CommandExit{1};
  }
  return w;
}

HWND NeedControl(HWND top, const std::wstring& locator) {
  HWND w = FindControl(top, locator);
  if (!w) {
    Error(L"no control " + locator);
    throw CommandExit{1};
  }
  return w;
}

// Reads a list view's cell through memory in the owner's process: list view
// messages carry pointers, which another process cannot hand over directly.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND owner, size_t size, DWORD moreAccess = 0) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | moreAccess, FALSE, pid);
    if (process_) memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  bool Ok() const { return memory_ != nullptr; }
  HANDLE Process() const { return process_; }
  char* Address() const { return static_cast<char*>(memory_); }
  bool Write(size_t offset, const void* data, size_t size) const {
    return offset + size <= size_ && WriteProcessMemory(process_, Address() + offset, data, size, nullptr);
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return offset + size <= size_ && ReadProcessMemory(process_, Address() + offset, data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
  size_t size_;
};

std::wstring ListViewCell(HWND list, const RemoteBuffer& buffer, int row, int column) {
  constexpr int kChars = 1024;
  LVITEMW item = {};
  item.iSubItem = column;
  item.cchTextMax = kChars;
  item.pszText = reinterpret_cast<wchar_t*>(buffer.Address() + sizeof item);
  buffer.Write(0, &item, sizeof item);
  DWORD_PTR length = 0;
  SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(buffer.Address()), SMTO_ABORTIFHUNG,
                      2000, &length);
  std::wstring text(kChars, L'\0');
  buffer.Read(sizeof item, &text[0], kChars * sizeof(wchar_t));
  text.resize(std::wcslen(text.c_str()));
  return text;
}

int ColumnCount(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int n = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  return n > 0 ? n : 1;
}

// --- commands ----------------------------------------------------------

// A window found is reported once its thread has come back to its messages:
// a dialog exists before its initialisation has filled it (a message box's
// text, a property sheet's pages), and what a test reads next must be there.
void Settle(HWND w) {
  DWORD_PTR r = 0;
  SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
}

int CmdFind(const Args& a) {
  HWND w = FindTop(a[0]);
  if (!w) return 1;
  Settle(w);
  std::printf("%p\n", static_cast<void*>(w));
  return 0;
}

int CmdVisible(const Args& a) {
  HWND w = FindTop(a[0]);
  if (!w || !IsWindowVisible(w)) return 1;
  Settle(w);
  return 0;
}

int CmdCount(const Args& a) {
  int n = 0;
  for (HWND w : TopLevelWindows())
    if (TitleOf(w).find(a[0]) != std::wstring::npos) ++n;
  std::printf("%d\n", n);
  return 0;
}

// wait WINDOW [MS] [visible|gone]
int CmdWait(const Args& a) {
  const DWORD limit = a.size() > 1 ? static_cast<DWORD>(Number(a[1], L"milliseconds")) : 10000;
  const std::wstring mode = a.size() > 2 ? a[2] : L"";
  if (!mode.empty() && mode != L"visible" && mode != L"gone") {
    Error(L"wait: mode is visible or gone, not " + mode);
    return 2;
  }
  const DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindTop(a[0]);
    const bool done = mode == L"gone" ? w == nullptr : w && (mode != L"visible" || IsWindowVisible(w));
    if (done) {
      if (w) Settle(w);
      return 0;
    }
    if (GetTickCount() - start >= limit) {
      Error(L"wait timed out: " + a[0]);
      return 1;
    }
    Sleep(50);
  }
}

// Several ids are posted in their order from one start of the driver: a
// test that steps a command to its limit need not start Wine for each step.
int CmdPost(const Args& a) {
  HWND w = NeedTop(a[0]);
  std::vector<WPARAM> ids;
  for (size_t i = 1; i < a.size(); ++i) ids.push_back(static_cast<WPARAM>(Number(a[i], L"command id")));
  for (WPARAM id : ids)
    if (!PostMessageW(w, WM_COMMAND, id, 0)) return 1;
  return 0;
}

int CmdClose(const Args& a) { return PostMessageW(NeedTop(a[0]), WM_CLOSE, 0, 0) ? 0 : 1; }

// Sent, as Windows sends it: the window has done its work when this returns.
int CmdEndSession(const Args& a) {
  DWORD_PTR r = 0;
  return SendMessageTimeoutW(NeedTop(a[0]), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &r) ? 0 : 1;
}

// Posted, not sent: a click that opens a modal dialog must not block the driver.
int CmdClick(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND control = NeedControl(top, a[1]);
  const int id = GetDlgCtrlID(control);
  return PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control))
             ? 0
             : 1;
}

int CmdCheck(const Args& a) {
  HWND control = NeedControl(NeedTop(a[0]), a[1]);
  DWORD_PTR r = 0;
  SendMessageTimeoutW(control, BM_SETCHECK, Number(a[2], L"check state") ? BST_CHECKED : BST_UNCHECKED, 0,
                      SMTO_ABORTIFHUNG, 2000, &r);
  return 0;
}

int CmdChecked(const Args& a) {
  HWND control = NeedControl(NeedTop(a[0]), a[1]);
  DWORD_PTR state = 0;
  SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
  std::printf("%d\n", static_cast<int>(state));
  return 0;
}

int CmdText(const Args& a) {
  HWND top = NeedTop(a[0]);
  // A window's title is what other programs find it by, and they read it
  // without a message to its thread; so does this. Controls are asked.
  Print(a.size() > 1 ? WindowText(NeedControl(top, a[1])) : TitleOf(top));
  return 0;
}

// Sets an edit control's text and tells its parent, as typing would.
int CmdSetText(const Args& a) {
  HWND control = NeedControl(NeedTop(a[0]), a[1]);
  DWORD_PTR r = 0;
  SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[2].c_str()), SMTO_ABORTIFHUNG, 2000, &r);
  PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), EN_CHANGE),
               reinterpret_cast<LPARAM>(control));
  return 0;
}

// Selects an item of a combo box or list box by index and notifies the parent.
int CmdSelect(const Args& a) {
  HWND control = NeedControl(NeedTop(a[0]), a[1]);
  const long index = Number(a[2], L"item index");
  const bool combo = Lower(ClassOf(control)).find(L"combo") != std::wstring::npos;
  DWORD_PTR r = 0;
  SendMessageTimeoutW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 2000, &r);
  PostMessageW(GetParent(control), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(control), combo ? CBN_SELCHANGE : LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
  return 0;
}

// Prints a list box's or combo box's items, one a line (the system
// carries the text across processes for these two classes).
int CmdItems(const Args& a) {
  HWND control = NeedControl(NeedTop(a[0]), a[1]);
  const bool combo = Lower(ClassOf(control)).find(L"combo") != std::wstring::npos;
  const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
  const UINT length = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const UINT text = combo ? CB_GETLBTEXT : LB_GETTEXT;
  const LRESULT items = SendMessageW(control, count, 0, 0);
  for (LRESULT i = 0; i < items; ++i) {
    const LRESULT n = SendMessageW(control, length, static_cast<WPARAM>(i), 0);
    if (n < 0) return 1;
    std::wstring item(static_cast<std::size_t>(n) + 1, L'\0');
    const LRESULT got = SendMessageW(control, text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item[0]));
    item.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    Print(item);
  }
  return 0;
}

// Lists every descendant: id, class, visible and enabled flags, text.
int CmdControls(const Args& a) {
  for (HWND w : Descendants(NeedTop(a[0]))) {
    wchar_t head[64];
    std::swprintf(head, 64, L"%d\t", GetDlgCtrlID(w));
    Print(head + ClassOf(w) + L"\t" + (IsWindowVisible(w) ? L"v" : L"-") + (IsWindowEnabled(w) ? L"e" : L"-") + L"\t" +
          WindowText(w));
  }
  return 0;
}

// Prints the texts of a tree view's top-level items, one per line.
int CmdTree(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND tree = NeedControl(top, a.size() > 1 ? a[1] : std::wstring(L"class:SysTreeView32"));
  constexpr int kChars = 512;
  RemoteBuffer buffer(tree, sizeof(TVITEMW) + kChars * sizeof(wchar_t));
  if (!buffer.Ok()) {
    Error(L"cannot reach the tree view's process");
    return 1;
  }
  DWORD_PTR item = 0;
  SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, SMTO_ABORTIFHUNG, 2000, &item);
  while (item) {
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = reinterpret_cast<HTREEITEM>(item);
    tv.cchTextMax = kChars;
    tv.pszText = reinterpret_cast<wchar_t*>(buffer.Address() + sizeof tv);
    buffer.Write(0, &tv, sizeof tv);
    DWORD_PTR ok = 0;
    SendMessageTimeoutW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(buffer.Address()), SMTO_ABORTIFHUNG, 2000, &ok);
    std::wstring text(kChars, L'\0');
    buffer.Read(sizeof tv, &text[0], kChars * sizeof(wchar_t));
    text.resize(std::wcslen(text.c_str()));
    Print(text);
    DWORD_PTR next = 0;
    SendMessageTimeoutW(tree, TVM_GETNEXTITEM, TVGN_NEXT, static_cast<LPARAM>(item), SMTO_ABORTIFHUNG, 2000, &next);
    item = next;
  }
  return 0;
}

// Selects a tab of a tab control as a click would: moving the focus of a tab
// control without buttons selects the tab, and the control itself tells its
// parent (TCN_SELCHANGING, TCN_SELCHANGE), which a WM_NOTIFY from another
// process could not.
int CmdTab(const Args& a) {
  HWND tabs = NeedControl(NeedTop(a[0]), a[1]);
  const long index = Number(a[2], L"tab index");
  DWORD_PTR r = 0;
  SendMessageTimeoutW(tabs, TCM_SETCURFOCUS, index, 0, SMTO_ABORTIFHUNG, 2000, &r);
  SendMessageTimeoutW(tabs, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
  return static_cast<long>(r) == index ? 0 : 1;
}

// Prints a list view's rows, one TSV line per row, every column.
int CmdListView(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND list = NeedControl(top, a.size() > 1 ? a[1] : std::wstring(L"class:SysListView32"));
  RemoteBuffer buffer(list, sizeof(LVITEMW) + 1024 * sizeof(wchar_t));
  if (!buffer.Ok()) {
    Error(L"cannot reach the list view's process");
    return 1;
  }
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  const int columns = ColumnCount(list);
  for (int row = 0; row < rows; ++row) {
    std::wstring line;
    for (int column = 0; column < columns; ++column) {
      if (column) line += L'\t';
      line += ListViewCell(list, buffer, row, column);
    }
    Print(line);
  }
  return 0;
}

// lvrect WINDOW CONTROL ROW: a list view row's rectangle in the list's client
// coordinates, "left top right bottom" (to point at the row with the mouse).
int CmdListViewRect(const Args& a) {
  HWND list = NeedControl(NeedTop(a[0]), a[1]);
  RemoteBuffer buffer(list, sizeof(RECT));
  if (!buffer.Ok()) {
    Error(L"cannot reach the list view's process");
    return 1;
  }
  RECT r = {LVIR_BOUNDS, 0, 0, 0};
  buffer.Write(0, &r, sizeof r);
  DWORD_PTR ok = 0;
  SendMessageTimeoutW(list, LVM_GETITEMRECT, Number(a[2], L"row"), reinterpret_cast<LPARAM>(buffer.Address()),
                      SMTO_ABORTIFHUNG, 2000, &ok);
  if (!ok || !buffer.Read(0, &r, sizeof r)) {
    Error(L"no row " + a[2]);
    return 1;
  }
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

// lvwidths WINDOW [CONTROL]: a list view's column widths, tab-separated.
int CmdListViewWidths(const Args& a) {
  HWND list = NeedControl(NeedTop(a[0]), a.size() > 1 ? a[1] : std::wstring(L"class:SysListView32"));
  std::wstring line;
  for (int column = 0, n = ColumnCount(list); column < n; ++column) {
    DWORD_PTR width = 0;
    SendMessageTimeoutW(list, LVM_GETCOLUMNWIDTH, column, 0, SMTO_ABORTIFHUNG, 2000, &width);
    if (column) line += L'\t';
    line += std::to_wstring(width);
  }
  Print(line);
  return 0;
}

// mouse WINDOW CONTROL|- X Y [left|double|right|move|down|drag|up]: client
// coordinates of the control (or of the window itself with "-"); posted like the
// real input. down, drag (a move with the left button held) and up are the
// steps of a drag, one command each.
int CmdMouse(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND target = a[1] == L"-" ? top : NeedControl(top, a[1]);
  const LPARAM at = MAKELPARAM(Number(a[2], L"x"), Number(a[3], L"y"));
  const std::wstring kind = a.size() > 4 ? a[4] : L"left";
  if (kind == L"drag" || kind == L"up") {
    PostMessageW(target, WM_MOUSEMOVE, MK_LBUTTON, at);
    if (kind == L"up") PostMessageW(target, WM_LBUTTONUP, 0, at);
    return 0;
  }
  PostMessageW(target, WM_MOUSEMOVE, 0, at);
  if (kind == L"move") return 0;
  if (kind == L"down") {
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    return 0;
  }
  if (kind == L"right") {
    PostMessageW(target, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(target, WM_RBUTTONUP, 0, at);
    return 0;
  }
  if (kind != L"left" && kind != L"double") {
    Error(L"mouse: left, double, right, move, down, drag or up, not " + kind);
    return 2;
  }
  PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(target, WM_LBUTTONUP, 0, at);
  if (kind == L"double") {
    PostMessageW(target, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(target, WM_LBUTTONUP, 0, at);
  }
  return 0;
}

// pixel WINDOW CONTROL|- X Y: the colour on screen at client coordinates, RRGGBB.
int CmdPixel(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND target = a[1] == L"-" ? top : NeedControl(top, a[1]);
  POINT p = {Number(a[2], L"x"), Number(a[3], L"y")};
  ClientToScreen(target, &p);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  if (c == CLR_INVALID) {
    Error(L"pixel outside the screen");
    return 1;
  }
  std::printf("%02X%02X%02X\n", GetRValue(c), GetGValue(c), GetBValue(c));
  return 0;
}

// differ WINDOW CONTROL|- X Y W H RRGGBB: how many screen pixels of the
// rectangle (client coordinates) are not that colour (text drawn on a plain
// background, a line on a pane).
int CmdDiffer(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND target = a[1] == L"-" ? top : NeedControl(top, a[1]);
  POINT p = {Number(a[2], L"x"), Number(a[3], L"y")};
  const long w = Number(a[4], L"width"), h = Number(a[5], L"height");
  const unsigned long rgb = std::wcstoul(a[6].c_str(), nullptr, 16);
  const COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
  ClientToScreen(target, &p);
  HDC screen = GetDC(nullptr);
  long differing = 0;
  for (long y = 0; y < h; ++y)
    for (long x = 0; x < w; ++x)
      if (GetPixel(screen, p.x + x, p.y + y) != colour) ++differing;
  ReleaseDC(nullptr, screen);
  std::printf("%ld\n", differing);
  return 0;
}

// screenpos WINDOW CONTROL|- X Y: the screen point of client coordinates, "X Y"
// (to find a window's points in a screenshot).
int CmdScreenPos(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND target = a[1] == L"-" ? top : NeedControl(top, a[1]);
  POINT p = {Number(a[2], L"x"), Number(a[3], L"y")};
  ClientToScreen(target, &p);
  std::printf("%ld %ld\n", p.x, p.y);
  return 0;
}

// rect WINDOW [CONTROL]: screen rectangle "left top right bottom".
int CmdRect(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND target = a.size() > 1 ? NeedControl(top, a[1]) : top;
  RECT r = {};
  GetWindowRect(target, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return 0;
}

// textfit WINDOW CONTROL FACE POINTS DPI: the control's text measured on one
// line in the font FACE of POINTS at DPI dots per inch (a dialog's declared
// font on a screen of that density; another process's font handle cannot be
// read), and the control's client size: "WIDTH HEIGHT CW CH". A label shows
// all of its one-line text only when WIDTH <= CW and HEIGHT <= CH.
int CmdTextFit(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND target = NeedControl(top, a[1]);
  const int points = static_cast<int>(Number(a[3], L"points"));
  const int dpi = static_cast<int>(Number(a[4], L"dpi"));
  HFONT font = CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, a[2].c_str());
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring text = WindowText(target);
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  RECT client = {};
  GetClientRect(target, &client);
  std::printf("%ld %ld %ld %ld\n", size.cx, metrics.tmHeight, client.right, client.bottom);
  return 0;
}

// menu WINDOW ID|TEXT: the state a user sees of a menu bar item when its
// popup opens: "enabled|grayed checked|unchecked". A menu can be read only in
// its own process under Wine, so wdrvmenu.dll (beside wdrv.exe) hooks the
// window's thread for the one reading (see menu_probe.h); the popups on the way
// get the WM_INITMENUPOPUP that opening them sends.
int CmdMenu(const Args& a) {
  HWND top = NeedTop(a[0]);
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dll = self;
  dll.erase(dll.find_last_of(L"\\/") + 1);
  dll += L"wdrvmenu.dll";
  HMODULE local = LoadLibraryW(dll.c_str());
  HOOKPROC hookProc = local ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(local, WDRV_MENU_HOOK))) : nullptr;
  if (!hookProc) {
    Error(L"cannot load " + dll);
    return 1;
  }
  MenuProbe probe = {};
  probe.window = top;
  probe.found = -2;
  wchar_t* end = nullptr;
  const unsigned long id = std::wcstoul(a[1].c_str(), &end, 0);
  if (!a[1].empty() && !*end && id > 0) probe.id = static_cast<UINT>(id);
  else lstrcpynW(probe.text, a[1].c_str(), 256);

  RemoteBuffer buffer(top, sizeof probe);
  if (!buffer.Ok() || !buffer.Write(0, &probe, sizeof probe)) {
    Error(L"cannot reach the window's process");
    return 1;
  }
  const DWORD thread = GetWindowThreadProcessId(top, nullptr);
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, hookProc, local, thread);
  if (!hook) {
    Error(L"cannot hook the window's thread");
    return 1;
  }
  DWORD_PTR ignored = 0;
  const bool answered = SendMessageTimeoutW(top, RegisterWindowMessageW(WDRV_MENU_MESSAGE), 0,
                                            reinterpret_cast<LPARAM>(buffer.Address()), SMTO_ABORTIFHUNG, 10000,
                                            &ignored) != 0;
  UnhookWindowsHookEx(hook);
  if (!answered || !buffer.Read(0, &probe, sizeof probe) || probe.found == -2) {
    Error(L"the window does not answer");
    return 1;
  }
  if (probe.found != 1) {
    Error(probe.found == -1 ? L"no menu bar on " + a[0] : L"no menu item " + a[1]);
    return 1;
  }
  Print(std::wstring((probe.state & (MF_GRAYED | MF_DISABLED)) ? L"grayed" : L"enabled") +
        ((probe.state & MF_CHECKED) ? L" checked" : L" unchecked"));
  return 0;
}

// resize WINDOW WIDTH HEIGHT: the outer size, as dragging the frame leaves it
// (the window gets its WM_SIZE).
int CmdResize(const Args& a) {
  HWND top = NeedTop(a[0]);
  const int width = static_cast<int>(Number(a[1], L"width"));
  const int height = static_cast<int>(Number(a[2], L"height"));
  return SetWindowPos(top, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
}

// Sends a key press to a control (or the window): key WINDOW CONTROL|- VK.
int CmdKey(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND target = a[1] == L"-" ? top : NeedControl(top, a[1]);
  const WPARAM vk = static_cast<WPARAM>(Number(a[2], L"virtual key"));
  PostMessageW(target, WM_KEYDOWN, vk, 1);
  PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
  return 0;
}

// scroll WINDOW CONTROL|- STEP [N]: N scroll-bar steps (sent, so they are done
// when the command ends): up, down, pageup, pagedown, top, bottom vertically,
// left, right, pageleft, pageright, leftend, rightend sideways.
int CmdScroll(const Args& a) {
  HWND top = NeedTop(a[0]);
  HWND target = a[1] == L"-" ? top : NeedControl(top, a[1]);
  struct Step {
    const wchar_t* name;
    UINT message;
    WPARAM code;
  };
  static const Step kSteps[] = {
      {L"up", WM_VSCROLL, SB_LINEUP},         {L"down", WM_VSCROLL, SB_LINEDOWN},
      {L"pageup", WM_VSCROLL, SB_PAGEUP},     {L"pagedown", WM_VSCROLL, SB_PAGEDOWN},
      {L"top", WM_VSCROLL, SB_TOP},           {L"bottom", WM_VSCROLL, SB_BOTTOM},
      {L"left", WM_HSCROLL, SB_LINELEFT},     {L"right", WM_HSCROLL, SB_LINERIGHT},
      {L"pageleft", WM_HSCROLL, SB_PAGELEFT}, {L"pageright", WM_HSCROLL, SB_PAGERIGHT},
      {L"leftend", WM_HSCROLL, SB_LEFT},      {L"rightend", WM_HSCROLL, SB_RIGHT},
  };
  const Step* step = nullptr;
  for (const Step& s : kSteps)
    if (a[2] == s.name) step = &s;
  if (!step) {
    Error(L"scroll: up, down, pageup, pagedown, top, bottom, left, right, pageleft, pageright, leftend or rightend, "
          L"not " + a[2]);
    return 2;
  }
  const long count = a.size() > 3 ? Number(a[3], L"count") : 1;
  for (long i = 0; i < count; ++i) SendMessageW(target, step->message, step->code, 0);
  return 0;
}

// Keeps a stand-in window answering its messages for the given seconds, then
// takes it away.
int LiveFor(HWND w, DWORD seconds) {
  const DWORD end = GetTickCount() + seconds * 1000;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
  DestroyWindow(w);
  return 0;
}

// Stands in for another program's window (the channel selector's "nexa"),
// by default at 600,500 and 200 x 80 pixels, or at the screen rectangle given.
int CmdHold(const Args& a) {
  const DWORD seconds = static_cast<DWORD>(Number(a[1], L"seconds"));
  if (a.size() != 2 && a.size() != 6) {
    Error(L"hold takes a rectangle of four numbers or none");
    return 2;
  }
  int x = 600, y = 500, width = 200, height = 80;
  if (a.size() == 6) {
    x = static_cast<int>(Number(a[2], L"x"));
    y = static_cast<int>(Number(a[3], L"y"));
    width = static_cast<int>(Number(a[4], L"width"));
    height = static_cast<int>(Number(a[5], L"height"));
  }
  HWND w = CreateWindowExW(0, L"STATIC", a[0].c_str(), WS_OVERLAPPEDWINDOW, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (!w) return 1;
  ShowWindow(w, SW_SHOWNOACTIVATE);
  return LiveFor(w, seconds);
}

// A stand-in for the shell's notification area, so that a test can take the
// shell away, bring a new one and say when it is ready, as Explorer does when it
// restarts or starts late at logon. It is a topmost hidden "Shell_TrayWnd", so
// Shell_NotifyIcon finds it before Wine's own. Under Wine the icon requests
// come as WM_COPYDATA (dwData NIM_*, data starting with the 32-bit window and
// the id). Each request is printed: "add|modify|delete WINDOW ID taken|refused",
// and one that carries an icon adds "icon WIDTHxHEIGHT", the size of the
// icon's bitmap (Wine 8 puts it after the fields of NOTIFYICONDATAW, at 944).
// Made, it broadcasts "TaskbarCreated" like a new Explorer; with "refuse" it
// refuses every icon until WM_COMMAND 1 ("the shell is ready") arrives; WM_CLOSE
// ends it and its icons.
struct StandInShell {
  bool refusing = false;
  std::vector<std::pair<HWND, UINT>> icons;
};

LRESULT CALLBACK StandInShellProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* shell = reinterpret_cast<StandInShell*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  switch (message) {
    case WM_COPYDATA: {
      const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!shell || copy->cbData < 8) return FALSE;
      LONG handle = 0;
      UINT id = 0;
      std::memcpy(&handle, copy->lpData, 4);
      std::memcpy(&id, static_cast<const char*>(copy->lpData) + 4, 4);
      const std::pair<HWND, UINT> icon(static_cast<HWND>(LongToHandle(handle)), id);
      auto held = std::find(shell->icons.begin(), shell->icons.end(), icon);
      const wchar_t* what = L"other";
      bool taken = false;
      if (copy->dwData == NIM_ADD) {
        what = L"add";
        taken = !shell->refusing && held == shell->icons.end();
        if (taken) shell->icons.push_back(icon);
      } else if (copy->dwData == NIM_MODIFY) {
        what = L"modify";
        taken = held != shell->icons.end();
      } else if (copy->dwData == NIM_DELETE) {
        what = L"delete";
        taken = held != shell->icons.end();
        if (taken) shell->icons.erase(held);
      }
      wchar_t size[40] = L"";
      UINT flags = 0, width = 0, height = 0;
      constexpr DWORD kIconSizeAt = 944;
      if (copy->cbData >= 12) std::memcpy(&flags, static_cast<const char*>(copy->lpData) + 8, 4);
      if ((copy->dwData == NIM_ADD || copy->dwData == NIM_MODIFY) && (flags & NIF_ICON) &&
          copy->cbData >= kIconSizeAt + 8) {
        std::memcpy(&width, static_cast<const char*>(copy->lpData) + kIconSizeAt, 4);
        std::memcpy(&height, static_cast<const char*>(copy->lpData) + kIconSizeAt + 4, 4);
        std::swprintf(size, 40, L" icon %ux%u", width, height);
      }
      wchar_t line[128];
      std::swprintf(line, 128, L"%ls %p %u %ls%ls", what, static_cast<void*>(icon.first), id,
                    taken ? L"taken" : L"refused", size);
      Print(line);
      return taken;
    }
    case WM_COMMAND:
      if (shell && LOWORD(wParam) == 1) {
        shell->refusing = false;
        Print(L"ready");
      }
      return 0;
    case WM_CLOSE: DestroyWindow(w); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(w, message, wParam, lParam);
  }
}

int CmdShell(const Args& a) {
  StandInShell shell;
  if (a.size() > 0) {
    if (a[0] != L"refuse") {
      Error(L"shell: refuse or nothing, not " + a[0]);
      return 2;
    }
    shell.refusing = true;
  }
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &StandInShellProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Shell_TrayWnd";
  if (!RegisterClassW(&wc)) return 1;
  HWND w = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"wdrv shell", WS_POPUP, 0, 0, 10, 10,
                           nullptr, nullptr, wc.hInstance, nullptr);
  if (!w) return 1;
  SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&shell));
  Print(shell.refusing ? L"up, refusing" : L"up");
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  Print(L"ended");
  return 0;
}

// Where a window stands among others: "topmost 1|0 owner TITLE" (TITLE empty
// for an unowned window). A topmost window shows over every program's windows.
int CmdPlace(const Args& a) {
  HWND w = NeedTop(a[0]);
  const bool topmost = (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  HWND owner = GetWindow(w, GW_OWNER);
  Print(std::wstring(L"topmost ") + (topmost ? L"1" : L"0") + L" owner " + (owner ? WindowText(owner) : L""));
  return 0;
}

// Stands in for a peer program's window that others post commands to: every
// WM_COMMAND it receives is printed as "command ID" while it lives.
LRESULT CALLBACK ListenProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    Print(L"command " + std::to_wstring(LOWORD(wParam)));
    return 0;
  }
  return DefWindowProcW(w, message, wParam, lParam);
}

int CmdListen(const Args& a) {
  const DWORD seconds = static_cast<DWORD>(Number(a[1], L"seconds"));
  WNDCLASSW wc = {};
  wc.lpfnWndProc = ListenProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"WdrvListen";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, wc.lpszClassName, a[0].c_str(), WS_OVERLAPPEDWINDOW, 600, 500, 200, 80, nullptr,
                           nullptr, wc.hInstance, nullptr);
  if (!w) return 1;
  Print(L"listening");
  return LiveFor(w, seconds);
}

struct Command {
  const wchar_t* name;
  size_t minArgs;
  size_t maxArgs;
  int (*run)(const Args&);
  const char* help;
};

const Command kCommands[] = {
    {L"find", 1, 1, CmdFind, "find WINDOW                     exit 0 when it exists (prints its handle)"},
    {L"visible", 1, 1, CmdVisible, "visible WINDOW                  exit 0 when it exists and is visible"},
    {L"count", 1, 1, CmdCount, "count TEXT                      how many top-level titles contain TEXT"},
    {L"wait", 1, 3, CmdWait, "wait WINDOW [MS] [visible|gone] wait until it appears (10000 ms by default)"},
    {L"post", 2, 1000, CmdPost, "post WINDOW ID [ID...]          post WM_COMMAND ID, each id in turn"},
    {L"close", 1, 1, CmdClose, "close WINDOW                    post WM_CLOSE"},
    {L"endsession", 1, 1, CmdEndSession, "endsession WINDOW               send WM_ENDSESSION (the session ends)"},
    {L"click", 2, 2, CmdClick, "click WINDOW CONTROL            a button click (BN_CLICKED to its parent)"},
    {L"check", 3, 3, CmdCheck, "check WINDOW CONTROL 0|1        set a check box"},
    {L"checked", 2, 2, CmdChecked, "checked WINDOW CONTROL          print a check box's state"},
    {L"text", 1, 2, CmdText, "text WINDOW [CONTROL]           print the window's or control's text"},
    {L"settext", 3, 3, CmdSetText, "settext WINDOW CONTROL TEXT     set a control's text (EN_CHANGE follows)"},
    {L"select", 3, 3, CmdSelect, "select WINDOW CONTROL INDEX     choose a combo or list box item"},
    {L"items", 2, 2, CmdItems, "items WINDOW CONTROL            print a list or combo box's items"},
    {L"controls", 1, 1, CmdControls, "controls WINDOW                 list descendants: id, class, flags, text"},
    {L"tree", 1, 2, CmdTree, "tree WINDOW [CONTROL]           print a tree view's top-level items"},
    {L"tab", 3, 3, CmdTab, "tab WINDOW CONTROL INDEX        select a tab (TCN_SELCHANGE to its parent)"},
    {L"listview", 1, 2, CmdListView, "listview WINDOW [CONTROL]       print a list view's rows as TSV"},
    {L"lvrect", 3, 3, CmdListViewRect, "lvrect WINDOW CONTROL ROW       a list view row's client rectangle"},
    {L"lvwidths", 1, 2, CmdListViewWidths, "lvwidths WINDOW [CONTROL]       a list view's column widths as TSV"},
    {L"mouse", 4, 5, CmdMouse, "mouse WINDOW CONTROL|- X Y [left|double|right|move|down|drag|up]"},
    {L"pixel", 4, 4, CmdPixel, "pixel WINDOW CONTROL|- X Y      the screen colour there, RRGGBB"},
    {L"differ", 7, 7, CmdDiffer, "differ WINDOW CONTROL|- X Y W H RRGGBB  count pixels not of that colour"},
    {L"screenpos", 4, 4, CmdScreenPos, "screenpos WINDOW CONTROL|- X Y  the screen point of client X Y"},
    {L"rect", 1, 2, CmdRect, "rect WINDOW [CONTROL]           screen rectangle: left top right bottom"},
    {L"textfit", 5, 5, CmdTextFit, "textfit WINDOW CONTROL FACE POINTS DPI  one-line text extent in that font, client size"},
    {L"menu", 2, 2, CmdMenu, "menu WINDOW ID|TEXT             a menu bar item's state as its popup shows it: enabled|grayed checked|unchecked"},
    {L"resize", 3, 3, CmdResize, "resize WINDOW WIDTH HEIGHT       set the window's outer size"},
    {L"scroll", 3, 4, CmdScroll, "scroll WINDOW CONTROL|- STEP [N]  scroll-bar steps: up|down|pageup|pagedown|top|bottom, left|right|pageleft|pageright|leftend|rightend"},
    {L"key", 3, 3, CmdKey, "key WINDOW CONTROL|- VK         a key press"},
    {L"shell", 0, 1, CmdShell, "shell [refuse]                  a stand-in notification area (see above) until WM_CLOSE"},
    {L"hold", 2, 6, CmdHold, "hold TITLE SECONDS [X Y W H]    keep a window with that title for a while"},
    {L"place", 1, 1, CmdPlace, "place WINDOW                    topmost 1|0 owner TITLE"},
    {L"serve", 0, 0, nullptr, "serve                           the commands one a line on stdin (see Serve)"},
    {L"listen", 2, 2, CmdListen, "listen TITLE SECONDS            a hidden window with that title; prints each WM_COMMAND it gets"},
};

int Usage(FILE* out) {
  std::fprintf(out,
               "usage: wdrv COMMAND ARGS...\n"
               "WINDOW: exact title, ~TEXT for a title containing TEXT, dialog:TITLE for a dialog, wndclass:NAME by class.\n"
               "CONTROL: a control id, or class:NAME[:N] for the N-th descendant of that class.\n");
  for (const Command& c : kCommands) std::fprintf(out, "  %s\n", c.help);
  return out == stdout ? 0 : 2;
}

// One command: its name, then its arguments.
int Run(const Args& line) {
  const std::wstring& name = line[0];
  if (name == L"--help" || name == L"-h") return Usage(stdout);
  for (const Command& c : kCommands) {
    if (name != c.name) continue;
    const Args args(line.begin() + 1, line.end());
    if (!c.run || args.size() < c.minArgs || args.size() > c.maxArgs) {
      std::fprintf(stderr, "usage: wdrv %s\n", c.help);
      return 2;
    }
    try {
      return c.run(args);
    } catch (const CommandExit& e) {
      return e.code;
    }
  }
  Error(L"unknown command " + name);
  return Usage(stderr);
}

std::wstring Wide(const std::string& utf8) {
  std::wstring w(utf8.size(), L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0],
                                    static_cast<int>(w.size()));
  w.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return w;
}

// serve: the commands one a line on stdin, their arguments apart by 0x1F
// (UTF-8), until an empty line or the end of stdin; after each command's
// output a line of 0x1E and its exit code. A test that drives a window a
// hundred times then starts Wine once instead of a hundred times.
int Serve() {
  _setmode(_fileno(stdin), _O_BINARY);  // text mode would end the input at a 0x1A byte
  std::string request;
  for (int c; (c = std::fgetc(stdin)) != EOF;) {
    if (c != '\n') {
      request.push_back(static_cast<char>(c));
      continue;
    }
    if (request.empty()) break;
    Args line;
    size_t from = 0;
    for (size_t at; (at = request.find('\x1f', from)) != std::string::npos; from = at + 1)
      line.push_back(Wide(request.substr(from, at - from)));
    line.push_back(Wide(request.substr(from)));
    request.clear();
    const int code = line[0] == L"serve" ? 2 : Run(line);
    std::printf("\x1e%d\n", code);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return Usage(stderr);
  if (argv[1] == std::wstring(L"serve") && argc == 2) return Serve();
  return Run(Args(argv + 1, argv + argc));
}
