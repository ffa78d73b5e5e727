#include "planner/timetable/cell_text.h"
#include <algorithm>
#include <cstdio>
#include "common/files.h"
#include "common/text.h"
#include "planner/guide/guide_program.h"

namespace {

// Bytes of text from `from` that make at most `chars` characters, never cut
// inside a double-byte character.
std::size_t CharBoundaryAfter(const std::string& text, std::size_t from, std::size_t bytes) {
  std::size_t i = from;
  while (i < text.size() && i - from < bytes) {
    std::size_t step = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (i - from + step > bytes) break;
    i += step;
  }
  return i;
}

std::size_t NextCharEnd(const std::string& text, std::size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? i + 2 : i + 1;
}

std::vector<std::string> WrapLines(const TextExtents& extents, std::int32_t width, std::int32_t charWidth) {
  const std::string& name = extents.Text();
  std::vector<std::string> lines;
  const std::size_t startBytes = 2 * static_cast<std::size_t>(std::max(1, width / std::max(1, charWidth)));
  std::size_t pos = 0;
  // Widths of the line that starts at pos, `bytes` long.
  auto lineWidth = [&extents, &pos](std::size_t bytes) { return extents.Width(pos, bytes); };
  while (pos < name.size()) {
    const std::string rest = name.substr(pos);
    std::size_t end = CharBoundaryAfter(rest, 0, startBytes);
    if (end == 0) end = NextCharEnd(rest, 0);
    // Grow while one more character still fits the width.
    while (end < rest.size()) {
      std::size_t next = NextCharEnd(rest, end);
      if (lineWidth(next) > width) break;
      end = next;
    }
    // Shrink when the first guess was already too wide (narrow fonts do not
    // make every two bytes a full-width character's width).
    while (end > 1 && lineWidth(end) > width) {
      std::size_t back = 0;
      for (std::size_t i = 0; i < end;) {
        std::size_t n = NextCharEnd(rest, i);
        if (n >= end) break;
        back = n;
        i = n;
      }
      if (back == 0) break;
      end = back;
    }
    lines.push_back(rest.substr(0, end));
    pos += end;
  }
  return lines;
}

// Seconds past the local hour ("%M%S" as a number of seconds), -1 when unknown.
std::int32_t MinuteSecond(Time32 t) {
  const std::string text = FormatLocalTime(t, "%M%S");
  if (text.size() != 4) return -1;
  return ((text[0] - '0') * 10 + (text[1] - '0')) * 60 + (text[2] - '0') * 10 + (text[3] - '0');
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

TextExtents::TextExtents(const std::string& cp932, std::vector<std::int32_t> characterEnds)
    : text_(cp932), ends_(std::move(characterEnds)) {
  std::size_t chars = 0;
  charsBefore_.assign(text_.size() + 1, 0);
  for (std::size_t i = 0; i < text_.size();) {
    const std::size_t step = NextCharEnd(text_, i) - i;
    for (std::size_t k = 0; k < step; ++k) charsBefore_[i + k] = chars;
    i += step;
    ++chars;
    charsBefore_[std::min(i, text_.size())] = chars;
  }
}

std::int32_t TextExtents::Width(std::size_t offset, std::size_t bytes) const {
  const std::size_t from = std::min(charsBefore_[std::min(offset, text_.size())], ends_.size());
  const std::size_t to = std::min(charsBefore_[std::min(offset + bytes, text_.size())], ends_.size());
  if (to <= from) return 0;
  return ends_[to - 1] - (from ? ends_[from - 1] : 0);
}

WrappedName WrapName(std::int32_t width, std::int32_t height, std::int32_t charWidth, std::int32_t charHeight,
                     const TextExtents& name, std::int32_t dpi) {
  WrappedName w;
  const std::int32_t lineHeight = CellLineHeight(charHeight, dpi);
  if (width >= 4 * charWidth && width > 0) {
    std::vector<std::string> lines = WrapLines(name, width, charWidth);
    if (static_cast<std::int64_t>(lines.size()) * lineHeight <= height) {
      w.lines = std::move(lines);
      w.wrapped = true;
      return w;
    }
  }
  w.lines.push_back(name.Text());
  w.fits = name.Width(0, name.Text().size()) <= width && lineHeight <= height;
  return w;
}

std::string DetailText(const GuideProgram& p, bool haveResult, const std::string& resultFolder,
                       const std::string& resultFile) {
  std::string text = p.name;
  text += FormatLocalTime(p.startTime, "  %Y/%m/%d   %H:%M");
  text += J(u8"～") + FormatLocalTime(p.endTime, "%H:%M") + "\r\n\r\n";
  if (p.sid != 0) {
    char size[64];
    std::snprintf(size, sizeof size, "  %ld KByte\r\n", static_cast<long>(p.totalKbyte));
    text += J(u8"予定ファイル容量") + size;
  }
  text += "\r\n" + J(u8"内容") + "\r\n " + WithCrLf(p.digest);
  std::string category = p.categoryForSearch;
  if (!category.empty() && category.back() == ',') category.pop_back();
  text += "\r\n\r\n" + J(u8"番組カテゴリー") + "\r\n  " + category;
  if (haveResult && p.state != 0 && p.state != 5) {
    std::string where = resultFile.empty() ? resultFolder : WithBackslash(resultFolder) + resultFile;
    text += "\r\n\r\n" + J(u8"データ格納場所") + "\r\n  " + where;
  }
  return text;
}

std::string DayInfoText(Time32 topTime) {
  const Time32 t = topTime + 20 * 60;
  return FormatLocalTime(t, "%Y") + J(u8"年") + FormatLocalTime(t, "  %m/%d (%a)  %H") + J(u8"時～");
}

std::int32_t HourLabel(Time32 periodStart, std::int32_t shiftHours, std::int32_t index) {
  return (BreakLocalTime(periodStart).hour + shiftHours + index) % 24;
}

std::string LaunchPath(const std::string& folder, const std::string& launchFile) {
  if (launchFile.empty()) return std::string();
  if (launchFile.find(':') != std::string::npos) return launchFile;
  return WithBackslash(folder) + launchFile;
}

std::int32_t LocalMinutes::Of(Time32 t) {
  const Time32 start = t - ((t % 3600) + 3600) % 3600;
  auto it = std::find_if(hours_.begin(), hours_.end(), [start](const Hour& h) { return h.start == start; });
  if (it == hours_.end()) {
    Hour h{start, 0, false};
    const std::int32_t first = MinuteSecond(start);
    // A zone may change its offset inside a UTC hour (half an hour off, or a
    // change at a half hour): such an hour asks the rules for every time.
    h.steady = first >= 0 && MinuteSecond(start + 3599) == (first + 3599) % 3600;
    h.secondsIntoHour = first;
    hours_.push_back(h);
    it = hours_.end() - 1;
  }
  if (!it->steady) return std::max(0, MinuteSecond(t)) / 60;
  return (it->secondsIntoHour + (t - start)) / 60 % 60;
}
