// The planner's rebuild from a schedule folder it shares with other planners
// and the unit: any bytes under a reservation or deletion request name. The
// input is cut into up to four files at 0xFF 0x00 separators; each file's first
// byte chooses its name form. The rebuild must keep its list sound (ordered,
// one entry per broadcast, lanes inside their group, the total matching) and
// delete nothing but files with foreign magic or duplicates inside the folder.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>
#include "common/files.h"
#include "common/reservation_file.h"
#include "planner/guide/guide_program.h"
#include "planner/reserve/reservation_files.h"
#include "tests/support/temp_folder.h"

namespace {
const Time32 kStart = MakeLocalTime(2026, 12, 10, 20, 0, 0);

GuideList& Guide() {
  static GuideList guide;
  if (guide.Empty()) {
    for (int i = 0; i < 4; ++i) {
      auto p = std::make_unique<GuideProgram>();
      p->programNumber = 1 + i;
      p->subNumber = 1;
      p->startTime = kStart + i * 1800;
      p->endTime = p->startTime + 3600;
      p->totalKbyte = 100;
      guide.Add(std::move(p));
    }
  }
  return guide;
}

std::string NameFor(unsigned char kind, int index) {
  switch (kind % 3) {
    case 0: return "RSV" + std::to_string(index) + ".SDL";
    case 1: return "PC" + std::to_string(index) + ".SDD";
    default: return ReservationFileName(kStart, 1 + kind % 4, 1);
  }
}

void Check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (i + 1 < size && data[i] == 0xFF && data[i + 1] == 0x00 && parts.size() < 4) {
      parts.emplace_back();
      ++i;
      continue;
    }
    parts.back() += static_cast<char>(data[i]);
  }
  TempFolder folder;
  FileSystem& fs = PlatformFiles();
  std::set<std::string> written;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (parts[i].empty()) continue;
    const std::string name = NameFor(static_cast<unsigned char>(parts[i][0]), static_cast<int>(i));
    fs.WriteAll(folder / name, parts[i].substr(1));
    written.insert(name);
  }
  ReservationList list;
  for (GuideProgram* p : Guide().Ordered()) p->state = 0;
  RebuildReservations(fs, folder.Path(), Guide(), 4, list, true);
  RebuildReservations(fs, folder.Path(), Guide(), 4, list, false);

  std::set<std::pair<int, int>> pairs;
  std::int64_t total = 0;
  const auto& e = list.Entries();
  for (std::size_t i = 0; i < e.size(); ++i) {
    Check(pairs.insert({e[i].record.programNumber, e[i].record.subNumber}).second);
    Check(e[i].laneCount >= 1 && e[i].laneCount <= kMaxLanes && e[i].laneIndex < e[i].laneCount);
    if (i > 0) Check(e[i - 1].startTime <= e[i].startTime);
    total += e[i].totalKbyte;
  }
  Check(total == list.ReservedKbyte());
  // Deletion requests are the unit's: the planner never removes one.
  for (const std::string& name : written)
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".SDD") == 0) Check(folder.Has(name));
  return 0;
}
