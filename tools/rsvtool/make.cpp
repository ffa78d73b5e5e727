#include "tools/rsvtool/make.h"

#include <climits>

#include "common/clock.h"
#include "common/files.h"
#include "common/reservation_file.h"
#include "common/text.h"
#include "tools/options/options.h"

namespace {

const OptionTable kRecordOptions = {
    {"folder", 0, "DIR", "the folder the file is written into (required)"},
    {"program", 0, "N", "program number (required)"},
    {"sub", 0, "N", "sub-number (required)"},
    {"start", 0, "\"YYYY-MM-DD HH:MM\"", "local start time (required)"},
    {"end", 0, "\"YYYY-MM-DD HH:MM\"", "local end time, at most 99:59 after the start (required)"},
    {"address", 0, "A.B.C.D", "multicast address (needed unless --sid is 0)"},
    {"port", 0, "N", "port (needed unless --sid is 0)"},
    {"sid", 0, "N", "service id; 0 is a stream program, address \"Dummy\" (default 1)"},
    {"name", 0, "T", "program name"},
    {"channel", 0, "T", "channel name"},
    {"storage", 0, "DIR", "storage folder"},
    {"total-kbyte", 0, "N", "total size in kbytes (default 0)"},
    {"speed", 0, "N", "speed (default 0)"},
    {"receiver-version", 0, "N", "receiver version (default 100)"},
    {"id", 0, "N", "reservation id (default: the tick count)"},
};

const OptionTable kMakeOptions = JoinOptions(
    kRecordOptions, {
                        {"autorun", 0, "CMD", "the command run after the reception"},
                        {"clear-folder", 0, nullptr, "empty the storage folder before the reception"},
                        {"keyword", 0, nullptr, "the keyword-search form: the name without sub-number"},
                    });

const OptionTable kDeleteOptions = JoinOptions(
    kRecordOptions, {
                        {"counter", 0, "N", "the request's counter (required)"},
                        {"computer", 0, "NAME", "the computer name (default: this computer's)"},
                    });

// Texts must fit their fields whole: an operator's tool says so rather than cut.
bool FitsField(const Options& o, const char* option, std::size_t maxBytes, std::string* error) {
  const std::string text = o.Text(option);
  if (text.size() <= maxBytes) return true;
  *error = std::string("--") + option + ": " + std::to_string(text.size()) +
           " bytes in code page 932, the field holds " + std::to_string(maxBytes);
  return false;
}

bool Numbers(const Options& o, ReservationRecord* r, const Clock& clock, std::string* e) {
  std::int64_t program, sub, port, sid, total, speed, version, id;
  if (!o.Required("program", e) || !o.Required("sub", e)) return false;
  if (!o.Integer("program", INT32_MIN, UINT32_MAX, 0, &program, e) || !o.Integer("sub", INT32_MIN, UINT32_MAX, 0, &sub, e) ||
      !o.Integer("sid", 0, 65535, 1, &sid, e) || !o.Integer("port", 0, 65535, 0, &port, e) ||
      !o.Integer("total-kbyte", INT32_MIN, INT32_MAX, 0, &total, e) || !o.Integer("speed", 0, 65535, 0, &speed, e) ||
      !o.Integer("receiver-version", 0, 65535, 100, &version, e) ||
      !o.Integer("id", 0, UINT32_MAX, clock.TickMs(), &id, e))
    return false;
  r->programNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(program));
  r->subNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(sub));
  r->sid = static_cast<std::uint16_t>(sid);
  r->port = static_cast<std::uint16_t>(port);
  r->totalKbyte = static_cast<std::int32_t>(total);
  r->speed = static_cast<std::uint16_t>(speed);
  r->receiverVersion = static_cast<std::uint16_t>(version);
  r->reservationId = static_cast<std::uint32_t>(id);
  return true;
}

bool Schedule(const Options& o, ReservationRecord* r, Time32* start, std::string* e) {
  Time32 end;
  if (!o.LocalMinute("start", start, e) || !o.LocalMinute("end", &end, e)) return false;
  if (end <= *start) {
    *e = "--end '" + o.Text("end") + "' is not after --start '" + o.Text("start") + "'";
    return false;
  }
  if (end - *start > 99 * 3600 + 59 * 60) {
    *e = "--end: the broadcast would last more than 99:59, which the record cannot hold";
    return false;
  }
  SetSchedule(r, *start, end);
  return true;
}

bool Texts(const Options& o, ReservationRecord* r, std::string* e) {
  if (!FitsField(o, "address", 17, e) || !FitsField(o, "name", 51, e) || !FitsField(o, "storage", 259, e) ||
      !FitsField(o, "autorun", 100, e) || !FitsField(o, "channel", 50, e))
    return false;
  // A stream program (sid 0) carries "Dummy" as its address.
  r->address = o.Text("address", r->sid == 0 ? "Dummy" : "");
  if (r->sid != 0 && (r->address.empty() || r->port == 0)) {
    *e = "--address and --port are needed unless --sid is 0 (a stream program)";
    return false;
  }
  r->name = o.Text("name");
  r->storageFolder = o.Text("storage");
  r->autorun = o.Text("autorun");
  r->channelName = o.Text("channel");
  return true;
}

MakeOutcome Write(FileSystem& fs, const Options& o, const std::string& name, const ReservationRecord& r) {
  MakeOutcome out;
  const std::string folder = o.Text("folder");
  if (!fs.IsFolder(folder)) {
    out.error = "--folder: '" + folder + "' is not a folder";
    return out;
  }
  out.path = WithBackslash(folder) + name;
  if (!fs.WriteAll(out.path, EncodeReservation(r))) {
    out.error = "cannot write " + out.path;
    return out;
  }
  out.ok = true;
  return out;
}

// Parses the options and fills the record fields shared by both kinds of file.
bool Build(const std::vector<std::string>& args, const OptionTable& table, const Clock& clock, Options* o,
           ReservationRecord* r, Time32* start, std::string* e) {
  if (!o->Parse(args, table, e)) return false;
  if (o->Help()) return false;
  if (!o->Positional().empty()) {
    *e = "unexpected argument '" + o->Positional()[0] + "'";
    return false;
  }
  return o->Required("folder", e) && Numbers(*o, r, clock, e) && Schedule(*o, r, start, e) && Texts(*o, r, e);
}

}  // namespace

const char kMakeUsage[] =
    "  rsvtool make --folder DIR --program N --sub N --start \"YYYY-MM-DD HH:MM\"\n"
    "               --end \"YYYY-MM-DD HH:MM\" [--address A.B.C.D --port N] [--sid N]\n"
    "               [--name T] [--channel T] [--storage DIR] [--autorun CMD]\n"
    "               [--total-kbyte N] [--speed N] [--receiver-version N] [--id N]\n"
    "               [--clear-folder] [--keyword]\n"
    "      writes a reservation file into DIR and prints its path; --keyword\n"
    "      writes the keyword-search form (name without sub-number); --sid 0 is a\n"
    "      stream program (address \"Dummy\"); --id defaults to the tick count\n";
const char kMakeDeleteUsage[] =
    "  rsvtool make-delete --folder DIR --counter N [--computer NAME] ...\n"
    "      writes a deletion request (upper-case computer name + counter) with\n"
    "      the record options of make, all but the autorun command\n";

std::string MakeHelp() { return std::string("usage:\n") + kMakeUsage + "options:\n" + OptionHelp(kMakeOptions); }

std::string MakeDeleteHelp() {
  return std::string("usage:\n") + kMakeDeleteUsage + "options:\n" + OptionHelp(kDeleteOptions);
}

MakeOutcome MakeReservationFile(const std::vector<std::string>& args, FileSystem& fs, const Clock& clock) {
  Options o;
  ReservationRecord r;
  Time32 start = 0;
  MakeOutcome out;
  if (!Build(args, kMakeOptions, clock, &o, &r, &start, &out.error)) {
    if (o.Help() && out.error.empty()) out.help = MakeHelp();
    return out;
  }
  const bool keyword = o.Has("keyword");
  if (keyword && o.Has("clear-folder")) {
    out.error = "--clear-folder cannot go with --keyword: keyword reservations never clear their folder";
    return out;
  }
  r.clearFolder = o.Has("clear-folder") ? 1 : 0;
  const std::string name = keyword ? KeywordReservationFileName(start, r.programNumber)
                                   : ReservationFileName(start, r.programNumber, r.subNumber);
  return Write(fs, o, name, r);
}

MakeOutcome MakeDeletionRequest(const std::vector<std::string>& args, FileSystem& fs, const Clock& clock,
                                const std::string& computerName) {
  Options o;
  ReservationRecord r;
  Time32 start = 0;
  MakeOutcome out;
  if (!Build(args, kDeleteOptions, clock, &o, &r, &start, &out.error)) {
    if (o.Help() && out.error.empty()) out.help = MakeDeleteHelp();
    return out;
  }
  std::int64_t counter = 0;
  if (!o.Required("counter", &out.error) || !o.Integer("counter", 0, INT32_MAX, 0, &counter, &out.error)) return out;
  const std::string computer = o.Text("computer", computerName);
  if (computer.empty()) {
    out.error = "the computer name is unknown; give --computer";
    return out;
  }
  return Write(fs, o, DeletionRequestName(computer, static_cast<long>(counter)), r);
}
