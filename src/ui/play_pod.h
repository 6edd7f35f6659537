// The play pod: a small floating palette with the five transport buttons.
// Which state shows it, where it goes on the screen, what its buttons send and
// when they are enabled; the shell only creates and destroys the windows.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "app/frame_rules.h"
#include "app/command_ids.h"
#include "app/commands.h"
#include "app/settings.h"

namespace ui {

// Buttons in palette order; each sends its own id and shows the tool-bar
// glyph of the same number.
inline constexpr uint16_t kPodButtons[] = {CM_PLAY, CM_STOP, CM_PAUSE, CM_PREVIOUS, CM_NEXT};
inline constexpr int kPodButtonCount = 5;
inline constexpr int kPodColumns = 5;
inline constexpr uint32_t kPodTimerId = 2;
inline constexpr uint32_t kPodTimerPeriod = 200;  // ms

struct PodOrigin {
  int32_t x = 0, y = 0;
  bool moved = false;  // the window must be moved to (x, y)
};
// Brings a freshly created pod of the given size fully onto the work area of
// its monitor (or the nearest one): an edge past the right or bottom is
// pulled back to touch it, and a position left of or above it (a hand-edited
// file, a monitor no longer there) to its left or top edge.
PodOrigin PlacePodOnScreen(int32_t x, int32_t y, int32_t width, int32_t height,
                           const app::Areas& areas);

// Remembers the pod's normal position as PX and PY: as it is on a monitor
// (which may lie left of or above the primary one), else never negative.
void StorePodPosition(int32_t left, int32_t top, const app::Areas& areas, app::Settings* s);

// The pod's windows, as the shell makes them.
class PodWindows {
 public:
  virtual ~PodWindows() = default;
  // Creates the frame and palette at (PX, PY), topmost when asked; false
  // when they could not be made (the player goes on without a pod).
  virtual bool CreatePod(bool topmost) = 0;
  // Destroys them (storing PX and PY on the way) and forgets them.
  virtual void RemovePod() = 0;
  virtual bool PodExists() const = 0;
  virtual void SetPodTopmost(bool topmost) = 0;
};

// The pod's options and its life: it exists exactly while CONTROLPAD is on
// and either ICONPAD is off or the main window is minimised.
class PlayPod {
 public:
  PlayPod(app::Settings& settings, PodWindows& windows) : s_(settings), w_(windows) {}

  // After the settings are read; minimizedStart when the program starts minimised.
  void Start(bool minimizedStart);
  // 450 (closed from its own caption), 451, 452, 453; false for other ids.
  bool OnCommand(uint16_t id);
  // The main window was minimised, or restored or maximised.
  void SetMinimized(bool minimized);
  // At exit, before the settings are written: the pod goes (storing its
  // position) but the options stay as they are.
  void Exit();

  bool Wanted() const;

 private:
  void Apply();

  app::Settings& s_;
  PodWindows& w_;
  bool started_ = false;
  bool minimized_ = false;
};

}  // namespace ui
