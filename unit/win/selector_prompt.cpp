#include "selector_prompt.h"

#include "common/peer_names.h"
#include "common/settings.h"
#include "common/win/dialog.h"
#include "resource.h"

namespace {
bool SelectorRunning() { return FindWindowA(nullptr, peer::kSelectorWindowTitle) != nullptr; }

class CSelectorPromptDlg : public DialogImpl<CSelectorPromptDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    MessageBeep(0);
    SendDlgItemMessageW(Handle(), IDC_PROMPT_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_INFORMATION)), 0);
    timer_ = StartTimer(10, 49, 1000);
    return TRUE;
  }
  INT_PTR OnTimer(WPARAM wParam, LPARAM) {
    if (wParam != timer_) return TRUE;
    if (SelectorRunning() || ++checks_ > 60) End(IDOK);
    return TRUE;
  }
  void OnOk() { End(IDOK); }

  UINT_PTR timer_ = 0;
  int checks_ = 0;
};

const CSelectorPromptDlg::MessageEntry CSelectorPromptDlg::kMessages[] = {
    {WM_INITDIALOG, &CSelectorPromptDlg::OnInitDialog},
    {WM_TIMER, &CSelectorPromptDlg::OnTimer},
    {0, nullptr},
};
const CSelectorPromptDlg::CommandEntry CSelectorPromptDlg::kCommands[] = {
    {IDCANCEL, &CSelectorPromptDlg::OnOk},
    {0, nullptr},
};
}  // namespace

void CheckSelector(HINSTANCE instance, HWND owner, Settings& settings) {
  std::string path;
  const std::string key = LoadCp932String(instance, IDS_SELECTOR_KEY);
  if (!settings.ReadText(Hive::LocalMachine, key, "Path", &path)) return;
  if (SelectorRunning()) return;
  CSelectorPromptDlg prompt;
  prompt.RunModal(instance, IDD_SELECTOR_PROMPT, owner);
}
