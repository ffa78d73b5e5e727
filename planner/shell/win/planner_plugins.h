// Where the other parts of the planner plug into the shell without the shell
// naming them: each part fills its slots from a static PluginRegistration in a
// file of its own win/ folder (every planner/*/win/*.cpp is linked into
// Tavora.exe, so the registration always runs before WinMain).
//
//   static PluginRegistration registration([](PlannerPlugins& p) {
//     p.collectResults = [] { return CollectIntoDocument(TheApp()); };
//     p.commands[ID_RECEIVED_LIST] = {[] { OpenReceivedList(); }, [] { return HaveHistory(); }};
//   });
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "planner/reserve/reservation_checks.h"

struct FrameCommand {
  std::function<void()> run;
  std::function<bool()> enabled;  // unset: always enabled
  std::function<bool()> checked;  // unset: never checked
};

struct PlannerPlugins {
  // History: collects new result records into the received list and the
  // document's result marks; true when the received list changed.
  std::function<bool()> collectResults;
  // History: the received contents (folder, bytes) and their KByte total, for
  // the reservation dialog's total check.
  std::function<std::vector<ReceivedFolder>()> receivedFolders;
  std::function<std::int32_t()> receivedKbyte;
  // History: notices after the main window is shown (missed programs).
  std::function<void()> afterStart;
  // Settings: old content deletion when it runs once at start.
  std::function<void()> afterStartHousekeeping;
  // History: modeless dialogs get their keys first; true when the message was theirs.
  std::function<bool(MSG*)> dialogMessage;
  // Any part: its windows are closed before the main window goes.
  std::vector<std::function<void()>> beforeClose;
  // Settings: once a second (every 10th tick of the frame timer).
  std::function<void()> secondTick;
  // Keyword search: the keyword reservation pass; true when it reserved anything.
  std::function<bool()> keywordReservation;
  // Settings: the folder chooser behind every "参照..." button; false when cancelled.
  std::function<bool(HWND, std::string*)> chooseFolder;
  // Menu commands of the other parts, by id.
  std::map<int, FrameCommand> commands;
};

PlannerPlugins& Plugins();

struct PluginRegistration {
  explicit PluginRegistration(const std::function<void(PlannerPlugins&)>& fill) { fill(Plugins()); }
};
