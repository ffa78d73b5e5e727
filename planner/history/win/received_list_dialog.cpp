// Dialog 136 "受信済み番組の一覧": the received list, modeless, one at a time.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <memory>
#include <vector>

#include "common/files.h"
#include "common/settings.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/list_view.h"
#include "common/win/message_box.h"
#include "planner/history/history_doc.h"
#include "planner/history/history_texts.h"
#include "planner/history/reception_history.h"
#include "planner/history/win/dialog_layout.h"
#include "planner/history/win/history_dialogs.h"
#include "planner/history/win/history_windows.h"
#include "planner/shell/win/resource.h"
#include "planner/timetable/tavora_doc.h"

namespace {

class CReceivedListDlg : public DialogImpl<CReceivedListDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  explicit CReceivedListDlg(HistoryHost& host) : host_(host) {}

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM);
  INT_PTR OnNotify(WPARAM, LPARAM);
  INT_PTR OnSize(WPARAM, LPARAM);
  INT_PTR OnGetMinMaxInfo(WPARAM, LPARAM);
  INT_PTR OnDestroy(WPARAM, LPARAM);
  void OnRebuild();
  void OnDetail();
  void OnDelete();
  void OnOpen();
  void OnPast();
  void OnClose() { Destroy(); }
  void UpdateButtons();
  std::vector<int> SelectedRows() const;
  const ReceivedEntry* EntryOfRow(int row) const;
  void HoverAt(POINT client);
  void CloseBubble();
  void DismissBubble();
  static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  HistoryHost& host_;
  HWND list_ = nullptr;
  DialogLayout layout_;
  std::vector<ReceivedEntry> rows_;  // in the shown order; a row's item data is its index
  int sortColumn_ = -1;
  bool sortDescending_ = false;
  int hoverRow_ = -1;
  bool bubbleShown_ = false;
};

const CReceivedListDlg::MessageEntry CReceivedListDlg::kMessages[] = {
    {WM_INITDIALOG, &CReceivedListDlg::OnInitDialog},
    {WM_NOTIFY, &CReceivedListDlg::OnNotify},
    {WM_SIZE, &CReceivedListDlg::OnSize},
    {WM_GETMINMAXINFO, &CReceivedListDlg::OnGetMinMaxInfo},
    {WM_DESTROY, &CReceivedListDlg::OnDestroy},
    {0, nullptr}};
const CReceivedListDlg::CommandEntry CReceivedListDlg::kCommands[] = {
    {ID_RECEIVED_REBUILD, &CReceivedListDlg::OnRebuild},
    {IDC_RCV_DETAIL, &CReceivedListDlg::OnDetail},
    {IDC_RCV_DELETE, &CReceivedListDlg::OnDelete},
    {IDC_RCV_OPEN, &CReceivedListDlg::OnOpen},
    {IDC_RCV_PAST, &CReceivedListDlg::OnPast},
    {IDOK, &CReceivedListDlg::OnClose},
    {IDCANCEL, &CReceivedListDlg::OnClose},
    {0, nullptr}};

// The one open dialog.
std::unique_ptr<CReceivedListDlg> g_dialog;

constexpr UINT_PTR kListSubclass = 136;

int IconIndex(RowIcon icon) {
  switch (icon) {
    case RowIcon::WithStartFile: return 0;
    case RowIcon::WithoutStartFile: return 1;
    default: return 2;
  }
}

INT_PTR CReceivedListDlg::OnInitDialog(WPARAM, LPARAM) {
  list_ = Item(IDC_RCV_LIST);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  list_view::SetSmallImages(list_, LoadHistoryIcons(host_.instance));
  AddColumns(list_, *host_.settings, kReportSizeKey, kReceivedColumns);
  layout_.Capture(Handle(), IDC_RCV_LIST, {IDOK});
  RestoreDialogSize(Handle(), *host_.settings, kReportSizeKey);
  SetWindowSubclass(list_, &CReceivedListDlg::ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
  PostCommand(ID_RECEIVED_REBUILD);
  return TRUE;
}

INT_PTR CReceivedListDlg::OnDestroy(WPARAM, LPARAM) {
  CloseBubble();
  RemoveWindowSubclass(list_, &CReceivedListDlg::ListProc, kListSubclass);
  StoreColumnWidths(list_, *host_.settings, kReportSizeKey, kReceivedColumns);
  StoreDialogSize(Handle(), *host_.settings, kReportSizeKey);
  return FALSE;
}

INT_PTR CReceivedListDlg::OnSize(WPARAM, LPARAM) {
  layout_.Apply(Handle());
  return FALSE;
}

INT_PTR CReceivedListDlg::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize = {360, 240};
  return FALSE;
}

void CReceivedListDlg::OnRebuild() {
  CloseBubble();
  rows_ = host_.history->Entries();
  if (sortColumn_ >= 0) SortReceived(&rows_, sortColumn_, sortDescending_);
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const ReceivedRow row = MakeReceivedRow(*host_.fs, rows_[i]);
    const int at = list_view::AddRow(list_, static_cast<int>(i), row.name, IconIndex(row.icon), static_cast<LPARAM>(i));
    list_view::SetCellText(list_, at, 1, row.date);
    list_view::SetCellText(list_, at, 2, row.start);
    list_view::SetCellText(list_, at, 3, row.end);
    list_view::SetCellText(list_, at, 4, row.result);
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  UpdateButtons();
}

std::vector<int> CReceivedListDlg::SelectedRows() const {
  std::vector<int> rows;
  for (int i = -1; (i = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;) {
    rows.push_back(i);
  }
  return rows;
}

const ReceivedEntry* CReceivedListDlg::EntryOfRow(int row) const {
  if (row < 0) return nullptr;
  const LPARAM index = list_view::RowData(list_, row);
  return index >= 0 && static_cast<std::size_t>(index) < rows_.size() ? &rows_[index] : nullptr;
}

void CReceivedListDlg::UpdateButtons() {
  const std::vector<int> selected = SelectedRows();
  Enable(IDC_RCV_DELETE, !selected.empty());
  Enable(IDC_RCV_DETAIL, selected.size() == 1);
  const ReceivedEntry* one = selected.size() == 1 ? EntryOfRow(selected[0]) : nullptr;
  const bool startFile = one && HasStartFile(*host_.fs, *one);
  ShowWindow(Item(IDC_RCV_HAS_START), startFile ? SW_SHOW : SW_HIDE);
  ShowWindow(Item(IDC_RCV_OPEN), startFile ? SW_SHOW : SW_HIDE);
}

INT_PTR CReceivedListDlg::OnNotify(WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->hwndFrom != list_) return FALSE;
  switch (header->code) {
    case LVN_ITEMCHANGED:
      UpdateButtons();
      break;
    case NM_DBLCLK: {
      const auto* item = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
      const ReceivedEntry* entry = EntryOfRow(item->iItem);
      if (!entry) break;
      if (HasStartFile(*host_.fs, *entry)) OnOpen();
      else OnDetail();
      break;
    }
    case LVN_COLUMNCLICK: {
      const int column = reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem;
      sortDescending_ = column == sortColumn_ ? !sortDescending_ : false;
      sortColumn_ = column;
      OnRebuild();
      break;
    }
    default:
      break;
  }
  return FALSE;
}

void CReceivedListDlg::OnDetail() {
  const std::vector<int> selected = SelectedRows();
  if (selected.size() != 1) return;
  const ReceivedEntry* entry = EntryOfRow(selected[0]);
  if (entry) ShowReceptionDetail(Handle(), host_, *entry);
}

void CReceivedListDlg::OnDelete() {
  std::vector<ReceivedEntry> chosen;
  for (int row : SelectedRows()) {
    if (const ReceivedEntry* e = EntryOfRow(row)) chosen.push_back(*e);
  }
  if (chosen.empty()) return;
  const std::string question = LoadCp932String(host_.instance, IDS_DELETE_CONTENT);
  const std::string caption = LoadCp932String(host_.instance, IDS_APP_TITLE);
  if (ShowMessageBox(Handle(), question, caption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  CloseBubble();
  DeletionReport report;
  host_.history->DeleteContent(chosen, host_.doc->HistoryFolder(), &report);
  PublishResultMarks(*host_.history, *host_.doc);
  host_.doc->UpdateProgramMarks();
  if (host_.redrawViews) host_.redrawViews();
  OnRebuild();
  if (!report.Clean()) ShowMessageBox(Handle(), DeletionFailureText(report), caption, MB_OK | MB_ICONEXCLAMATION);
}

void CReceivedListDlg::OnOpen() {
  const std::vector<int> selected = SelectedRows();
  if (selected.size() != 1) return;
  const ReceivedEntry* entry = EntryOfRow(selected[0]);
  if (!entry || !HasStartFile(*host_.fs, *entry)) return;
  ShellExecuteW(Handle(), L"open", Cp932ToWide(StartFilePath(*entry)).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CReceivedListDlg::OnPast() { ShowPastRecords(Handle(), host_); }

void CReceivedListDlg::DismissBubble() {
  if (bubbleShown_ && host_.closeBubble) host_.closeBubble();
  bubbleShown_ = false;
}

void CReceivedListDlg::CloseBubble() {
  DismissBubble();
  hoverRow_ = -1;
}

void CReceivedListDlg::HoverAt(POINT client) {
  LVHITTESTINFO hit{};
  hit.pt = client;
  const int row = static_cast<int>(SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row == hoverRow_) return;
  CloseBubble();
  const ReceivedEntry* entry = EntryOfRow(row);
  if (!entry || !host_.showBubble) return;
  hoverRow_ = row;
  POINT screen = client;
  ClientToScreen(list_, &screen);
  screen.x += 16;
  screen.y += 16;
  host_.showBubble(Handle(), screen, ReceivedBubbleText(*entry));
  bubbleShown_ = true;
}

LRESULT CALLBACK CReceivedListDlg::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
  auto* self = reinterpret_cast<CReceivedListDlg*>(data);
  switch (message) {
    case WM_MOUSEMOVE: {
      self->HoverAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
      TrackMouseEvent(&track);
      break;
    }
    case WM_MOUSELEAVE: {
      // A leave can be left over from before a capture (the list's own
      // right-button tracking): the bubble goes only when the pointer is
      // really off the list.
      POINT at;
      if (!GetCursorPos(&at) || WindowFromPoint(at) != hwnd) self->CloseBubble();
      break;
    }
    case WM_RBUTTONDOWN:
      // Dismissed for this row: the list's own mouse handling after the
      // button must not bring it back while the pointer stays on the row.
      self->DismissBubble();
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void OpenReceivedList(HWND frame, HistoryHost& host) {
  if (g_dialog && g_dialog->Handle()) {
    ShowWindow(g_dialog->Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(g_dialog->Handle());
    return;
  }
  g_dialog = std::make_unique<CReceivedListDlg>(host);
  HWND dialog = g_dialog->CreateModeless(host.instance, IDD_RECEIVED_LIST, frame);
  if (!dialog) {
    g_dialog.reset();
    return;
  }
  ShowWindow(dialog, SW_SHOW);
}

void RefreshReceivedList() {
  if (g_dialog && g_dialog->Handle()) g_dialog->PostCommand(ID_RECEIVED_REBUILD);
}

bool IsHistoryDialogMessage(MSG* msg) {
  if (!g_dialog) return false;
  if (!g_dialog->Handle()) {
    g_dialog.reset();  // closed since the last message
    return false;
  }
  return IsDialogMessageW(g_dialog->Handle(), msg) != FALSE;
}

HWND ReceivedListWindow() { return g_dialog ? g_dialog->Handle() : nullptr; }

void CloseHistoryWindows() {
  if (g_dialog && g_dialog->Handle()) g_dialog->Destroy();
  g_dialog.reset();
}
