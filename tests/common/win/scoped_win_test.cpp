// The handle owners: what each frees, and when ownership moves.
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "common/win/scoped_win.h"

namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != FALSE;
}

TEST(ScopedWinTest, TheLastOwnerAfterMovesClosesTheHandleOnce) {
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(IsOpen(event));
  ScopedHandle first(event);
  {
    ScopedHandle second(std::move(first));
    EXPECT_FALSE(first);
    ScopedHandle third;
    third = std::move(second);
    EXPECT_FALSE(second);
    EXPECT_EQ(third.Get(), event);
    EXPECT_TRUE(IsOpen(event));
  }
  EXPECT_FALSE(IsOpen(event));
}

TEST(ScopedWinTest, ResetClosesTheOldHandleAndReleaseClosesNothing) {
  HANDLE a = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE b = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ScopedHandle owner(a);
  owner.Reset(b);
  EXPECT_FALSE(IsOpen(a));
  EXPECT_EQ(owner.Release(), b);
  EXPECT_FALSE(owner);
  owner.Reset();
  EXPECT_TRUE(IsOpen(b));
  CloseHandle(b);
}

TEST(ScopedWinTest, AFailedCreateFileIsAnEmptyOwner) {
  ScopedFile file(CreateFileW(L"C:\\no-such-folder\\x.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(file);
  ScopedHandle thread(nullptr);
  EXPECT_FALSE(thread);
}

TEST(ScopedWinTest, ReceiveClosesTheHeldKeyBeforeTheNextOpen) {
  ScopedRegKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.Receive()), ERROR_SUCCESS);
  const HKEY first = key.Get();
  HKEY* slot = key.Receive();
  EXPECT_EQ(*slot, nullptr);
  EXPECT_NE(RegQueryInfoKeyW(first, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST(ScopedWinTest, SelectInDcPutsThePreviousObjectBack) {
  ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BRUSH);
  ScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
  {
    SelectInDc select(dc.Get(), brush.Get());
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), before);
}

}  // namespace
