#include "ui/image.h"

#include <wincodec.h>

#include <cstring>

#include "system/scoped_win.h"
#include "system/system_dll.h"

namespace {

constexpr COLORREF kKeyColour = RGB(255, 0, 255);
// Far beyond any skin picture; keeps the bitmap size arithmetic in range.
constexpr UINT kMaxSide = 8192;

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** out() { return &p_; }

 private:
  T* p_ = nullptr;
};

// Decoding may run on a thread that has not entered COM yet; enter for the
// call and leave again, leaving any caller's own COM state as it was.
class ComScope {
 public:
  ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  HRESULT hr_;
};

bool FormatHasAlpha(const WICPixelFormatGUID& f) {
  static const GUID* const kAlpha[] = {
      &GUID_WICPixelFormat32bppBGRA,  &GUID_WICPixelFormat32bppPBGRA, &GUID_WICPixelFormat32bppRGBA,
      &GUID_WICPixelFormat32bppPRGBA, &GUID_WICPixelFormat64bppRGBA,  &GUID_WICPixelFormat64bppPRGBA,
      &GUID_WICPixelFormat64bppBGRA,  &GUID_WICPixelFormat16bppBGRA5551,
  };
  for (const GUID* g : kAlpha) {
    if (IsEqualGUID(f, *g)) return true;
  }
  return false;
}

bool IsIndexed(const WICPixelFormatGUID& f) {
  return IsEqualGUID(f, GUID_WICPixelFormat1bppIndexed) || IsEqualGUID(f, GUID_WICPixelFormat2bppIndexed) ||
         IsEqualGUID(f, GUID_WICPixelFormat4bppIndexed) || IsEqualGUID(f, GUID_WICPixelFormat8bppIndexed);
}

// A palette picture has alpha only when its palette (the PNG's tRNS) says so.
bool PaletteHasAlpha(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame) {
  ComPtr<IWICPalette> palette;
  if (FAILED(factory->CreatePalette(palette.out())) || FAILED(frame->CopyPalette(palette.get()))) return false;
  BOOL alpha = FALSE;
  return SUCCEEDED(palette->HasAlpha(&alpha)) && alpha;
}

int Stride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

// A 24-bit copy of a top-down 32-bit picture: the colour bytes as stored
// (premultiplied), the alpha byte dropped.
HBITMAP OpaqueCopy(const BYTE* src, int w, int h) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  const int srcStride = Stride(w, 32), dstStride = Stride(w, 24);
  for (int y = 0; y < h; ++y) {
    const BYTE* s = src + static_cast<size_t>(y) * srcStride;
    BYTE* d = static_cast<BYTE*>(bits) + static_cast<size_t>(y) * dstStride;
    for (int x = 0; x < w; ++x, s += 4, d += 3) d[0] = s[0], d[1] = s[1], d[2] = s[2];
  }
  GdiFlush();
  return bitmap;
}

using AlphaBlendFn = decltype(&::AlphaBlend);
using TransparentBltFn = decltype(&::TransparentBlt);

// msimg32 is not among the known DLLs: bound at run time from the system directory.
AlphaBlendFn AlphaBlendProc() {
  static AlphaBlendFn fn = SystemProc<AlphaBlendFn>("msimg32.dll", "AlphaBlend");
  return fn;
}

TransparentBltFn TransparentBltProc() {
  static TransparentBltFn fn = SystemProc<TransparentBltFn>("msimg32.dll", "TransparentBlt");
  return fn;
}

// The image's bitmap selected into a memory context for the length of one blit.
class SourceDc {
 public:
  SourceDc(HDC like, HBITMAP bitmap) : dc_(CreateCompatibleDC(like)) {
    if (dc_) old_ = SelectObject(dc_.get(), bitmap);
  }
  ~SourceDc() {
    if (dc_) SelectObject(dc_.get(), old_);
  }
  SourceDc(const SourceDc&) = delete;
  SourceDc& operator=(const SourceDc&) = delete;
  HDC get() const { return dc_.get(); }

 private:
  ScopedMemoryDc dc_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace

Image::~Image() { Destroy(); }

void Image::Destroy() {
  if (bitmap_) DeleteObject(bitmap_);
  if (keyed_) DeleteObject(keyed_);
  bitmap_ = keyed_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
  hasAlpha_ = false;
}

bool Image::Load(IStream* stream) {
  Destroy();
  if (!stream) return false;
  ComScope com;
  ComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.out()))))
    return false;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())))
    return false;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.out()))) return false;
  UINT w = 0, h = 0;
  WICPixelFormatGUID format;
  if (FAILED(frame->GetSize(&w, &h)) || FAILED(frame->GetPixelFormat(&format))) return false;
  if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide) return false;
  bool alpha = IsIndexed(format) ? PaletteHasAlpha(factory.get(), frame.get()) : FormatHasAlpha(format);

  // AlphaBlend wants premultiplied colour; an opaque picture needs no alpha byte.
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(frame.get(), alpha ? GUID_WICPixelFormat32bppPBGRA : GUID_WICPixelFormat24bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom)))
    return false;

  const int bpp = alpha ? 32 : 24;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(w);
  info.bmiHeader.biHeight = -static_cast<LONG>(h);  // top-down: row 0 first, as WIC delivers
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) return false;
  const UINT stride = static_cast<UINT>(Stride(static_cast<int>(w), bpp));
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(bits)))) return false;
  GdiFlush();

  ScopedBitmap keyed;
  if (alpha) {
    keyed = ScopedBitmap(OpaqueCopy(static_cast<const BYTE*>(bits), static_cast<int>(w), static_cast<int>(h)));
    if (!keyed) return false;
  }

  bitmap_ = bitmap.release();
  keyed_ = keyed.release();
  bits_ = bits;
  width_ = static_cast<int>(w);
  height_ = static_cast<int>(h);
  hasAlpha_ = alpha;
  return true;
}

COLORREF Image::GetPixel(int x, int y) const {
  if (!bitmap_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  const int bpp = hasAlpha_ ? 32 : 24;
  const BYTE* p = static_cast<const BYTE*>(bits_) + static_cast<size_t>(y) * Stride(width_, bpp) +
                  static_cast<size_t>(x) * (bpp / 8);
  return RGB(p[2], p[1], p[0]);
}

void Image::Draw(HDC dc) const {
  if (!bitmap_) return;
  SourceDc src(dc, bitmap_);
  if (!src.get()) return;
  if (hasAlpha_) {
    AlphaBlendFn blend = AlphaBlendProc();
    if (!blend) return;
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    blend(dc, 0, 0, width_, height_, src.get(), 0, 0, width_, height_, bf);
  } else {
    StretchBlt(dc, 0, 0, width_, height_, src.get(), 0, 0, width_, height_, SRCCOPY);
  }
}

void Image::TransparentBlt(HDC dc, int dw, int dh, int sx, int sw, int sh) const {
  if (!bitmap_) return;
  TransparentBltFn blt = TransparentBltProc();
  if (!blt) return;
  SourceDc src(dc, keyed_ ? keyed_ : bitmap_);
  if (!src.get()) return;
  blt(dc, 0, 0, dw, dh, src.get(), sx, 0, sw, sh, kKeyColour);
}

void LoadPngFromResource(HMODULE module, HRSRC resource, Image& image) {
  HGLOBAL loaded = LoadResource(module, resource);
  if (!loaded) return;
  DWORD size = SizeofResource(module, resource);
  const void* data = LockResource(loaded);
  if (!data || size == 0) return;
  // The stream owns a movable block of its own: resource memory is read-only.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return;
  void* dst = GlobalLock(block);
  if (!dst) {
    GlobalFree(block);
    return;
  }
  memcpy(dst, data, size);
  GlobalUnlock(block);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || !stream) {
    GlobalFree(block);
    return;
  }
  image.Load(stream);
  stream->Release();  // frees the block as well
}
