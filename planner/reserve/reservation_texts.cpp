#include "planner/reserve/reservation_texts.h"

#include <cstdio>
#include "common/storage_folder.h"
#include "common/text.h"
#include "planner/reserve/reservation_list.h"

std::string NormaliseLineBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      ++i;
      continue;
    }
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (next == c) {
      out += "\r\n\r\n";
      i += 2;
    } else if (c == '\r' && next == '\n') {
      out += "\r\n";
      i += 2;
    } else {
      out += "\r\n";
      ++i;
    }
  }
  return out;
}

std::string BroadcastTimeText(Time32 start, Time32 end) {
  return FormatLocalTime(start, J(u8"%Y年 %m月 %d日    %H:%M ～ ").c_str()) + FormatLocalTime(end, "%H:%M");
}

std::string KbyteText(std::int64_t kbyte) { return std::to_string(kbyte) + " KB"; }

std::string ReservationBubbleText(const ReservationEntry& e) {
  std::string text = J(u8"番組：") + e.name + "\r\n";
  text += FormatLocalTime(e.startTime, "  %Y/%m/%d   %H:%M");
  text += FormatLocalTime(e.endTime, J(u8"～%H:%M\r\n\r\n").c_str());
  text += J(u8"予定ファイル容量  ") + std::to_string(e.totalKbyte) + " KByte\r\n";
  return text;
}

std::string DefaultStorageFolder(const std::string& dataFolder, const std::string& holder) {
  // The holder comes from the broadcaster's detail file: a name that would leave
  // the data folder (or not fit a reservation) is never proposed.
  std::string folder;
  StorageFolderForHolder(dataFolder, holder, &folder);
  return folder;
}

std::string RefusedHolderText(const std::string& holder) {
  return J(u8"番組の格納フォルダ名 \"") + holder +
         J(u8"\" は受信コンテンツのフォルダの中を指していないため使えません。格納フォルダを指定してください。");
}
