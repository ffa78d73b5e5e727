// Keyword reservations through the manual reservation's own steps: the
// detail completion, the record builder, the record file writer and the list.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include "planner/reserve/keyword_search.h"

class DetailFetcher;
class FileSystem;
class ReservationList;

class ListKeywordReserver : public KeywordReserver {
 public:
  struct Folders {
    std::string schedule;
    std::string history;  // cache of detail files
    std::string guideLocation;
  };
  ListKeywordReserver(FileSystem& fs, const Folders& folders, DetailFetcher* fetcher, ReservationList& list,
                      std::function<std::uint32_t()> tickMs)
      : fs_(fs), folders_(folders), fetcher_(fetcher), list_(list), tickMs_(std::move(tickMs)) {}

  bool CompleteDetail(GuideProgram& program) override;
  bool Reserve(GuideProgram& program, const std::string& storageFolder, const std::string& fileName) override;

 private:
  FileSystem& fs_;
  Folders folders_;
  DetailFetcher* fetcher_;
  ReservationList& list_;
  std::function<std::uint32_t()> tickMs_;
};
