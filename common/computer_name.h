// The computer's name as the system reports it (cp932), for deletion requests.
#pragma once
#include <string>

std::string ComputerName();
