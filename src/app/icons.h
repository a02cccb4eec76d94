#pragma once

// The program's icon and the three frames of the tray animation, from the
// resources.

#include <QIcon>

#include <vector>

namespace pelnor {

QIcon ApplicationIcon();
std::vector<QIcon> AnimationFrames();

}  // namespace pelnor
