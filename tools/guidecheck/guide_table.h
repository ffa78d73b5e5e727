// The guide list and channel list as UTF-8 text for guidecheck.
#pragma once
#include <string>

class GuideList;
class ChannelNameList;

// cp932 text as UTF-8 with backslash, tab, LF and CR written as \\, \t, \n, \r.
std::string EscapeField(const std::string& cp932);
// One TSV line per record, in list order.
std::string GuideTable(const GuideList& list);
// One channel name per line, front first.
std::string ChannelTable(const ChannelNameList& channels);
