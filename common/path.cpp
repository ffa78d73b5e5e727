// cp932 path helpers: every scan walks characters from the start, so a trail
// byte 0x5C or 0x7C is never read as a separator.
#include "common/path.h"

#include "common/text.h"

namespace {

bool IsSeparatorByte(char c) { return c == '\\' || c == '/'; }

// Calls f(position, isSeparator) for the first byte of every character.
template <typename F>
void ForEachCharacter(const std::string& path, std::size_t from, F f) {
  for (std::size_t i = from; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    const bool lead = IsLeadByte(c) && i + 1 < path.size();
    f(i, !lead && IsSeparatorByte(path[i]));
    if (lead) ++i;
  }
}

// The first separator at or after from, or npos.
std::size_t NextSeparator(const std::string& path, std::size_t from) {
  std::size_t found = std::string::npos;
  for (std::size_t i = from; i < path.size() && found == std::string::npos; ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(c) && i + 1 < path.size()) ++i;
    else if (IsSeparatorByte(path[i])) found = i;
  }
  return found;
}

std::string Folded(const std::vector<std::string>& parts, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += AsciiUpper(parts[i]) + '\\';
  return out;
}

// The root in one spelling: upper case, "\" separators, one trailing "\".
std::string FoldedRoot(const std::string& path) {
  std::string root = AsciiUpper(path.substr(0, PathRootLength(path)));
  ForEachCharacter(root, 0, [&](std::size_t i, bool sep) {
    if (sep) root[i] = '\\';
  });
  return root.empty() ? root : WithTrailingSeparator(root);
}

}  // namespace

std::size_t LastSeparator(const std::string& path) {
  std::size_t last = std::string::npos;
  ForEachCharacter(path, 0, [&](std::size_t i, bool sep) {
    if (sep) last = i;
  });
  return last;
}

std::size_t PathRootLength(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':' && !IsLeadByte(static_cast<unsigned char>(path[0])))
    return path.size() >= 3 && IsSeparatorByte(path[2]) ? 3 : 2;
  if (path.size() >= 2 && IsSeparatorByte(path[0]) && IsSeparatorByte(path[1])) {
    const std::size_t host = NextSeparator(path, 2);
    if (host == std::string::npos) return path.size();
    const std::size_t share = NextSeparator(path, host + 1);
    return share == std::string::npos ? path.size() : share + 1;
  }
  if (!path.empty() && IsSeparatorByte(path[0])) return 1;
  return 0;
}

std::string VolumeRoot(const std::string& path) {
  if (!IsAbsolutePath(path)) return std::string();
  return WithTrailingSeparator(path.substr(0, PathRootLength(path)));
}

bool IsAbsolutePath(const std::string& path) {
  const std::size_t root = PathRootLength(path);
  if (root == 3 && path[1] == ':') return true;
  // "\\host" alone names no share.
  if (root <= 2 || !IsSeparatorByte(path[0]) || !IsSeparatorByte(path[1])) return false;
  const std::size_t host = NextSeparator(path, 2);
  return host != std::string::npos && host > 2 && host + 1 < root;
}

std::vector<std::string> PathComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = PathRootLength(path);
  while (start < path.size()) {
    std::size_t sep = NextSeparator(path, start);
    if (sep == std::string::npos) sep = path.size();
    if (sep > start) parts.push_back(path.substr(start, sep - start));
    start = sep + 1;
  }
  return parts;
}

bool EndsWithSeparator(const std::string& path) {
  const std::size_t last = LastSeparator(path);
  return last != std::string::npos && last + 1 == path.size();
}

std::string WithoutTrailingSeparator(const std::string& path) {
  std::string out = path;
  const std::size_t root = PathRootLength(path);
  while (out.size() > root && EndsWithSeparator(out)) out.pop_back();
  return out;
}

std::string WithTrailingSeparator(const std::string& path) {
  return EndsWithSeparator(path) ? path : path + '\\';
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  std::size_t skip = 0;
  while (skip < name.size() && IsSeparatorByte(name[skip])) ++skip;
  return WithTrailingSeparator(WithoutTrailingSeparator(folder)) + name.substr(skip);
}

std::string ParentFolder(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparator(path);
  const std::size_t root = PathRootLength(trimmed);
  if (trimmed.size() <= root) return trimmed;
  const std::size_t last = LastSeparator(trimmed);
  if (last == std::string::npos || last < root) return trimmed.substr(0, root);
  return WithoutTrailingSeparator(trimmed.substr(0, last == 0 ? 1 : last));
}

std::string LeafName(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparator(path);
  const std::size_t root = PathRootLength(trimmed);
  if (trimmed.size() <= root) return std::string();
  const std::size_t last = LastSeparator(trimmed);
  return trimmed.substr(last == std::string::npos || last < root ? root : last + 1);
}

bool IsDotComponent(const std::string& component) {
  bool dot = false;
  for (char c : component) {
    if (c == '.') dot = true;
    else if (c != ' ') return false;
  }
  return dot;
}

bool SamePath(const std::string& a, const std::string& b) {
  const auto pa = PathComponents(a);
  const auto pb = PathComponents(b);
  return FoldedRoot(a) == FoldedRoot(b) && pa.size() == pb.size() && Folded(pa, pa.size()) == Folded(pb, pb.size());
}

bool IsPathInside(const std::string& folder, const std::string& path) {
  if (FoldedRoot(folder) != FoldedRoot(path)) return false;
  const auto outer = PathComponents(folder);
  const auto inner = PathComponents(path);
  for (const std::string& part : outer)
    if (IsDotComponent(part)) return false;
  for (const std::string& part : inner)
    if (IsDotComponent(part)) return false;
  if (inner.size() <= outer.size()) return false;
  return Folded(outer, outer.size()) == Folded(inner, outer.size());
}

std::size_t PathCharacters(const std::string& path) {
  std::size_t count = 0;
  ForEachCharacter(path, 0, [&](std::size_t, bool) { ++count; });
  return count;
}
