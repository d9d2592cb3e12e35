#pragma once
// The loading animation of the busy cover: a ring of dots with a bright head that goes round
// once a loop, over a caption. Drawn in code; nothing is loaded.

#include <QColor>

#include "ui/picture_frame.h"

namespace mm {

inline constexpr int kBusyFrameCount = 50;
inline constexpr int kBusyFrameMs = 40;

// 800 x 600, 50 frames of 40 ms.
Animation BusyAnimation();
// The colour behind the animation, for the parts of a box it does not fill.
QColor BusyAnimationBackground();

}  // namespace mm
