// An image list of icons kept by key, for list views and toolbars. The list is created
// on first use at its image size; resizing it empties it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace ui {

class ImageList {
 public:
  explicit ImageList(int imageSize = 16) : width_(imageSize), height_(imageSize) {}
  ~ImageList();
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  int ImageWidth() const { return width_; }
  int ImageHeight() const { return height_; }
  // Drops every image and takes the new size.
  void SetImageSize(int width, int height);
  void Clear();
  int Count() const { return static_cast<int>(keys_.size()); }
  // Adds the icon (scaled to the image size, with its transparency); its index, or -1.
  int Add(HICON icon, const std::string& key = "");
  int IndexOfKey(const std::string& key) const;  // -1 when no image has the key
  // Drops every image not among `used` (other indexes are ignored); answers the new
  // index of each old one, -1 for a dropped image.
  std::vector<int> KeepOnly(const std::vector<int>& used);
  HIMAGELIST handle();  // created on first use

 private:
  HIMAGELIST list_ = nullptr;
  int width_, height_;
  std::vector<std::string> keys_;
};

}  // namespace ui
