// Folder texts the user types on the settings pages and the folder chooser.
#pragma once
#include <string>

// At least three characters and a drive (':' as the second character) or a
// network path (leading "\\"); otherwise the pages show STR 5029.
bool IsAbsoluteFolderText(const std::string& folder);
// The folder without its trailing "\" (a cp932 trail byte 0x5C ends no folder).
// A bare drive root "C:\" keeps its "\".
std::string WithoutTrailingBackslash(const std::string& folder);
// ASCII letters upper-cased; double-byte characters untouched.
std::string UpperFolder(const std::string& folder);
// Whether `folder` lies strictly inside `root` (both absolute; ASCII case is
// ignored as Windows does; no "." or ".." component on either side).
bool IsInsideFolder(const std::string& root, const std::string& folder);
// A name the folder chooser may give a new folder: no separator, none of
// : * ? " < > | (as characters: a trail byte is none of them), no "." or ".."
// and no trailing dot or blank.
bool IsFolderNameAllowed(const std::string& name);
