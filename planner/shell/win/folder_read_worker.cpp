#include "planner/shell/win/folder_read_worker.h"

#include <winnetwk.h>

#include <memory>
#include <utility>

#include "common/files.h"
#include "common/win/scoped_win.h"
#include "planner/shell/folder_reads.h"

namespace {

struct Job {
  std::shared_ptr<FolderAnswerBox> box;
  FolderQuestion question;
};

std::vector<NetworkPlace> ReadNetwork(const FolderQuestion& q) {
  std::vector<NetworkPlace> places;
  std::wstring remoteName = q.remoteName, provider = q.provider;
  NETRESOURCEW parent = {};
  parent.dwUsage = RESOURCEUSAGE_CONTAINER;
  parent.lpRemoteName = remoteName.empty() ? nullptr : &remoteName[0];
  parent.lpProvider = provider.empty() ? nullptr : &provider[0];
  ScopedNetEnum e;
  if (WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_DISK, 0, q.top ? nullptr : &parent, e.Receive()) != NO_ERROR)
    return places;
  std::vector<BYTE> buffer(16384);
  for (;;) {
    DWORD count = static_cast<DWORD>(-1), size = static_cast<DWORD>(buffer.size());
    if (WNetEnumResourceW(e.Get(), &count, buffer.data(), &size) != NO_ERROR) break;
    const NETRESOURCEW* items = reinterpret_cast<const NETRESOURCEW*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
      NetworkPlace p;
      p.name = items[i].lpRemoteName ? items[i].lpRemoteName : L"";
      p.provider = items[i].lpProvider ? items[i].lpProvider : L"";
      p.container = (items[i].dwUsage & RESOURCEUSAGE_CONTAINER) != 0;
      p.disk = items[i].dwType == RESOURCETYPE_DISK;
      if (!p.name.empty()) places.push_back(std::move(p));
    }
  }
  return places;
}

}  // namespace

std::shared_ptr<FolderAnswerBox> FolderAnswerBox::Open(HWND window) {
  return std::shared_ptr<FolderAnswerBox>(new FolderAnswerBox(window));
}

FolderAnswerBox::FolderAnswerBox(HWND window) : window_(window) { InitializeCriticalSection(&lock_); }

FolderAnswerBox::~FolderAnswerBox() { DeleteCriticalSection(&lock_); }

bool FolderAnswerBox::Ask(const FolderQuestion& question) {
  auto job = std::make_unique<Job>(Job{shared_from_this(), question});
  const ScopedHandle thread(CreateThread(nullptr, 0, Work, job.get(), 0, nullptr));
  if (!thread) return false;
  job.release();  // the worker's now
  return true;
}

DWORD WINAPI FolderAnswerBox::Work(void* arg) {
  std::unique_ptr<Job> job(static_cast<Job*>(arg));
  FolderAnswer answer;
  answer.question = job->question;
  switch (job->question.kind) {
    case FolderQuestion::Kind::SubFolders:
      answer.subFolders = ReadSubFolders(PlatformFiles(), job->question.folder);
      break;
    case FolderQuestion::Kind::FreeSpace:
      answer.freeKnown = PlatformFiles().FreeSpace(job->question.folder, &answer.freeBytes);
      break;
    case FolderQuestion::Kind::Network:
      answer.places = ReadNetwork(job->question);
      break;
  }
  job->box->Put(std::move(answer));
  return 0;
}

void FolderAnswerBox::Put(FolderAnswer answer) {
  EnterCriticalSection(&lock_);
  if (window_) {
    answers_.push_back(std::move(answer));
    // One message for a box that was empty: the window takes all that waits.
    if (answers_.size() == 1) PostMessageW(window_, kFolderAnswersMessage, 0, 0);
  }
  LeaveCriticalSection(&lock_);
}

std::vector<FolderAnswer> FolderAnswerBox::Take() {
  std::vector<FolderAnswer> taken;
  EnterCriticalSection(&lock_);
  taken.swap(answers_);
  LeaveCriticalSection(&lock_);
  return taken;
}

void FolderAnswerBox::Close() {
  EnterCriticalSection(&lock_);
  window_ = nullptr;
  answers_.clear();
  LeaveCriticalSection(&lock_);
}
