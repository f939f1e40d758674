#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "FakeServices.h"
#include "TestPictures.h"
#include "cDIBSection.h"

// The 24-bit bitmap: its memory layout, handles, blits and resampling.
namespace trimora {
namespace {

// Byte k (0 blue, 1 green, 2 red) of pixel x in memory row r (0 = bottom row).
std::uint8_t& At(const cDIBSection& dib, int x, int memoryRow, int k) {
  return dib.DIBSectionBitsPtr()[memoryRow * dib.BytesPerScanLine() + 3 * x + k];
}

TEST(cDIBSectionLayout, RowsArePaddedToFourBytes) {
  cDIBSection dib;
  const int expected[] = {4, 8, 12, 12, 16};
  for (int w = 1; w <= 5; ++w) {
    ASSERT_TRUE(dib.Create(w, 3));
    EXPECT_EQ(dib.BytesPerScanLine(), expected[w - 1]) << w;
  }
  ASSERT_TRUE(dib.Create(100, 50));
  EXPECT_EQ(dib.BitmapInfo().biSizeImage, 300u * 50);
  ASSERT_TRUE(dib.Create(101, 50));
  EXPECT_EQ(dib.BitmapInfo().biSizeImage, 304u * 50);
  EXPECT_EQ(dib.BitmapInfo().biSize, 40u);
  EXPECT_EQ(dib.BitmapInfo().biBitCount, 24);
  EXPECT_EQ(dib.BitmapInfo().biHeight, 50);  // positive: bottom-up
}

TEST(cDIBSectionLayout, PictureIsStoredBottomUpInBlueGreenRed) {
  const QImage picture = testing::PatternImage(640, 480, 2);
  cDIBSection dib;
  dib.CreateFromPicture(picture);
  ASSERT_NE(dib.DIBSectionBitsPtr(), nullptr);
  EXPECT_EQ(dib.Width(), 640);
  EXPECT_EQ(dib.Height(), 480);
  for (QPoint p : {QPoint(0, 0), QPoint(639, 0), QPoint(0, 479), QPoint(321, 123)}) {
    const QRgb c = picture.pixel(p);
    const int memoryRow = 480 - 1 - p.y();
    EXPECT_EQ(At(dib, p.x(), memoryRow, 0), qBlue(c));
    EXPECT_EQ(At(dib, p.x(), memoryRow, 1), qGreen(c));
    EXPECT_EQ(At(dib, p.x(), memoryRow, 2), qRed(c));
  }
  // Any picture format is converted, alpha dropped.
  QImage rgb888 = picture.copy(0, 0, 5, 3).convertToFormat(QImage::Format_RGB888);
  dib.CreateFromPicture(rgb888);
  EXPECT_EQ(At(dib, 4, 0, 2), qRed(picture.pixel(4, 2)));
}

TEST(cDIBSectionLayout, HandlesLiveWithThePixelsAndSizeOutlivesThem) {
  cDIBSection dib;
  EXPECT_EQ(dib.hdc(), 0u);
  EXPECT_EQ(dib.hDib(), 0u);
  ASSERT_TRUE(dib.Create(30, 20));
  EXPECT_NE(dib.hdc(), 0u);
  EXPECT_NE(dib.hDib(), 0u);
  EXPECT_NE(dib.hdc(), dib.hDib());
  dib.ClearUp();
  EXPECT_EQ(dib.hdc(), 0u);
  EXPECT_EQ(dib.hDib(), 0u);
  EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
  EXPECT_EQ(dib.Width(), 30);
  EXPECT_EQ(dib.Height(), 20);

  EXPECT_FALSE(dib.Create(0, 10));
  EXPECT_FALSE(dib.Create(10, -1));
  EXPECT_FALSE(dib.Create(1 << 30, 1 << 30));
  EXPECT_EQ(dib.hdc(), 0u);
  dib.CreateFromPicture(QImage());
  EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
}

TEST(cDIBSectionBlit, CopiesBetweenBitmapsAndPicturesClipped) {
  const QImage picture = testing::PatternImage(40, 30, 6);
  cDIBSection a, b;
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
  cDIBSection c;
  c.CreateFromPicture(picture);
  ASSERT_TRUE(c.LoadPictureBlt(a.hdc(), 0, 0, -1, -1, SRCINVERT));
  EXPECT_EQ(At(c, 7, 7, 1), 0);
  ASSERT_TRUE(c.LoadPictureBlt(a.hdc(), 0, 0, -1, -1, SRCINVERT));
  EXPECT_EQ(std::memcmp(c.DIBSectionBitsPtr(), a.DIBSectionBitsPtr(), a.BitmapInfo().biSizeImage),
            0);
  EXPECT_FALSE(c.LoadPictureBlt(SurfaceHandle(0)));
  EXPECT_FALSE(c.LoadPictureBlt(a.hDib()));
}

TEST(cDIBSectionResample, SameSizeCopiesAndOtherSizesInterpolate) {
  cDIBSection source;
  source.CreateFromPicture(testing::PatternImage(13, 7, 1));
  const auto copy = source.Resample(7, 13);
  ASSERT_TRUE(copy);
  EXPECT_NE(copy->hdc(), source.hdc());
  EXPECT_EQ(std::memcmp(copy->DIBSectionBitsPtr(), source.DIBSectionBitsPtr(),
                        source.BitmapInfo().biSizeImage),
            0);
  const auto wider = source.Resample(7, 20);  // height first
  ASSERT_TRUE(wider);
  EXPECT_EQ(wider->Width(), 20);
  EXPECT_EQ(wider->Height(), 7);
  EXPECT_FALSE(source.Resample(0, 5));
  cDIBSection empty;
  EXPECT_FALSE(empty.Resample(4, 4));
}

TEST(cDIBSectionResample, TwoByTwoToFourByFourFollowsTheBilinearRule) {
  // Blue bytes in memory order: row 0 = {0, 100}, row 1 = {5, 255}.
  cDIBSection source;
  ASSERT_TRUE(source.Create(2, 2));
  std::memset(source.DIBSectionBitsPtr(), 0, source.BitmapInfo().biSizeImage);
  At(source, 0, 0, 0) = 0;
  At(source, 1, 0, 0) = 100;
  At(source, 0, 1, 0) = 5;
  At(source, 1, 1, 0) = 255;
  const auto target = source.Resample(4, 4);
  ASSERT_TRUE(target);
  // xs = ys = 0.25. Row 0 (fy = 0): columns sample at 0, 0.25, 0.5, 0.75.
  EXPECT_EQ(At(*target, 0, 0, 0), 0);
  EXPECT_EQ(At(*target, 1, 0, 0), 25);
  EXPECT_EQ(At(*target, 2, 0, 0), 50);
  EXPECT_EQ(At(*target, 3, 0, 0), 75);  // 0.75 between source columns 0 and 1
  // Row 2 (fy = 0.5): Left = nearest(2.5) = 2 (half to even), Right = nearest(177.5) = 178;
  // column 1: nearest(0.75 * 2 + 0.25 * 178) = nearest(46) = 46.
  EXPECT_EQ(At(*target, 0, 2, 0), 2);
  EXPECT_EQ(At(*target, 1, 2, 0), 46);
  // Column 2: nearest(0.5 * 2 + 0.5 * 178) = 90; row 3 (fy = 0.75), column 3:
  // Left = nearest(3.75) = 4, Right = nearest(216.25) = 216, nearest(0.25*4 + 0.75*216) = 163.
  EXPECT_EQ(At(*target, 2, 2, 0), 90);
  EXPECT_EQ(At(*target, 3, 3, 0), 163);
  EXPECT_EQ(At(*target, 3, 3, 1), 0);
}

TEST(cDIBSectionResample, OnePixelWideSourceRepeatsItsLastColumn) {
  cDIBSection strip;
  ASSERT_TRUE(strip.Create(1, 3));
  for (int r = 0; r < 3; ++r) At(strip, 0, r, 0) = At(strip, 0, r, 1) = At(strip, 0, r, 2) = 60;
  const auto wide = strip.Resample(1, 8);
  ASSERT_TRUE(wide);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(At(*wide, x, 0, 2), 60) << x;
}

TEST(cDIBSectionRandom, GreyOrBlueFree) {
  cDIBSection dib;
  ASSERT_TRUE(dib.Create(37, 23));
  dib.RandomiseBits();
  int distinctGreen = 0;
  for (int r = 0; r < 23; ++r) {
    for (int x = 0; x < 37; ++x) {
      EXPECT_EQ(At(dib, x, r, 0), 0);
      distinctGreen += At(dib, x, r, 1) != At(dib, 0, 0, 1);
    }
  }
  EXPECT_GT(distinctGreen, 37 * 23 / 2);
  dib.RandomiseBits(true);
  for (int r = 0; r < 23; ++r) {
    for (int x = 0; x < 37; ++x) {
      EXPECT_EQ(At(dib, x, r, 0), At(dib, x, r, 1));
      EXPECT_EQ(At(dib, x, r, 1), At(dib, x, r, 2));
    }
  }
}

TEST(cDIBSectionClipboard, CopiesAPictureOrExplainsWhyNot) {
  testing::FakeMessageBox messages;
  cDIBSection dib(&messages);
  const QImage picture = testing::PatternImage(21, 11, 8);
  dib.CreateFromPicture(picture);
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  EXPECT_FALSE(dib.CopyToClipboard(true));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(
      messages.shown[0].text,
      QStringLiteral("I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

  EXPECT_TRUE(dib.CopyToClipboard());
  const QImage copied = QGuiApplication::clipboard()->image();
  ASSERT_EQ(copied.size(), QSize(21, 11));
  EXPECT_EQ(copied.pixel(20, 10), picture.pixel(20, 10));
  dib.ClearUp();
  EXPECT_FALSE(dib.CopyToClipboard());
}

}  // namespace
}  // namespace trimora
