// Natively the host name stands for the computer name.
#include "common/computer_name.h"

#include <unistd.h>

std::string ComputerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return std::string();
  return name;
}
