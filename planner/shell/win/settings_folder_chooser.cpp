// The folder chooser: every folder node carries a placeholder child until it
// is opened; network places are enumerated on a worker thread with a time
// limit, so a place that does not answer never freezes the sheet.
#include "planner/shell/win/settings_folder_chooser.h"

#include <commctrl.h>
#include <winnetwk.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "planner/shell/settings_folder_rules.h"
#include "planner/shell/win/resource.h"

namespace {

struct NodeData {
  std::string path;        // a folder (cp932, no trailing "\" except a drive root); empty for network containers
  bool network = false;    // a network container (provider, domain, server)
  NETRESOURCEW resource{};  // for a network container
  std::wstring remoteName, provider;
  bool opened = false;
};

// One network enumeration, shared by the dialog and its worker thread; the
// last of the two to let go frees it.
struct NetworkQuery {
  LONG refs = 2;
  bool top = true;
  std::wstring remoteName, provider;
  struct Found {
    std::wstring name;  // remote name
    std::wstring provider;
    bool container = false;
    bool disk = false;
  };
  std::vector<Found> found;
  void Release() {
    if (InterlockedDecrement(&refs) == 0) delete this;
  }
};

DWORD WINAPI EnumerateNetwork(void* arg) {
  NetworkQuery* q = static_cast<NetworkQuery*>(arg);
  NETRESOURCEW parent = {};
  parent.dwUsage = RESOURCEUSAGE_CONTAINER;
  parent.lpRemoteName = q->remoteName.empty() ? nullptr : &q->remoteName[0];
  parent.lpProvider = q->provider.empty() ? nullptr : &q->provider[0];
  HANDLE e = nullptr;
  if (WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_DISK, 0, q->top ? nullptr : &parent, &e) == NO_ERROR) {
    std::vector<BYTE> buffer(16384);
    for (;;) {
      DWORD count = static_cast<DWORD>(-1), size = static_cast<DWORD>(buffer.size());
      DWORD r = WNetEnumResourceW(e, &count, buffer.data(), &size);
      if (r != NO_ERROR) break;
      const NETRESOURCEW* items = reinterpret_cast<const NETRESOURCEW*>(buffer.data());
      for (DWORD i = 0; i < count; ++i) {
        NetworkQuery::Found f;
        f.name = items[i].lpRemoteName ? items[i].lpRemoteName : L"";
        f.provider = items[i].lpProvider ? items[i].lpProvider : L"";
        f.container = (items[i].dwUsage & RESOURCEUSAGE_CONTAINER) != 0;
        f.disk = items[i].dwType == RESOURCETYPE_DISK;
        if (!f.name.empty()) q->found.push_back(f);
      }
    }
    WNetCloseEnum(e);
  }
  q->Release();
  return 0;
}

// A message with one "%s".
std::string FormatText(const std::string& format, const std::string& value) {
  std::vector<char> text(format.size() + value.size() + 16);
  std::snprintf(text.data(), text.size(), format.c_str(), value.c_str());
  return text.data();
}

// A node's label: the last component ("share" of "\\server\share", "server"
// of "\\server").
std::string Label(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparator(path);
  const std::size_t last = LastSeparator(trimmed);
  return last == std::string::npos ? trimmed : trimmed.substr(last + 1);
}

class CFolderChooser : public DialogImpl<CFolderChooser> {
 public:
  CFolderChooser(HINSTANCE instance, const std::string& initial) : instance_(instance), initial_(initial) {}
  std::string chosen;
  static const MessageEntry kMessages[];
  static const CommandEntry kCommands[];

 private:
  HWND Tree() const { return Item(IDC_FC_TREE); }

  HTREEITEM Insert(HTREEITEM parent, const std::string& label, std::unique_ptr<NodeData> data, bool expandable) {
    std::wstring text = Cp932ToWide(label);
    TVINSERTSTRUCTW ins = {};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    ins.item.pszText = &text[0];
    ins.item.cChildren = expandable ? 1 : 0;
    ins.item.lParam = static_cast<LPARAM>(nodes_.size());
    nodes_.push_back(std::move(data));
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    if (item && expandable) {
      // The placeholder child that makes the node expandable before it is read.
      std::wstring dummy = L"dummy";
      TVINSERTSTRUCTW child = {};
      child.hParent = item;
      child.hInsertAfter = TVI_LAST;
      child.item.mask = TVIF_TEXT | TVIF_PARAM;
      child.item.pszText = &dummy[0];
      child.item.lParam = -1;
      SendMessageW(Tree(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&child));
    }
    return item;
  }

  NodeData* Data(HTREEITEM item) const {
    TVITEMW tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!item || !SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
    return tv.lParam >= 0 && static_cast<std::size_t>(tv.lParam) < nodes_.size() ? nodes_[tv.lParam].get() : nullptr;
  }

  static std::unique_ptr<NodeData> Folder(const std::string& path) {
    auto d = std::make_unique<NodeData>();
    d->path = path;
    return d;
  }

  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    wchar_t drives[512] = {};
    GetLogicalDriveStringsW(511, drives);
    for (const wchar_t* d = drives; *d; d += wcslen(d) + 1) {
      const std::string root = WideToCp932(d);  // "C:\"
      Insert(TVI_ROOT, root.substr(0, 2), Folder(root), true);
    }
    auto network = std::make_unique<NodeData>();
    network->network = true;
    networkNode_ = Insert(TVI_ROOT, LoadCp932String(instance_, IDS_SETTINGS_NETWORK), std::move(network), true);
    ShowSelection(nullptr);
    if (!initial_.empty()) SetItemText(IDC_FC_PATH, initial_);
    SelectInitial();
    return TRUE;
  }

  HTREEITEM Child(HTREEITEM item, UINT which) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(Tree(), TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item)));
  }

  // The tree opens at the folder the chooser was given, as far down as its
  // folders exist; a network path opens nothing (its places answer slowly).
  void SelectInitial() {
    if (!IsAbsolutePath(initial_)) return;
    const std::string root = VolumeRoot(initial_);
    HTREEITEM item = nullptr;
    for (HTREEITEM top = Child(nullptr, TVGN_ROOT); top && !item; top = Child(top, TVGN_NEXT)) {
      const NodeData* d = Data(top);
      if (d && !d->network && !d->path.empty() && SamePath(d->path, root)) item = top;
    }
    if (!item) return;
    for (const std::string& part : PathComponents(initial_)) {
      NodeData* d = Data(item);
      if (!d) break;
      const std::string wanted = JoinPath(d->path, part);
      Expand(item);
      HTREEITEM found = nullptr;
      for (HTREEITEM c = Child(item, TVGN_CHILD); c && !found; c = Child(c, TVGN_NEXT)) {
        const NodeData* cd = Data(c);
        if (cd && SamePath(cd->path, wanted)) found = c;
      }
      if (!found) break;
      SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
      item = found;
    }
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SendMessageW(Tree(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  }

  void ReadFolder(HTREEITEM item, NodeData& d) {
    std::vector<FoundFile> found = PlatformFiles().Find(JoinPath(d.path, "*"));
    for (const FoundFile& f : found) {
      if (!f.isFolder || f.name == "." || f.name == "..") continue;
      Insert(item, f.name, Folder(JoinPath(d.path, f.name)), true);
    }
  }

  // A network container: asked on a worker thread; what does not answer in
  // time is shown as unavailable and the worker's late answer is dropped.
  void ReadNetwork(HTREEITEM item, NodeData& d) {
    NetworkQuery* q = new NetworkQuery;
    q->top = item == networkNode_;
    q->remoteName = d.remoteName;
    q->provider = d.provider;
    HANDLE thread = CreateThread(nullptr, 0, EnumerateNetwork, q, 0, nullptr);
    if (!thread) {
      q->Release();
      q->Release();
      return;
    }
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const bool answered = WaitForSingleObject(thread, kNetworkAnswerMs) == WAIT_OBJECT_0;
    SetCursor(old);
    CloseHandle(thread);
    if (!answered) {
      if (item == networkNode_) {
        std::wstring text = Cp932ToWide(LoadCp932String(instance_, IDS_SETTINGS_NO_ANSWER));
        TVITEMW tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = &text[0];
        SendMessageW(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
      }
      d.opened = false;
      q->Release();
      return;
    }
    for (const NetworkQuery::Found& f : q->found) {
      const std::string name = WideToCp932(f.name);
      if (f.container) {
        auto c = std::make_unique<NodeData>();
        c->network = true;
        c->remoteName = f.name;
        c->provider = f.provider;
        Insert(item, Label(name), std::move(c), true);
      } else if (f.disk) {
        Insert(item, Label(name), Folder(name), true);
      }
    }
    q->Release();
  }

  void Expand(HTREEITEM item) {
    NodeData* d = Data(item);
    if (!d || d->opened) return;
    d->opened = true;
    if (HTREEITEM child = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)))) {
      SendMessageW(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
    }
    if (d->network) ReadNetwork(item, *d);
    else ReadFolder(item, *d);
  }

  void ShowSelection(HTREEITEM item) {
    NodeData* d = Data(item);
    const bool folder = d && !d->path.empty();
    EnableWindow(Item(IDC_FC_OK), folder);
    std::uint64_t bytes = 0;
    const std::string root = folder ? VolumeRoot(d->path) : std::string();
    const bool known = folder && !root.empty() && PlatformFiles().FreeSpace(root, &bytes);
    if (folder) SetItemText(IDC_FC_PATH, d->path);
    SetItemText(IDC_FC_FREE, known ? std::to_string(bytes / 1024) : std::string());
    for (int id : {IDC_FC_PATH, IDC_FC_FREE, IDC_FC_KB}) ShowWindow(Item(id), known ? SW_SHOW : SW_HIDE);
  }

  HTREEITEM Selected() const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_GETNEXTITEM, TVGN_CARET, 0));
  }

  void CreateFolder() {
    HTREEITEM parent = Selected();
    NodeData* d = Data(parent);
    if (!d || d->path.empty()) return;
    Expand(parent);
    const std::string path = JoinPath(d->path, LoadCp932String(instance_, IDS_FC_NEW_FOLDER));
    if (!PlatformFiles().MakeFolder(path)) {
      Tell(FormatText(LoadCp932String(instance_, IDS_FC_CREATE_FAILED), path));
      return;
    }
    SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    HTREEITEM item = Insert(parent, Label(path), Folder(path), false);
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SetFocus(Tree());
    newFolder_ = item;
    SendMessageW(Tree(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item));
  }

  void DeleteFolder() {
    HTREEITEM item = Selected();
    NodeData* d = Data(item);
    // A drive or share root is no folder to remove.
    if (!d || d->path.empty() || PathComponents(d->path).empty()) return;
    if (!PlatformFiles().RemoveFolder(d->path)) {
      Tell(LoadCp932String(instance_, IDS_FC_DELETE_FAILED));
      return;
    }
    if (item == newFolder_) newFolder_ = nullptr;
    SendMessageW(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
  }

  void Tell(const std::string& text) {
    ShowMessageBox(Handle(), text, J(u8"フォルダの選択"), MB_OK | MB_ICONEXCLAMATION);
  }

  // Only the folder just made by "ﾌｫﾙﾀﾞの作成" is named here: a label edit
  // must never rename a folder that other programs may use.
  BOOL RefusesLabelEdit(const NMTVDISPINFOW* info) const {
    return info->item.hItem != newFolder_ || !newFolder_;
  }

  INT_PTR EndLabelEdit(const NMTVDISPINFOW* info) {
    NodeData* d = Data(info->item.hItem);
    if (info->item.hItem != newFolder_ || !d || d->path.empty() || !info->item.pszText || !*info->item.pszText)
      return FALSE;
    const std::string name = WideToCp932(info->item.pszText);
    if (!IsFolderNameAllowed(name)) {
      Tell(FormatText(LoadCp932String(instance_, IDS_FC_BAD_NAME), name));
      return FALSE;
    }
    const std::string renamed = JoinPath(ParentFolder(d->path), name);
    if (!PlatformFiles().Rename(d->path, renamed)) {
      Tell(FormatText(LoadCp932String(instance_, IDS_FC_RENAME_FAILED), renamed));
      return FALSE;
    }
    d->path = renamed;
    newFolder_ = nullptr;
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, 0);
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(info->item.hItem));
    ShowSelection(info->item.hItem);
    return TRUE;
  }

  INT_PTR OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR* n = reinterpret_cast<const NMHDR*>(lParam);
    if (n->idFrom != IDC_FC_TREE) return FALSE;
    switch (n->code) {
      case TVN_ITEMEXPANDINGW: {
        const NMTREEVIEWW* tv = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        if (tv->action & TVE_EXPAND) Expand(tv->itemNew.hItem);
        return FALSE;
      }
      case TVN_SELCHANGEDW:
        ShowSelection(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemNew.hItem);
        return FALSE;
      case TVN_KEYDOWN:
        // F2 names the selected folder as in the shell's own windows; the
        // label edit decides which folder may be named.
        if (reinterpret_cast<const NMTVKEYDOWN*>(lParam)->wVKey == VK_F2) {
          if (HTREEITEM item = Selected()) SendMessageW(Tree(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item));
        }
        return FALSE;
      case TVN_BEGINLABELEDITW:
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, RefusesLabelEdit(reinterpret_cast<const NMTVDISPINFOW*>(lParam)));
        return TRUE;
      case TVN_ENDLABELEDITW:
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, EndLabelEdit(reinterpret_cast<const NMTVDISPINFOW*>(lParam)));
        return TRUE;
      case NM_RCLICK: {
        POINT at;
        GetCursorPos(&at);
        TVHITTESTINFO hit = {};
        hit.pt = at;
        ScreenToClient(Tree(), &hit.pt);
        if (HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)))) {
          SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        }
        HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_FOLDER_CHOOSER_MENU));
        if (menu) {
          TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
          DestroyMenu(menu);
        }
        return TRUE;
      }
    }
    return FALSE;
  }

  void OnOk() {
    NodeData* d = Data(Selected());
    if (!d || d->path.empty()) return;
    chosen = d->path;
    End(IDOK);
  }
  void OnCancel() { End(IDCANCEL); }

  HINSTANCE instance_;
  std::string initial_;
  std::vector<std::unique_ptr<NodeData>> nodes_;
  HTREEITEM networkNode_ = nullptr;
  HTREEITEM newFolder_ = nullptr;  // made by "ﾌｫﾙﾀﾞの作成" and not yet named
};

const CFolderChooser::MessageEntry CFolderChooser::kMessages[] = {
    {WM_INITDIALOG, &CFolderChooser::OnInitDialog}, {WM_NOTIFY, &CFolderChooser::OnNotify}, {0, nullptr}};
const CFolderChooser::CommandEntry CFolderChooser::kCommands[] = {{IDC_FC_OK, &CFolderChooser::OnOk},
                                                                  {ID_FC_SELECT, &CFolderChooser::OnOk},
                                                                  {IDCANCEL, &CFolderChooser::OnCancel},
                                                                  {ID_FC_CREATE, &CFolderChooser::CreateFolder},
                                                                  {ID_FC_DELETE, &CFolderChooser::DeleteFolder},
                                                                  {0, nullptr}};

}  // namespace

bool ChooseFolder(HINSTANCE instance, HWND owner, const std::string& initial, std::string* chosen) {
  CFolderChooser dialog(instance, initial);
  if (dialog.RunModal(instance, IDD_FOLDER_CHOOSER, owner) != IDOK) return false;
  *chosen = dialog.chosen;
  return true;
}
