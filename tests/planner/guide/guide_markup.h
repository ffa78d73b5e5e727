// Builds guide day mark-up for tests and benchmarks (texts are given as cp932).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct MarkupSchedule {
  std::int32_t subNumber = 1;
  std::string start = "2001/03/05 21:30";
  std::string end = "2001/03/05 22:00";
  std::string subdigest;
  std::string receiverVersion = "2";
  std::string speed = "128";
};

struct MarkupProgram {
  std::string programNumber = "100";
  std::string channel = "ch1";
  std::string series = "series";
  std::string categoryForSort = "news";
  std::string categoryForSearch = "news";
  std::string name = "title";
  std::string digest = "digest";
  std::string totalKbyte = "1024";
  std::vector<MarkupSchedule> schedules{MarkupSchedule()};
};

inline std::string Tagged(const char* tag, const std::string& value) {
  return std::string("<") + tag + ">" + value + "</" + tag + ">";
}

inline std::string ScheduleMarkup(const MarkupSchedule& s) {
  std::string out = "<schedule>" + Tagged("program_sub_number", std::to_string(s.subNumber));
  if (!s.subdigest.empty()) out += Tagged("subdigest", s.subdigest);
  if (!s.receiverVersion.empty()) out += Tagged("receiver_ver", s.receiverVersion);
  out += Tagged("speed", s.speed) + Tagged("starttime", s.start) + Tagged("endtime", s.end) + "</schedule>\r\n";
  return out;
}

inline std::string ProgramMarkup(const MarkupProgram& p) {
  std::string out = "<program>\r\n" + Tagged("program_number", p.programNumber) + Tagged("pro_name", p.channel) +
                    Tagged("cp_name", p.series) + Tagged("category_for_sort", p.categoryForSort) +
                    Tagged("category_for_search", p.categoryForSearch) + Tagged("name", p.name) +
                    Tagged("digest", p.digest) + Tagged("total_kbyte", p.totalKbyte) + "\r\n";
  for (const MarkupSchedule& s : p.schedules) out += ScheduleMarkup(s);
  return out + "</program>\r\n";
}

inline std::string DayMarkup(const std::vector<MarkupProgram>& programs) {
  std::string out = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<guide>\r\n";
  for (const MarkupProgram& p : programs) out += ProgramMarkup(p);
  return out + "</guide>\r\n";
}

// "%04d/%02d/%02d %02d:%02d" of a day's minute offset from 2001/03/05 00:00.
inline std::string GuideClock(int minutes) {
  int day = 5 + minutes / 1440, rest = minutes % 1440;
  char text[32];
  std::snprintf(text, sizeof text, "2001/03/%02d %02d:%02d", day, rest / 60, rest % 60);
  return text;
}

// A day of n programs (one broadcast each) numbered from programBase;
// starts spread over the day with deliberate ties.
inline std::string GeneratedDay(int n, int programBase = 1, int dayOffset = 0) {
  std::vector<MarkupProgram> programs;
  programs.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    MarkupProgram p;
    p.programNumber = std::to_string(programBase + i);
    p.channel = "ch" + std::to_string(i % 12);
    p.series = "series" + std::to_string(i % 97);
    p.categoryForSort = "cat" + std::to_string(i % 9);
    p.categoryForSearch = "cat" + std::to_string(i % 9) + ",all";
    p.name = "program " + std::to_string(programBase + i);
    p.digest = "a description of program " + std::to_string(programBase + i);
    int start = dayOffset * 1440 + (i * 37) % 1380;
    p.schedules[0].start = GuideClock(start);
    p.schedules[0].end = GuideClock(start + 30 + i % 3 * 15);
    programs.push_back(p);
  }
  return DayMarkup(programs);
}
