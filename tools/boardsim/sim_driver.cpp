#include "tools/boardsim/sim_driver.h"

#include <algorithm>

bool InProcessSimDriver::Open() {
  if (open_) return true;
  if (!card_.Open()) return false;
  open_ = true;
  log.push_back("open");
  return true;
}

void InProcessSimDriver::Close() {
  if (!open_) return;
  card_.Close();
  open_ = false;
  log.push_back("close");
}

bool InProcessSimDriver::Query(std::uint32_t selector, DriverRecord* record) {
  if (!open_) return false;
  querySelectors.push_back(selector);
  return card_.Query(selector, record);
}

bool InProcessSimDriver::Command(const DriverRecord& record) {
  if (!open_) return false;
  log.push_back(card_.Command(record));
  return true;
}

BoardPort* InProcessSimDriver::Map(std::uint32_t physical, std::uint32_t length) {
  ports_.push_back(std::make_unique<SimWindowPort>(card_, state_.config.address, physical, length));
  ++mapped;
  return ports_.back().get();
}

void InProcessSimDriver::Unmap(BoardPort* port) {
  auto it = std::find_if(ports_.begin(), ports_.end(), [&](const auto& p) { return p.get() == port; });
  if (it != ports_.end()) {
    ports_.erase(it);
    --mapped;
  }
}
