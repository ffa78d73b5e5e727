// Windows and dialogs of the framework, as real windows: what reaches a
// class's handlers and what the framework does with what no table lists.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/window.h"
#include "tests/common/win/window_framework_test.h"

namespace {

constexpr UINT_PTR kGiveUpTimer = 77;
constexpr INT_PTR kGaveUp = -7;

// Messages until `done` holds or 5 s have passed.
template <class Done>
bool PumpUntil(Done done) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > 5000) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// A dialog that sends itself `commands` once it is up; one that would never
// end ends after 5 s with kGaveUp.
class CPlainDlg : public DialogImpl<CPlainDlg> {
 public:
  static const MessageEntry kMessages[];
  explicit CPlainDlg(std::vector<int> commands = {}) : commands_(std::move(commands)) {}

 private:
  INT_PTR OnInit(WPARAM, LPARAM) {
    for (int id : commands_) PostCommand(id);
    SetTimer(Handle(), kGiveUpTimer, 5000, nullptr);
    return TRUE;
  }
  INT_PTR OnTimer(WPARAM, LPARAM) {
    End(kGaveUp);
    return TRUE;
  }
  std::vector<int> commands_;
};
const CPlainDlg::MessageEntry CPlainDlg::kMessages[] = {
    {WM_INITDIALOG, &CPlainDlg::OnInit}, {WM_TIMER, &CPlainDlg::OnTimer}, {0, nullptr}};

// The same, with its own IDOK: OK checks the box and leaves the dialog open.
class COwnOkDlg : public DialogImpl<COwnOkDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  int oks = 0;

 private:
  INT_PTR OnInit(WPARAM, LPARAM) {
    PostCommand(IDOK);
    PostCommand(IDCANCEL);
    SetTimer(Handle(), kGiveUpTimer, 5000, nullptr);
    return TRUE;
  }
  INT_PTR OnTimer(WPARAM, LPARAM) {
    End(kGaveUp);
    return TRUE;
  }
  void OnOk() { ++oks; }
};
const COwnOkDlg::MessageEntry COwnOkDlg::kMessages[] = {
    {WM_INITDIALOG, &COwnOkDlg::OnInit}, {WM_TIMER, &COwnOkDlg::OnTimer}, {0, nullptr}};
const COwnOkDlg::CommandEntry COwnOkDlg::kCommands[] = {{IDOK, &COwnOkDlg::OnOk}, {0, nullptr}};

// A dialog with no tables at all.
class CBareDlg : public DialogImpl<CBareDlg> {};

TEST(DialogDefaults, AModalDialogEndsWithTheOkOrCancelItDoesNotList) {
  for (int id : {IDOK, IDCANCEL}) {
    CPlainDlg dialog({id});
    EXPECT_EQ(dialog.RunModal(GetModuleHandleW(nullptr), IDD_TEST_TOP, nullptr), id);
  }
}

TEST(DialogDefaults, AListedOkIsTheClassesAndDoesNotEndTheDialog) {
  COwnOkDlg dialog;
  EXPECT_EQ(dialog.RunModal(GetModuleHandleW(nullptr), IDD_TEST_TOP, nullptr), IDCANCEL);
  EXPECT_EQ(dialog.oks, 1);
}

TEST(DialogDefaults, AModelessDialogIsDestroyedByOkOrCancelButAPageIsNot) {
  for (int id : {IDOK, IDCANCEL}) {
    CBareDlg dialog;
    HWND hwnd = dialog.CreateModeless(GetModuleHandleW(nullptr), IDD_TEST_TOP, nullptr);
    ASSERT_NE(hwnd, nullptr);
    dialog.PostCommand(id);
    EXPECT_TRUE(PumpUntil([&] { return dialog.Handle() == nullptr; })) << id;
    EXPECT_FALSE(IsWindow(hwnd));
  }
  // A page inside a sheet leaves OK and Cancel to the sheet.
  HWND sheet = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(sheet, nullptr);
  {
    CBareDlg page;
    ASSERT_NE(page.CreateModeless(GetModuleHandleW(nullptr), IDD_TEST_CHILD, sheet), nullptr);
    SendMessageW(page.Handle(), WM_COMMAND, IDCANCEL, 0);
    SendMessageW(page.Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindow(page.Handle()));
  }
  DestroyWindow(sheet);
}

TEST(DialogItems, TextNumbersAndChecksOfTheItems) {
  CBareDlg dialog;
  ASSERT_NE(dialog.CreateModeless(GetModuleHandleW(nullptr), IDD_TEST_TOP, nullptr), nullptr);
  const std::string japanese = J(u8"番組表の配色");
  dialog.SetItemText(IDC_TEST_EDIT, japanese);
  EXPECT_EQ(dialog.ItemText(IDC_TEST_EDIT), japanese);
  UINT n = 99;
  EXPECT_FALSE(dialog.ItemNumber(IDC_TEST_EDIT, &n));
  EXPECT_EQ(n, 99u);  // left alone when the item shows no number
  dialog.SetItemNumber(IDC_TEST_EDIT, 23);
  EXPECT_TRUE(dialog.ItemNumber(IDC_TEST_EDIT, &n));
  EXPECT_EQ(n, 23u);
  dialog.SetItemText(IDC_TEST_EDIT, std::string());
  EXPECT_EQ(dialog.ItemText(IDC_TEST_EDIT), std::string());
  EXPECT_FALSE(dialog.Checked(IDC_TEST_CHECK));
  dialog.Check(IDC_TEST_CHECK, true);
  EXPECT_TRUE(dialog.Checked(IDC_TEST_CHECK));
  dialog.Enable(IDC_TEST_CHECK, false);
  EXPECT_FALSE(IsWindowEnabled(dialog.Item(IDC_TEST_CHECK)));
}

// A window that lists only commands and a registered message.
class CCommandsOnly : public WindowImpl<CCommandsOnly> {
 public:
  static const RegisteredEntry kRegistered[];
  static const CommandEntry kCommands[];
  std::vector<std::string> calls;

 private:
  LRESULT OnWake(WPARAM w, LPARAM) {
    calls.push_back("wake " + std::to_string(w));
    return 55;
  }
  void OnEdit(UINT code) { calls.push_back("edit " + std::to_string(code)); }
};
const CCommandsOnly::RegisteredEntry CCommandsOnly::kRegistered[] = {
    {"LumiventFrameworkTestWake", &CCommandsOnly::OnWake}, {0, nullptr}};
const CCommandsOnly::CommandEntry CCommandsOnly::kCommands[] = {{1001, &CCommandsOnly::OnEdit}, {0, nullptr}};

TEST(WindowDispatch, AWindowWithoutAMessageTableGetsItsCommandsAndRegisteredMessages) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  ASSERT_TRUE(Window::Register(instance, L"LumiventFrameworkTest", 0, nullptr, nullptr));
  CCommandsOnly window;
  const RECT rect = {0, 0, 10, 10};
  ASSERT_NE(window.Create(instance, L"LumiventFrameworkTest", "t", 0, 0, rect, HWND_MESSAGE, nullptr), nullptr);
  const UINT wake = RegisterWindowMessageA("LumiventFrameworkTestWake");
  EXPECT_EQ(SendMessageW(window.Handle(), wake, 8, 0), 55);
  SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(1001, EN_CHANGE), 0);
  SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(1002, EN_CHANGE), 0);
  // Unlisted messages still reach the default procedure.
  wchar_t title[8] = {};
  EXPECT_EQ(SendMessageW(window.Handle(), WM_GETTEXT, 8, reinterpret_cast<LPARAM>(title)), 1);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"wake 8", "edit 768"}));
}

}  // namespace
