#include "app/icons.h"

namespace pelnor {

QIcon ApplicationIcon() {
  QIcon icon;
  for (const char* size : {"16", "32", "48"})
    icon.addFile(QStringLiteral(":/pelnor/pelnor-%1.png").arg(QLatin1String(size)));
  return icon;
}

std::vector<QIcon> AnimationFrames() {
  std::vector<QIcon> frames;
  for (int frame = 1; frame <= 3; ++frame) {
    QIcon icon;
    for (const char* size : {"16", "32"})
      icon.addFile(QStringLiteral(":/pelnor/frame%1-%2.png").arg(frame).arg(QLatin1String(size)));
    frames.push_back(icon);
  }
  return frames;
}

}  // namespace pelnor
