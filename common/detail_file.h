// Program detail files "%d-%d.spn": the multicast group, port, service id,
// holder folder and autorun command of one broadcast.
#pragma once
#include <cstdint>
#include <string>

struct ProgramDetail {
  std::string address;   // dotted group; "Dummy" for a stream program (sid text converting to 0)
  std::uint16_t port = 0;
  std::uint16_t sid = 0;
  std::string holder;    // empty holder becomes the program name up to CR, LF or TAB
  std::string autorun;
};

// "%d-%d.spn"
std::string DetailFileName(std::int32_t programNumber, std::int32_t subNumber);
// False when the text is not a detail file (contains "<html>" or has no
// "<schedule>" element). programName feeds the holder rule.
bool ParseProgramDetail(const std::string& text, const std::string& programName, ProgramDetail* detail);
