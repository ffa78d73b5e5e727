// Program detail files: the values the planner copies into a reservation.
#include "common/detail_file.h"

#include <cstdio>

#include "common/tag_value.h"
#include "common/text.h"

std::string DetailFileName(std::int32_t programNumber, std::int32_t subNumber) {
  char name[32];
  std::snprintf(name, sizeof name, "%d-%d.spn", static_cast<int>(programNumber), static_cast<int>(subNumber));
  return name;
}

namespace {

// The program name up to the first CR, LF or TAB.
std::string FirstLine(const std::string& name) {
  std::size_t end = 0;
  while (end < name.size() && name[end] != '\r' && name[end] != '\n' && name[end] != '\t')
    end += IsLeadByte(static_cast<unsigned char>(name[end])) && end + 1 < name.size() ? 2 : 1;
  return name.substr(0, end);
}

}  // namespace

bool ParseProgramDetail(const std::string& text, const std::string& programName, ProgramDetail* detail) {
  // A web server's error page is not a detail file.
  if (FindText(text, "<html>") != std::string::npos) return false;
  const std::string openTag = "<schedule>";
  std::size_t open = FindText(text, openTag);
  if (open == std::string::npos) return false;
  open += openTag.size();
  // A file cut short before its closing tag is treated as missing too.
  std::size_t close = FindText(text, "</schedule>", open);
  if (close == std::string::npos) return false;
  const std::string schedule = text.substr(open, close - open);
  detail->address = GetTagValue(schedule, "ip_address");
  detail->port = static_cast<std::uint16_t>(LeadingInt(GetTagValue(schedule, "port")));
  const std::string sidText = GetTagValue(schedule, "sid");
  detail->sid = static_cast<std::uint16_t>(LeadingInt(sidText));
  if (!sidText.empty() && detail->sid == 0) detail->address = "Dummy";
  detail->holder = GetTagValue(schedule, "holder");
  if (detail->holder.empty()) detail->holder = FirstLine(programName);
  detail->autorun = GetTagValue(schedule, "autorun");
  return true;
}
