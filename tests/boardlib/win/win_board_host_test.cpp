// The Windows host's look at other processes: gone only when the id names no
// process, running when the look is refused, and a later process under a
// reused id is not the one recorded.
#include "boardlib/win/win_board_host.h"

#include <gtest/gtest.h>

#include <string>

#include "boardlib/win/spin_lock.h"

namespace {
// A child that exists but does not run any code until it is ended.
struct SuspendedChild {
  SuspendedChild() {
    wchar_t line[] = L"cmd.exe /c exit 0";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    ok = CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW, nullptr, nullptr,
                        &si, &info) != 0;
  }
  ~SuspendedChild() { End(); }
  void End() {
    if (!ok) return;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    ok = false;
  }
  bool ok = false;
  PROCESS_INFORMATION info{};
};

DWORD gRefusal = 0;
HANDLE WINAPI RefusingOpen(DWORD, BOOL, DWORD) {
  SetLastError(gRefusal);
  return nullptr;
}
// Refuses the wait but grants the look, as a process of a higher level does.
HANDLE WINAPI LookOnlyOpen(DWORD access, BOOL inherit, DWORD pid) {
  if (access & SYNCHRONIZE) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return OpenProcess(access, inherit, pid);
}

TEST(WinLibraryHost, ThisProcessRunsUnderItsOwnStampOnly) {
  WinLibraryHost host;
  const std::uint32_t me = host.CurrentProcessId();
  const std::uint32_t started = host.CurrentProcessStarted();
  ASSERT_NE(started, 0u);
  EXPECT_EQ(host.CurrentProcessStarted(), started);
  EXPECT_TRUE(host.ProcessAlive(me, started));
  EXPECT_TRUE(host.ProcessAlive(me, 0));
  EXPECT_FALSE(host.ProcessAlive(me, started + 1)) << "an earlier process with this id";
}

TEST(WinLibraryHost, AnotherProcessRunsUntilItEndsAndIsNamedByItsStamp) {
  WinLibraryHost host;
  SuspendedChild child;
  ASSERT_TRUE(child.ok) << GetLastError();
  const DWORD pid = child.info.dwProcessId;
  FILETIME created, exited, kernel, user;
  ASSERT_TRUE(GetProcessTimes(child.info.hProcess, &created, &exited, &kernel, &user));
  const auto stamp = static_cast<std::uint32_t>(
      (static_cast<ULONGLONG>(created.dwHighDateTime) << 32 | created.dwLowDateTime) / 10000);
  EXPECT_TRUE(host.ProcessAlive(pid, 0));
  EXPECT_TRUE(host.ProcessAlive(pid, stamp));
  EXPECT_FALSE(host.ProcessAlive(pid, stamp + 7)) << "the id now names a later process";
  child.End();
  EXPECT_FALSE(host.ProcessAlive(pid, 0)) << "an ended process with no handle left is gone";
}

TEST(WinLibraryHost, ARefusedLookIsARunningProcessAndNoSuchIdIsGone) {
  gRefusal = ERROR_ACCESS_DENIED;
  WinLibraryHost refused(&RefusingOpen);
  EXPECT_TRUE(refused.ProcessAlive(4242, 0)) << "access denied: alive, e.g. an elevated process";
  EXPECT_TRUE(refused.ProcessAlive(4242, 99));
  gRefusal = ERROR_INVALID_PARAMETER;
  EXPECT_FALSE(refused.ProcessAlive(4242, 0)) << "no process has this id";
}

TEST(WinLibraryHost, AProcessThatAllowsOnlyALookIsStillJudged) {
  WinLibraryHost host(&LookOnlyOpen);
  SuspendedChild child;
  ASSERT_TRUE(child.ok) << GetLastError();
  const DWORD pid = child.info.dwProcessId;
  EXPECT_TRUE(host.ProcessAlive(pid, 0));
  EXPECT_FALSE(host.ProcessAlive(pid, 1)) << "a stamp that is not its own";
  child.End();
  EXPECT_FALSE(host.ProcessAlive(pid, 0));
}
}  // namespace

namespace {
TEST(SpinLock, AFreeWordIsTakenAndAHolderThatDiedIsOvertaken) {
  volatile LONG word = 0;
  EXPECT_TRUE(spin_lock::Acquire(&word));
  EXPECT_EQ(word, 1);
  spin_lock::Release(&word);
  EXPECT_EQ(word, 0);
  word = 1;  // its holder ended without releasing it
  EXPECT_FALSE(spin_lock::Acquire(&word)) << "overtaken, not waited for";
  EXPECT_EQ(word, 1) << "held by the one that overtook it";
  spin_lock::Release(&word);
  EXPECT_EQ(word, 0);
}
}  // namespace
