// Pictures by the numeric resource ids the windows have always used: icons and bitmaps compiled in with
// Qt's resource system, and the few that are drawn in code (the lamps, the band background).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace nms {

// A null icon / pixmap for an unknown id.
QIcon IconById(int id);
QPixmap PixmapById(int id, int size = 16);

}  // namespace nms
