// Collection of result records, retiring into RsvData.log, content deletion.
#include "planner/history/reception_history.h"

#include <algorithm>

#include "common/debug_log.h"
#include "common/files.h"
#include "common/path.h"
#include "common/reception_result.h"
#include "planner/history/file_list.h"

namespace {

// A reception without its file list is kept while its end may still lie ahead
// (the unit's clock may run ahead of ours by up to an hour).
constexpr Time32 kFileListGrace = 3600;

}  // namespace

bool AppendRsvDataLog(FileSystem& fs, const std::string& historyFolder, const std::string& line) {
  const std::string path = WithBackslash(historyFolder) + kRsvDataLogName;
  // An existing log that cannot be opened is never re-created: that would
  // truncate every line it holds.
  std::unique_ptr<FileStream> file =
      fs.Open(path, fs.Exists(path) ? OpenMode::WriteExisting : OpenMode::CreateReadWrite);
  if (!file) return false;
  const bool written = file->Write(line.data(), line.size()) && file->Flush();
  file->Close();
  return written;
}

bool ReceptionHistory::Listed(const std::string& resultFile) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const ReceivedEntry& e) { return e.resultFile == resultFile; });
}

void ReceptionHistory::Insert(ReceivedEntry entry) {
  auto later = std::find_if(entries_.begin(), entries_.end(), [&](const ReceivedEntry& e) {
    const ReceptionResult& listed = e.result;
    const ReceptionResult& added = entry.result;
    return listed.receivedFrom > added.receivedFrom ||
           (listed.receivedFrom == added.receivedFrom && listed.receivedUntil > added.receivedUntil);
  });
  entries_.insert(later, std::move(entry));
}

std::int64_t ReceptionHistory::ReceivedKbyte() const {
  std::int64_t total = 0;
  for (const ReceivedEntry& e : entries_) total += e.contentBytes / 1024;
  return total;
}

bool ReceptionHistory::RetireEntry(const ReceivedEntry& entry, const std::string& historyFolder) {
  const std::string folder = WithBackslash(historyFolder);
  if (!AppendRsvDataLog(fs_, folder, RsvDataLogLine(entry, clock_.Now()))) {
    DebugOut(folder + kRsvDataLogName + " cannot be written: " + entry.resultFile +
             " is kept for the next collection\n");
    return false;
  }
  historyExists_ = true;
  if (!entry.resultFile.empty() && !fs_.Remove(folder + entry.resultFile)) {
    if (retiredButKept_.insert(entry.resultFile).second) {
      DebugOut(folder + entry.resultFile + " cannot be deleted; it is logged and not collected again\n");
    }
  }
  return true;
}

ReceptionHistory::Fate ReceptionHistory::Collect(ReceivedEntry entry, const std::string& historyFolder) {
  // The newest reception into a folder supersedes the older ones.
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (!SameFolder(it->result.storageFolder, entry.result.storageFolder)) {
      ++it;
      continue;
    }
    if (it->result.receivedFrom < entry.result.receivedFrom) {
      // Unlinked even when its log line cannot be written: its INFO file stays
      // and the next collection retires it again as superseded.
      ReceivedEntry older = std::move(*it);
      it = entries_.erase(it);
      RetireEntry(older, historyFolder);
      continue;
    }
    return RetireEntry(entry, historyFolder) ? Fate::Retired : Fate::Postponed;
  }
  if (entry.result.port == 0) return RetireEntry(entry, historyFolder) ? Fate::Retired : Fate::Postponed;
  FileList list;
  if (ReadFileList(fs_, entry.result.storageFolder, &list)) {
    entry.contentBytes = list.totalBytes;
  } else if (entry.result.receivedUntil < clock_.Now() + kFileListGrace) {
    entry.contentBytes = 0;
  } else {
    return RetireEntry(entry, historyFolder) ? Fate::Retired : Fate::Postponed;
  }
  Insert(std::move(entry));
  return Fate::Listed;
}

void ReceptionHistory::Clear() {
  entries_.clear();
  retiredButKept_.clear();
  historyExists_ = false;
  folder_.clear();
}

bool ReceptionHistory::CollectResults(const std::string& historyFolder) {
  if (historyFolder.empty()) return false;
  bool changed = false;
  if (!folder_.empty() && !SamePath(folder_, historyFolder)) {
    // The entries name their result records by file name only: kept, they
    // would hide the new folder's records of the same names and retire into
    // the wrong folder.
    DebugOut("received list: the history folder is now " + historyFolder + "; the list is collected anew\n");
    changed = !entries_.empty();
    Clear();
  }
  folder_ = historyFolder;
  const std::string folder = WithBackslash(historyFolder);
  if (fs_.Exists(folder + kRsvDataLogName)) historyExists_ = true;
  std::vector<FoundFile> found = fs_.Find(folder + kResultPattern);
  std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
  const std::size_t before = entries_.size();
  for (const FoundFile& f : found) {
    if (f.isFolder || Listed(f.name) || retiredButKept_.count(f.name)) continue;
    std::string data;
    // A record the unit is still writing is read at the next collection.
    if (!fs_.ReadAll(folder + f.name, &data) || data.size() < 4) continue;
    ReceptionResult result;
    if (!DecodeResult(data, &result)) {
      DebugOut(folder + f.name + " is no result record; deleted\n");
      fs_.Remove(folder + f.name);
      continue;
    }
    if (data.size() < kResultRecordSize) continue;
    const std::size_t listed = entries_.size();
    if (Collect(EntryFromResult(result, f.name), folder) == Fate::Listed || entries_.size() != listed) {
      changed = true;
    }
  }
  return changed || entries_.size() != before;
}

int ReceptionHistory::DeleteContent(const std::vector<ReceivedEntry>& selected, const std::string& historyFolder,
                                    DeletionReport* report) {
  // The entries' result records lie where they were collected.
  const std::string& from = folder_.empty() ? historyFolder : folder_;
  int removed = 0;
  for (const ReceivedEntry& wanted : selected) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const ReceivedEntry& e) { return SameReception(e, wanted); });
    if (it == entries_.end()) continue;
    ReceivedEntry entry = std::move(*it);
    entries_.erase(it);
    // A failed or missed reception owns no files: what its folder holds is an
    // earlier reception's, which it did not replace.
    if (entry.result.status == kResultSuccess) {
      ContentDeletion deleted = DeleteContentFiles(fs_, entry.result.storageFolder);
      if (report) report->filesLeft.insert(report->filesLeft.end(), deleted.left.begin(), deleted.left.end());
    }
    // Its files are gone, but the reception stays listed until its log line is
    // written: the INFO file is its only record.
    if (RetireEntry(entry, from)) {
      ++removed;
      const std::string record = JoinPath(from, entry.resultFile);
      if (report && !entry.resultFile.empty() && fs_.Exists(record)) report->filesLeft.push_back(record);
    } else {
      if (report) {
        report->notLogged.push_back(entry.result.name);
        report->logPath = JoinPath(from, kRsvDataLogName);
      }
      entry.contentBytes = 0;
      Insert(std::move(entry));
    }
  }
  return removed;
}
