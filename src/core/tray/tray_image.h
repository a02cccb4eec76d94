#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace pelnor {

// A picture the platform knows how to show. The core never looks inside;
// the Qt side keeps a QIcon here, tests keep a name.
class IconImage {
 public:
  virtual ~IconImage() = default;
};

// An icon handle: empty, or one shared, immutable image. Copying an icon
// copies the handle, which is as good as copying the picture because
// images never change once made.
class IconHandle {
 public:
  IconHandle() = default;
  explicit IconHandle(std::shared_ptr<const IconImage> image) : image_(std::move(image)) {}

  bool Empty() const { return image_ == nullptr; }
  const IconImage* Image() const { return image_.get(); }

  friend bool operator==(const IconHandle& a, const IconHandle& b) { return a.image_ == b.image_; }

 private:
  std::shared_ptr<const IconImage> image_;
};

// The frames of an animation, in order.
class ImageList {
 public:
  ImageList() = default;
  explicit ImageList(std::vector<IconHandle> images) : images_(std::move(images)) {}

  std::size_t Count() const { return images_.size(); }
  const IconHandle& GetIcon(std::size_t index) const { return images_.at(index); }
  void Add(IconHandle icon) { images_.push_back(std::move(icon)); }
  void Clear() { images_.clear(); }

 private:
  std::vector<IconHandle> images_;
};

}  // namespace pelnor
