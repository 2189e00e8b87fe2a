// What each page composes: pictures where they belong, texts only inside
// their rectangles and in their colours.
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/ui/window_fixture.h"

namespace {

struct TextArea {
  RECT rect;
  COLORREF colour;
};

// Every pixel outside the text areas is the expected picture's; every text
// area holds some pixels of exactly its colour.
void ExpectPage(const Picture& page, const std::vector<TextArea>& texts, COLORREF (*expected)(MainWindow&, int, int),
                MainWindow& window) {
  int stray = 0;
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) {
      POINT pt = {x, y};
      bool inText = false;
      for (const auto& t : texts) inText = inText || PtInRect(&t.rect, pt);
      if (!inText && page.At(x, y) != expected(window, x, y)) ++stray;
    }
  }
  EXPECT_EQ(stray, 0) << "pixels outside the pictures and text rectangles";
  // Small text is smoothed: count the pixels close to the text colour.
  auto similar = [](COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) <= 40 && abs(GetGValue(a) - GetGValue(b)) <= 40 &&
           abs(GetBValue(a) - GetBValue(b)) <= 40;
  };
  for (const auto& t : texts) {
    int ink = 0;
    for (int y = t.rect.top; y < t.rect.bottom; ++y)
      for (int x = t.rect.left; x < t.rect.right; ++x) ink += similar(page.At(x, y), t.colour) && !similar(expected(window, x, y), t.colour);
    EXPECT_GT(ink, 5) << "text at " << t.rect.left << "," << t.rect.top;
  }
}

COLORREF Background(MainWindow& w, int x, int y) { return w.imgBackground.GetPixel(x, y); }
COLORREF Banner(MainWindow& w, int x, int y) {
  return y < w.imgBanner.GetHeight() ? w.imgBanner.GetPixel(x, y) : w.imgBackground.GetPixel(x, y);
}
COLORREF Slide(MainWindow& w, int x, int y) {
  const Image& slide = w.imgSlides[w.slideIndex];
  return y < slide.GetHeight() ? slide.GetPixel(x, y) : w.imgBackground.GetPixel(x, y);
}

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kLightYellow = 0x96F6FF;
constexpr COLORREF kPaleYellow = 0xA7F7FE;

}  // namespace

TEST_F(WindowTest, PicturesAreLoaded) {
  ASSERT_TRUE(CreateDefault());
  EXPECT_EQ(window->imgBackground.GetWidth(), 455);
  EXPECT_EQ(window->imgBackground.GetHeight(), 325);
  EXPECT_EQ(window->imgBanner.GetHeight(), 190);
  for (const Image& slide : window->imgSlides) EXPECT_EQ(slide.GetWidth(), 455);
}

TEST_F(WindowTest, WelcomePageDrawsBannerLabelAndWelcomeLine) {
  ASSERT_TRUE(CreateDefault());
  ExpectPage(Render(*window), {{{50, 289, 150, 309}, kWhite}, {{0, 146, 455, 177}, kLightYellow}}, Banner, *window);
}

TEST_F(WindowTest, CustomPageDrawsLabelsSpaceLineAndHeading) {
  ASSERT_TRUE(CreateDefault());
  window->page = 1;
  ExpectPage(Render(*window),
             {{{40, 100, 290, 120}, kWhite}, {{40, 128, 290, 148}, kWhite}, {{26, 44, 126, 61}, kLightYellow}},
             Background, *window);
}

TEST_F(WindowTest, SpaceLineFollowsTheFigures) {
  ASSERT_TRUE(CreateDefault());
  window->page = 1;
  auto spaceLine = [&](int required, int free) {
    window->requiredKB = required;
    window->paths.freeKB = free;
    Picture p = Render(*window);
    std::vector<COLORREF> area;
    for (int y = 128; y < 148; ++y)
      for (int x = 40; x < 290; ++x) area.push_back(p.At(x, y));
    return area;
  };
  // Same figures, same line: 1048576 KiB and 1 GiB both show as 1GB.
  EXPECT_EQ(spaceLine(1048576, 0), spaceLine(1048576 + 1023, 0));
  EXPECT_NE(spaceLine(1048575, 0), spaceLine(1048576, 0));  // 1023MB against 1GB
  EXPECT_NE(spaceLine(0, 0), spaceLine(0, 1024));            // 0KB against 1MB free
}

TEST_F(WindowTest, ProgressPageDrawsSlideStatusAndPercentage) {
  ASSERT_TRUE(CreateDefault());
  window->page = 2;
  window->ShowPage();
  ExpectPage(Render(*window), {{window->statusRect, kPaleYellow}, {window->percentRect, kPaleYellow}}, Slide,
             *window);
  window->slideIndex = 3;
  ExpectPage(Render(*window), {{window->statusRect, kPaleYellow}, {window->percentRect, kPaleYellow}}, Slide,
             *window);
}
