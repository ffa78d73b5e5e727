// Every modal loop of a program (a dialog, a message box, a common dialog, a
// tracked menu) keeps dispatching the program's timers and posted commands.
// Work that frees or rebuilds what a dialog may be showing (the guide, the
// reservation list, the received list) must not run inside one: it checks
// ModalLoop::IsOpen() and waits for the loop to end. What a dialog works on is
// identified by its key and looked up again after it returns.
#pragma once

// Counts open modal loops for the program's UI thread while it lives.
class ModalLoop {
 public:
  ModalLoop();
  ~ModalLoop();
  ModalLoop(const ModalLoop&) = delete;
  ModalLoop& operator=(const ModalLoop&) = delete;

  static int Depth();
  static bool IsOpen() { return Depth() > 0; }
};
