// The folder chooser: every folder node carries a placeholder child until it
// is opened. Folders, free space and network places are read on worker
// threads and their answers posted back, so a share or a network place that
// answers slowly or never leaves the sheet responsive; a network place that
// has not answered in time is shown as unavailable.
#include "planner/shell/win/settings_folder_chooser.h"

#include <commctrl.h>
#include <cstdio>
#include <memory>
#include <vector>

#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "common/win/dialog.h"
#include "common/win/message_box.h"
#include "common/win/scoped_win.h"
#include "planner/shell/folder_reads.h"
#include "planner/shell/settings_folder_rules.h"
#include "planner/shell/win/folder_read_worker.h"
#include "planner/shell/win/resource.h"

namespace {

struct NodeData {
  std::string path;        // a folder (cp932, no trailing "\" except a drive root); empty for network containers
  bool network = false;    // a network container (provider, domain, server)
  bool top = false;        // the top of the network
  std::wstring remoteName, provider;
  HTREEITEM item = nullptr;  // null once the node has left the tree
  bool opened = false;
  bool reading = false;      // its children are being read
  DWORD askedAt = 0;         // when the read of a network container started
};

// Ids of the timer that gives up on network places that do not answer.
constexpr UINT_PTR kFirstTimer = 1, kLastTimer = 9;
constexpr UINT kNetworkCheckMs = 250;

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
  ~CFolderChooser() override { CloseBox(); }
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
    NodeData* node = data.get();
    nodes_.push_back(std::move(data));
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(Tree(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    node->item = item;
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

  LPARAM Param(HTREEITEM item) const {
    TVITEMW tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    if (!item || !SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return -1;
    return tv.lParam;
  }

  NodeData* Node(LPARAM index) const {
    return index >= 0 && static_cast<std::size_t>(index) < nodes_.size() ? nodes_[index].get() : nullptr;
  }
  NodeData* Data(HTREEITEM item) const { return Node(Param(item)); }

  static std::unique_ptr<NodeData> Folder(const std::string& path) {
    auto d = std::make_unique<NodeData>();
    d->path = path;
    return d;
  }

  INT_PTR OnInitDialog(WPARAM, LPARAM) {
    box_ = FolderAnswerBox::Open(Handle());
    wchar_t drives[512] = {};
    GetLogicalDriveStringsW(511, drives);
    for (const wchar_t* d = drives; *d; d += wcslen(d) + 1) {
      const std::string root = WideToCp932(d);  // "C:\"
      Insert(TVI_ROOT, root.substr(0, 2), Folder(root), true);
    }
    auto network = std::make_unique<NodeData>();
    network->network = true;
    network->top = true;
    networkNode_ = Insert(TVI_ROOT, LoadCp932String(instance_, IDS_SETTINGS_NETWORK), std::move(network), true);
    ShowSelection(nullptr);
    if (!initial_.empty()) SetItemText(IDC_FC_PATH, initial_);
    SelectInitial();
    return TRUE;
  }

  // Answers that arrive after this are dropped by the box, not delivered.
  void CloseBox() {
    if (box_) box_->Close();
    box_.reset();
  }

  INT_PTR OnDestroy(WPARAM, LPARAM) {
    CloseBox();
    walking_ = false;
    return FALSE;
  }

  HTREEITEM Child(HTREEITEM item, UINT which) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(Tree(), TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item)));
  }

  void Select(HTREEITEM item) {
    SendMessageW(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    SendMessageW(Tree(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  }

  // The tree opens at the folder the chooser was given, as far down as its
  // folders exist; a network path opens nothing (its places answer slowly).
  // Each level is read on a worker: the walk goes on as its answer comes in.
  void SelectInitial() {
    if (!IsAbsolutePath(initial_)) return;
    const std::string root = VolumeRoot(initial_);
    for (HTREEITEM top = Child(nullptr, TVGN_ROOT); top && !walking_; top = Child(top, TVGN_NEXT)) {
      const NodeData* d = Data(top);
      if (d && !d->network && !d->path.empty() && SamePath(d->path, root)) {
        walking_ = true;
        walkNode_ = Param(top);
      }
    }
    walkParts_ = PathComponents(initial_);
    walkNext_ = 0;
    ContinueWalk();
  }

  void ContinueWalk() {
    while (walking_) {
      NodeData* d = Node(walkNode_);
      if (!d || !d->item) {
        walking_ = false;
        return;
      }
      if (!d->opened) Expand(d->item);
      if (d->reading) return;  // goes on when the answer is in
      HTREEITEM found = nullptr;
      if (walkNext_ < walkParts_.size()) {
        const std::string wanted = JoinPath(d->path, walkParts_[walkNext_]);
        for (HTREEITEM c = Child(d->item, TVGN_CHILD); c && !found; c = Child(c, TVGN_NEXT)) {
          const NodeData* cd = Data(c);
          if (cd && SamePath(cd->path, wanted)) found = c;
        }
      }
      if (!found) {
        walking_ = false;
        Select(d->item);
        return;
      }
      SendMessageW(Tree(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(d->item));
      walkNode_ = Param(found);
      ++walkNext_;
    }
  }

  void Ask(const FolderQuestion& q) {
    if (!box_ || !box_->Ask(q)) GiveUp(q);
  }
  // No thread could be made: the node is left empty rather than read here.
  void GiveUp(const FolderQuestion& q) {
    if (q.kind == FolderQuestion::Kind::FreeSpace) {
      std::string next;
      freeSpace_.Answered(q.folder, &next);
      return;
    }
    if (NodeData* d = Node(static_cast<LPARAM>(q.node))) {
      d->reading = false;
      RemovePlaceholder(d->item);
    }
  }

  void RemovePlaceholder(HTREEITEM item) {
    for (HTREEITEM c = Child(item, TVGN_CHILD); c;) {
      HTREEITEM next = Child(c, TVGN_NEXT);
      if (Param(c) == -1) SendMessageW(Tree(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(c));
      c = next;
    }
  }

  void Expand(HTREEITEM item) {
    const LPARAM index = Param(item);
    NodeData* d = Node(index);
    if (!d || d->opened) return;
    d->opened = true;
    d->reading = true;
    FolderQuestion q;
    q.node = static_cast<std::size_t>(index);
    if (d->network) {
      q.kind = FolderQuestion::Kind::Network;
      q.top = d->top;
      q.remoteName = d->remoteName;
      q.provider = d->provider;
      d->askedAt = GetTickCount();
      if (!networkTimer_) networkTimer_ = StartTimer(kFirstTimer, kLastTimer, kNetworkCheckMs);
    } else {
      q.kind = FolderQuestion::Kind::SubFolders;
      q.folder = d->path;
    }
    Ask(q);
  }

  // Whether a child of item already stands for path. A folder made or named
  // here has its node already, whatever name a read of its parent saw.
  bool HasChild(HTREEITEM item, const std::string& path) const {
    for (const std::string& made : madeHere_)
      if (SamePath(made, path)) return true;
    for (HTREEITEM c = Child(item, TVGN_CHILD); c; c = Child(c, TVGN_NEXT)) {
      const NodeData* cd = Data(c);
      if (cd && !cd->path.empty() && SamePath(cd->path, path)) return true;
    }
    return false;
  }

  void TakeChildren(NodeData& d, const FolderAnswer& a) {
    d.reading = false;
    RemovePlaceholder(d.item);
    if (a.question.kind == FolderQuestion::Kind::SubFolders) {
      for (const std::string& name : a.subFolders) {
        const std::string path = JoinPath(d.path, name);
        if (!HasChild(d.item, path)) Insert(d.item, name, Folder(path), true);
      }
    } else {
      for (const NetworkPlace& f : a.places) {
        const std::string name = WideToCp932(f.name);
        if (f.container) {
          auto c = std::make_unique<NodeData>();
          c->network = true;
          c->remoteName = f.name;
          c->provider = f.provider;
          Insert(d.item, Label(name), std::move(c), true);
        } else if (f.disk) {
          Insert(d.item, Label(name), Folder(name), true);
        }
      }
    }
    if (!Child(d.item, TVGN_CHILD)) {
      // Nothing inside: the node loses its expand button.
      TVITEMW tv = {};
      tv.mask = TVIF_CHILDREN;
      tv.hItem = d.item;
      tv.cChildren = 0;
      SendMessageW(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    }
  }

  void ShowFreeSpace(const FolderAnswer& a) {
    std::string next;
    const bool current = freeSpace_.Answered(a.question.folder, &next);
    if (!next.empty()) AskFreeSpace(next);
    if (!current) return;
    shownVolume_ = a.freeKnown ? a.question.folder : std::string();
    SetItemText(IDC_FC_FREE, a.freeKnown ? std::to_string(a.freeBytes / 1024) : std::string());
    for (int id : {IDC_FC_PATH, IDC_FC_FREE, IDC_FC_KB}) ShowWindow(Item(id), a.freeKnown ? SW_SHOW : SW_HIDE);
  }

  INT_PTR OnAnswers(WPARAM, LPARAM) {
    if (!box_) return TRUE;
    for (const FolderAnswer& a : box_->Take()) {
      if (a.question.kind == FolderQuestion::Kind::FreeSpace) {
        ShowFreeSpace(a);
        continue;
      }
      // A node that has left the tree, or whose read was given up, takes nothing.
      NodeData* d = Node(static_cast<LPARAM>(a.question.node));
      if (!d || !d->item || !d->reading) continue;
      TakeChildren(*d, a);
      if (walking_ && walkNode_ == static_cast<LPARAM>(a.question.node)) ContinueWalk();
    }
    return TRUE;
  }

  // Network places that have not answered in time are shown as unavailable;
  // their late answers are dropped, and opening the node again asks again.
  INT_PTR OnTimer(WPARAM id, LPARAM) {
    if (id != networkTimer_) return FALSE;
    bool waiting = false;
    const DWORD now = GetTickCount();
    for (const auto& node : nodes_) {
      if (!node->network || !node->reading || !node->item) continue;
      if (now - node->askedAt < kNetworkAnswerMs) {
        waiting = true;
        continue;
      }
      node->reading = false;
      node->opened = false;
      SendMessageW(Tree(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node->item));
      if (node->item == networkNode_) {
        std::wstring text = Cp932ToWide(LoadCp932String(instance_, IDS_SETTINGS_NO_ANSWER));
        TVITEMW tv = {};
        tv.mask = TVIF_TEXT;
        tv.hItem = node->item;
        tv.pszText = &text[0];
        SendMessageW(Tree(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
      }
    }
    if (!waiting) {
      StopTimer(networkTimer_);
      networkTimer_ = 0;
    }
    return TRUE;
  }

  void AskFreeSpace(const std::string& volume) {
    FolderQuestion q;
    q.kind = FolderQuestion::Kind::FreeSpace;
    q.folder = volume;
    Ask(q);
  }

  // The path shows at once; the free space of its volume when the volume has
  // answered (the three controls stay hidden until then unless the volume is
  // the one already shown).
  void ShowSelection(HTREEITEM item) {
    NodeData* d = Data(item);
    const bool folder = d && !d->path.empty();
    Enable(IDC_FC_OK, folder);
    if (folder) SetItemText(IDC_FC_PATH, d->path);
    const std::string volume = folder ? VolumeRoot(d->path) : std::string();
    if (volume.empty() || !SamePath(volume, shownVolume_)) {
      shownVolume_.clear();
      SetItemText(IDC_FC_FREE, std::string());
      for (int id : {IDC_FC_PATH, IDC_FC_FREE, IDC_FC_KB}) ShowWindow(Item(id), SW_HIDE);
    }
    if (volume.empty()) {
      freeSpace_.Forget();
      return;
    }
    if (freeSpace_.Ask(volume)) AskFreeSpace(volume);
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
    madeHere_.push_back(path);
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
    madeHere_.push_back(renamed);
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
      case TVN_SELCHANGEDW: {
        const NMTREEVIEWW* tv = reinterpret_cast<const NMTREEVIEWW*>(lParam);
        // The user's own choice ends the walk to the initial folder.
        if (tv->action == TVC_BYMOUSE || tv->action == TVC_BYKEYBOARD) walking_ = false;
        ShowSelection(tv->itemNew.hItem);
        return FALSE;
      }
      case TVN_DELETEITEMW:
        if (NodeData* d = Node(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemOld.lParam)) {
          d->item = nullptr;
          d->reading = false;
        }
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
        const ScopedMenu menu(LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_FOLDER_CHOOSER_MENU)));
        if (menu) TrackPopupMenu(GetSubMenu(menu.Get(), 0), TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
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

  HINSTANCE instance_;
  std::string initial_;
  std::vector<std::unique_ptr<NodeData>> nodes_;
  HTREEITEM networkNode_ = nullptr;
  HTREEITEM newFolder_ = nullptr;  // made by "ﾌｫﾙﾀﾞの作成" and not yet named
  std::vector<std::string> madeHere_;  // folders made and named in this chooser
  std::shared_ptr<FolderAnswerBox> box_;  // shared with the workers; closed when the window goes
  LatestRequest freeSpace_;         // keyed by volume root
  std::string shownVolume_;         // the volume whose free space is shown
  UINT_PTR networkTimer_ = 0;
  // The walk down to the initial folder: the node reached and the next component.
  bool walking_ = false;
  LPARAM walkNode_ = -1;
  std::vector<std::string> walkParts_;
  std::size_t walkNext_ = 0;
};

const CFolderChooser::MessageEntry CFolderChooser::kMessages[] = {
    {WM_INITDIALOG, &CFolderChooser::OnInitDialog},
    {WM_NOTIFY, &CFolderChooser::OnNotify},
    {WM_TIMER, &CFolderChooser::OnTimer},
    {WM_DESTROY, &CFolderChooser::OnDestroy},
    {kFolderAnswersMessage, &CFolderChooser::OnAnswers},
    {0, nullptr}};
const CFolderChooser::CommandEntry CFolderChooser::kCommands[] = {{IDC_FC_OK, &CFolderChooser::OnOk},
                                                                  {ID_FC_SELECT, &CFolderChooser::OnOk},
                                                                  {ID_FC_CREATE, &CFolderChooser::CreateFolder},
                                                                  {ID_FC_DELETE, &CFolderChooser::DeleteFolder},
                                                                  // Enter while OK is disabled (no folder chosen) sends IDOK.
                                                                  {IDOK, &CFolderChooser::KeepOpen},
                                                                  {0, nullptr}};

}  // namespace

bool ChooseFolder(HINSTANCE instance, HWND owner, const std::string& initial, std::string* chosen) {
  CFolderChooser dialog(instance, initial);
  if (dialog.RunModal(instance, IDD_FOLDER_CHOOSER, owner) != IDOK) return false;
  *chosen = dialog.chosen;
  return true;
}
