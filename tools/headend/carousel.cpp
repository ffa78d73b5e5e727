// headend carousel: sends a folder as a multicast file carousel in the datagram
// format the reception unit takes in, paced to a rate, with optional loss,
// duplication and reordering for tests.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>
#include "common/text.h"
#include "tools/headend/command.h"
#include "tools/headend/multicast_sender.h"
#include "tools/options/options.h"
#include "unit/datagram.h"

namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

struct CarouselOptions {
  std::string folder;
  std::string group = "239.192.0.1";
  int port = 5000;
  int headerClass = 1;
  int blockSize = 4096;
  double rate = 1e6;         // bytes per second; 0 sends as fast as possible
  int cycles = 1;            // 0: until interrupted
  long firstBlock = 0;       // block of file 0 the first cycle starts at
  long extra = 0;            // datagrams of a further cycle sent after the last one
  long emptyFirst = 0;       // empty datagrams sent before the carousel
  long part = 1, parts = 1;  // each cycle sends only the part-th of `parts` parts of its blocks
  double loss = 0, duplicate = 0, reorder = 0;
  unsigned seed = 1;
  std::string interface = "127.0.0.1";
  int ttl = 1;
  int sendBuffer = 4 << 20;
  bool quiet = false;
};

const OptionTable kOptions = {
    {"group", 'g', "ADDR", "multicast group (default 239.192.0.1)"},
    {"port", 'p', "N", "UDP port (default 5000)"},
    {"class", 'c', "N", "header class 0-7: name field 64 (1), 128 (2) or 256 (3-7) bytes; 0 sends no file header "
                        "(default 1)"},
    {"block-size", 'b', "N", "datagram size, header included, 300-4096 (default 4096)"},
    {"rate", 'r', "BYTES", "paced rate in bytes per second; k, M suffixes; 0 = unpaced (default 1M)"},
    {"cycles", 'n', "N", "carousel cycles, 0 = until interrupted (default 1)"},
    {"first-block", 0, "N", "the first cycle starts at block N of the first file"},
    {"extra", 0, "N", "after the last cycle, send the first N datagrams of the next one (a receiver declares "
                      "completion on a datagram of a file it already has)"},
    {"empty-first", 0, "N", "send N empty (zero-length) datagrams before the carousel"},
    {"part", 0, "K/N", "each cycle sends only the K-th of N equal parts of its blocks, in carousel order (1/2 the "
                       "first half, 2/2 the second); --extra is sent whole"},
    {"loss", 0, "PCT", "drop this percentage of datagrams (seeded)"},
    {"duplicate", 0, "PCT", "send this percentage of datagrams twice"},
    {"reorder", 0, "PCT", "hold back this percentage of datagrams by 1-8 places"},
    {"seed", 0, "N", "seed of loss, duplication and reordering (default 1)"},
    {"interface", 'i', "ADDR", "outgoing interface (default 127.0.0.1)"},
    {"ttl", 0, "N", "multicast TTL (default 1)"},
    {"quiet", 'q', nullptr, "no progress lines"},
};

std::string HelpText() {
  return "usage: headend carousel [options] FOLDER\n"
         "Sends every file under FOLDER (sub-folders included) as a repeating multicast\n"
         "file carousel: one datagram per block, block 0 of each file with its file\n"
         "header (file count, size, name relative to FOLDER with \"\\\" separators, cp932).\n\n" +
         OptionHelp(kOptions) + "\nProgress goes to stderr once a second; a summary line ends the run.\n";
}

bool ParseRate(const char* text, double* rate) {
  char* end = nullptr;
  double v = std::strtod(text, &end);
  if (end == text || v < 0) return false;
  if (*end == 'k' || *end == 'K') v *= 1e3, ++end;
  else if (*end == 'M' || *end == 'm') v *= 1e6, ++end;
  else if (*end == 'G' || *end == 'g') v *= 1e9, ++end;
  if (*end) return false;
  *rate = v;
  return true;
}

struct SourceFile {
  std::string path;  // on disk
  std::string name;  // cp932, "\" separated
  std::string data;
};

class Carousel {
 public:
  Carousel(const CarouselOptions& o, const std::vector<SourceFile>& files) : o_(o), files_(files) {
    for (const auto& f : files_) counts_.push_back(BlockCount(f.data.size()));
  }
  std::uint32_t BlockCount(std::size_t size) const {
    std::size_t first = o_.blockSize - 16 - HeaderSizeOfClass(o_.headerClass);
    if (size <= first) return 1;
    std::size_t step = o_.blockSize - 16;
    return static_cast<std::uint32_t>(1 + (size - first + step - 1) / step);
  }
  std::uint32_t Blocks(std::size_t id) const { return counts_[id]; }
  std::string Datagram(std::size_t id, std::uint32_t block) const {
    const SourceFile& f = files_[id];
    int header = block == 0 ? HeaderSizeOfClass(o_.headerClass) : 0;
    std::size_t first = o_.blockSize - 16 - HeaderSizeOfClass(o_.headerClass);
    std::size_t step = o_.blockSize - 16;
    std::size_t offset = block == 0 ? 0 : first + (block - 1) * step;
    std::size_t room = block == 0 ? first : step;
    std::size_t n = offset < f.data.size() ? std::min(room, f.data.size() - offset) : 0;
    std::string d(kDatagramHeader + header, '\0');
    auto* bytes = reinterpret_cast<std::uint8_t*>(&d[0]);
    DatagramHeader h;
    h.flags = static_cast<std::uint16_t>(0x0100 | (o_.headerClass << 4));
    h.blockSize = static_cast<std::uint16_t>(o_.blockSize);
    h.length = static_cast<std::uint16_t>(kDatagramHeader + header + n);
    h.block = block;
    h.blockCount = counts_[id];
    h.fileId = static_cast<std::uint16_t>(id);
    WriteDatagramHeader(h, bytes);
    if (header) {
      FileHeader file;
      file.fileCount = static_cast<std::uint16_t>(files_.size());
      file.fileSize = static_cast<std::uint32_t>(f.data.size());
      file.fileName = f.name;
      WriteFileHeader(file, header, bytes);
    }
    d.append(f.data, offset, n);
    return d;
  }

 private:
  const CarouselOptions& o_;
  const std::vector<SourceFile>& files_;
  std::vector<std::uint32_t> counts_;
};

class Sender {
 public:
  explicit Sender(const CarouselOptions& o) : o_(o), rng_(o.seed) {}
  // See MulticastSender::Open.
  bool Open(bool* usage) {
    if (!socket_.Open({o_.group, o_.port, o_.interface, o_.ttl, o_.sendBuffer}, usage)) return false;
    start_ = lastReport_ = SteadyClock::now();
    return true;
  }
  // Stray datagrams on the group, as a misconfigured sender puts them there.
  bool SendEmpty(long count) {
    for (long i = 0; i < count; ++i)
      if (!Send(std::string())) return false;
    return true;
  }
  // Applies loss, duplication and reordering, then sends.
  bool Offer(std::string d) {
    ++offered_;
    if (o_.loss > 0 && Chance(o_.loss)) {
      ++lost_;
      return Release();
    }
    int copies = o_.duplicate > 0 && Chance(o_.duplicate) ? 2 : 1;
    for (int i = 0; i < copies; ++i) {
      if (o_.reorder > 0 && Chance(o_.reorder)) {
        held_.push_back({offered_ + 1 + rng_() % 8, d});
      } else if (!Send(d)) {
        return false;
      }
    }
    return Release();
  }
  bool Drain() {
    for (auto& h : held_)
      if (!Send(h.second)) return false;
    held_.clear();
    return true;
  }
  void Report(bool final, int cycle) {
    auto now = SteadyClock::now();
    if (o_.quiet && !final) return;
    if (!final && now - lastReport_ < std::chrono::seconds(1)) return;
    lastReport_ = now;
    double secs = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stderr, "%s cycle %d: %llu datagrams, %.1f MB sent in %.1f s (%.2f MB/s)%s\n",
                 final ? "done:" : "     ", cycle, static_cast<unsigned long long>(sent_), bytes_ / 1e6, secs,
                 secs > 0 ? bytes_ / 1e6 / secs : 0.0,
                 lost_ ? (", " + std::to_string(lost_) + " dropped on purpose").c_str() : "");
  }

 private:
  bool Chance(double pct) { return std::uniform_real_distribution<double>(0, 100)(rng_) < pct; }
  bool Release() {
    for (std::size_t i = 0; i < held_.size();) {
      if (held_[i].first <= offered_) {
        std::string d = std::move(held_[i].second);
        held_.erase(held_.begin() + static_cast<long>(i));
        if (!Send(d)) return false;
      } else {
        ++i;
      }
    }
    return true;
  }
  bool Send(const std::string& d) {
    Pace(d.size());
    if (!socket_.Send(d.data(), d.size())) return false;
    ++sent_;
    bytes_ += d.size();
    return true;
  }
  // Keeps the average at the rate: sleeps when ahead of schedule.
  void Pace(std::size_t size) {
    if (o_.rate <= 0) return;
    budget_ += static_cast<double>(size) / o_.rate;
    auto due = start_ + std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(budget_));
    auto now = SteadyClock::now();
    if (due > now + std::chrono::microseconds(200)) std::this_thread::sleep_until(due);
    else while (SteadyClock::now() < due) {}
  }
  const CarouselOptions& o_;
  std::mt19937 rng_;
  MulticastSender socket_{"headend carousel"};
  SteadyClock::time_point start_, lastReport_;
  double budget_ = 0;
  std::uint64_t offered_ = 0, sent_ = 0, bytes_ = 0, lost_ = 0;
  std::deque<std::pair<std::uint64_t, std::string>> held_;
};

bool LoadFolder(const CarouselOptions& o, std::vector<SourceFile>* files) {
  std::error_code ec;
  if (!fs::is_directory(o.folder, ec)) {
    std::fprintf(stderr, "headend carousel: '%s' is not a folder\n", o.folder.c_str());
    return false;
  }
  std::vector<fs::path> paths;
  for (auto it = fs::recursive_directory_iterator(o.folder, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_regular_file()) paths.push_back(it->path());
  std::sort(paths.begin(), paths.end());
  int field = NameFieldOfClass(o.headerClass);
  for (const auto& p : paths) {
    SourceFile f;
    f.path = p.string();
    std::string rel = fs::relative(p, o.folder).generic_string();
    std::replace(rel.begin(), rel.end(), '/', '\\');
    f.name = Utf8ToCp932(rel);
    if (o.headerClass != 0 && static_cast<int>(f.name.size()) >= field) {
      std::fprintf(stderr, "headend carousel: name '%s' has %zu bytes; header class %d holds at most %d\n",
                   rel.c_str(), f.name.size(), o.headerClass, field - 1);
      return false;
    }
    std::ifstream in(p, std::ios::binary);
    f.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      std::fprintf(stderr, "headend carousel: cannot read '%s'\n", f.path.c_str());
      return false;
    }
    files->push_back(std::move(f));
  }
  if (files->empty()) {
    std::fprintf(stderr, "headend carousel: no files under '%s'\n", o.folder.c_str());
    return false;
  }
  if (files->size() > 65535) {
    std::fprintf(stderr, "headend carousel: %zu files; a broadcast holds at most 65535\n", files->size());
    return false;
  }
  return true;
}

// "K/N" with 1 <= K <= N <= 1000, digits only.
bool ParsePart(const std::string& text, long* part, long* parts) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 == text.size() || slash > 4 || text.size() - slash > 5)
    return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i != slash && (text[i] < '0' || text[i] > '9')) return false;
  const long k = std::strtol(text.c_str(), nullptr, 10);
  const long n = std::strtol(text.c_str() + slash + 1, nullptr, 10);
  if (k < 1 || n < k || n > 1000) return false;
  *part = k;
  *parts = n;
  return true;
}

std::string RateText(double rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f MB/s", rate / 1e6);
  return text;
}

// The options and the folder; -1 when they are good, else the exit code.
int ParseCarousel(const std::vector<std::string>& args, CarouselOptions* o) {
  Options opts;
  const int read = ReadCommandOptions("headend carousel", args, kOptions, HelpText(), true, &opts);
  if (read >= 0) return read;
  std::string e;
  std::int64_t firstBlock = 0, extra = 0, emptyFirst = 0, seed = 1;
  if (!opts.Int("port", 1, 65535, o->port, &o->port, &e) || !opts.Int("class", 0, 7, o->headerClass, &o->headerClass, &e) ||
      !opts.Int("block-size", 300, 4096, o->blockSize, &o->blockSize, &e) ||
      !opts.Int("cycles", 0, 1000000, o->cycles, &o->cycles, &e) ||
      !opts.Integer("first-block", 0, 0xFFFFFF, 0, &firstBlock, &e) ||
      !opts.Integer("extra", 0, 1L << 30, 0, &extra, &e) ||
      !opts.Integer("empty-first", 0, 1000000, 0, &emptyFirst, &e) || !opts.Number("loss", 0, 100, 0, &o->loss, &e) ||
      !opts.Number("duplicate", 0, 100, 0, &o->duplicate, &e) || !opts.Number("reorder", 0, 100, 0, &o->reorder, &e) ||
      !opts.Integer("seed", 0, 0xFFFFFFFF, 1, &seed, &e) || !opts.Int("ttl", 0, 255, o->ttl, &o->ttl, &e))
    return UsageError("headend carousel", e);
  if (opts.Has("rate") && !ParseRate(opts.Text("rate").c_str(), &o->rate))
    return UsageError("headend carousel", "--rate: '" + opts.Text("rate") + "' is not a rate such as 500k or 4M");
  if (opts.Has("part") && !ParsePart(opts.Text("part"), &o->part, &o->parts))
    return UsageError("headend carousel", "--part: '" + opts.Text("part") + "' is not K/N with 1 <= K <= N <= 1000");
  if (opts.Positional().size() != 1) return UsageError("headend carousel", "one FOLDER is needed");
  o->firstBlock = static_cast<long>(firstBlock);
  o->extra = static_cast<long>(extra);
  o->emptyFirst = static_cast<long>(emptyFirst);
  o->seed = static_cast<unsigned>(seed);
  o->group = opts.Text("group", o->group);
  o->interface = opts.Text("interface", o->interface);
  o->quiet = opts.Has("quiet");
  o->folder = Cp932ToUtf8(opts.Positional()[0]);
  return -1;
}

// Every cycle, then the start of one more when asked; false when a send fails.
bool SendCycles(const CarouselOptions& o, const Carousel& carousel, std::size_t fileCount, Sender& sender) {
  // The blocks of one cycle in carousel order; a part is a stretch of them.
  std::uint64_t total = 0;
  for (std::size_t id = 0; id < fileCount; ++id) total += carousel.Blocks(id);
  const std::uint64_t from = total * (o.part - 1) / o.parts, to = total * o.part / o.parts;
  for (int cycle = 1; o.cycles == 0 || cycle <= o.cycles; ++cycle) {
    std::uint64_t at = 0;
    for (std::size_t id = 0; id < fileCount; ++id) {
      std::uint32_t first = cycle == 1 && id == 0 ? static_cast<std::uint32_t>(o.firstBlock) : 0;
      for (std::uint32_t b = 0; b < carousel.Blocks(id); ++b, ++at) {
        if (b < first || at < from || at >= to) continue;
        if (!sender.Offer(carousel.Datagram(id, b))) return false;
        sender.Report(false, cycle);
      }
    }
    if (!sender.Drain()) return false;
    if (o.cycles != 0 && cycle == o.cycles) {
      long left = o.extra;
      for (std::size_t id = 0; id < fileCount && left > 0; ++id)
        for (std::uint32_t b = 0; b < carousel.Blocks(id) && left > 0; ++b, --left)
          if (!sender.Offer(carousel.Datagram(id, b))) return false;
      if (!sender.Drain()) return false;
      sender.Report(true, cycle);
    }
  }
  return true;
}

int RunCarousel(int argc, char** argv) {
  CarouselOptions o;
  const int parsed = ParseCommand("headend carousel", argc, argv, ParseCarousel, &o);
  if (parsed >= 0) return parsed;
  std::vector<SourceFile> files;
  if (!LoadFolder(o, &files)) return 1;
  Carousel carousel(o, files);
  if (o.firstBlock >= static_cast<long>(carousel.Blocks(0))) {
    std::fprintf(stderr, "headend carousel: first block %ld is past the %u blocks of the first file\n", o.firstBlock,
                 carousel.Blocks(0));
    return 2;
  }
  std::uint64_t total = 0;
  for (const auto& f : files) total += f.data.size();
  if (!o.quiet)
    std::fprintf(stderr, "headend carousel: %zu files, %.1f MB, to %s:%d, class %d, block %d, %s, %d cycle(s)\n",
                 files.size(), total / 1e6, o.group.c_str(), o.port, o.headerClass, o.blockSize,
                 o.rate > 0 ? RateText(o.rate).c_str() : "unpaced", o.cycles);
  if (o.headerClass == 0)
    std::fprintf(stderr, "headend carousel: header class 0 sends no names or file count; a receiver can "
                         "store blocks but never complete or place the files\n");
  Sender sender(o);
  bool usage = false;
  if (!sender.Open(&usage)) return usage ? 2 : 1;
  if (!sender.SendEmpty(o.emptyFirst)) return 1;
  return SendCycles(o, carousel, files.size(), sender) ? 0 : 1;
}

RegisterHeadendCommand registerCarousel({"carousel", "sends a folder as a multicast file carousel", RunCarousel});

}  // namespace
