// The folder chooser's reads on worker threads: the sub-folders of a folder,
// the free space of a volume, the places of a network container. Answers wait
// in a box the window and the workers share; the window is told by a posted
// message and takes them from the box. Closing the box (the window goes) drops
// what is in it and every later answer, so no worker touches the window after
// it has gone. The window and every worker share the box (std::shared_ptr):
// the last of them to let go frees it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Posted to the window when answers wait in its box.
constexpr UINT kFolderAnswersMessage = WM_APP + 0x212;

struct FolderQuestion {
  enum class Kind { SubFolders, FreeSpace, Network };
  Kind kind = Kind::SubFolders;
  std::size_t node = 0;  // the tree node asked about (sub-folders, network)
  std::string folder;    // the folder, or the volume root for free space
  // A network container: its remote name and provider (both empty for the
  // top of the network).
  bool top = false;
  std::wstring remoteName, provider;
};

struct NetworkPlace {
  std::wstring name;  // remote name
  std::wstring provider;
  bool container = false;
  bool disk = false;
};

struct FolderAnswer {
  FolderQuestion question;
  std::vector<std::string> subFolders;
  bool freeKnown = false;
  std::uint64_t freeBytes = 0;
  std::vector<NetworkPlace> places;
};

// Made only by Open: a worker holds the box by the same shared ownership.
class FolderAnswerBox : public std::enable_shared_from_this<FolderAnswerBox> {
 public:
  static std::shared_ptr<FolderAnswerBox> Open(HWND window);
  ~FolderAnswerBox();
  FolderAnswerBox(const FolderAnswerBox&) = delete;
  FolderAnswerBox& operator=(const FolderAnswerBox&) = delete;

  // Starts a worker for the question; false when no thread could be made.
  bool Ask(const FolderQuestion& question);
  // The answers that arrived since the last call, in their order.
  std::vector<FolderAnswer> Take();
  // The window is going: nothing more is taken or posted.
  void Close();

 private:
  explicit FolderAnswerBox(HWND window);
  static DWORD WINAPI Work(void* arg);
  void Put(FolderAnswer answer);

  CRITICAL_SECTION lock_;
  HWND window_;
  std::vector<FolderAnswer> answers_;
};
