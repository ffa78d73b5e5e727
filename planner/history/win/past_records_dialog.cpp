// Dialog 143 "過去の受信記録" (RsvData.log, newest first) and dialog 144
// "無受信番組のお知らせ".
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "common/settings.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/list_view.h"
#include "planner/history/history_texts.h"
#include "planner/history/win/dialog_layout.h"
#include "planner/history/win/history_dialogs.h"
#include "planner/history/win/history_windows.h"
#include "planner/shell/win/resource.h"
#include "planner/timetable/tavora_doc.h"

namespace {

class CPastRecordsDlg : public DialogImpl<CPastRecordsDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  explicit CPastRecordsDlg(HistoryHost& host) : host_(host) {}

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    list_ = Item(IDC_PAST_LIST);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    list_view::SetSmallImages(list_, LoadHistoryIcons(host_.instance));
    AddColumns(list_, *host_.settings, kLogViewSizeKey, kPastColumns);
    layout_.Capture(Handle(), IDC_PAST_LIST, {IDOK});
    RestoreDialogSize(Handle(), *host_.settings, kLogViewSizeKey);
    const std::vector<PastRecord> records = ReadPastRecords(*host_.fs, host_.doc->HistoryFolder());
    for (std::size_t i = 0; i < records.size(); ++i) {
      const PastRecord& r = records[i];
      const int row = list_view::AddRow(list_, static_cast<int>(i), r.name, r.failed ? 2 : 1, static_cast<LPARAM>(i));
      list_view::SetCellText(list_, row, 1, r.broadcast);
      list_view::SetCellText(list_, row, 2, r.received);
      list_view::SetCellText(list_, row, 3, r.result);
    }
    return TRUE;
  }
  INT_PTR OnSize(WPARAM, LPARAM) {
    layout_.Apply(Handle());
    return FALSE;
  }
  INT_PTR OnDestroy(WPARAM, LPARAM) {
    StoreColumnWidths(list_, *host_.settings, kLogViewSizeKey, kPastColumns);
    StoreDialogSize(Handle(), *host_.settings, kLogViewSizeKey);
    return FALSE;
  }
  void OnClose() { End(IDOK); }

  HistoryHost& host_;
  HWND list_ = nullptr;
  DialogLayout layout_;
};

const CPastRecordsDlg::MessageEntry CPastRecordsDlg::kMessages[] = {
    {WM_INITDIALOG, &CPastRecordsDlg::OnInitDialog},
    {WM_SIZE, &CPastRecordsDlg::OnSize},
    {WM_DESTROY, &CPastRecordsDlg::OnDestroy},
    {0, nullptr}};
const CPastRecordsDlg::CommandEntry CPastRecordsDlg::kCommands[] = {
    {IDCANCEL, &CPastRecordsDlg::OnClose}, {0, nullptr}};

class CMissedNoticeDlg : public DialogImpl<CMissedNoticeDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  CMissedNoticeDlg(HistoryHost& host, int count) : host_(host), count_(count) {}

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    const std::string format = LoadCp932String(host_.instance, IDS_MISSED_PROGRAMS);
    // The string's one conversion is its "%d"; it is filled here without
    // handing a resource text to printf as a format.
    std::string text = format;
    const std::size_t at = text.find("%d");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(count_));
    SetItemText(IDC_MISSED_TEXT, text);
    return TRUE;
  }
  void OnOpenLog() { ShowPastRecords(Handle(), host_); }
  void OnClose() { End(IDOK); }

  HistoryHost& host_;
  int count_;
};

const CMissedNoticeDlg::MessageEntry CMissedNoticeDlg::kMessages[] = {
    {WM_INITDIALOG, &CMissedNoticeDlg::OnInitDialog}, {0, nullptr}};
const CMissedNoticeDlg::CommandEntry CMissedNoticeDlg::kCommands[] = {
    {IDC_MISSED_OPEN_LOG, &CMissedNoticeDlg::OnOpenLog},
    {IDCANCEL, &CMissedNoticeDlg::OnClose},
    {0, nullptr}};

}  // namespace

void ShowPastRecords(HWND owner, HistoryHost& host) {
  CPastRecordsDlg dialog(host);
  dialog.RunModal(host.instance, IDD_PAST_RECORDS, owner);
}

void ShowMissedProgramsNotice(HWND frame, HistoryHost& host) {
  const int count = TakeLossRequest(*host.settings);
  if (count == 0) return;
  CMissedNoticeDlg dialog(host, count);
  dialog.RunModal(host.instance, IDD_MISSED_NOTICE, frame);
}
