#pragma once
// A decoded picture: just what the skin needs of an image class.
#include <windows.h>
#include <objidl.h>

class Image {
 public:
  Image() = default;
  ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

  // Decodes a PNG; a failed decode leaves the image empty.
  bool Load(IStream* stream);
  void Destroy();

  bool IsNull() const { return bitmap_ == nullptr; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  bool HasAlpha() const { return hasAlpha_; }  // 32-bit with alpha; else 24-bit
  // Colour of one pixel as a COLORREF (0x00BBGGRR); CLR_INVALID outside.
  COLORREF GetPixel(int x, int y) const;

  // Whole image at (0, 0), own size: per-pixel alpha blend when it has
  // alpha, otherwise a plain copy.
  void Draw(HDC dc) const;
  // Source rectangle (sx, 0, sw, sh) to destination (0, 0, dw, dh), leaving
  // out pixels of the key colour 0xFF00FF.
  void TransparentBlt(HDC dc, int dw, int dh, int sx, int sw, int sh) const;

 private:
  HBITMAP bitmap_ = nullptr;  // top-down DIB section
  void* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool hasAlpha_ = false;
  // Alpha pictures only: the same colours without the alpha byte, for
  // colour-keyed draws (some blitters compare the alpha byte with the key).
  HBITMAP keyed_ = nullptr;
};

// Loads a PNG resource found in `module` into `image`; success shows as a
// non-empty image.
void LoadPngFromResource(HMODULE module, HRSRC resource, Image& image);
