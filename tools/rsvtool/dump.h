// Readable dumps of reservation files, deletion requests and result records.
#pragma once
#include <string>

struct DumpResult {
  std::string text;  // cp932, one "field: value" per line
  bool ok = false;   // false when the data is not a whole record with its magic
};

// label names the file in the text; a name ending in ".SDD" marks a
// reservation record as a deletion request.
DumpResult DumpRecord(const std::string& label, const std::string& data);
