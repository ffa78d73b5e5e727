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
  void Checking(int index, int total) override {
    index_ = index;
    total_ = total;
  }
  // Called just before a detail file is fetched from the server (the history
  // folder had none), with the pass's position: what the user is shown while
  // the fetches keep the window thread waiting.
  void OnFetch(std::function<void(int index, int total)> shown) { fetching_ = std::move(shown); }

 private:
  FileSystem& fs_;
  Folders folders_;
  DetailFetcher* fetcher_;
  ReservationList& list_;
  std::function<std::uint32_t()> tickMs_;
  std::function<void(int, int)> fetching_;
  int index_ = 0, total_ = 0;
};
