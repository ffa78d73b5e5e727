// Texts the reservation dialogs and the reservation column show (cp932).
#pragma once
#include <cstdint>
#include <string>
#include "common/time_text.h"

struct ReservationEntry;

// Line breaks made uniform for a multi-line edit: a pair of equal breaks
// (CR CR or LF LF) is a paragraph ("\r\n\r\n"); CR LF or a single break is "\r\n".
std::string NormaliseLineBreaks(const std::string& text);
// "%Y年 %m月 %d日    %H:%M ～ %H:%M"
std::string BroadcastTimeText(Time32 start, Time32 end);
// "%ld KB"
std::string KbyteText(std::int64_t kbyte);
// The bubble of a reservation in the column: name, date and times, expected size.
std::string ReservationBubbleText(const ReservationEntry& entry);
// The storage folder proposed for a broadcast: data folder + "\" + holder.
// dataFolder + "\\" + holder, or empty when the holder would name a place
// outside the data folder or a folder too long for a reservation.
std::string DefaultStorageFolder(const std::string& dataFolder, const std::string& holder);
// The message shown instead of proposing such a holder.
std::string RefusedHolderText(const std::string& holder);
