// The program filter (140), title order (134) and category group (137) dialogs.
#include <windows.h>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>
#include "common/settings.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "planner/guide/guide_program.h"
#include "planner/timetable/tavora_doc.h"
#include "planner/timetable/timetable_model.h"
#include "planner/timetable/win/timetable_dialogs.h"
#include "planner/timetable/win/timetable_resource.h"

namespace {

constexpr std::size_t kNone = std::string::npos;

void FillList(HWND list, const std::vector<std::string>& items, std::size_t select) {
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& i : items) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Cp932ToWide(i).c_str()));
  if (select != kNone && select < items.size()) SendMessageW(list, LB_SETCURSEL, select, 0);
}

std::size_t Selected(HWND list) {
  LRESULT s = SendMessageW(list, LB_GETCURSEL, 0, 0);
  return s == LB_ERR ? kNone : static_cast<std::size_t>(s);
}

// --- program filter ---

class CFilterDialog : public DialogImpl<CFilterDialog> {
 public:
  CFilterDialog(const DisplayRules& rules, const std::vector<GuideProgram*>& guide)
      : lists(OpenFilterLists(rules, guide)) {}
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  FilterLists lists;

 private:
  // One pair of lists and its two buttons.
  struct Pair {
    std::vector<std::string> FilterLists::*left;
    std::vector<std::string> FilterLists::*right;
    int leftId, rightId, toLeftButton, toRightButton;
  };
  static const Pair kPairs[3];

  INT_PTR OnInit(WPARAM, LPARAM) {
    for (const Pair& p : kPairs) Refresh(p, 0, 0);
    CheckRadioButton(Handle(), IDC_FILTER_CAT_EXCLUDE, IDC_FILTER_CAT_HIDE,
                     lists.categoryFlag == 0 ? IDC_FILTER_CAT_EXCLUDE : IDC_FILTER_CAT_HIDE);
    return TRUE;
  }
  void OnOk() {
    lists.categoryFlag = Checked(IDC_FILTER_CAT_EXCLUDE) ? 0 : 1;
    End(IDOK);
  }
  // A pair's button, or a double click in one of its lists, moves the
  // selected entry across.
  void OnMove(int id, UINT) {
    for (const Pair& p : kPairs) {
      if (id == p.toLeftButton || id == p.rightId) Move(p, false);
      else if (id == p.toRightButton || id == p.leftId) Move(p, true);
    }
  }
  void Move(const Pair& p, bool toRight) {
    std::vector<std::string>& from = lists.*(toRight ? p.left : p.right);
    std::vector<std::string>& to = lists.*(toRight ? p.right : p.left);
    const std::size_t at = Selected(Item(toRight ? p.leftId : p.rightId));
    if (at == kNone) return;
    const std::size_t next = MoveBetween(from, to, at);
    Refresh(p, toRight ? next : kNone, toRight ? kNone : next);
  }
  void Refresh(const Pair& p, std::size_t leftSel, std::size_t rightSel) {
    FillList(Item(p.leftId), lists.*p.left, leftSel);
    FillList(Item(p.rightId), lists.*p.right, rightSel);
    Enable(p.toLeftButton, !(lists.*p.right).empty());
    Enable(p.toRightButton, !(lists.*p.left).empty());
  }
};

const CFilterDialog::Pair CFilterDialog::kPairs[3] = {
    {&FilterLists::hiddenChannels, &FilterLists::shownChannels, IDC_FILTER_CH_HIDDEN, IDC_FILTER_CH_SHOWN,
     IDC_FILTER_CH_LEFT, IDC_FILTER_CH_RIGHT},
    {&FilterLists::hiddenSeries, &FilterLists::shownSeries, IDC_FILTER_SERIES_HIDDEN, IDC_FILTER_SERIES_SHOWN,
     IDC_FILTER_SERIES_LEFT, IDC_FILTER_SERIES_RIGHT},
    {&FilterLists::selectedCats, &FilterLists::unselectedCats, IDC_FILTER_CAT_SELECTED, IDC_FILTER_CAT_UNSELECTED,
     IDC_FILTER_CAT_LEFT, IDC_FILTER_CAT_RIGHT},
};
const CFilterDialog::MessageEntry CFilterDialog::kMessages[] = {{WM_INITDIALOG, &CFilterDialog::OnInit},
                                                               {0, nullptr}};
const CFilterDialog::CommandEntry CFilterDialog::kCommands[] = {
    {IDOK, &CFilterDialog::OnOk},
    {IDC_FILTER_CH_LEFT, &CFilterDialog::OnMove},
    {IDC_FILTER_CH_RIGHT, &CFilterDialog::OnMove},
    {IDC_FILTER_SERIES_LEFT, &CFilterDialog::OnMove},
    {IDC_FILTER_SERIES_RIGHT, &CFilterDialog::OnMove},
    {IDC_FILTER_CAT_LEFT, &CFilterDialog::OnMove},
    {IDC_FILTER_CAT_RIGHT, &CFilterDialog::OnMove},
    {IDC_FILTER_CH_HIDDEN, LBN_DBLCLK, &CFilterDialog::OnMove},
    {IDC_FILTER_CH_SHOWN, LBN_DBLCLK, &CFilterDialog::OnMove},
    {IDC_FILTER_SERIES_HIDDEN, LBN_DBLCLK, &CFilterDialog::OnMove},
    {IDC_FILTER_SERIES_SHOWN, LBN_DBLCLK, &CFilterDialog::OnMove},
    {IDC_FILTER_CAT_SELECTED, LBN_DBLCLK, &CFilterDialog::OnMove},
    {IDC_FILTER_CAT_UNSELECTED, LBN_DBLCLK, &CFilterDialog::OnMove},
    {0, nullptr},
};

// --- title order ---

class CTitleOrderDialog : public DialogImpl<CTitleOrderDialog> {
 public:
  CTitleOrderDialog(std::vector<std::string> names, std::int32_t kind) : names(std::move(names)), kind_(kind) {}
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  std::vector<std::string> names;

 private:
  INT_PTR OnInit(WPARAM, LPARAM) {
    wchar_t title[256] = {};
    GetWindowTextW(Handle(), title, 255);
    SetWindowTextW(Handle(), (std::wstring(title) + Cp932ToWide(J(TitleOrderSuffixUtf8(kind_)))).c_str());
    Refresh(names.empty() ? kNone : 0);
    return TRUE;
  }
  void Refresh(std::size_t select) {
    HWND list = Item(IDC_TITLE_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& n : names)
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Cp932ToWide("\t" + n + "\t").c_str()));
    if (select != kNone) SendMessageW(list, LB_SETCURSEL, select, 0);
    Enable(IDC_TITLE_UP, !names.empty());
    Enable(IDC_TITLE_DOWN, !names.empty());
  }
  void Move(int direction) {
    const std::size_t at = Selected(Item(IDC_TITLE_LIST));
    if (at == kNone) return;
    Refresh(MoveListItem(names, at, direction));
  }
  void OnUp() { Move(-1); }
  void OnDown() { Move(+1); }
  std::int32_t kind_;
};

const CTitleOrderDialog::MessageEntry CTitleOrderDialog::kMessages[] = {{WM_INITDIALOG, &CTitleOrderDialog::OnInit},
                                                                       {0, nullptr}};
const CTitleOrderDialog::CommandEntry CTitleOrderDialog::kCommands[] = {
    {IDC_TITLE_UP, &CTitleOrderDialog::OnUp},
    {IDC_TITLE_DOWN, &CTitleOrderDialog::OnDown},
    {0, nullptr},
};

// --- category groups ---

class CCategoryEditor : public DialogImpl<CCategoryEditor> {
 public:
  CCategoryEditor(const CategoryGroups& groups, const std::vector<GuideProgram*>& guide) {
    for (int g = 0; g < kCategoryGroups; ++g) items_[g] = GroupItems(groups[g]);
    std::unordered_set<std::string> grouped;
    for (const auto& items : items_) grouped.insert(items.begin(), items.end());
    for (const GuideProgram* p : guide) {
      if (!p->categoryForSort.empty() && grouped.insert(p->categoryForSort).second)
        standard_.push_back(p->categoryForSort);
    }
  }
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  CategoryGroups Groups() const {
    CategoryGroups g;
    for (int i = 0; i < kCategoryGroups; ++i) g[i] = GroupFromItems(items_[i]);
    return g;
  }

 private:
  INT_PTR OnInit(WPARAM, LPARAM) {
    static const char* const kDigits[] = {u8"１", u8"２", u8"３", u8"４", u8"５", u8"６", u8"７", u8"８",
                                          u8"９", u8"１０", u8"１１", u8"１２", u8"１３", u8"１４", u8"１５"};
    HWND combo = Item(IDC_CATEGORY_GROUP);
    for (const char* d : kDigits) {
      const std::wstring text = Cp932ToWide(J(u8"グループ") + J(d));
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    Refresh(kNone, kNone);
    return TRUE;
  }
  void OnGroupChosen() { Refresh(kNone, kNone); }
  void OnToGroup() { Move(false); }
  void OnToStandard() { Move(true); }
  std::size_t Group() const {
    LRESULT s = SendMessageW(Item(IDC_CATEGORY_GROUP), CB_GETCURSEL, 0, 0);
    return s == CB_ERR ? 0 : static_cast<std::size_t>(s);
  }
  void Move(bool toStandard) {
    std::vector<std::string>& group = items_[Group()];
    std::vector<std::string>& from = toStandard ? group : standard_;
    std::vector<std::string>& to = toStandard ? standard_ : group;
    const std::size_t at = Selected(Item(toStandard ? IDC_CATEGORY_IN_GROUP : IDC_CATEGORY_STANDARD));
    if (at == kNone) return;
    const std::size_t next = MoveBetween(from, to, at);
    Refresh(toStandard ? next : kNone, toStandard ? kNone : next);
  }
  void Refresh(std::size_t groupSel, std::size_t standardSel) {
    FillList(Item(IDC_CATEGORY_IN_GROUP), items_[Group()], groupSel);
    FillList(Item(IDC_CATEGORY_STANDARD), standard_, standardSel);
    Enable(IDC_CATEGORY_TO_GROUP, !standard_.empty());
    Enable(IDC_CATEGORY_TO_STANDARD, !items_[Group()].empty());
  }
  std::vector<std::string> items_[kCategoryGroups];
  std::vector<std::string> standard_;
};

const CCategoryEditor::MessageEntry CCategoryEditor::kMessages[] = {{WM_INITDIALOG, &CCategoryEditor::OnInit},
                                                                   {0, nullptr}};
const CCategoryEditor::CommandEntry CCategoryEditor::kCommands[] = {
    {IDC_CATEGORY_GROUP, CBN_SELCHANGE, &CCategoryEditor::OnGroupChosen},
    {IDC_CATEGORY_TO_GROUP, &CCategoryEditor::OnToGroup},
    {IDC_CATEGORY_TO_STANDARD, &CCategoryEditor::OnToStandard},
    {IDC_CATEGORY_STANDARD, LBN_DBLCLK, &CCategoryEditor::OnToGroup},
    {IDC_CATEGORY_IN_GROUP, LBN_DBLCLK, &CCategoryEditor::OnToStandard},
    {0, nullptr},
};

}  // namespace

bool RunFilterDialog(HWND owner, TimetableModel& model) {
  CFilterDialog dialog(model.Rules(), model.Doc().Programs().Ordered());
  if (dialog.RunModal(GetModuleHandleW(nullptr), IDD_PROGRAM_FILTER, owner) != IDOK) return false;
  model.ApplyFilter(RulesFromFilterLists(dialog.lists));
  return true;
}

bool RunTitleOrderDialog(HWND owner, TimetableModel& model) {
  CTitleOrderDialog dialog(ListedTitles(model.Rows()), model.Doc().titleKind);
  if (dialog.RunModal(GetModuleHandleW(nullptr), IDD_TITLE_ORDER, owner) != IDOK) return false;
  model.ApplyTitleOrder(dialog.names);
  return true;
}

bool RunCategoryEditor(HWND owner, TimetableModel& model) {
  CCategoryEditor dialog(model.Groups(), model.Doc().Programs().Ordered());
  if (dialog.RunModal(GetModuleHandleW(nullptr), IDD_CATEGORY_EDITOR, owner) != IDOK) return false;
  return model.SaveCategoryGroups(dialog.Groups());
}
