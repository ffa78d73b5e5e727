// What the folder chooser reads from volumes that may answer slowly (a share
// on a server that has gone): the sub-folders of a folder and the free space
// of a volume. The reads run on worker threads; the window keeps track of
// which answer it still wants.
#pragma once
#include <string>
#include <vector>

class FileSystem;

// The names of the folders directly inside folder (never "." or ".."), in the
// order the volume lists them.
std::vector<std::string> ReadSubFolders(FileSystem& fs, const std::string& folder);

// Latest question wins: at most one read is under way, and while it runs only
// the newest further question waits (a user moving through a tree of slow
// shares starts one read, not one per folder passed). An answer is shown only
// when it is for the question standing at the time it arrives.
class LatestRequest {
 public:
  // The window now wants key. True: start reading key now (and report it to
  // Answered); false: a read is under way and key waits for it.
  bool Ask(const std::string& key);
  // A read of key has answered. True: show it, it is what the window wants
  // now. *next is the key to start reading now, empty when there is none.
  bool Answered(const std::string& key, std::string* next);
  // The window wants nothing now (no folder selected): a read under way is
  // let finish and its answer dropped.
  void Forget();
  bool Running() const { return running_; }

 private:
  std::string wanted_;
  bool wanting_ = false;
  std::string reading_;
  bool running_ = false;
};
