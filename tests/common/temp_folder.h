// A fresh folder for one test, removed with everything in it afterwards.
#pragma once
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // The folder's path with a trailing "\" (cp932, seam form).
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};
