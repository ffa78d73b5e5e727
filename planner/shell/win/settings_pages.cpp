// The folder page (153), the reception page (286), the guide page and the old
// content page of the settings sheet.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>

#include "common/files.h"
#include "common/settings.h"
#include "common/win/message_box.h"
#include "common/win/scoped_win.h"
#include "planner/shell/settings_housekeeping.h"
#include "planner/shell/settings_values.h"
#include "planner/shell/win/resource.h"
#include "planner/shell/win/settings_page_base.h"

static_assert(IDS_LIMIT_RANGE == kLimitRangeMessageId && IDS_HISTORY_COPY_FAILED == kHistoryCopyMessageId,
              "the folder page's messages");

namespace {

// --- Folder page -----------------------------------------------------------

class CFolderPage : public CSettingsPage<CFolderPage> {
 public:
  static constexpr int kDialogId = IDD_SETTINGS_FOLDERS;
  using CSettingsPage::CSettingsPage;
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  bool Changed() const override { return Handle() && FolderPageChanged(opened_, Current()); }
  bool Save() override {
    FolderPageValues current = Current();
    auto ask = [this] {
      return ShowMessageBox(Handle(), LoadCp932String(context_.instance, IDS_HISTORY_OVERWRITE), J(u8"環境設定"),
                            MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
    FolderSaveResult r = SaveFolderPage(opened_, current, *context_.settings, *context_.fs, ask);
    if (!r.saved) {
      const int edit = r.focus == FolderField::History  ? IDC_SET_HISTORY_FOLDER
                       : r.focus == FolderField::DiskLimit ? IDC_SET_DISK_EDIT
                       : r.focus == FolderField::TotalLimit ? IDC_SET_TOTAL_EDIT
                                                            : IDC_SET_DATA_FOLDER;
      if (r.messageId) {
        std::string text = LoadCp932String(context_.instance, r.messageId);
        char buffer[1200];
        if (r.messageId == IDS_FOLDER_FAILED) {
          std::snprintf(buffer, sizeof buffer, text.c_str(), ItemText(edit).c_str());
          text = buffer;
        } else if (r.messageId == IDS_LIMIT_RANGE) {
          std::snprintf(buffer, sizeof buffer, text.c_str(), ItemText(edit).c_str(), static_cast<int>(r.rangeLow),
                        static_cast<int>(r.rangeHigh));
          text = buffer;
        } else if (r.messageId == IDS_HISTORY_COPY_FAILED) {
          std::snprintf(buffer, sizeof buffer, text.c_str(), r.failedFile.c_str(), ItemText(edit).c_str());
          text = buffer;
        }
        ShowMessageBox(Handle(), text, J(u8"環境設定"), MB_OK | MB_ICONEXCLAMATION);
      }
      SetFocus(Item(edit));
      return false;
    }
    if (context_.foldersSaved) context_.foldersSaved(r);
    opened_ = LoadFolderPage(*context_.settings);
    return true;
  }

 private:
  FolderPageValues Current() const {
    FolderPageValues v;
    v.dataFolder = ItemText(IDC_SET_DATA_FOLDER);
    v.historyFolder = ItemText(IDC_SET_HISTORY_FOLDER);
    v.diskLimitOn = Checked(IDC_SET_DISK_CHECK);
    v.totalLimitOn = Checked(IDC_SET_TOTAL_CHECK);
    // An edit that holds no number is out of range, never the default.
    if (!ParseDecimal(ItemText(IDC_SET_DISK_EDIT), &v.diskLimit)) v.diskLimit = -1;
    if (!ParseDecimal(ItemText(IDC_SET_TOTAL_EDIT), &v.totalLimit)) v.totalLimit = -1;
    if (!v.diskLimitOn) v.diskLimit = opened_.diskLimit;
    if (!v.totalLimitOn) v.totalLimit = opened_.totalLimit;
    return v;
  }

  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    loading_ = true;
    opened_ = LoadFolderPage(*context_.settings);
    SetItemText(IDC_SET_DATA_FOLDER, opened_.dataFolder);
    SetItemText(IDC_SET_HISTORY_FOLDER, opened_.historyFolder);
    SpinRange(IDC_SET_DISK_SPIN, kDiskLimitMin, kDiskLimitMax);
    SpinRange(IDC_SET_TOTAL_SPIN, kTotalLimitMin, kTotalLimitMax);
    SetNumber(IDC_SET_DISK_EDIT, opened_.diskLimit);
    SetNumber(IDC_SET_TOTAL_EDIT, opened_.totalLimit);
    Check(IDC_SET_DISK_CHECK, opened_.diskLimitOn);
    Check(IDC_SET_TOTAL_CHECK, opened_.totalLimitOn);
    EnableLimits();
    // Without a computer name the history folder stays where it is.
    if (!OpenRegKey(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\control\\ComputerName\\ComputerName", KEY_READ)) {
      SendMessageW(Item(IDC_SET_HISTORY_FOLDER), EM_SETREADONLY, TRUE, 0);
      Enable(IDC_SET_HISTORY_BROWSE, false);
    }
    loading_ = false;
    return TRUE;
  }

  void EnableLimits() {
    Enable(IDC_SET_DISK_EDIT, Checked(IDC_SET_DISK_CHECK));
    Enable(IDC_SET_DISK_SPIN, Checked(IDC_SET_DISK_CHECK));
    Enable(IDC_SET_TOTAL_EDIT, Checked(IDC_SET_TOTAL_CHECK));
    Enable(IDC_SET_TOTAL_SPIN, Checked(IDC_SET_TOTAL_CHECK));
  }

  void Browse(int edit) {
    std::string chosen;
    if (context_.chooseFolder && context_.chooseFolder(Handle(), ItemText(edit), &chosen)) {
      SetItemText(edit, chosen);
      NotifyChange();
    }
  }

  void OnBrowseData() { Browse(IDC_SET_DATA_FOLDER); }
  void OnBrowseHistory() { Browse(IDC_SET_HISTORY_FOLDER); }
  void OnLimitCheck() {
    EnableLimits();
    NotifyChange();
  }
  void OnEdited() {
    if (!loading_) NotifyChange();
  }

  FolderPageValues opened_;
};

const CFolderPage::MessageEntry CFolderPage::kMessages[] = {{WM_INITDIALOG, &CFolderPage::OnInitDialog},
                                                           {0, nullptr}};
const CFolderPage::CommandEntry CFolderPage::kCommands[] = {
    {IDC_SET_DATA_BROWSE, &CFolderPage::OnBrowseData},
    {IDC_SET_HISTORY_BROWSE, &CFolderPage::OnBrowseHistory},
    {IDC_SET_DISK_CHECK, &CFolderPage::OnLimitCheck},
    {IDC_SET_TOTAL_CHECK, &CFolderPage::OnLimitCheck},
    {IDC_SET_DATA_FOLDER, EN_CHANGE, &CFolderPage::OnEdited},
    {IDC_SET_HISTORY_FOLDER, EN_CHANGE, &CFolderPage::OnEdited},
    {IDC_SET_DISK_EDIT, EN_CHANGE, &CFolderPage::OnEdited},
    {IDC_SET_TOTAL_EDIT, EN_CHANGE, &CFolderPage::OnEdited},
    {0, nullptr},
};

// --- Reception page --------------------------------------------------------

const int kPositionRadios[5] = {IDC_SET_POS_TOP_LEFT, IDC_SET_POS_TOP_RIGHT, IDC_SET_POS_CENTRE,
                                IDC_SET_POS_BOTTOM_LEFT, IDC_SET_POS_BOTTOM_RIGHT};

class CReceptionPage : public CSettingsPage<CReceptionPage> {
 public:
  static constexpr int kDialogId = IDD_SETTINGS_RECEPTION;
  using CSettingsPage::CSettingsPage;
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  bool Changed() const override { return Handle() && !(Current() == stored_); }
  bool Save() override {
    // A value still being typed is checked as if the edit was left.
    LeaveEdit(IDC_SET_PREPARE_EDIT);
    LeaveEdit(IDC_SET_TIMEOUT_EDIT);
    stored_ = Current();
    SaveReceptionPage(*context_.settings, stored_);
    return true;
  }

 private:
  ReceptionPageValues Current() const {
    ReceptionPageValues v = stored_;
    ParseDecimal(ItemText(IDC_SET_PREPARE_EDIT), &v.prepareTime);
    ParseDecimal(ItemText(IDC_SET_TIMEOUT_EDIT), &v.timeout);
    v.autoRun = Checked(IDC_SET_AUTORUN);
    v.showStatus = Checked(IDC_SET_SHOW_STATUS);
    for (int i = 0; i < 5; ++i) {
      if (Checked(kPositionRadios[i])) v.messagePosition = i;
    }
    return v;
  }

  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    loading_ = true;
    stored_ = LoadReceptionPage(*context_.settings);
    SpinRange(IDC_SET_PREPARE_SPIN, kPrepareSpinMin, kPrepareSpinMax);
    SpinRange(IDC_SET_TIMEOUT_SPIN, kTimeoutSpinMin, kTimeoutSpinMax);
    SetNumber(IDC_SET_PREPARE_EDIT, stored_.prepareTime);
    SetNumber(IDC_SET_TIMEOUT_EDIT, stored_.timeout);
    Check(IDC_SET_AUTORUN, stored_.autoRun != 0);
    Check(IDC_SET_SHOW_STATUS, stored_.showStatus != 0);
    Check(kPositionRadios[stored_.messagePosition], true);
    EnablePositions();
    loading_ = false;
    return TRUE;
  }

  void EnablePositions() {
    for (int id : kPositionRadios) Enable(id, Checked(IDC_SET_SHOW_STATUS));
  }

  void LeaveEdit(int id) {
    const std::string typed = ItemText(id);
    const std::int32_t v = id == IDC_SET_PREPARE_EDIT ? CheckedPrepareTime(typed, stored_.prepareTime)
                                                      : CheckedTimeout(typed, stored_.timeout);
    if (typed != std::to_string(v)) SetNumber(id, v);
  }

  void OnNumberEdit(int id, UINT code) {
    if (code == EN_KILLFOCUS) LeaveEdit(id);
    if (code == EN_CHANGE && !loading_) NotifyChange();
  }
  void OnShowStatus(UINT code) {
    EnablePositions();
    if (code == BN_CLICKED) NotifyChange();
  }

  ReceptionPageValues stored_;
};

const CReceptionPage::MessageEntry CReceptionPage::kMessages[] = {{WM_INITDIALOG, &CReceptionPage::OnInitDialog},
                                                                 {0, nullptr}};
const CReceptionPage::CommandEntry CReceptionPage::kCommands[] = {
    {IDC_SET_PREPARE_EDIT, &CReceptionPage::OnNumberEdit},
    {IDC_SET_TIMEOUT_EDIT, &CReceptionPage::OnNumberEdit},
    {IDC_SET_SHOW_STATUS, &CReceptionPage::OnShowStatus},
    // Every other click (the autorun check, the position radios) is an edit.
    {kAnyCommand, BN_CLICKED, &CReceptionPage::NotifyChange},
    {0, nullptr},
};

// --- Guide page ------------------------------------------------------------

class CGuidePage : public CSettingsPage<CGuidePage> {
 public:
  static constexpr int kDialogId = IDD_SETTINGS_GUIDE;
  using CSettingsPage::CSettingsPage;
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  bool Changed() const override { return Handle() && modified_; }
  bool Save() override {
    if (!modified_) return true;
    applied_ = current_;
    SaveGuidePage(*context_.settings, applied_);
    if (context_.guideSaved) context_.guideSaved(applied_);
    modified_ = false;
    return true;
  }

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    loading_ = true;
    applied_ = current_ = LoadGuidePage(*context_.settings);
    SpinRange(IDC_SET_EPG_SPIN, kEpgUpdateMin, kEpgUpdateMax);
    SpinRange(IDC_SET_DAYS_SPIN, kDisplayDaysMin, kDisplayDaysMax);
    SpinRange(IDC_SET_DAYSTART_SPIN, kDayStartMin, kDayStartMax);
    SetNumber(IDC_SET_EPG_EDIT, current_.epgUpdate);
    SetNumber(IDC_SET_DAYS_EDIT, current_.displayDays);
    SetNumber(IDC_SET_DAYSTART_EDIT, current_.dayStart);
    Check(IDC_SET_YESTERDAY, current_.yesterday != 0);
    loading_ = false;
    return TRUE;
  }

  // Every edit is checked as it is typed: a value out of range turns back
  // into the page's current value at once.
  void Validate(int id, GuideField field, std::int32_t* value) {
    const std::string typed = ItemText(id);
    const std::int32_t checked = CheckedGuideField(field, typed, *value);
    if (typed != std::to_string(checked)) {
      loading_ = true;
      SetNumber(id, checked);
      loading_ = false;
    }
    *value = checked;
  }

  void Compare() {
    current_.yesterday = Checked(IDC_SET_YESTERDAY) ? 1 : 0;
    modified_ = !(current_ == applied_);
    NotifyChange();
  }

  void OnEdited(int id, UINT) {
    if (loading_ || !IsWindowVisible(Handle())) return;
    if (id == IDC_SET_DAYS_EDIT) Validate(id, GuideField::DisplayDays, &current_.displayDays);
    if (id == IDC_SET_EPG_EDIT) Validate(id, GuideField::EpgUpdate, &current_.epgUpdate);
    if (id == IDC_SET_DAYSTART_EDIT) Validate(id, GuideField::DayStart, &current_.dayStart);
    Compare();
  }
  void OnYesterday() {
    if (!loading_) Compare();
  }

  GuidePageValues applied_, current_;
  bool modified_ = false;
};

const CGuidePage::MessageEntry CGuidePage::kMessages[] = {{WM_INITDIALOG, &CGuidePage::OnInitDialog}, {0, nullptr}};
const CGuidePage::CommandEntry CGuidePage::kCommands[] = {
    {kAnyCommand, EN_CHANGE, &CGuidePage::OnEdited},
    {IDC_SET_YESTERDAY, BN_CLICKED, &CGuidePage::OnYesterday},
    {0, nullptr},
};

// --- Old content page ------------------------------------------------------

class COldContentPage : public CSettingsPage<COldContentPage> {
 public:
  static constexpr int kDialogId = IDD_SETTINGS_OLD_CONTENT;
  using CSettingsPage::CSettingsPage;
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

  bool Changed() const override { return Handle() && !(Current() == stored_); }
  bool Save() override {
    OldContentSettings v = Current();
    if (v == stored_) return true;
    stored_ = v;
    SaveOldContentSettings(*context_.settings, v);
    if (context_.oldContentSaved) context_.oldContentSaved();
    return true;
  }

 private:
  OldContentSettings Current() const {
    OldContentSettings v = stored_;
    v.execKind = !Checked(IDC_DEL_ON) ? kOldContentOff : Checked(IDC_DEL_AT_START) ? kOldContentAtStart : kOldContentDaily;
    v.oldProg = Checked(IDC_DEL_OLD);
    v.errorProg = Checked(IDC_DEL_ERROR);
    v.overWrite = Checked(IDC_DEL_OVERWRITE);
    std::int32_t n = 0;
    if (ParseDecimal(ItemText(IDC_DEL_HOUR_EDIT), &n) && n >= 0 && n <= 23) v.execHour = static_cast<std::uint32_t>(n);
    if (ParseDecimal(ItemText(IDC_DEL_DAYS_EDIT), &n) && n >= static_cast<std::int32_t>(kPastDayMin) &&
        n <= static_cast<std::int32_t>(kPastDayMax)) {
      v.pastDay = static_cast<std::uint32_t>(n);
    }
    if (ParseDecimal(ItemText(IDC_DEL_ASK_EDIT), &n) && n >= static_cast<std::int32_t>(kAskSecondsMin) &&
        n <= static_cast<std::int32_t>(kAskSecondsMax)) {
      v.askSeconds = static_cast<std::uint32_t>(n);
    }
    return v;
  }

  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    loading_ = true;
    stored_ = LoadOldContentSettings(*context_.settings);
    SpinRange(IDC_DEL_HOUR_SPIN, 0, 23);
    SpinRange(IDC_DEL_DAYS_SPIN, static_cast<int>(kPastDayMin), static_cast<int>(kPastDayMax));
    SetNumber(IDC_DEL_HOUR_EDIT, static_cast<long>(stored_.execHour));
    SetNumber(IDC_DEL_DAYS_EDIT, static_cast<long>(stored_.pastDay));
    SpinRange(IDC_DEL_ASK_SPIN, static_cast<int>(kAskSecondsMin), static_cast<int>(kAskSecondsMax));
    SetNumber(IDC_DEL_ASK_EDIT, static_cast<long>(stored_.askSeconds));
    Check(IDC_DEL_ON, stored_.execKind != kOldContentOff);
    Check(stored_.execKind == kOldContentAtStart ? IDC_DEL_AT_START : IDC_DEL_DAILY, true);
    Check(IDC_DEL_OLD, stored_.oldProg != 0);
    Check(IDC_DEL_ERROR, stored_.errorProg != 0);
    Check(IDC_DEL_OVERWRITE, stored_.overWrite != 0);
    EnableRules();
    loading_ = false;
    return TRUE;
  }

  void EnableRules() {
    const bool on = Checked(IDC_DEL_ON);
    for (int id : {IDC_DEL_AT_START, IDC_DEL_DAILY, IDC_DEL_OLD, IDC_DEL_ERROR, IDC_DEL_OVERWRITE, IDC_DEL_ASK_EDIT,
                   IDC_DEL_ASK_SPIN})
      Enable(id, on);
    Enable(IDC_DEL_HOUR_EDIT, on && Checked(IDC_DEL_DAILY));
    Enable(IDC_DEL_HOUR_SPIN, on && Checked(IDC_DEL_DAILY));
    Enable(IDC_DEL_DAYS_EDIT, on && Checked(IDC_DEL_OLD));
    Enable(IDC_DEL_DAYS_SPIN, on && Checked(IDC_DEL_OLD));
  }

  void OnClicked() {
    if (loading_) return;
    EnableRules();
    NotifyChange();
  }
  void OnEdited() {
    if (!loading_) NotifyChange();
  }

  OldContentSettings stored_;
};

const COldContentPage::MessageEntry COldContentPage::kMessages[] = {{WM_INITDIALOG, &COldContentPage::OnInitDialog},
                                                                   {0, nullptr}};
// Any click changes which rules apply; any typed number is an edit.
const COldContentPage::CommandEntry COldContentPage::kCommands[] = {
    {kAnyCommand, BN_CLICKED, &COldContentPage::OnClicked},
    {kAnyCommand, EN_CHANGE, &COldContentPage::OnEdited},
    {0, nullptr},
};

}  // namespace

std::unique_ptr<SettingsPageWindow> MakeFolderPage(SettingsContext& c) { return std::make_unique<CFolderPage>(c); }
std::unique_ptr<SettingsPageWindow> MakeReceptionPage(SettingsContext& c) { return std::make_unique<CReceptionPage>(c); }
std::unique_ptr<SettingsPageWindow> MakeGuidePage(SettingsContext& c) { return std::make_unique<CGuidePage>(c); }
std::unique_ptr<SettingsPageWindow> MakeOldContentPage(SettingsContext& c) { return std::make_unique<COldContentPage>(c); }
