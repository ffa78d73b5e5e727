// Named colour designs in "ColorSave.Dat": fixed records of 1034 bytes, no
// header, little-endian, packed. Read defensively (records with a wrong magic
// and a cut-off tail are skipped, never read past); rewritten as a whole into a
// temporary file that then replaces the old one, so a crash keeps the schemes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "planner/timetable/colour_tables.h"

class FileSystem;

constexpr std::size_t kColourSchemeRecordSize = 1034;
constexpr std::size_t kSchemeNameMax = 127;  // in a 128-byte field with its NUL
constexpr std::size_t kFontFaceMax = 45;     // in a 46-byte field
// A scheme file is never larger than this many records; a bigger file is not
// one of ours and is left alone.
constexpr std::size_t kMaxSchemeRecords = 4096;

// The timetable font's size: the default, and what a stored or recorded size
// outside the range is taken as.
constexpr std::int32_t kDefaultFontSize = 16, kFontSizeMin = 4, kFontSizeMax = 150;

// The timetable font as the settings keep it.
struct FontChoice {
  std::string face;  // cp932
  std::int32_t size = kDefaultFontSize;
  std::int32_t bold = 0;
  std::int32_t italic = 0;
};
FontChoice ReadFontChoice(const PlannerSettings& settings);
// Its size alone, for the document: a stored size outside 4..150 is 16, as
// the colour page shows it.
std::int32_t ReadFontSize(const PlannerSettings& settings);
void WriteFontChoice(PlannerSettings& settings, const FontChoice& font);

struct ColourScheme {
  std::string name;  // cp932
  FontChoice font;
  ColourTables colours;  // rows 0-4, bars and outside colour; rows 5-19 derived on decoding
};

std::string EncodeColourScheme(const ColourScheme& scheme);
// False when the record is short or its magic is not "CLST".
bool DecodeColourScheme(const std::string& record, ColourScheme* scheme);

class ColourSchemeFile {
 public:
  ColourSchemeFile(FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}
  // The readable schemes in file order; empty when the file is missing.
  std::vector<ColourScheme> Load() const;
  // Replaces the record of the same name where it stands, else appends.
  bool Register(const ColourScheme& scheme);
  // Rewrites the file without the scheme; false when it was not there or the
  // file could not be written.
  bool Remove(const std::string& name);
  const std::string& Path() const { return path_; }

 private:
  // The whole records of the file (any magic), in order.
  bool ReadRecords(std::vector<std::string>* records) const;
  bool WriteRecords(const std::vector<std::string>& records);
  FileSystem& fs_;
  std::string path_;
};

// Writes data to path + ".tmp" and puts it in place of path only after the
// whole write succeeded.
bool ReplaceFileContents(FileSystem& fs, const std::string& path, const std::string& data);
