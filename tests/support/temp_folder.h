// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards. Paths are in the seam's form (cp932, "\"
// separated; the native seam maps "\" to "/").
#pragma once
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, without a trailing separator.
  const std::string& Path() const { return path_; }
  // A path inside the folder.
  std::string operator/(const std::string& name) const;
  // Whole files inside the folder through the platform's file seam.
  std::string Read(const std::string& name) const;  // empty when missing
  bool Write(const std::string& name, const std::string& data) const;
  bool Has(const std::string& name) const;

 private:
  std::string path_;
};
