#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace pelnor {

// A picture the platform knows how to show. The core never looks inside;
// the Qt side keeps a QIcon here, tests keep a name.
class TIconImage {
 public:
  virtual ~TIconImage() = default;
};

// An icon handle: empty, or one shared, immutable image. Copying an icon
// copies the handle, which is as good as copying the picture because
// images never change once made.
class TIcon {
 public:
  TIcon() = default;
  explicit TIcon(std::shared_ptr<const TIconImage> image) : image_(std::move(image)) {}

  bool Empty() const { return image_ == nullptr; }
  const TIconImage* Image() const { return image_.get(); }

  friend bool operator==(const TIcon& a, const TIcon& b) { return a.image_ == b.image_; }

 private:
  std::shared_ptr<const TIconImage> image_;
};

// The frames of an animation, in order.
class TImageList {
 public:
  TImageList() = default;
  explicit TImageList(std::vector<TIcon> images) : images_(std::move(images)) {}

  std::size_t Count() const { return images_.size(); }
  const TIcon& GetIcon(std::size_t index) const { return images_.at(index); }
  void Add(TIcon icon) { images_.push_back(std::move(icon)); }
  void Clear() { images_.clear(); }

 private:
  std::vector<TIcon> images_;
};

}  // namespace pelnor
