#include "tools/guidecheck/guide_table.h"
#include "common/text.h"
#include "common/time_text.h"
#include "planner/guide/guide_program.h"

std::string EscapeField(const std::string& cp932) {
  std::string out;
  for (char c : Cp932ToUtf8(cp932)) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

std::string GuideTable(const GuideList& list) {
  std::string out;
  for (const GuideProgram* p : list.Ordered()) {
    const std::string fields[] = {
        std::to_string(p->programNumber),
        std::to_string(p->subNumber),
        FormatLocalTime(p->startTime, "%Y-%m-%d %H:%M"),
        FormatLocalTime(p->endTime, "%Y-%m-%d %H:%M"),
        std::to_string(p->receiverVersion),
        std::to_string(p->speed),
        std::to_string(p->totalKbyte),
        std::to_string(p->highlight),
        EscapeField(p->channelName),
        EscapeField(p->seriesName),
        EscapeField(p->categoryForSort),
        EscapeField(p->categoryForSearch),
        EscapeField(p->name),
        EscapeField(p->digest),
    };
    for (std::size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
      if (i) out += '\t';
      out += fields[i];
    }
    out += '\n';
  }
  return out;
}

std::string ChannelTable(const ChannelNameList& channels) {
  std::string out;
  for (const std::string& name : channels.Names()) out += EscapeField(name) + "\n";
  return out;
}
