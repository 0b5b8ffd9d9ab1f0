// Pictures the panel draws itself: window icons and the images of picture
// controls.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <string>

namespace orbus::qt {

// Window icons drawn by the panel itself, by key ("orx-kappa", ...).
QIcon iconFor(const std::string& key);

// The image a picture control names ("title-charset"); null for an unknown name.
QPixmap namedImage(const std::string& key);

}  // namespace orbus::qt
