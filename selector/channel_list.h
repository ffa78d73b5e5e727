// The service's channel list: the scrambled container it is delivered in, the
// line format, and the table of up to 256 entries the sessions are matched
// against. Texts (names) are cp932 bytes as they stand in the file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Key-stream multipliers of the container. Every list the service delivers is
// scrambled with these two values; changing them makes old lists unreadable.
constexpr std::uint8_t kSeedMultiplier = 0x9B;   // first key byte = seed * 0x9B
constexpr std::uint8_t kStepMultiplier = 0x3D;   // next = swap-nibbles(previous * 0x3D)

constexpr std::size_t kMaxContainerBytes = 65536;  // more is not read
constexpr std::size_t kMaxTextBytes = 32768;       // stated length is capped here
constexpr std::size_t kContainerHeader = 3;        // seed, length (big-endian)
constexpr std::size_t kMaxLineBytes = 4095;        // longer lines are skipped whole
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::size_t kMaxDefaultNameBytes = 1023;
constexpr int kChannelTableSize = 256;

// Key byte i of the stream for a seed.
std::vector<std::uint8_t> ChannelKeyStream(std::uint8_t seed, std::size_t length);

// The container around a plain text (seed, big-endian length, scrambled text).
// Texts longer than kMaxTextBytes do not fit and give an empty result.
std::string ScrambleChannelList(const std::string& text, std::uint8_t seed);

// The plain text of a container, in memory; false with *error (English) when
// the container is too short or states more text than it holds.
bool UnscrambleChannelList(const std::string& container, std::string* text, std::string* error);

struct ChannelEntry {
  std::uint32_t network = 0;   // network byte order: first number in the lowest byte
  std::uint32_t mask = 0;      // network byte order
  std::int32_t lowPort = 0;
  std::int32_t highPort = 0;
  std::uint16_t channel = 0;
  std::string name;            // at most kMaxNameBytes
};

// A line the reload skipped, for the operator's tool.
struct SkippedLine {
  int number;                  // 1-based
  std::string reason;          // English
};

// The table and the default channel, as one reload leaves them.
struct ChannelTable {
  std::vector<ChannelEntry> entries;  // file order, at most kChannelTableSize
  std::int32_t defaultChannel = -1;   // -1: none
  std::string defaultName;
};

// Kinds of line, for the parser's caller.
enum class LineKind { Ignored, Default, Entry, Malformed };

// One line without its line end. Fills *entry or the default fields.
LineKind ParseChannelLine(const std::string& line, ChannelEntry* entry, std::int32_t* defaultChannel,
                          std::string* defaultName, std::string* reason);

// Replaces table's entries with those of text; the default channel and name
// change only when the text has a "default" line. Lines beyond the 256th entry
// are ignored (and reported as skipped).
void LoadChannelText(const std::string& text, ChannelTable* table, std::vector<SkippedLine>* skipped = nullptr);

// Dotted text of an address or mask in network byte order.
std::string DottedAddress(std::uint32_t networkOrder);
// Address in network byte order from "a.b.c.d"; false when malformed.
bool ParseDottedAddress(const std::string& text, std::uint32_t* networkOrder);

class FileSystem;
// The reload of the timer: reads at most kMaxContainerBytes of the scrambled
// file at path, unscrambles it in memory (no plain copy ever reaches the disk)
// and replaces the table. On failure the table stays as it was and *error
// names the file and the fault.
bool ReloadChannelList(FileSystem& files, const std::string& path, ChannelTable* table, std::string* error);
