// The program's own icon, drawn in code at every size the window system may ask for. UI thread only
// (it paints QPixmaps, which need the application object).
#pragma once

#include <QIcon>
#include <array>

namespace tarvelin {

inline constexpr std::array<int, 10> kIconSizes = {256, 192, 128, 96, 64, 48, 32, 24, 20, 16};

// One icon holding a square 32-bit image for each of kIconSizes.
QIcon AppIcon();

}  // namespace tarvelin
