// Any bytes as "CategoryList.dat": fifteen groups at most, each empty or
// framed by commas with no empty item, and the text it writes reads back alike.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "planner/timetable/colour_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  CategoryGroups groups = ParseCategoryList(input);
  for (const std::string& g : groups) {
    if (g.empty()) continue;
    if (g.front() != ',' || g.back() != ',' || g.find(",,") != std::string::npos) std::abort();
  }
  if (ParseCategoryList(FormatCategoryList(groups)) != groups) std::abort();
  if (ColourGroupOf(groups, "") != 0) std::abort();
  return 0;
}
