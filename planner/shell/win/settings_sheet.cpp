// The settings sheet: tab switching, the "更新" state and the save.
#include "planner/shell/win/settings_sheet.h"

#include <commctrl.h>

#include "common/peer_names.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/peers.h"
#include "planner/shell/win/resource.h"

namespace {

// An empty page for the colour tab while the timetable has no model.
class CBlankPage : public SettingsPageWindow {
 public:
  HWND CreatePage(HINSTANCE, HWND sheet) override {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, sheet, nullptr, nullptr, nullptr);
    return hwnd_;
  }
  HWND PageWindow() const override { return hwnd_ && IsWindow(hwnd_) ? hwnd_ : nullptr; }
  bool Changed() const override { return false; }
  bool Save() override { return true; }

 private:
  HWND hwnd_ = nullptr;
};

const char* const kTabTexts[kTabCount] = {
    u8" フォルダ ", u8" 配色デザイン ", u8"受信時プロパティ", u8"番組表取得の設定", u8"キーワード検索予約", u8"古いコンテンツの削除",
};

class CSettingsSheet : public DialogImpl<CSettingsSheet> {
 public:
  explicit CSettingsSheet(SettingsContext& context) : context_(context) {
    pages_.push_back(MakeFolderPage(context));
    pages_.push_back(MakeColourPage(context));
    if (!pages_.back()) pages_.back() = std::make_unique<CBlankPage>();
    pages_.push_back(MakeReceptionPage(context));
    pages_.push_back(MakeGuidePage(context));
    pages_.push_back(MakeKeywordPage(context));
    pages_.push_back(MakeOldContentPage(context));
  }
  bool saved = false;

  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    HWND tab = Item(IDC_SET_TAB);
    for (int i = 0; i < kTabCount; ++i) {
      std::wstring text = Cp932ToWide(J(kTabTexts[i]));
      TCITEMW item = {};
      item.mask = TCIF_TEXT;
      item.pszText = &text[0];
      SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    ShowTab(0);
    return TRUE;
  }

  INT_PTR OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR* n = reinterpret_cast<const NMHDR*>(lParam);
    if (n->idFrom == IDC_SET_TAB && n->code == TCN_SELCHANGE) {
      ShowTab(static_cast<int>(SendMessageW(Item(IDC_SET_TAB), TCM_GETCURSEL, 0, 0)));
    }
    return FALSE;
  }

  void ShowTab(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return;
    if (current_ >= 0 && pages_[current_]->PageWindow()) ShowWindow(pages_[current_]->PageWindow(), SW_HIDE);
    SettingsPageWindow& page = *pages_[index];
    if (!page.PageWindow()) page.CreatePage(context_.instance, Handle());
    if (HWND w = page.PageWindow()) {
      RECT area;
      HWND tab = Item(IDC_SET_TAB);
      GetWindowRect(tab, &area);
      MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&area), 2);
      SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
      SetWindowPos(w, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, SWP_SHOWWINDOW);
    }
    SendMessageW(Item(IDC_SET_TAB), TCM_SETCURSEL, index, 0);
    current_ = index;
  }

  std::vector<SettingsPageCore*> Pages() const {
    std::vector<SettingsPageCore*> pages;
    for (const auto& p : pages_) pages.push_back(p.get());
    return pages;
  }

  void OnChanged() { Enable(IDC_SET_APPLY, AnySettingsPageChanged(Pages())); }

  bool SaveAll() {
    SheetSaveResult r = SaveSettingsPages(Pages(), [this] {
      TellUnitToReloadSettings();
      saved = true;
      if (context_.redraw) context_.redraw();
    });
    if (!r.complete) {
      ShowTab(r.refusedTab);
      return false;
    }
    OnChanged();
    return true;
  }

  void OnOk() {
    if (SaveAll()) End(IDOK);
  }
  void OnApply() { SaveAll(); }

  SettingsContext& context_;
  std::vector<std::unique_ptr<SettingsPageWindow>> pages_;
  int current_ = -1;
};

const CSettingsSheet::MessageEntry CSettingsSheet::kMessages[] = {
    {WM_INITDIALOG, &CSettingsSheet::OnInitDialog},
    {WM_NOTIFY, &CSettingsSheet::OnNotify},
    {0, nullptr},
};
const CSettingsSheet::CommandEntry CSettingsSheet::kCommands[] = {
    {IDOK, &CSettingsSheet::OnOk},
    {IDC_SET_APPLY, &CSettingsSheet::OnApply},
    {ID_SETTINGS_CHANGED, &CSettingsSheet::OnChanged},
    {0, nullptr},
};

}  // namespace

void TellUnitToReloadSettings() {
  if (HWND unit = FindUnitWindow()) {
    PostMessageW(unit, WM_COMMAND, peer::kCmdUnitReloadSettings, 0);
  }
}

void NotifySheetChanged(HWND page) { PostMessageW(GetParent(page), WM_COMMAND, ID_SETTINGS_CHANGED, 0); }

bool OpenSettingsSheet(HWND owner, SettingsContext& context) {
  CSettingsSheet sheet(context);
  sheet.RunModal(context.instance, IDD_SETTINGS_SHEET, owner);
  return sheet.saved;
}
