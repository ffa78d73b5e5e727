// Paths are cp932 texts: the trail byte of 表, ソ, 予, 能, 十 is 0x5C ("\") and
// that of others 0x7C ("|"), so a path is never searched for a byte. Every
// split, join, parent or "is inside" of a path goes through these helpers.
// "\" and "/" both separate (Windows takes either); joins write "\".
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Position of the last separator that is not the trail byte of a double-byte
// character.
std::size_t LastSeparator(const std::string& path);  // npos when there is none

// Length of the root: 3 for "C:\", 2 for a bare "C:", the whole of
// "\\host\share\" (with its separator when there is one), 1 for "\" or "/",
// 0 for a relative path.
std::size_t PathRootLength(const std::string& path);
// The volume a path lies on, with its separator: "C:\", "\\host\share\"; empty
// for a relative path.
std::string VolumeRoot(const std::string& path);
bool IsAbsolutePath(const std::string& path);  // "C:\..." or "\\host\share..."

// The components after the root; empty components ("a\\b", a trailing "\") are
// left out.
std::vector<std::string> PathComponents(const std::string& path);

bool EndsWithSeparator(const std::string& path);
// Strips every trailing separator but keeps a root whole ("C:\" stays "C:\":
// without it the text names the drive's current folder).
std::string WithoutTrailingSeparator(const std::string& path);
std::string WithTrailingSeparator(const std::string& path);
// folder + "\" + name, with exactly one separator between them.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder that holds path ("C:\a\b" -> "C:\a", "C:\a" -> "C:\"); a root is
// its own parent; a bare name has the empty parent.
std::string ParentFolder(const std::string& path);
// The last component ("C:\a\番組表" -> "番組表"); empty for a root.
std::string LeafName(const std::string& path);

// A component that Windows reads as "." or "..": dots and blanks only.
bool IsDotComponent(const std::string& component);
// The same place, compared as Windows does: letters of either case, separators
// of either kind and a trailing separator make no difference.
bool SamePath(const std::string& a, const std::string& b);
// Whether path lies strictly inside folder (folder itself is not inside). A
// path with a "." or ".." component anywhere is never inside.
bool IsPathInside(const std::string& folder, const std::string& path);

// Characters, not bytes: a double-byte character counts once (MAX_PATH counts
// characters).
std::size_t PathCharacters(const std::string& path);
