#include <QFile>
#include <QtEndian>

#include "Battery.h"

// Pictures that are listed are shown when the program's own bounds allow,
// and otherwise the status line says why: never a blank canvas that reads
// "Too small to crop".
namespace trimora::testing {
namespace {

QByteArray LittleEndian(quint32 value, int bytes) {
  QByteArray out;
  for (int i = 0; i < bytes; ++i) out.append(char((value >> (8 * i)) & 0xFF));
  return out;
}

// A 16-bit BMP of flat colour, written a row at a time (some 67 MB for
// 5800 x 5800: 134 MB decoded, over Qt's own default limit of 128 MB).
bool WriteBmp16(const QString& path, int width, int height) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QByteArray row;
  for (int x = 0; x < width; ++x) row += QByteArray("\x1F\x7C", 2);  // 5-5-5: red and blue
  row += QByteArray((4 - row.size() % 4) % 4, '\0');
  const quint32 bytes = quint32(row.size()) * quint32(height);
  file.write("BM" + LittleEndian(54 + bytes, 4) + LittleEndian(0, 4) + LittleEndian(54, 4) +
             LittleEndian(40, 4) + LittleEndian(quint32(width), 4) +
             LittleEndian(quint32(height), 4) + LittleEndian(1, 2) + LittleEndian(16, 2) +
             LittleEndian(0, 4) + LittleEndian(bytes, 4) + QByteArray(16, '\0'));
  for (int y = 0; y < height; ++y) {
    if (file.write(row) != row.size()) return false;
  }
  return true;
}

QByteArray PngChunk(const QByteArray& type, const QByteArray& data) {
  const QByteArray body = type + data;
  quint32 crc = 0xFFFFFFFFu;
  for (const char c : body) {
    crc ^= quint8(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  QByteArray out(4, '\0'), check(4, '\0');
  qToBigEndian(quint32(data.size()), out.data());
  qToBigEndian(~crc, check.data());
  return out + body + check;
}

// A PNG declaring width x height grey pixels, with one row of data.
QByteArray DeclaredPng(int width, int height) {
  QByteArray header(13, '\0');
  qToBigEndian(quint32(width), header.data());
  qToBigEndian(quint32(height), header.data() + 4);
  header[8] = 8;  // 8-bit grey
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) +
         PngChunk("IDAT", qCompress(QByteArray(width + 1, '\0')).mid(4)) + PngChunk("IEND", {});
}

TEST_F(Battery, ListedPicturesAreShownOrTheStatusLineSaysWhy) {
  ASSERT_TRUE(WriteBmp16(in() + "/a-large.bmp", 5800, 5800));
  ASSERT_TRUE(WriteBytes(in() + "/b-vast.png", DeclaredPng(20000, 20000)));  // 400 MP
  ASSERT_TRUE(WriteBytes(in() + "/c-drawing.jpg",
                         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"50\" height=\"50\">"
                         "<rect width=\"50\" height=\"50\"/></svg>\n"));
  const QString photo = WritePicture(in() + "/d-cut.jpg", 600, 400, 1);
  ASSERT_FALSE(photo.isEmpty());
  const QByteArray jpeg = ReadBytes(photo);
  ASSERT_TRUE(WriteBytes(photo, jpeg.left(jpeg.size() / 2)));  // the header is whole

  StartOn(64, 48);
  struct Step {
    const char* name;
    QSize canvas;        // empty: nothing shown
    const char* status;  // the status line's last text; empty: not checked
  };
  const Step steps[] = {{"a-large.bmp", {2000, 2000}, ""},
                        {"b-vast.png", {0, 0}, "Picture too large to open (400 MP)"},
                        {"c-drawing.jpg", {0, 0}, "Cannot read picture"},
                        {"d-cut.jpg", {0, 0}, "Cannot read picture"}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    ASSERT_EQ(list().selectedName(), step.name);
    const QString status = statuses.isEmpty() ? QString() : statuses.last();
    EXPECT_FALSE(status.contains("Too small to crop")) << qPrintable(status);
    if (*step.status) {
      EXPECT_EQ(status, step.status);
      EXPECT_TRUE(window->statusOverlay().isVisible());
    }
    EXPECT_EQ(view().picture().size(), step.canvas);
    EXPECT_EQ(view().hasPicture(), !step.canvas.isEmpty());
    if (!step.canvas.isEmpty()) {
      const QRgb middle = view().picture().pixel(1000, 1000);
      EXPECT_GT(qRed(middle), 200);  // the BMP's red and blue, not the white canvas
      EXPECT_LT(qGreen(middle), 40);
    }
    key(Qt::Key_Right);
  }
}

}  // namespace
}  // namespace trimora::testing
