#include "nexa_dialogs.h"

#include "common/text.h"
#include "resource.h"

namespace {
void CenterOnScreen(HWND dialog) {
  RECT r;
  GetWindowRect(dialog, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  SetWindowPos(dialog, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
}  // namespace

const CAskSwitchDlg::MessageEntry CAskSwitchDlg::kMessages[] = {
    {WM_INITDIALOG, &CAskSwitchDlg::OnInitDialog},
    {0, nullptr},
};
const CAskSwitchDlg::CommandEntry CAskSwitchDlg::kCommands[] = {
    {IDYES, &CAskSwitchDlg::OnYes},
    {IDNO, &CAskSwitchDlg::OnNo},
    {IDCANCEL, &CAskSwitchDlg::OnClose},
    // Enter is no answer: the question waits for はい or いいえ.
    {IDOK, &CAskSwitchDlg::KeepOpen},
    {0, nullptr},
};

INT_PTR CAskSwitchDlg::OnInitDialog(WPARAM, LPARAM) {
  SendDlgItemMessageW(Handle(), IDC_ASK_ICON, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)),
                      0);
  SetItemText(IDC_ASK_TEXT, question_);
  CenterOnScreen(Handle());
  return TRUE;
}

void CAskSwitchDlg::Finish(int answer) {
  dontAskAgain_ = Checked(IDC_DONT_ASK);
  End(answer);
}

const CSettingsDlg::MessageEntry CSettingsDlg::kMessages[] = {
    {WM_INITDIALOG, &CSettingsDlg::OnInitDialog},
    {WM_TIMER, &CSettingsDlg::OnTimer},
    {0, nullptr},
};
const CSettingsDlg::CommandEntry CSettingsDlg::kCommands[] = {
    {IDOK, &CSettingsDlg::OnOk},
    {IDCANCEL, &CSettingsDlg::OnCancel},
    {0, nullptr},
};

INT_PTR CSettingsDlg::OnInitDialog(WPARAM, LPARAM) {
  const int button = mode_ == 0 ? IDC_MODE_AUTO : mode_ == 2 ? IDC_MODE_NEVER : mode_ == 1 ? IDC_MODE_ASK : 0;
  if (button) CheckRadioButton(Handle(), IDC_MODE_AUTO, IDC_MODE_ASK, button);
  CenterOnScreen(Handle());
  ShowChannel();
  // The channel can switch while the dialog is open.
  refreshTimer_ = StartTimer(kRefreshTimer, kRefreshTimer, 1000);
  return TRUE;
}

INT_PTR CSettingsDlg::OnTimer(WPARAM id, LPARAM) {
  if (refreshTimer_ && id == refreshTimer_) ShowChannel();
  return TRUE;
}

void CSettingsDlg::ShowChannel() {
  const std::string name = channelName_();
  SetItemText(IDC_CHANNEL_NAME, name.empty() ? LoadCp932String(instance_, IDS_NO_CHANNEL) : name);
}

void CSettingsDlg::OnOk() {
  if (Checked(IDC_MODE_AUTO)) mode_ = 0;
  else if (Checked(IDC_MODE_NEVER)) mode_ = 2;
  else if (Checked(IDC_MODE_ASK)) mode_ = 1;
  End(IDOK);
}

const CNexaAboutDlg::MessageEntry CNexaAboutDlg::kMessages[] = {
    {WM_INITDIALOG, &CNexaAboutDlg::OnInitDialog},
    {0, nullptr},
};
const CNexaAboutDlg::CommandEntry CNexaAboutDlg::kCommands[] = {
    {IDOK, &CNexaAboutDlg::OnOk},
    {IDCANCEL, &CNexaAboutDlg::OnOk},
    {0, nullptr},
};

INT_PTR CNexaAboutDlg::OnInitDialog(WPARAM, LPARAM) {
  CenterOnScreen(Handle());
  return TRUE;
}
