#include "ImageList.h"

namespace ui {

ImageList::~ImageList() {
  if (list_) ImageList_Destroy(list_);
}

HIMAGELIST ImageList::handle() {
  if (!list_) list_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 16, 16);
  return list_;
}

void ImageList::SetImageSize(int width, int height) {
  width_ = width;
  height_ = height;
  keys_.clear();
  if (list_) ImageList_SetIconSize(list_, width, height);  // also removes every image
}

void ImageList::Clear() {
  keys_.clear();
  if (list_) ImageList_RemoveAll(list_);
}

int ImageList::Add(HICON icon, const std::string& key) {
  if (!icon || !handle()) return -1;
  int index = ImageList_ReplaceIcon(list_, -1, icon);
  if (index < 0) return -1;
  keys_.resize(index + 1);
  keys_[index] = key;
  return index;
}

std::vector<int> ImageList::KeepOnly(const std::vector<int>& used) {
  std::vector<bool> keep(keys_.size(), false);
  for (int index : used)
    if (index >= 0 && index < Count()) keep[static_cast<size_t>(index)] = true;
  std::vector<int> moved(keys_.size(), -1);
  int next = 0;
  for (size_t i = 0; i < keep.size(); ++i)
    if (keep[i]) moved[i] = next++;
  // From the end, so the indexes still to remove stay where they are.
  for (int i = Count() - 1; i >= 0; --i) {
    if (keep[static_cast<size_t>(i)]) continue;
    if (list_) ImageList_Remove(list_, i);
    keys_.erase(keys_.begin() + i);
  }
  return moved;
}

int ImageList::IndexOfKey(const std::string& key) const {
  for (size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i] == key) return static_cast<int>(i);
  return -1;
}

}  // namespace ui
