#pragma once
// Work a close must not cut into: a hang-up's pause, a Dial or Hangup press.
// The pause's drain of taps delivers whatever other programs send meanwhile,
// the shell's close among it; run there, the shutdown would pull the dialog
// and the window from under the work, which then goes on without them.
#include <windows.h>

namespace ui {

// While one lives a close waits; the outermost one's end posts the close
// that came meanwhile to the main window again, to run from its loop.
class HoldCloses {
  public:
    HoldCloses();
    ~HoldCloses();

  private:
    HoldCloses(const HoldCloses&);
    HoldCloses& operator=(const HoldCloses&);
};

// 1 when the close (the main window's message and wParam) was held for later;
// 0 when it may run now.
int holdClose(UINT message, WPARAM wParam);
// 1 while such work is under way: what another program sends then is not
// acted on inside it.
int closesHeld();
// 1 from a close held until it ran, and from the shutdown on: work that
// paused goes on to write, dial or show nothing more.
int closing();

} // namespace ui
