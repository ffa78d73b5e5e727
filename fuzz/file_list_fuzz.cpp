// A FileList.mls from the air: whatever it says, content deletion removes nothing
// outside the storage folder; the past-records reader takes the same bytes as a
// damaged RsvData.log.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/files.h"
#include "common/safe_name.h"
#include "planner/history/file_list.h"
#include "planner/history/history_texts.h"

#if defined(_WIN32)
#error "native fuzz target"
#endif
#include <unistd.h>

namespace {

struct Sandbox {
  std::string root;
  Sandbox() {
    char name[] = "/tmp/filelistfuzz.XXXXXX";
    root = WithBackslash(mkdtemp(name));
  }
  ~Sandbox() {
    ClearFolder(PlatformFiles(), root);
    PlatformFiles().RemoveFolder(root);
  }
};

// Files every input is free to name; the ones outside the storage folder must survive.
const char* const kOutside[] = {"outside.txt", "sibling\\victim.txt", "CON", "a"};
const char* const kInside[] = {"store\\a", "store\\sub\\b.txt", "store\\sub\\deeper\\c"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The file seam first, so that the sandbox is removed before the seam goes.
  static FileSystem& fs = PlatformFiles();
  static Sandbox box;
  const std::string input(reinterpret_cast<const char*>(data), size);

  FileList list = ParseFileList(input);
  for (const std::string& f : list.files) {
    if (!IsSafeRelativePath(f)) std::abort();
  }
  ParsePastRecords(input);

  ClearFolder(fs, box.root);
  CreateFolderPath(fs, box.root + "sibling");
  CreateFolderPath(fs, box.root + "store\\sub\\deeper");
  for (const char* f : kOutside) fs.WriteAll(box.root + f, "keep");
  for (const char* f : kInside) fs.WriteAll(box.root + f, "x");
  fs.WriteAll(box.root + "store\\" + kFileListName, input);
  DeleteContentFiles(fs, box.root + "store");
  for (const char* f : kOutside) {
    if (!fs.Exists(box.root + f)) std::abort();
  }
  if (!fs.IsFolder(box.root + "sibling")) std::abort();
  return 0;
}
