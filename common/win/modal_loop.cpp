#include "common/win/modal_loop.h"

namespace {
// The UI thread alone opens modal loops and asks about them.
int depth = 0;
}  // namespace

ModalLoop::ModalLoop() { ++depth; }
ModalLoop::~ModalLoop() { --depth; }
int ModalLoop::Depth() { return depth; }
