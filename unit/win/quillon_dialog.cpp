#include "quillon_dialog.h"

#include <winsock2.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

#include "common/path.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/sockets.h"
#include "common/text.h"
#include "common/time_text.h"
#include "common/win/list_view.h"
#include "common/win/message_box.h"
#include "reception_dialog.h"
#include "resource.h"
#include "selector_prompt.h"
#include "unit/result_writer.h"
#include "unit/time_receiver.h"

const CQuillonDlg::MessageEntry CQuillonDlg::kMessages[] = {
    {WM_INITDIALOG, &CQuillonDlg::OnInitDialog},
    {WM_SYSCOMMAND, &CQuillonDlg::OnSysCommand},
    {WM_TIMER, &CQuillonDlg::OnTimer},
    {kTrayMessage, &CQuillonDlg::OnTray},
    {kTimeSocketMessage, &CQuillonDlg::OnTimeSocket},
    {WM_NOTIFY, &CQuillonDlg::OnNotify},
    {WM_CLOSE, &CQuillonDlg::OnClose},
    {WM_WINDOWPOSCHANGING, &CQuillonDlg::OnWindowPosChanging},
    {WM_ENDSESSION, &CQuillonDlg::OnEndSession},
    {0, nullptr},
};

const CQuillonDlg::CommandEntry CQuillonDlg::kCommands[] = {
    {IDC_EXIT, &CQuillonDlg::OnExit},
    {IDC_HIDE, &CQuillonDlg::OnHide},
    {IDC_RESCAN, &CQuillonDlg::OnRescan},
    {IDC_RELOAD_SETTINGS, &CQuillonDlg::OnReloadSettings},
    {IDC_START_TIME, &CQuillonDlg::OnStartTime},
    {ID_SHOW_WINDOW, &CQuillonDlg::OnShowWindow},
    // Enter and Escape do not end the unit: only 終了 does.
    {IDOK, &CQuillonDlg::KeepOpen},
    {IDCANCEL, &CQuillonDlg::KeepOpen},
    {0, nullptr},
};

// The ids the planner and a second copy post are the dialog's own controls.
static_assert(IDC_RESCAN == peer::kCmdUnitRescan && IDC_RELOAD_SETTINGS == peer::kCmdUnitReloadSettings &&
                  IDC_START_TIME == peer::kCmdUnitStartTime && ID_SHOW_WINDOW == peer::kCmdUnitShowWindow &&
                  IDC_EXIT == peer::kCmdUnitExit,
              "resource ids and the ids peers post must agree");

namespace {
constexpr UINT kTrayId = 1;
constexpr int kImageReceiving = 0;
constexpr int kImageWaiting = 1;

// The network time receiver, its socket reporting to the main window.
class TimeReceiverHandle : public ScheduleTimeReceiver {
 public:
  TimeReceiverHandle(CQuillonDlg& owner, PlannerSettings& settings, const Clock& clock, std::int32_t timeError)
      : owner_(owner), receiver_(settings, clock, timeError) {
    receiver_.Create();
    if (DatagramSocket* socket = receiver_.Socket())
      WSAAsyncSelect(static_cast<SOCKET>(socket->Handle()), owner.Handle(), CQuillonDlg::kTimeSocketMessage,
                     FD_READ);
    owner_.activeTimeReceiver = &receiver_;
  }
  ~TimeReceiverHandle() override { owner_.activeTimeReceiver = nullptr; }
  bool Done() const override { return receiver_.Done(); }
  bool Changed() const override { return receiver_.Changed(); }
  void ClearChanged() override { receiver_.ClearChanged(); }
  std::int32_t LastError() const override { return receiver_.LastError(); }

 private:
  CQuillonDlg& owner_;
  TimeReceiver receiver_;
};

class CAboutDlg : public DialogImpl<CAboutDlg> {
 public:
  static const CommandEntry kCommands[];
  void OnOk() { End(IDOK); }
};
const CAboutDlg::CommandEntry CAboutDlg::kCommands[] = {{IDCANCEL, &CAboutDlg::OnOk}, {0, nullptr}};
}  // namespace

CQuillonDlg::CQuillonDlg(HINSTANCE instance, Settings& store, FileSystem& fs, const Clock& clock, StartLock lock)
    : instance_(instance),
      store_(store),
      settings_(std::make_unique<PlannerSettings>(store)),
      fs_(fs),
      clock_(clock),
      lock_(std::move(lock)),
      driver_(std::make_unique<ScheduleDriver>(*settings_, fs, clock, *this)) {}

CQuillonDlg::~CQuillonDlg() {
  driver_.reset();
  ReleaseLock();
}

void CQuillonDlg::ReleaseLock() { lock_.Release(); }

INT_PTR CQuillonDlg::OnInitDialog(WPARAM, LPARAM) {
  if (HMENU menu = GetSystemMenu(Handle(), FALSE)) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, Cp932ToWide(LoadCp932String(instance_, IDS_ABOUTBOX)).c_str());
  }
  bigIcon_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                              GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  // The caption's and the tray's icon: the system's small size, which follows the screen's dpi.
  smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  tray_.Add(Handle(), kTrayId, kTrayMessage, smallIcon_.Get(), J(u8"受信ユニット"));
  SetUpList();

  // The planner starts the unit with SW_HIDE: it then runs in the tray only.
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  keepHidden_ = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_HIDE;
  if (driver_->Start()) {
    mainTimer_ = StartTimer(10, 49, 300);
  } else {
    keepHidden_ = true;  // no schedule folder: nothing to do but wait hidden
    PostCommand(IDC_HIDE);
  }
  ReleaseLock();
  return TRUE;
}

void CQuillonDlg::SetUpList() {
  HWND list = Item(IDC_RESERVATION_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  const int w = list_view::ClientWidth(list);
  list_view::AddColumn(list, 0, J(u8"番組名"), 7 * w / 10 - 1);
  list_view::AddColumn(list, 1, J(u8"開始時刻"), 3 * w / 10);
  const int iconWidth = GetSystemMetrics(SM_CXSMICON), iconHeight = GetSystemMetrics(SM_CYSMICON);
  HIMAGELIST images = ImageList_Create(iconWidth, iconHeight, ILC_COLOR32 | ILC_MASK, 2, 0);
  for (int id : {IDI_RECEIVING, IDI_WAITING}) {
    const ScopedIcon icon(
        static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(id), IMAGE_ICON, iconWidth, iconHeight, 0)));
    ImageList_AddIcon(images, icon.Get());
  }
  list_view::SetSmallImages(list, images);
}

INT_PTR CQuillonDlg::OnSysCommand(WPARAM wParam, LPARAM) {
  const UINT id = static_cast<UINT>(wParam & 0xFFF0);
  if (id < IDM_ABOUTBOX || id > IDM_ABOUTBOX_LAST) return FALSE;
  CAboutDlg about;
  about.RunModal(instance_, IDD_ABOUTBOX, Handle());
  return TRUE;
}

INT_PTR CQuillonDlg::OnTimer(WPARAM wParam, LPARAM) {
  if (wParam != mainTimer_ || shutDown_) return TRUE;
  driver_->Pass();
  // An exit asked for inside a pass or under a box runs once both are over (a
  // tick inside a box returns here with the box still up).
  if (exitDeferred_ && !driver_->InPass() && !driver_->PromptUp()) {
    exitDeferred_ = false;
    OnExit();
  }
  return TRUE;
}

INT_PTR CQuillonDlg::OnTray(WPARAM wParam, LPARAM lParam) {
  if (wParam != kTrayId) return TRUE;
  if (lParam == WM_LBUTTONDBLCLK) {
    PostCommand(ID_SHOW_WINDOW);
  } else if (lParam == WM_RBUTTONDOWN) {
    const MenuItem items[] = {{ID_SHOW_WINDOW, J(u8"ｳｨﾝﾄﾞｳの表示")}, {IDC_EXIT, J(u8"ｱﾌﾟﾘｹｰｼｮﾝの終了")}};
    ShowPopupMenuAtCursor(Handle(), items, 2);
  }
  return TRUE;
}

INT_PTR CQuillonDlg::OnTimeSocket(WPARAM, LPARAM) {
  if (activeTimeReceiver) activeTimeReceiver->OnDatagrams();
  return TRUE;
}

INT_PTR CQuillonDlg::OnNotify(WPARAM, LPARAM lParam) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->idFrom == IDC_RESERVATION_LIST && header->code == NM_DBLCLK)
    ShowReceptionOf(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
  return FALSE;
}

void CQuillonDlg::ShowReceptionOf(int row) {
  if (row < 0) return;
  HWND list = Item(IDC_RESERVATION_LIST);
  Reservation* entry = driver_->FindPending(static_cast<std::uint32_t>(list_view::RowData(list, row)));
  if (!entry || !entry->window) return;
  if (auto* handle = dynamic_cast<ReceptionWindowHandle*>(entry->window.get())) handle->Dialog().ShowOnTop();
}

INT_PTR CQuillonDlg::OnClose(WPARAM, LPARAM) {
  OnHide();
  return TRUE;
}

void CQuillonDlg::OnExit() {
  // A box's loop dispatches this command; the box (and any pass) must end
  // first, so that no second box opens on top of it and nothing it belongs to
  // goes away under it. Posting the command again would keep the queue busy,
  // and a dialog's timer never fires while posted messages wait.
  if (driver_->InPass() || driver_->PromptUp()) {
    exitDeferred_ = true;
    return;
  }
  if (!driver_->Pending().empty()) {
    // Captioned with the program's name, not the window title that the planner
    // and a second copy look for.
    driver_->PromptOpened();
    const int answer = ShowMessageBox(Handle(), LoadCp932String(instance_, IDS_CONFIRM_EXIT), J(u8"データ受信ユニット"),
                                      MB_YESNO | MB_ICONINFORMATION);
    driver_->PromptClosed();
    if (answer != IDYES || shutDown_) return;
  }
  ShutDown(false);
  End(IDC_EXIT);
}

void CQuillonDlg::ShutDown(bool sessionEnds) {
  if (shutDown_) return;
  shutDown_ = true;
  if (mainTimer_) Dialog::StopTimer(mainTimer_);
  mainTimer_ = 0;
  if (sessionEnds)
    driver_->EndSession();
  else
    driver_->Shutdown();
  tray_.Remove();
}

// Windows ends the session: the process will not see command 1, so the results
// of finished receptions and "Info count" are written now. The message is sent,
// so it may arrive inside a pass: the driver leaves the lists to that pass.
INT_PTR CQuillonDlg::OnEndSession(WPARAM wParam, LPARAM) {
  if (wParam) ShutDown(true);
  return TRUE;
}

INT_PTR CQuillonDlg::OnWindowPosChanging(WPARAM, LPARAM lParam) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
  if (keepHidden_) pos->flags &= ~SWP_SHOWWINDOW;
  return FALSE;
}

void CQuillonDlg::OnHide() { ShowWindow(Handle(), SW_HIDE); }

void CQuillonDlg::OnRescan() {
  if (!shutDown_) driver_->Rescan();
}

void CQuillonDlg::OnReloadSettings() { driver_->ReloadSettings(); }

void CQuillonDlg::OnStartTime() {
  if (!shutDown_) driver_->StartTimeReceiver();
}

void CQuillonDlg::OnShowWindow() {
  keepHidden_ = false;
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  BringWindowToTop(Handle());
}

// ---- ScheduleHost ----------------------------------------------------------

std::unique_ptr<ReceptionHandle> CQuillonDlg::OpenReception(const ReceptionOrder& order) {
  auto dialog = std::make_unique<CReceptionDlg>(order, fs_, clock_);
  if (!dialog->Open(instance_, Handle())) return nullptr;
  return std::make_unique<ReceptionWindowHandle>(std::move(dialog));
}

std::unique_ptr<ScheduleTimeReceiver> CQuillonDlg::OpenTimeReceiver(std::int32_t timeError) {
  return std::make_unique<TimeReceiverHandle>(*this, *settings_, clock_, timeError);
}

void CQuillonDlg::ShowPending(const std::list<Reservation>& pending) {
  HWND list = Item(IDC_RESERVATION_LIST);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  int row = 0;
  for (const Reservation& r : pending) {
    const int at = list_view::AddRow(list, row, r.record.name, r.window ? kImageReceiving : kImageWaiting,
                                     static_cast<LPARAM>(r.record.reservationId));
    if (at >= 0) list_view::SetCellText(list, at, 1, FormatLocalTime(r.scheduledStart, "%m/%d %H:%M"));
    ++row;
  }
}

void CQuillonDlg::MarkReceiving(const Reservation& entry) {
  HWND list = Item(IDC_RESERVATION_LIST);
  const int row = list_view::FindRow(list, static_cast<LPARAM>(entry.record.reservationId), &entry.record.name);
  if (row >= 0) list_view::SetImage(list, row, kImageReceiving);
}

void CQuillonDlg::RemoveRow(const Reservation& entry) {
  HWND list = Item(IDC_RESERVATION_LIST);
  const int row = list_view::FindRow(list, static_cast<LPARAM>(entry.record.reservationId), &entry.record.name);
  if (row >= 0) SendMessageW(list, LVM_DELETEITEM, row, 0);
}

void CQuillonDlg::NotifyPlanner() {
  if (HWND planner = FindPlannerWindow()) PostMessageW(planner, WM_COMMAND, peer::kCmdPlannerRefresh, 0);
}

void CQuillonDlg::CheckSelector() { ::CheckSelector(instance_, Handle(), store_); }

// Owned by the main window: the reception window may close while it is up.
void CQuillonDlg::ShowBindError(int code) {
  char text[64];
  std::snprintf(text, sizeof text, "Bind error %d", code);
  ShowMessageBox(Handle(), text, J(u8"受信ユニット"), MB_OK);
}

void CQuillonDlg::OpenAutorun(const std::string& command, const std::string& storageFolder) {
  const AutorunCommand run = SplitAutorun(command, storageFolder);
  ShellExecuteW(Handle(), L"open", Cp932ToWide(run.program).c_str(), Cp932ToWide(run.parameters).c_str(), L"",
                SW_SHOW);
}

std::string CQuillonDlg::DefaultHistoryFolder() {
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  // The drive of the Windows folder.
  return JoinPath(VolumeRoot(WideToCp932(windows)), "Program Files\\Lumivent\\Temporary\\");
}
