#include "planner/shell/win/message_dialog.h"

#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/dpi.h"
#include "common/win/scoped_win.h"
#include "common/win/window.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/tavora_app.h"

namespace {
constexpr int kMaxTextWidth = 420;  // at 96 dpi

class CMessageDlg : public DialogImpl<CMessageDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  CMessageDlg(const std::string& text, UINT flags, int countdown) : text_(text), flags_(flags), left_(countdown) {}

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    LPCWSTR icon = (flags_ & 0xF0) == MB_ICONINFORMATION ? MAKEINTRESOURCEW(32516)   // IDI_INFORMATION
                   : (flags_ & 0xF0) == MB_ICONQUESTION  ? MAKEINTRESOURCEW(32514)   // IDI_QUESTION
                                                         : MAKEINTRESOURCEW(32515);  // IDI_WARNING
    SendDlgItemMessageW(Handle(), IDC_MESSAGE_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)), 0);
    SetItemText(IDC_MESSAGE_TEXT, text_);
    ArrangeButtons();
    FitToText();
    if (left_ > 0) {
      ShowCount();
      StartTimer(10, 29, 1000);
    }
    MessageBeep(flags_ & 0xF0);
    return TRUE;
  }

  void ArrangeButtons() {
    const UINT type = flags_ & 0x0F;
    const bool yesNo = type == MB_YESNO;
    const bool okOnly = type == MB_OK || (flags_ & kMessageContinue);
    ShowWindow(Item(IDYES), yesNo ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDNO), yesNo ? SW_SHOW : SW_HIDE);
    ShowWindow(Item(IDOK), yesNo ? SW_HIDE : SW_SHOW);
    ShowWindow(Item(IDCANCEL), yesNo || okOnly ? SW_HIDE : SW_SHOW);
    if (flags_ & kMessageContinue) SetItemText(IDOK, J(u8"続行"));
    if (okOnly) {
      // A single button takes the place of the right one.
      RECT r;
      GetWindowRect(Item(IDCANCEL), &r);
      MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
      SetWindowPos(Item(IDOK), nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
  }

  // Grows the dialog when the text needs more room than the template gives.
  void FitToText() {
    HWND label = Item(IDC_MESSAGE_TEXT);
    RECT box;
    GetWindowRect(label, &box);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    RECT need = {0, 0, Scaled(kMaxTextWidth), 0};
    {
      WindowDC dc(label);
      SelectInDc select(dc.Get(), font);
      DrawCp932Text(dc.Get(), text_, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    const int dx = need.right - (box.right - box.left);
    const int dy = need.bottom - (box.bottom - box.top);
    const int growX = dx > 0 ? dx : 0;
    const int growY = dy > 0 ? dy : 0;
    if (!growX && !growY) return;
    SetWindowPos(label, nullptr, 0, 0, box.right - box.left + growX, box.bottom - box.top + growY,
                 SWP_NOMOVE | SWP_NOZORDER);
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO, IDC_MESSAGE_COUNT}) {
      HWND w = Item(id);
      if (!w) continue;
      RECT r;
      GetWindowRect(w, &r);
      MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
      // The buttons keep to the right edge; the count stays under the text.
      const int x = id == IDC_MESSAGE_COUNT ? r.left : r.left + growX;
      SetWindowPos(w, nullptr, x, r.top + growY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT self;
    GetWindowRect(Handle(), &self);
    SetWindowPos(Handle(), nullptr, 0, 0, self.right - self.left + growX, self.bottom - self.top + growY,
                 SWP_NOMOVE | SWP_NOZORDER);
  }

  void ShowCount() { SetItemText(IDC_MESSAGE_COUNT, std::to_string(left_) + J(u8" 秒後に自動的に閉じます")); }

  INT_PTR OnTimer(WPARAM, LPARAM) {
    if (--left_ <= 0) {
      End(IDCANCEL);
      return TRUE;
    }
    ShowCount();
    return TRUE;
  }
  void OnYes() { End(IDYES); }
  void OnNo() { End(IDNO); }

  std::string text_;
  UINT flags_;
  int left_;
};
const CMessageDlg::MessageEntry CMessageDlg::kMessages[] = {
    {WM_INITDIALOG, &CMessageDlg::OnInitDialog}, {WM_TIMER, &CMessageDlg::OnTimer}, {0, nullptr}};
const CMessageDlg::CommandEntry CMessageDlg::kCommands[] = {
    {IDYES, &CMessageDlg::OnYes}, {IDNO, &CMessageDlg::OnNo}, {0, nullptr}};

class CServerFailureDlg : public DialogImpl<CServerFailureDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  bool ticked = false;

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    SendDlgItemMessageW(Handle(), IDC_MESSAGE_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(32515))), 0);
    MessageBeep(MB_ICONEXCLAMATION);
    return TRUE;
  }
  void OnOk() {
    ticked = Checked(IDC_MESSAGE_NO_MORE);
    End(IDOK);
  }
};
const CServerFailureDlg::MessageEntry CServerFailureDlg::kMessages[] = {
    {WM_INITDIALOG, &CServerFailureDlg::OnInitDialog}, {0, nullptr}};
const CServerFailureDlg::CommandEntry CServerFailureDlg::kCommands[] = {
    {IDOK, &CServerFailureDlg::OnOk}, {IDCANCEL, &CServerFailureDlg::OnOk}, {0, nullptr}};
}  // namespace

int MessageDialog(HWND owner, const std::string& text, UINT flags, int countdownSeconds) {
  CMessageDlg dialog(text, flags, countdownSeconds);
  return static_cast<int>(
      dialog.RunModal(TheApp().instance, countdownSeconds > 0 ? IDD_MESSAGE_COUNTDOWN : IDD_MESSAGE, owner));
}

bool ShowServerFailureMessage(HWND owner) {
  CServerFailureDlg dialog;
  dialog.RunModal(TheApp().instance, IDD_SERVER_FAILURE, owner);
  return dialog.ticked;
}
