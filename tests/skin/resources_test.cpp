// The pictures, icons, accelerators and manifest the executable carries.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "res/resource.h"
#include "tests/skin/skin_test_util.h"

namespace {

const WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

struct Picture {
  int id;
  int width, height;
  int stateWidth;  // 0: not a button strip
  bool alpha;
};

// Strips with alpha (164, 171) are opaque; 160 is not quite.
const Picture kPictures[] = {
    {154, 455, 325, 0, false}, {155, 455, 190, 0, false}, {156, 184, 32, 46, false}, {158, 188, 12, 47, false},
    {159, 136, 12, 34, false}, {160, 188, 12, 47, true},  {161, 284, 12, 71, false}, {162, 344, 17, 86, false},
    {163, 188, 32, 47, false}, {164, 600, 58, 150, true}, {166, 455, 190, 0, false}, {167, 455, 190, 0, false},
    {168, 455, 190, 0, false}, {169, 455, 190, 0, false}, {170, 455, 190, 0, false}, {171, 280, 34, 70, true},
};

TEST(SkinResources, EveryPictureDecodesWithItsSizeStripAndAlpha) {
  HMODULE self = GetModuleHandleA(nullptr);
  for (const Picture& p : kPictures) {
    SCOPED_TRACE(p.id);
    HRSRC res = FindResourceExA(self, "PNG", MAKEINTRESOURCEA(p.id), kChinese);
    ASSERT_NE(res, nullptr) << "type PNG, language 2052";
    Image image;
    LoadPngFromResource(self, res, image);
    ASSERT_FALSE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), p.width);
    EXPECT_EQ(image.GetHeight(), p.height);
    if (p.stateWidth) {
      EXPECT_EQ(image.GetWidth() / 4, p.stateWidth);
    }
    EXPECT_EQ(image.HasAlpha(), p.alpha);
  }
}

TEST(SkinResources, NoPictureContainsTheKeyColour) {
  for (const Picture& p : kPictures) {
    SCOPED_TRACE(p.id);
    Image image;
    ASSERT_TRUE(LoadPicture(p.id, image));
    int keyed = 0;
    for (int y = 0; y < image.GetHeight(); ++y)
      for (int x = 0; x < image.GetWidth(); ++x) keyed += image.GetPixel(x, y) == RGB(255, 0, 255);
    EXPECT_EQ(keyed, 0);
  }
}

TEST(SkinResources, CancelLinkIsOpaqueButForAFewPixels) {
  // Premultiplied storage: a pixel that is not opaque reads darker than its
  // neighbour would, and the blend over white differs from the copy.
  Image image;
  ASSERT_TRUE(LoadPicture(IDB_CANCEL, image));
  Canvas onWhite(image.GetWidth(), image.GetHeight(), RGB(255, 255, 255));
  Canvas onBlack(image.GetWidth(), image.GetHeight(), RGB(0, 0, 0));
  image.Draw(onWhite.dc());
  image.Draw(onBlack.dc());
  int translucent = 0;
  for (int y = 0; y < image.GetHeight(); ++y)
    for (int x = 0; x < image.GetWidth(); ++x) translucent += onWhite.At(x, y) != onBlack.At(x, y);
  EXPECT_GT(translucent, 0);
  EXPECT_LT(translucent, 40);
}

TEST(SkinResources, UnusedPictureIdsAreAbsent) {
  for (int id : {157, 165}) EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), "PNG"), nullptr);
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupIconDir {
  WORD reserved, type, count;
  GroupIconEntry entries[1];
};
#pragma pack(pop)

TEST(SkinResources, IconsHoldOne128Pixel32BitImage) {
  HMODULE self = GetModuleHandleA(nullptr);
  for (int id : {IDI_VANTREL, IDI_SMALL}) {
    SCOPED_TRACE(id);
    HRSRC group = FindResourceA(self, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    auto* dir = static_cast<const GroupIconDir*>(LockResource(LoadResource(self, group)));
    ASSERT_NE(dir, nullptr);
    ASSERT_EQ(dir->count, 1);
    EXPECT_EQ(dir->entries[0].width, 128);
    EXPECT_EQ(dir->entries[0].height, 128);
    EXPECT_EQ(dir->entries[0].bitCount, 32);
    // The image itself, not just the directory, is 32 bits deep.
    HRSRC icon = FindResourceA(self, MAKEINTRESOURCEA(dir->entries[0].id), MAKEINTRESOURCEA(3));  // RT_ICON
    ASSERT_NE(icon, nullptr);
    auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, icon)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 128);
    EXPECT_EQ(header->biBitCount, 32);

    HICON loaded = static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    ASSERT_NE(loaded, nullptr);
    DestroyIcon(loaded);
  }
}

TEST(SkinResources, AcceleratorsSendAltQuestionAndAltSlashToCommand104) {
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_VANTREL));
  ASSERT_NE(table, nullptr);
  ACCEL entries[8];
  int n = CopyAcceleratorTableA(table, entries, 8);
  ASSERT_EQ(n, 2);
  std::string keys;
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(entries[i].cmd, IDM_ABOUT);
    EXPECT_EQ(entries[i].fVirt & ~FNOINVERT, FALT) << "a character with Alt, not a virtual key";
    keys += static_cast<char>(entries[i].key);
  }
  EXPECT_TRUE(keys == "?/" || keys == "/?") << keys;
  DestroyAcceleratorTable(table);
}

TEST(SkinResources, ManifestRequestsAdministrator) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(res, nullptr);
  std::string text(static_cast<const char*>(LockResource(LoadResource(self, res))), SizeofResource(self, res));
  EXPECT_NE(text.find("requestedExecutionLevel level=\"requireAdministrator\""), std::string::npos);
}

}  // namespace
