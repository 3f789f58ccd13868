#include "app/PlaceBeside.h"

#include <algorithm>

QRect placeBeside(const QRect& other, QSize size, const QRect& free, int minimumWidth)
{
    const int roomRight = free.right() - other.right();
    const int roomLeft = other.left() - free.left();
    const bool right =
        size.width() <= roomRight || (size.width() > roomLeft && roomRight >= roomLeft);
    const int room = right ? roomRight : roomLeft;
    int width = size.width();
    if (width > room && room >= minimumWidth)
        width = room;
    int x = right ? other.right() + 1 : other.left() - width;
    x = std::clamp(x, free.left(), std::max(free.left(), free.right() + 1 - width));
    const int lowestTop = std::max(free.top(), free.bottom() + 1 - size.height());
    const int y = std::clamp(other.top(), free.top(), lowestTop);
    return {x, y, width, size.height()};
}

bool roomBeside(const QRect& other, const QRect& free, int minimumWidth)
{
    return std::max(free.right() - other.right(), other.left() - free.left()) >= minimumWidth;
}
