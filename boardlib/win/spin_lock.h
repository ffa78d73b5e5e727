// The one spin lock on a word in memory that several processes map (the
// library's shared section, the simulated card's section). A holder that died
// holding it is overtaken after two seconds, so no process waits for ever.
#pragma once
#include <windows.h>

namespace spin_lock {
constexpr DWORD kOvertakeMs = 2000;

// True when the word was free; false when a holder was overtaken (the word is
// held by the caller either way).
inline bool Acquire(volatile LONG* word) {
  const DWORD start = GetTickCount();
  while (InterlockedCompareExchange(word, 1, 0) != 0) {
    if (GetTickCount() - start > kOvertakeMs) return false;
    Sleep(0);
  }
  return true;
}

inline void Release(volatile LONG* word) { InterlockedExchange(word, 0); }

template <class Word>
volatile LONG* AsLockWord(volatile Word* word) {
  static_assert(sizeof(Word) == sizeof(LONG), "a lock word is 32 bits");
  return reinterpret_cast<volatile LONG*>(word);
}
}  // namespace spin_lock

// Holds the lock for a scope.
class SpinLockHolder {
 public:
  template <class Word>
  explicit SpinLockHolder(volatile Word* word) : word_(spin_lock::AsLockWord(word)) {
    spin_lock::Acquire(word_);
  }
  ~SpinLockHolder() { spin_lock::Release(word_); }
  SpinLockHolder(const SpinLockHolder&) = delete;
  SpinLockHolder& operator=(const SpinLockHolder&) = delete;

 private:
  volatile LONG* word_;
};
