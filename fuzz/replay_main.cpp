// Runs a fuzz target over every file of its seed corpus, so that the normal test
// run replays the corpus without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<std::string> paths;
    if (DIR* dir = opendir(argv[i])) {
      while (dirent* e = readdir(dir)) {
        if (e->d_name[0] != '.') paths.push_back(std::string(argv[i]) + "/" + e->d_name);
      }
      closedir(dir);
    } else {
      paths.push_back(argv[i]);
    }
    for (const auto& p : paths) {
      std::ifstream in(p, std::ios::binary);
      std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
      ++files;
    }
  }
  std::printf("replayed %d inputs\n", files);
  return files > 0 ? 0 : 1;
}
