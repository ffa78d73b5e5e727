// Dialog 141 "番組の受信詳細": one reception and the files it left, with type
// names and icons from HKEY_CLASSES_ROOT.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <map>

#include "common/settings.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/list_view.h"
#include "common/win/scoped_win.h"
#include "planner/history/history_texts.h"
#include "planner/history/win/dialog_layout.h"
#include "planner/history/win/history_dialogs.h"
#include "planner/history/win/history_windows.h"
#include "planner/shell/win/resource.h"

namespace {

// The default text value of a key; empty when the key or the value is missing.
std::wstring DefaultText(HKEY root, const std::wstring& path) {
  const ScopedRegKey key = OpenRegKey(root, path.c_str(), KEY_READ);
  if (!key) return std::wstring();
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD type = 0;
  DWORD bytes = sizeof buffer - sizeof(wchar_t);
  if (RegQueryValueExW(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::wstring();
  }
  std::wstring text(buffer);
  if (type == REG_EXPAND_SZ) {
    wchar_t expanded[MAX_PATH * 2] = {};
    if (ExpandEnvironmentStringsW(text.c_str(), expanded, MAX_PATH * 2)) text = expanded;
  }
  return text;
}

struct FileType {
  std::string name;
  ScopedIcon icon;  // the image list keeps its own copy
};

// The extension's class under HKEY_CLASSES_ROOT names the type; its DefaultIcon
// gives "file,index".
FileType LookUpFileType(const std::string& extension) {
  FileType type;
  type.name = FallbackTypeName(extension);
  if (extension.empty()) return type;
  const std::wstring cls = DefaultText(HKEY_CLASSES_ROOT, Cp932ToWide(extension));
  if (cls.empty()) return type;
  const std::wstring name = DefaultText(HKEY_CLASSES_ROOT, cls);
  if (!name.empty()) type.name = WideToCp932(name);
  std::wstring icon = DefaultText(HKEY_CLASSES_ROOT, cls + L"\\DefaultIcon");
  if (icon.empty() || icon.find(L"%1") != std::wstring::npos) return type;
  int index = 0;
  const std::size_t comma = icon.rfind(L',');
  if (comma != std::wstring::npos) {
    index = _wtoi(icon.c_str() + comma + 1);
    icon.resize(comma);
  }
  icon.erase(std::remove(icon.begin(), icon.end(), L'"'), icon.end());
  HICON small = nullptr;
  if (ExtractIconExW(icon.c_str(), index, nullptr, &small, 1) >= 1 && small) type.icon.Reset(small);
  return type;
}

class CReceptionDetailDlg : public DialogImpl<CReceptionDetailDlg> {
 public:
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];
  CReceptionDetailDlg(HistoryHost& host, const ReceivedEntry& entry) : host_(host), entry_(entry) {}

 private:
  INT_PTR OnInitDialog(WPARAM, LPARAM);
  INT_PTR OnNotify(WPARAM, LPARAM);
  INT_PTR OnDestroy(WPARAM, LPARAM);
  void OnClose() { End(IDOK); }
  void ShowFiles();
  int IconFor(const std::string& extension, std::string* typeName);

  HistoryHost& host_;
  const ReceivedEntry entry_;  // a copy: the list it came from may be rebuilt meanwhile
  ReceptionDetail detail_;
  HWND list_ = nullptr;
  HIMAGELIST images_ = nullptr;  // the list view's: it destroys them with itself
  std::map<std::string, std::pair<int, std::string>> types_;  // upper-cased extension -> icon, name
  int sortColumn_ = -1;
  bool sortDescending_ = false;
};

const CReceptionDetailDlg::MessageEntry CReceptionDetailDlg::kMessages[] = {
    {WM_INITDIALOG, &CReceptionDetailDlg::OnInitDialog},
    {WM_NOTIFY, &CReceptionDetailDlg::OnNotify},
    {WM_DESTROY, &CReceptionDetailDlg::OnDestroy},
    {0, nullptr}};
const CReceptionDetailDlg::CommandEntry CReceptionDetailDlg::kCommands[] = {
    {IDCANCEL, &CReceptionDetailDlg::OnClose}, {0, nullptr}};

INT_PTR CReceptionDetailDlg::OnInitDialog(WPARAM, LPARAM) {
  detail_ = MakeReceptionDetail(*host_.fs, entry_);
  SetItemText(IDC_DTL_NAME, detail_.name);
  SetItemText(IDC_DTL_RESULT, detail_.result);
  SetItemText(IDC_DTL_FOLDER, detail_.folder);
  SetItemText(IDC_DTL_FROM, detail_.from);
  SetItemText(IDC_DTL_UNTIL, detail_.until);
  SetItemText(IDC_DTL_SIZE, detail_.totalSize);
  list_ = Item(IDC_DTL_FILES);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  // The system's small icon size, which follows the screen's dpi.
  const int iconWidth = GetSystemMetrics(SM_CXSMICON), iconHeight = GetSystemMetrics(SM_CYSMICON);
  images_ = ImageList_Create(iconWidth, iconHeight, ILC_COLOR32 | ILC_MASK, 4, 4);
  const ScopedIcon generic(static_cast<HICON>(
      LoadImageW(host_.instance, MAKEINTRESOURCEW(IDI_HISTORY_FILE), IMAGE_ICON, iconWidth, iconHeight, 0)));
  ImageList_AddIcon(images_, generic.Get());
  list_view::SetSmallImages(list_, images_);
  AddColumns(list_, *host_.settings, kReportSizeKey, kDetailColumns);
  ShowFiles();
  return TRUE;
}

INT_PTR CReceptionDetailDlg::OnDestroy(WPARAM, LPARAM) {
  StoreColumnWidths(list_, *host_.settings, kReportSizeKey, kDetailColumns);
  return FALSE;
}

int CReceptionDetailDlg::IconFor(const std::string& extension, std::string* typeName) {
  const std::string key = AsciiUpper(extension);
  auto found = types_.find(key);
  if (found == types_.end()) {
    FileType type = LookUpFileType(extension);
    int index = 0;
    if (type.icon) {
      index = ImageList_AddIcon(images_, type.icon.Get());
      if (index < 0) index = 0;
    }
    found = types_.emplace(key, std::make_pair(index, type.name)).first;
  }
  *typeName = found->second.second;
  return found->second.first;
}

void CReceptionDetailDlg::ShowFiles() {
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t i = 0; i < detail_.files.size(); ++i) {
    const DetailFile& f = detail_.files[i];
    std::string typeName;
    const int icon = IconFor(f.extension, &typeName);
    const int row = list_view::AddRow(list_, static_cast<int>(i), f.fileName, icon, static_cast<LPARAM>(i));
    list_view::SetCellText(list_, row, 1, typeName);
    list_view::SetCellText(list_, row, 2, f.pathName);
    list_view::SetCellText(list_, row, 3, f.sizeText);
  }
}

INT_PTR CReceptionDetailDlg::OnNotify(WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->hwndFrom != list_) return FALSE;
  if (header->code == NM_DBLCLK) {
    const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
    if (row < 0) return FALSE;
    const LPARAM index = list_view::RowData(list_, row);
    if (index < 0 || static_cast<std::size_t>(index) >= detail_.files.size()) return FALSE;
    ShellExecuteW(Handle(), L"open", Cp932ToWide(detail_.files[index].fullPath).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
  } else if (header->code == LVN_COLUMNCLICK) {
    const int column = reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem;
    sortDescending_ = column == sortColumn_ ? !sortDescending_ : false;
    sortColumn_ = column;
    auto key = [this, column](const DetailFile& f) {
      std::string type;
      switch (column) {
        case 1: IconFor(f.extension, &type); return type;
        case 2: return f.pathName + f.fileName;
        default: return f.fileName;
      }
    };
    const bool down = sortDescending_;
    std::stable_sort(detail_.files.begin(), detail_.files.end(), [&](const DetailFile& a, const DetailFile& b) {
      if (column == 3) return down ? b.bytes < a.bytes : a.bytes < b.bytes;
      return down ? key(b) < key(a) : key(a) < key(b);
    });
    ShowFiles();
  }
  return FALSE;
}

}  // namespace

HIMAGELIST LoadHistoryIcons(HINSTANCE instance) {
  const int iconWidth = GetSystemMetrics(SM_CXSMICON), iconHeight = GetSystemMetrics(SM_CYSMICON);
  HIMAGELIST images = ImageList_Create(iconWidth, iconHeight, ILC_COLOR32 | ILC_MASK, 3, 0);
  for (int id : {IDI_HISTORY_LAUNCH, IDI_HISTORY_PLAIN, IDI_HISTORY_FAILED}) {
    const ScopedIcon icon(
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, iconWidth, iconHeight, 0)));
    ImageList_AddIcon(images, icon.Get());
  }
  return images;
}

void ShowReceptionDetail(HWND owner, HistoryHost& host, const ReceivedEntry& entry) {
  CReceptionDetailDlg dialog(host, entry);
  dialog.RunModal(host.instance, IDD_RECEPTION_DETAIL, owner);
}
