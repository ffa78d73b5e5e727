// The card's real drivers: the board driver "\\.\KT517.VXD" and, on NT-family
// systems, the physical memory mapping driver "\\.\MEMWINK".
#include <windows.h>

#include <memory>
#include <vector>

#include "boardlib/win/win_board_host.h"
#include "common/win/scoped_win.h"

namespace {
// The window as plain memory: every access is a single volatile load or store.
class MemoryPort : public BoardPort {
 public:
  explicit MemoryPort(std::uintptr_t base) : base_(base) {}
  std::uint8_t Read8(std::uint32_t o) override { return *reinterpret_cast<volatile std::uint8_t*>(base_ + o); }
  std::uint16_t Read16(std::uint32_t o) override { return *reinterpret_cast<volatile std::uint16_t*>(base_ + o); }
  void Write8(std::uint32_t o, std::uint8_t v) override { *reinterpret_cast<volatile std::uint8_t*>(base_ + o) = v; }
  void Write16(std::uint32_t o, std::uint16_t v) override { *reinterpret_cast<volatile std::uint16_t*>(base_ + o) = v; }
  std::uintptr_t Base() const { return base_; }

 private:
  std::uintptr_t base_;
};

class RealBoardDriver : public BoardDriver {
 public:
  bool Open() override {
    if (device_) return true;
    // The way a virtual device driver is opened.
    device_.Reset(CreateFileA("\\\\.\\KT517.VXD", 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return IsOpen();
  }
  bool IsOpen() const override { return static_cast<bool>(device_); }
  std::int64_t Handle() const override {
    return IsOpen() ? static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(device_.Get())) : 0;
  }
  void Close() override { device_.Reset(); }
  bool Query(std::uint32_t selector, DriverRecord* record) override {
    if (!IsOpen()) return false;
    DWORD in = selector, got = 0;
    DriverRecord answer = *record;
    if (!DeviceIoControl(device_.Get(), kDriverCodeQuery, &in, sizeof in, answer.word, sizeof answer.word, &got, nullptr))
      return false;
    *record = answer;
    return true;
  }
  bool Command(const DriverRecord& record) override {
    if (!IsOpen()) return false;
    DWORD got = 0;
    DriverRecord copy = record;
    return DeviceIoControl(device_.Get(), kDriverCodeCommand, copy.word, sizeof copy.word, nullptr, 0, &got, nullptr) != 0;
  }
  bool PhysicalMemoryVisible() const override { return (GetVersion() & 0x80000000u) != 0; }
  bool OpenMapper() override {
    if (mapper_) return true;
    mapper_.Reset(CreateFileA("\\\\.\\MEMWINK", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(mapper_);
  }
  void CloseMapper() override { mapper_.Reset(); }
  BoardPort* Map(std::uint32_t physical, std::uint32_t length) override {
    if (PhysicalMemoryVisible()) {
      ports_.push_back(std::make_unique<MemoryPort>(physical));
      return ports_.back().get();
    }
    if (!mapper_) return nullptr;
    std::uint32_t in[6] = {1, 0, physical, 0, 0, length};
    std::uint32_t address = 0;
    DWORD got = 0;
    if (!DeviceIoControl(mapper_.Get(), kMapperCodeMap, in, sizeof in, &address, sizeof address, &got, nullptr) ||
        !address)
      return nullptr;
    ports_.push_back(std::make_unique<MemoryPort>(address));
    return ports_.back().get();
  }
  void Unmap(BoardPort* port) override {
    for (auto it = ports_.begin(); it != ports_.end(); ++it) {
      if (it->get() != port) continue;
      if (!PhysicalMemoryVisible() && mapper_) {
        std::uint32_t address = static_cast<std::uint32_t>((*it)->Base());
        DWORD got = 0;
        DeviceIoControl(mapper_.Get(), kMapperCodeUnmap, &address, sizeof address, nullptr, 0, &got, nullptr);
      }
      ports_.erase(it);
      return;
    }
  }

 private:
  // Declared in the reverse of their closing: the board driver goes before the mapper.
  ScopedFile mapper_;
  ScopedFile device_;
  // Windows the library did not unmap go with the driver (a port holds no handle).
  std::vector<std::unique_ptr<MemoryPort>> ports_;
};
}  // namespace

std::unique_ptr<BoardDriver> CreateBoardDriver() { return std::make_unique<RealBoardDriver>(); }
