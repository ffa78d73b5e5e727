// boardsim: the simulated receiver card, run under Wine beside the programs
// under test. It owns the named section the simulated OVD.DLL maps as the
// card's memory window, answers the driver calls posted to its mailbox, and
// logs every driver call, one line each:
//   open | close | command 0xXXXXXXXX <word2> <word3>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "boardlib/win/spin_lock.h"
#include "common/peer_names.h"
#include "common/settings.h"
#include "common/time_text.h"
#include "tools/boardsim/sim_link.h"
#include "tools/options/options.h"

namespace {
const char kUsage[] =
    "usage: boardsim --id <20 hex digits> [--type 0x4N] [--sid N] [--irdinfo N]\n"
    "                [--pat-program N] [--time \"YYYY-MM-DD hh:mm:ss\"] [--log FILE]\n"
    "                [--address 0xA] [--active N] [--busy N] [--flags N] [--counter N]\n"
    "                [--rate N] [--crc-errors N] [--ts-errors N] [--no-driver]\n"
    "                [--scrambled-every N] [--error-every N] [--cc-error-every N]\n"
    "                [--crc-error-every N] [--bad-sync-every N] [--packets FILE]\n"
    "                [--install [--adapter NNNN] [--iccard DIGITS]]\n"
    "       boardsim --install-only [--adapter NNNN] [--iccard DIGITS] [--driver NAME]\n"
    "       boardsim --uninstall [--adapter NNNN]\n"
    "       boardsim --update [--sid N] [--irdinfo N] [--active N] [--busy N] [--flags N]\n"
    "                [--crc-errors N] [--ts-errors N]\n"
    "       boardsim --stop\n"
    "Runs the simulated card until --stop (or until it is killed) and prints\n"
    "\"boardsim: ready\" once the card can be found. --sid and --irdinfo feed the\n"
    "status FIFO (a set-stream command retunes --sid); --pat-program and --time\n"
    "are sent as the association table on PID 0 and the time table on PID 0x14\n"
    "(default time: now); --packets sends 188-byte packets of a file in a loop\n"
    "instead. --active/--busy/--flags/--counter/--crc-errors/--ts-errors are the\n"
    "driver's query answers; --rate adds N bytes a second to the counter.\n"
    "--install writes the adapter key values the library looks for (\"DeviceVxDs\",\n"
    "\"IcCardNumber\") under HKLM\\System\\CurrentControlSet\\Services\\Class\\Net\\NNNN.\n";

const OptionTable kOptions = {
    {"id", 0, "HEX", "the card's identity, 20 hex digits (required to run the card)"},
    {"type", 0, "N", "board type (default 0x40)"},
    {"sid", 0, "N", "current service id in the status FIFO, -1 none (default -1)"},
    {"irdinfo", 0, "N", "receiver information in the status FIFO, -1 none (default -1)"},
    {"pat-program", 0, "N", "program number of the association table, -1 none (default 1)"},
    {"time", 0, "\"YYYY-MM-DD hh:mm:ss\"", "broadcast time of the time table (default: now)"},
    {"log", 0, "FILE", "log every driver call to FILE"},
    {"address", 0, "0xA", "physical address of the memory window (default 0xD4800)"},
    {"active", 0, "N", "the driver's active answer"},
    {"busy", 0, "N", "the driver's busy answer"},
    {"flags", 0, "N", "the driver's flags answer"},
    {"counter", 0, "N", "the driver's byte counter"},
    {"rate", 0, "N", "bytes a second added to the counter"},
    {"crc-errors", 0, "N", "the driver's CRC error count"},
    {"ts-errors", 0, "N", "the driver's transport error count"},
    {"scrambled-every", 0, "N", "every Nth packet is scrambled (0: never)"},
    {"error-every", 0, "N", "every Nth packet has its transport error bit set (0: never)"},
    {"cc-error-every", 0, "N", "every Nth packet breaks the continuity counter (0: never)"},
    {"crc-error-every", 0, "N", "every Nth packet has a bad CRC (0: never)"},
    {"bad-sync-every", 0, "N", "every Nth packet has a bad sync byte (0: never)"},
    {"packets", 0, "FILE", "send the 188-byte packets of FILE in a loop instead of the tables"},
    {"no-driver", 0, nullptr, "opening the driver fails"},
    {"install", 0, nullptr, "write the adapter key values, then run the card"},
    {"install-only", 0, nullptr, "write the adapter key values and exit"},
    {"uninstall", 0, nullptr, "delete the adapter key values and exit"},
    {"adapter", 0, "NNNN", "the adapter key's number, four digits (default 0000)"},
    {"iccard", 0, "DIGITS", "the IC card number written by --install (default 1234567890123450)"},
    {"driver", 0, "NAME", "the driver name written by --install"},
    {"update", 0, nullptr, "change the answers of the running card and exit"},
    {"stop", 0, nullptr, "stop the running card"},
};

std::string HelpText() { return kUsage + std::string("options:\n") + OptionHelp(kOptions); }

int Usage(const std::string& error) {
  std::fprintf(stderr, "boardsim: %s\n%s", error.c_str(), HelpText().c_str());
  return 2;
}

bool ParseTime(const std::string& text, Time32* out) {
  int y, mo, d, h, mi, s;
  char tail;
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &s, &tail) != 6) return false;
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59 || y < 1970 || y > 2037) return false;
  *out = MakeLocalTime(y, mo, d, h, mi, s);
  const LocalTime back = BreakLocalTime(*out);
  return back.day == d && back.month == mo;
}

std::string AdapterKey(const Options& o) {
  return std::string(peer::kAdapterClassKey) + "\\" + o.Text("adapter", "0000");
}

bool Install(const Options& o) {
  auto settings = CreatePlatformSettings();
  const std::string key = AdapterKey(o);
  bool ok = settings->WriteText(Hive::LocalMachine, key, peer::kAdapterDriverValue, o.Text("driver", peer::kBoardDriverName));
  ok = ok && settings->WriteText(Hive::LocalMachine, key, peer::kAdapterIcCardValue, o.Text("iccard", "1234567890123450"));
  if (!ok) std::fprintf(stderr, "boardsim: cannot write the registry key HKLM\\%s\n", key.c_str());
  return ok;
}

bool Uninstall(const Options& o) {
  auto settings = CreatePlatformSettings();
  const std::string key = AdapterKey(o);
  settings->DeleteValue(Hive::LocalMachine, key, peer::kAdapterDriverValue);
  settings->DeleteValue(Hive::LocalMachine, key, peer::kAdapterIcCardValue);
  return true;
}

bool LoadPackets(const std::string& path, SimCardState& card, std::string* error) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = "cannot open --packets file '" + path + "'";
    return false;
  }
  std::int32_t n = 0;
  while (n < SimCardState::kMaxFilePackets && std::fread(card.packets[n], 1, board::kPacketSize, f) == board::kPacketSize) ++n;
  const bool more = std::fgetc(f) != EOF;
  std::fclose(f);
  if (n == 0) {
    *error = "--packets file '" + path + "' holds no whole 188-byte packet";
    return false;
  }
  if (more) std::fprintf(stderr, "boardsim: only the first %d packets of '%s' are sent\n", static_cast<int>(n), path.c_str());
  card.filePackets = n;
  return true;
}

// A library process killed while it touched the card would otherwise stop
// the card for good.
void LockCard(simlink::Shared& shared) { spin_lock::Acquire(spin_lock::AsLockWord(&shared.cardLock)); }
void UnlockCard(simlink::Shared& shared) { spin_lock::Release(spin_lock::AsLockWord(&shared.cardLock)); }

// Changes the running card's status values and driver answers.
int Update(const Options& o) {
  struct Field {
    const char* name;
    std::int64_t low, high;
    void (*set)(SimConfig&, std::int64_t);
  };
  static const Field kFields[] = {
      {"sid", -1, 0x3FFF, [](SimConfig& c, std::int64_t v) { c.sid = static_cast<std::int32_t>(v); }},
      {"irdinfo", -1, 255, [](SimConfig& c, std::int64_t v) { c.irdInfo = static_cast<std::int32_t>(v); }},
      {"active", 0, UINT32_MAX, [](SimConfig& c, std::int64_t v) { c.active = static_cast<std::uint32_t>(v); }},
      {"busy", 0, UINT32_MAX, [](SimConfig& c, std::int64_t v) { c.busy = static_cast<std::uint32_t>(v); }},
      {"flags", 0, UINT32_MAX, [](SimConfig& c, std::int64_t v) { c.flags = static_cast<std::uint32_t>(v); }},
      {"crc-errors", 0, UINT32_MAX, [](SimConfig& c, std::int64_t v) { c.crcErrors = static_cast<std::uint32_t>(v); }},
      {"ts-errors", 0, UINT32_MAX, [](SimConfig& c, std::int64_t v) { c.tsErrors = static_cast<std::uint32_t>(v); }},
  };
  std::int64_t values[sizeof kFields / sizeof kFields[0]];
  std::string error;
  for (std::size_t i = 0; i < sizeof kFields / sizeof kFields[0]; ++i) {
    if (!o.Integer(kFields[i].name, kFields[i].low, kFields[i].high, 0, &values[i], &error)) return Usage(error);
  }
  HANDLE section = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, simlink::kSection);
  auto* shared = section ? static_cast<simlink::Shared*>(MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(simlink::Shared)))
                         : nullptr;
  if (!shared || shared->magic != simlink::kMagic) {
    std::fprintf(stderr, "boardsim: no simulated card is running\n");
    return 1;
  }
  LockCard(*shared);
  for (std::size_t i = 0; i < sizeof kFields / sizeof kFields[0]; ++i)
    if (o.Has(kFields[i].name)) kFields[i].set(shared->card.config, values[i]);
  UnlockCard(*shared);
  UnmapViewOfFile(shared);
  CloseHandle(section);
  return 0;
}

struct Integers {
  const char* name;
  std::int64_t low, high;
  std::int64_t* target;
};

class Simulator {
 public:
  Simulator(simlink::Shared& shared, std::FILE* log, std::uint32_t rate)
      : shared_(shared), card_(shared.card), log_(log), rate_(rate), counter0_(shared.card.config.counter),
        start_(GetTickCount()) {}

  void Answer(simlink::Mailbox& m) {
    std::string line;
    {
      Lock();
      if (rate_) shared_.card.config.counter = counter0_ + static_cast<std::uint32_t>(
          static_cast<std::uint64_t>(rate_) * (GetTickCount() - start_) / 1000);
      switch (m.op) {
        case simlink::kOpen:
          m.ok = card_.Open();
          line = m.ok ? "open" : "open failed";
          break;
        case simlink::kClose:
          card_.Close();
          m.ok = 1;
          line = "close";
          break;
        case simlink::kQuery:
          m.ok = card_.Query(m.selector, &m.record);
          break;
        case simlink::kCommand:
          line = card_.Command(m.record);
          m.ok = 1;
          break;
        default:
          m.ok = 0;
      }
      Unlock();
    }
    if (log_ && !line.empty()) {
      std::fprintf(log_, "%s\n", line.c_str());
      std::fflush(log_);
    }
  }

 private:
  void Lock() { LockCard(shared_); }
  void Unlock() { UnlockCard(shared_); }

  simlink::Shared& shared_;
  SimCard card_;
  std::FILE* log_;
  std::uint32_t rate_, counter0_;
  DWORD start_;
};
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  Options o;
  std::string error;
  if (!o.Parse(args, kOptions, &error))
    return Usage(error);
  if (o.Help()) {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }
  if (!o.Positional().empty()) return Usage("unexpected argument '" + o.Positional()[0] + "'");
  const std::string adapter = o.Text("adapter", "0000");
  if (adapter.size() != 4 || adapter.find_first_not_of("0123456789") != std::string::npos)
    return Usage("--adapter '" + adapter + "' is not four digits");
  if (o.Has("stop")) {
    HANDLE stop = OpenEventA(EVENT_MODIFY_STATE, FALSE, simlink::kStopEvent);
    if (!stop) {
      std::fprintf(stderr, "boardsim: no simulated card is running\n");
      return 1;
    }
    SetEvent(stop);
    CloseHandle(stop);
    return 0;
  }
  if (o.Has("uninstall")) return Uninstall(o) ? 0 : 1;
  if (o.Has("update")) return Update(o);
  if (o.Has("install-only")) return Install(o) ? 0 : 1;

  SimConfig config;
  if (!o.Required("id", &error)) return Usage(error);
  if (!ParseIdentity(o.Text("id"), config.identity)) return Usage("--id '" + o.Text("id") + "' is not 20 hex digits");
  std::int64_t type, sid, ird, pat, address, active, busy, flags, counter, rate, crc, ts, scr, terr, ccerr, crcerr, sync;
  const Integers integers[] = {
      {"type", 0, 255, &type}, {"sid", -1, 0x3FFF, &sid}, {"irdinfo", -1, 255, &ird}, {"pat-program", -1, 65535, &pat},
      {"address", 0, 0xFFFFF, &address}, {"active", 0, UINT32_MAX, &active}, {"busy", 0, UINT32_MAX, &busy},
      {"flags", 0, UINT32_MAX, &flags}, {"counter", 0, UINT32_MAX, &counter}, {"rate", 0, UINT32_MAX, &rate},
      {"crc-errors", 0, UINT32_MAX, &crc}, {"ts-errors", 0, UINT32_MAX, &ts}, {"scrambled-every", 0, UINT32_MAX, &scr},
      {"error-every", 0, UINT32_MAX, &terr}, {"cc-error-every", 0, UINT32_MAX, &ccerr},
      {"crc-error-every", 0, UINT32_MAX, &crcerr}, {"bad-sync-every", 0, UINT32_MAX, &sync},
  };
  const std::int64_t defaults[] = {0x40, -1, -1, 1, config.address, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (std::size_t i = 0; i < sizeof integers / sizeof integers[0]; ++i) {
    if (!o.Integer(integers[i].name, integers[i].low, integers[i].high, defaults[i], integers[i].target, &error))
      return Usage(error);
  }
  config.boardType = static_cast<std::uint8_t>(type);
  config.sid = static_cast<std::int32_t>(sid);
  config.irdInfo = static_cast<std::int32_t>(ird);
  config.patProgram = static_cast<std::int32_t>(pat);
  config.address = static_cast<std::uint32_t>(address);
  config.active = static_cast<std::uint32_t>(active);
  config.busy = static_cast<std::uint32_t>(busy);
  config.flags = static_cast<std::uint32_t>(flags);
  config.counter = static_cast<std::uint32_t>(counter);
  config.crcErrors = static_cast<std::uint32_t>(crc);
  config.tsErrors = static_cast<std::uint32_t>(ts);
  config.scrambledEvery = static_cast<std::uint32_t>(scr);
  config.transportErrorEvery = static_cast<std::uint32_t>(terr);
  config.ccErrorEvery = static_cast<std::uint32_t>(ccerr);
  config.crcErrorEvery = static_cast<std::uint32_t>(crcerr);
  config.badSyncEvery = static_cast<std::uint32_t>(sync);
  config.noDriver = o.Has("no-driver") ? 1 : 0;
  config.time = static_cast<std::int32_t>(std::time(nullptr));
  if (o.Has("time") && !ParseTime(o.Text("time"), &config.time))
    return Usage("--time '" + o.Text("time") + "' is not a local time \"YYYY-MM-DD hh:mm:ss\"");

  if (o.Has("install") && !Install(o)) return 1;

  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(simlink::Shared), simlink::kSection);
  if (!section) {
    std::fprintf(stderr, "boardsim: cannot create the card's section (error %lu)\n", GetLastError());
    return 1;
  }
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  auto* shared = static_cast<simlink::Shared*>(MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(simlink::Shared)));
  if (!shared) return 1;
  // A section left by a stopped card (still mapped by a program that loaded the
  // library) is taken over; a running card is not.
  if (existed && shared->magic == simlink::kMagic) {
    std::fprintf(stderr, "boardsim: another simulated card is running (boardsim --stop ends it)\n");
    return 1;
  }
  shared->card.filePackets = 0;
  if (o.Has("packets") && !LoadPackets(o.Text("packets"), shared->card, &error)) {
    std::fprintf(stderr, "boardsim: %s\n", error.c_str());
    return 1;
  }
  SimCard::Init(shared->card, config);
  std::FILE* log = nullptr;
  if (o.Has("log")) {
    // Emptied at start, then appended to: a test may empty it between steps.
    log = std::fopen(o.Text("log").c_str(), "w");
    if (log) std::fclose(log);
    log = std::fopen(o.Text("log").c_str(), "a");
    if (!log) {
      std::fprintf(stderr, "boardsim: cannot write the log '%s'\n", o.Text("log").c_str());
      return 1;
    }
  }
  HANDLE request = CreateEventA(nullptr, FALSE, FALSE, simlink::kRequestEvent);
  HANDLE reply = CreateEventA(nullptr, FALSE, FALSE, simlink::kReplyEvent);
  HANDLE mutex = CreateMutexA(nullptr, FALSE, simlink::kMailboxMutex);
  HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, simlink::kStopEvent);
  if (!request || !reply || !mutex || !stop) {
    std::fprintf(stderr, "boardsim: cannot create the driver's mailbox\n");
    return 1;
  }
  shared->magic = simlink::kMagic;
  Simulator simulator(*shared, log, static_cast<std::uint32_t>(rate));
  std::printf("boardsim: ready (card at 0x%05X)\n", config.address);
  std::fflush(stdout);
  HANDLE waits[2] = {stop, request};
  for (;;) {
    const DWORD got = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (got != WAIT_OBJECT_0 + 1) break;
    simlink::Mailbox m = shared->mailbox;
    simulator.Answer(m);
    shared->mailbox = m;
    SetEvent(reply);
  }
  shared->magic = 0;
  if (log) std::fclose(log);
  std::printf("boardsim: stopped\n");
  return 0;
}
