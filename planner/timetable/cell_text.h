// Texts of a timetable cell: the program name wrapped into the cell, the
// details of the pop-up, the date header and the hour labels.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "common/dpi_scale.h"
#include "common/time_text.h"

struct GuideProgram;

// The pixel extents of a cp932 text in the name font: for each character the
// right edge of it counted from the text's start, as GetTextExtentExPoint gives
// them (one per character; a double-byte character is one).
class TextExtents {
 public:
  TextExtents(const std::string& cp932, std::vector<std::int32_t> characterEnds);
  // Width of `bytes` bytes from byte `offset`: the run's own width, wherever
  // in the text it starts (the second line of a name is as wide as its own
  // characters, not as the name's first ones).
  std::int32_t Width(std::size_t offset, std::size_t bytes) const;
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  std::vector<std::int32_t> ends_;
  std::vector<std::size_t> charsBefore_;  // byte offset -> characters before it
};

struct WrappedName {
  std::vector<std::string> lines;
  bool wrapped = false;  // false: one line, clipped to the cell
  bool fits = true;      // false: the name does not fit the cell (the hover bubble shows it)
};

// One line of a cell's text: the character height and two pixels (scaled to
// the screen's dpi; the character height is measured at it already).
constexpr std::int32_t CellLineHeight(std::int32_t charHeight, std::int32_t dpi) {
  return charHeight + ScaleForDpi(2, dpi);
}

// The name in a cell of `width` x `height` pixels: wrapped when the cell is at
// least four full-width characters wide and the wrapped lines (CellLineHeight
// each) fit its height; a line never ends inside a double-byte character.
WrappedName WrapName(std::int32_t width, std::int32_t height, std::int32_t charWidth, std::int32_t charHeight,
                     const TextExtents& name, std::int32_t dpi = kDesignDpi);

// What the pop-up of a program says. `resultFolder`/`resultFile` are used only
// when a reception result matches and the state is neither normal nor hovered.
std::string DetailText(const GuideProgram& p, bool haveResult, const std::string& resultFolder,
                       const std::string& resultFile);

// The date header: topTime + 20 minutes as "%Y年  %m/%d (%a)  %H時～" (cp932).
std::string DayInfoText(Time32 topTime);

// The hour written in the time scale's cell `index` (0 = the first shown hour).
std::int32_t HourLabel(Time32 periodStart, std::int32_t shiftHours, std::int32_t index);

// The path the open button opens: folder + "\" + launch file, or the launch
// file alone when it holds a drive (":"); empty when there is nothing to open.
std::string LaunchPath(const std::string& folder, const std::string& launchFile);

// The local minute a cell writes in its corner ("%M"). A repaint writes it for
// hundreds of cells and the time-zone rules are slow to ask (under Wine most of
// all), so they are asked twice per UTC hour: at its start and its end, and only
// an hour whose offset changed in between is asked minute by minute.
class LocalMinutes {
 public:
  std::int32_t Of(Time32 t);

 private:
  struct Hour {
    Time32 start;
    std::int32_t secondsIntoHour;  // local minute and second at the hour's start, in seconds
    bool steady;                   // one offset for the whole hour
  };
  std::vector<Hour> hours_;
};
