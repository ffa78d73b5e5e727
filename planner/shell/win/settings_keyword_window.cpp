// The keyword page (dialog 290): ten conditions behind the radios "1"-"10"
// and a spin; the keyword box remembers the input method's state.
#include <windows.h>

#include <commctrl.h>
#include <imm.h>

#include <memory>

#include "common/settings.h"
#include "common/win/scoped_win.h"
#include "planner/shell/settings_keyword_page.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/settings_page_base.h"

namespace {

// IMM32 is looked up at run time: a system without an input method still
// shows the page.
class InputMethod {
 public:
  InputMethod() {
    module_.Reset(LoadLibraryW(L"imm32.dll"));
    if (!module_) return;
    Resolve(&getContext_, "ImmGetContext");
    Resolve(&releaseContext_, "ImmReleaseContext");
    Resolve(&getOpen_, "ImmGetOpenStatus");
    Resolve(&setOpen_, "ImmSetOpenStatus");
  }
  InputMethod(const InputMethod&) = delete;
  InputMethod& operator=(const InputMethod&) = delete;

  // Opens or closes the input method of the window; returns the state it had.
  bool Switch(HWND window, bool open) {
    if (!getContext_ || !releaseContext_ || !getOpen_ || !setOpen_) return false;
    HIMC context = getContext_(window);
    if (!context) return false;
    const bool was = getOpen_(context) != FALSE;
    setOpen_(context, open ? TRUE : FALSE);
    releaseContext_(window, context);
    return was;
  }
  bool IsOpen(HWND window) {
    if (!getContext_ || !releaseContext_ || !getOpen_) return false;
    HIMC context = getContext_(window);
    if (!context) return false;
    const bool open = getOpen_(context) != FALSE;
    releaseContext_(window, context);
    return open;
  }

 private:
  template <class F>
  void Resolve(F* fn, const char* name) {
    *fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_.Get(), name)));
  }
  using GetContextFn = HIMC(WINAPI*)(HWND);
  using ReleaseContextFn = BOOL(WINAPI*)(HWND, HIMC);
  using GetOpenFn = BOOL(WINAPI*)(HIMC);
  using SetOpenFn = BOOL(WINAPI*)(HIMC, BOOL);
  ScopedModule module_;
  GetContextFn getContext_ = nullptr;
  ReleaseContextFn releaseContext_ = nullptr;
  GetOpenFn getOpen_ = nullptr;
  SetOpenFn setOpen_ = nullptr;
};

// The state the keyword box had when it was last left; open the first time.
bool g_keywordImeOpen = true;

class CKeywordPage : public CSettingsPage<CKeywordPage> {
 public:
  static constexpr int kDialogId = IDD_SETTINGS_KEYWORD;
  using CSettingsPage::CSettingsPage;
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  bool Changed() const override { return Handle() && model_.Changed(); }
  bool Save() override {
    if (!model_.Loaded()) return true;
    model_.Save(*context_.settings);
    FillHistory();
    ShowCondition();
    // The guide is shown again and searched with the new conditions.
    if (context_.mainFrame) PostMessageW(context_.mainFrame, WM_COMMAND, ID_REDISPLAY, 0);
    return true;
  }

 private:
  HWND Keyword() const { return Item(IDC_KW_KEYWORD); }

  void FillHistory() {
    const std::string typed = ItemText(IDC_KW_KEYWORD);
    SendMessageW(Keyword(), CB_RESETCONTENT, 0, 0);
    for (const std::string& k : model_.History()) {
      SendMessageW(Keyword(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Cp932ToWide(k).c_str()));
    }
    SetItemText(IDC_KW_KEYWORD, typed);
  }

  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    loading_ = true;
    model_.Load(*context_.settings);
    FillHistory();
    for (const std::string& c : context_.channels) {
      SendMessageW(Item(IDC_KW_CHANNEL), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Cp932ToWide(c).c_str()));
    }
    SendMessageW(Item(IDC_KW_SPIN), UDM_SETRANGE32, 0, kKeywordConditionCount - 1);
    ShowCondition();
    loading_ = false;
    return TRUE;
  }

  // The controls from the working copy of the shown condition.
  void ShowCondition() {
    const bool was = loading_;
    loading_ = true;
    const int n = model_.Shown();
    CheckRadioButton(Handle(), IDC_KW_NUMBER_1, IDC_KW_NUMBER_10, IDC_KW_NUMBER_1 + n);
    SendMessageW(Item(IDC_KW_SPIN), UDM_SETPOS32, 0, n);
    const KeywordCondition& c = model_.Working();
    SetItemText(IDC_KW_KEYWORD, c.keyword);
    Check(IDC_KW_USE, c.use == 1);
    CheckRadioButton(Handle(), IDC_KW_ALWAYS, IDC_KW_ONCE, c.life ? IDC_KW_ONCE : IDC_KW_ALWAYS);
    CheckRadioButton(Handle(), IDC_KW_TITLE, IDC_KW_REFER, c.refer == 1 && c.name != 1 ? IDC_KW_REFER : IDC_KW_TITLE);
    Check(IDC_KW_CHANNEL_CHECK, !c.channel.empty());
    Enable(IDC_KW_CHANNEL, !c.channel.empty());
    const LRESULT at = SendMessageW(Item(IDC_KW_CHANNEL), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(Cp932ToWide(c.channel).c_str()));
    SendMessageW(Item(IDC_KW_CHANNEL), CB_SETCURSEL, c.channel.empty() ? static_cast<WPARAM>(-1) : at, 0);
    loading_ = was;
  }

  std::string ChosenChannel() const {
    const LRESULT sel = SendMessageW(Item(IDC_KW_CHANNEL), CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return std::string();
    const LRESULT n = SendMessageW(Item(IDC_KW_CHANNEL), CB_GETLBTEXTLEN, sel, 0);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    SendMessageW(Item(IDC_KW_CHANNEL), CB_GETLBTEXT, sel, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(n));
    return WideToCp932(text);
  }

  void ChannelLimit() {
    const bool on = Checked(IDC_KW_CHANNEL_CHECK);
    model_.SetChannelLimit(on, on ? ChosenChannel() : std::string(), context_.channels);
    Enable(IDC_KW_CHANNEL, on);
    ShowCondition();
  }

  void Select(int n) {
    if (n < 0 || n >= kKeywordConditionCount || n == model_.Shown()) return;
    model_.Show(n);
    ShowCondition();
  }

  // Every notice of the condition's controls (not while they are filled)
  // may change the working copy: the sheet then compares it.
  void OnKeyword(UINT code) {
    if (loading_) return;
    if (code == CBN_EDITCHANGE) model_.SetKeyword(ItemText(IDC_KW_KEYWORD));
    // The chosen entry is in the edit only once the selection has settled.
    if (code == CBN_SELCHANGE) PostCommand(ID_SETTINGS_CHANGED);
    if (code == CBN_SETFOCUS) imeBefore_ = ime_.Switch(Keyword(), g_keywordImeOpen);
    if (code == CBN_KILLFOCUS) {
      g_keywordImeOpen = ime_.IsOpen(Keyword());
      ime_.Switch(Keyword(), imeBefore_);
    }
    NotifyChange();
  }
  void OnKeywordSettled() { Edited([this] { model_.SetKeyword(ItemText(IDC_KW_KEYWORD)); }); }
  void OnUse() { Edited([this] { model_.SetUse(Checked(IDC_KW_USE)); }); }
  void OnApplyOnce() { Edited([this] { model_.SetApplyOnce(Checked(IDC_KW_ONCE)); }); }
  void OnSearchTitle() { Edited([this] { model_.SetSearchTitle(Checked(IDC_KW_TITLE)); }); }
  void OnChannelCheck() { Edited([this] { ChannelLimit(); }); }
  void OnChannel(UINT code) {
    Edited([&] {
      if (code == CBN_SELCHANGE) model_.SetChannelLimit(true, ChosenChannel(), context_.channels);
    });
  }
  void OnNumber(int id, UINT) {
    if (!loading_ && id >= IDC_KW_NUMBER_1 && id <= IDC_KW_NUMBER_10) Select(id - IDC_KW_NUMBER_1);
  }
  template <class Change>
  void Edited(Change change) {
    if (loading_) return;
    change();
    NotifyChange();
  }

  INT_PTR OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR* n = reinterpret_cast<const NMHDR*>(lParam);
    if (n->idFrom == IDC_KW_SPIN && n->code == UDN_DELTAPOS) {
      const NMUPDOWN* ud = reinterpret_cast<const NMUPDOWN*>(lParam);
      Select(model_.Shown() + ud->iDelta);
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);  // the position follows the radios
      return TRUE;
    }
    return FALSE;
  }

  KeywordPageModel model_;
  InputMethod ime_;
  bool imeBefore_ = false;
};

const CKeywordPage::MessageEntry CKeywordPage::kMessages[] = {{WM_INITDIALOG, &CKeywordPage::OnInitDialog},
                                                              {WM_NOTIFY, &CKeywordPage::OnNotify},
                                                              {0, nullptr}};
const CKeywordPage::CommandEntry CKeywordPage::kCommands[] = {
    {IDC_KW_KEYWORD, &CKeywordPage::OnKeyword},
    {ID_SETTINGS_CHANGED, &CKeywordPage::OnKeywordSettled},
    {IDC_KW_USE, &CKeywordPage::OnUse},
    {IDC_KW_ALWAYS, &CKeywordPage::OnApplyOnce},
    {IDC_KW_ONCE, &CKeywordPage::OnApplyOnce},
    {IDC_KW_TITLE, &CKeywordPage::OnSearchTitle},
    {IDC_KW_REFER, &CKeywordPage::OnSearchTitle},
    {IDC_KW_CHANNEL_CHECK, &CKeywordPage::OnChannelCheck},
    {IDC_KW_CHANNEL, &CKeywordPage::OnChannel},
    // The condition number radios 1 ... 10.
    {kAnyCommand, BN_CLICKED, &CKeywordPage::OnNumber},
    {0, nullptr},
};

}  // namespace

std::unique_ptr<SettingsPageWindow> MakeKeywordPage(SettingsContext& c) { return std::make_unique<CKeywordPage>(c); }
