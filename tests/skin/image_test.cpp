// Decoding pictures and the three ways the skin draws or samples them.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/skin/fixtures.h"
#include "tests/skin/skin_test_util.h"

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kGrey = RGB(90, 90, 90);

// fx_key.png, 4x2, no alpha:   red  key  green key / key  blue  key  white
const COLORREF kKeyFixture[2][4] = {{RGB(255, 0, 0), kKey, RGB(0, 255, 0), kKey},
                                    {kKey, RGB(0, 0, 255), kKey, kWhite}};

TEST(Image, EmptyImageHasNoSizeNoPixelsAndDrawsNothing) {
  Image image;
  EXPECT_TRUE(image.IsNull());
  EXPECT_EQ(image.GetWidth(), 0);
  EXPECT_EQ(image.GetHeight(), 0);
  EXPECT_EQ(image.GetPixel(0, 0), CLR_INVALID);
  Canvas canvas(4, 4, kGrey);
  image.Draw(canvas.dc());
  image.TransparentBlt(canvas.dc(), 4, 4, 0, 4, 4);
  EXPECT_EQ(canvas.At(0, 0), kGrey);
}

TEST(Image, MissingOrUndecodableInputLeavesTheImageEmpty) {
  Image image;
  EXPECT_FALSE(image.Load(nullptr));
  EXPECT_FALSE(LoadPicture(157, image));  // no such resource

  // Garbage bytes after a good picture: the old bitmap is gone, not kept.
  ASSERT_TRUE(LoadPicture(FX_KEY, image));
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 64);
  memset(GlobalLock(block), 0x5A, 64);
  GlobalUnlock(block);
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, TRUE, &stream), S_OK);
  EXPECT_FALSE(image.Load(stream));
  stream->Release();
  EXPECT_TRUE(image.IsNull());
  EXPECT_EQ(image.GetWidth(), 0);
}

TEST(Image, PixelReadGivesTheDecodedColoursAndRejectsOutside) {
  Image image;
  ASSERT_TRUE(LoadPicture(FX_KEY, image));
  EXPECT_FALSE(image.HasAlpha());
  ASSERT_EQ(image.GetWidth(), 4);
  ASSERT_EQ(image.GetHeight(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(image.GetPixel(x, y), kKeyFixture[y][x]) << x << "," << y;
  for (POINT p : {POINT{-1, 0}, POINT{0, -1}, POINT{4, 0}, POINT{0, 2}}) EXPECT_EQ(image.GetPixel(p.x, p.y), CLR_INVALID);
}

TEST(Image, ColourKeyedDrawLeavesKeyPixelsOutPlainDrawCopiesThem) {
  Image image;
  ASSERT_TRUE(LoadPicture(FX_KEY, image));
  Canvas keyed(4, 2, kGrey), plain(4, 2, kGrey);
  image.TransparentBlt(keyed.dc(), 4, 2, 0, 4, 2);
  image.Draw(plain.dc());
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      SCOPED_TRACE(testing::Message() << x << "," << y);
      COLORREF want = kKeyFixture[y][x];
      EXPECT_EQ(keyed.At(x, y), want == kKey ? kGrey : want);
      EXPECT_EQ(plain.At(x, y), want);
    }
  }
}

TEST(Image, ColourKeyedDrawTakesItsSourceColumnsFromX) {
  Image image;
  ASSERT_TRUE(LoadPicture(FX_KEY, image));
  Canvas canvas(2, 2, kGrey);
  image.TransparentBlt(canvas.dc(), 2, 2, 2, 2, 2);  // columns 2 and 3 to (0, 0)
  EXPECT_EQ(canvas.At(0, 0), RGB(0, 255, 0));
  EXPECT_EQ(canvas.At(1, 0), kGrey);
  EXPECT_EQ(canvas.At(0, 1), kGrey);
  EXPECT_EQ(canvas.At(1, 1), kWhite);
}

// fx_alpha.png, 4x1: opaque red, half blue, opaque key colour, fully transparent green.
TEST(Image, AlphaPictureBlendsInPlainDrawAndIsOpaqueWhenColourKeyed) {
  Image image;
  ASSERT_TRUE(LoadPicture(FX_ALPHA, image));
  EXPECT_TRUE(image.HasAlpha());

  Canvas blendWhite(4, 1, kWhite), blendBlack(4, 1, kBlack);
  image.Draw(blendWhite.dc());
  image.Draw(blendBlack.dc());
  EXPECT_EQ(blendWhite.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(blendWhite.At(2, 0), kKey) << "the plain draw knows no key colour";
  EXPECT_EQ(blendWhite.At(3, 0), kWhite) << "transparent pixel keeps the destination";
  EXPECT_EQ(blendBlack.At(3, 0), kBlack);
  COLORREF half = blendWhite.At(1, 0);  // ~ (127, 127, 255): blue over white
  EXPECT_NEAR(GetRValue(half), 127, 2);
  EXPECT_EQ(GetBValue(half), 255);
  EXPECT_NE(blendWhite.At(1, 0), blendBlack.At(1, 0));

  // Colour-keyed: the alpha channel plays no part; what is drawn is the
  // stored colour whatever was underneath, and only the key pixel is skipped.
  Canvas keyedWhite(4, 1, kWhite), keyedBlack(4, 1, kBlack);
  image.TransparentBlt(keyedWhite.dc(), 4, 1, 0, 4, 1);
  image.TransparentBlt(keyedBlack.dc(), 4, 1, 0, 4, 1);
  for (int x : {0, 1, 3}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(keyedWhite.At(x, 0), image.GetPixel(x, 0));
    EXPECT_EQ(keyedBlack.At(x, 0), image.GetPixel(x, 0));
  }
  EXPECT_EQ(keyedWhite.At(2, 0), kWhite);
  EXPECT_EQ(keyedBlack.At(2, 0), kBlack);
}

TEST(Image, StripWhoseWidthIsNoMultipleOfFourHasTheQuotientAsStateWidth) {
  Image image;
  ASSERT_TRUE(LoadPicture(FX_STATES, image));
  EXPECT_EQ(image.GetWidth(), 23);
  EXPECT_EQ(image.GetWidth() / 4, 5);
  // The last state's columns are 15..19; 20..22 belong to no state.
  Canvas canvas(5, 4, kBlack);
  image.TransparentBlt(canvas.dc(), 5, 4, 3 * 5, 5, 4);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(canvas.At(x, 1), RGB(128, 128, 128)) << x;
}

}  // namespace
