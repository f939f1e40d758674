#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <tuple>

#include "TestPictures.h"
#include "cDIBSection.h"

// The 24-bit bitmap: its memory layout, handles, blits and resampling.
namespace trimora {
namespace {

// Byte k (0 blue, 1 green, 2 red) of pixel x in memory row r (0 = bottom row).
std::uint8_t& At(const cDIBSection& dib, int x, int memoryRow, int k) {
  return dib.DIBSectionBitsPtr()[memoryRow * dib.BytesPerScanLine() + 3 * x + k];
}

bool SameBits(const cDIBSection& a, const cDIBSection& b) {
  return std::memcmp(a.DIBSectionBitsPtr(), b.DIBSectionBitsPtr(), a.BitmapInfo().biSizeImage) == 0;
}

TEST(cDIBSectionLayout, PaddedRowsBottomUpInBlueGreenRed) {
  cDIBSection dib;
  const std::tuple<int, int> cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {101, 304}};
  for (auto [w, stride] : cases) {
    ASSERT_TRUE(dib.Create(w, 50));
    EXPECT_EQ(dib.BytesPerScanLine(), stride) << w;
    EXPECT_EQ(dib.BitmapInfo().biSizeImage, std::uint32_t(stride * 50)) << w;
    EXPECT_EQ(dib.BitmapInfo().biHeight, 50);  // positive: bottom-up
  }
  // Any picture format is converted, alpha dropped.
  const QImage picture = testing::PatternImage(641, 480, 2);
  for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_RGB888}) {
    dib.CreateFromPicture(picture.convertToFormat(format));
    ASSERT_EQ(QSize(dib.Width(), dib.Height()), QSize(641, 480));
    for (QPoint p : {QPoint(0, 0), QPoint(640, 0), QPoint(0, 479), QPoint(321, 123)}) {
      const QRgb c = picture.pixel(p);
      const int memoryRow = 480 - 1 - p.y();
      EXPECT_EQ(At(dib, p.x(), memoryRow, 0), qBlue(c));
      EXPECT_EQ(At(dib, p.x(), memoryRow, 1), qGreen(c));
      EXPECT_EQ(At(dib, p.x(), memoryRow, 2), qRed(c));
    }
  }
}

TEST(cDIBSectionLayout, HandlesLiveWithThePixelsAndSizeOutlivesThem) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(30, 20));
  EXPECT_NE(dib.hdc(), 0u);
  EXPECT_NE(dib.hDib(), 0u);
  dib.ClearUp();
  EXPECT_EQ(dib.hdc() | dib.hDib(), 0u);
  EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
  EXPECT_EQ(QSize(dib.Width(), dib.Height()), QSize(30, 20));
  for (QSize refused : {QSize(0, 10), QSize(10, -1), QSize(1 << 30, 1 << 30)}) {
    EXPECT_FALSE(dib.Create(refused.width(), refused.height()));
    EXPECT_EQ(dib.hdc(), 0u);
  }
  dib.CreateFromPicture(QImage());
  EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
}

TEST(cDIBSectionBlit, CopiesBetweenBitmapsAndPicturesClipped) {
  const QImage picture = testing::PatternImage(40, 30, 6);
  cDIBSection a, b, c;
  a.CreateFromPicture(picture);
  ASSERT_TRUE(b.Create(10, 10));
  // From (35, 25) only 5 x 5 pixels exist; the rest of b is left alone.
  std::memset(b.DIBSectionBitsPtr(), 0x11, b.BitmapInfo().biSizeImage);
  ASSERT_TRUE(b.LoadPictureBlt(a.hdc(), 35, 25));
  QImage out(10, 10, QImage::Format_RGB32);
  ASSERT_TRUE(b.PaintPicture(out));
  EXPECT_EQ(out.pixel(0, 0), picture.pixel(35, 25));
  EXPECT_EQ(out.pixel(4, 4), picture.pixel(39, 29));
  EXPECT_EQ(out.pixel(5, 5), qRgb(0x11, 0x11, 0x11));
  // Straight from a picture, and back into one at an offset.
  ASSERT_TRUE(b.LoadPictureBlt(picture, 3, 4));
  QImage canvas(20, 20, QImage::Format_RGB32);
  canvas.fill(Qt::black);
  ASSERT_TRUE(b.PaintPicture(canvas, 15, 15));
  EXPECT_EQ(canvas.pixel(15, 15), picture.pixel(3, 4));
  EXPECT_EQ(canvas.pixel(19, 19), picture.pixel(7, 8));
  EXPECT_EQ(canvas.pixel(14, 14), qRgb(0, 0, 0));
  // XOR twice restores; unknown surfaces are refused.
  c.CreateFromPicture(picture);
  ASSERT_TRUE(c.LoadPictureBlt(a.hdc(), 0, 0, -1, -1, SRCINVERT));
  EXPECT_EQ(At(c, 7, 7, 1), 0);
  ASSERT_TRUE(c.LoadPictureBlt(a.hdc(), 0, 0, -1, -1, SRCINVERT));
  EXPECT_TRUE(SameBits(c, a));
  EXPECT_FALSE(c.LoadPictureBlt(SurfaceHandle(0)));
  EXPECT_FALSE(c.LoadPictureBlt(a.hDib()));
}

TEST(cDIBSectionResample, CopiesAtTheSameSizeAndInterpolatesBilinearly) {
  cDIBSection source, empty;
  source.CreateFromPicture(testing::PatternImage(13, 7, 1));
  const auto copy = source.Resample(7, 13), wider = source.Resample(7, 20);  // height first
  ASSERT_TRUE(copy && wider);
  EXPECT_NE(copy->hdc(), source.hdc());
  EXPECT_TRUE(SameBits(*copy, source));
  EXPECT_EQ(QSize(wider->Width(), wider->Height()), QSize(20, 7));
  EXPECT_FALSE(source.Resample(0, 5));
  EXPECT_FALSE(empty.Resample(4, 4));

  // Blue bytes in memory order: row 0 = {0, 100}, row 1 = {5, 255}. Steps of
  // 0.25; row 2: left = nearest(2.5) = 2, right = nearest(177.5) = 178; row 3,
  // column 3: left 4, right 216, nearest(0.25 * 4 + 0.75 * 216) = 163.
  ASSERT_TRUE(source.Create(2, 2));
  std::memset(source.DIBSectionBitsPtr(), 0, source.BitmapInfo().biSizeImage);
  At(source, 1, 0, 0) = 100, At(source, 0, 1, 0) = 5, At(source, 1, 1, 0) = 255;
  const auto target = source.Resample(4, 4);
  ASSERT_TRUE(target);
  const std::tuple<int, int, int> cases[] = {{0, 0, 0}, {1, 0, 25}, {2, 0, 50}, {3, 0, 75},
                                             {0, 2, 2}, {1, 2, 46}, {2, 2, 90}, {3, 3, 163}};
  for (auto [x, row, blue] : cases) {
    EXPECT_EQ(At(*target, x, row, 0), blue) << x << "," << row;
  }
  EXPECT_EQ(At(*target, 3, 3, 1), 0);

  // A source one pixel wide repeats its last column.
  ASSERT_TRUE(source.Create(1, 3));
  std::memset(source.DIBSectionBitsPtr(), 60, source.BitmapInfo().biSizeImage);
  const auto wide = source.Resample(1, 8);
  ASSERT_TRUE(wide);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(At(*wide, x, 0, 2), 60) << x;
}

}  // namespace
}  // namespace trimora
