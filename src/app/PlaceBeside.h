#pragma once

#include <QRect>

// Where a window opened beside another goes: at the other's right when the free area of the
// screen has room for it there, else at its left, else on the side with more room, narrowed to
// fit when it can be no narrower than minimumWidth, and against the screen's edge on that side
// when it cannot. Its top is level with the other's, moved up as far as the screen needs.
// All rectangles are frames (decorations included); the result is the new window's frame.
QRect placeBeside(const QRect& other, QSize size, const QRect& free, int minimumWidth);
// Whether the free area has room for a window at least minimumWidth wide at either side of the
// other, without covering it.
bool roomBeside(const QRect& other, const QRect& free, int minimumWidth);
