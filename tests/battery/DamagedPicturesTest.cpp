#include <sys/resource.h>

#include <QElapsedTimer>
#include <QtEndian>

#include "Battery.h"

// A folder of damaged pictures of every listed format, stepped through and
// cropped in the window like a user would: nothing crashes or hangs, memory
// stays bounded, every cut that is written has exactly the crop size, and the
// input folder is left as it was.
namespace trimora::testing {
namespace {

constexpr int kFrame = 40;
constexpr qint64 kStepLimitMs = 10000;
constexpr long kMaxGrowthKb = 1024 * 1024;  // peak resident size may grow by 1 GB at most

quint32 Crc32(const QByteArray& bytes) {
  quint32 crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= quint8(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

QByteArray BigEndian32(quint32 value) {
  QByteArray out(4, '\0');
  qToBigEndian(value, out.data());
  return out;
}

QByteArray PngChunk(const QByteArray& type, const QByteArray& data) {
  return BigEndian32(quint32(data.size())) + type + data + BigEndian32(Crc32(type + data));
}

// A small PNG whose header declares 60000 x 60000 RGB pixels, with valid checksums.
QByteArray DeclaredHugePng() {
  QByteArray ihdr = BigEndian32(60000) + BigEndian32(60000);
  ihdr += QByteArray("\x08\x02\x00\x00\x00", 5);
  const QByteArray rows = qCompress(QByteArray(60001 * 3 * 4, '\0')).mid(4);  // a zlib stream
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", ihdr) + PngChunk("IDAT", rows) +
         PngChunk("IEND", {});
}

// A valid JPEG whose frame header is changed to declare 65000 x 65000 pixels.
QByteArray DeclaredHugeJpeg(QByteArray jpeg) {
  const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
  if (sof < 0) return {};
  qToBigEndian(quint16(65000), jpeg.data() + sof + 5);  // height
  qToBigEndian(quint16(65000), jpeg.data() + sof + 7);  // width
  return jpeg;
}

long PeakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Writes the corpus into folder: for each original, cuts at fixed offsets and
// copies with bits flipped, half of them in the first 64 bytes (the headers).
int WriteCorpus(const QString& folder, const QStringList& originals) {
  int written = 0;
  for (const QString& original : originals) {
    const QByteArray bytes = ReadBytes(original);
    const QString suffix = original.mid(original.lastIndexOf('.'));
    const QString stem = folder + "/" + QFileInfo(original).completeBaseName();
    const qsizetype n = bytes.size();
    int cut = 0;
    for (qsizetype keep : {qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(8), qsizetype(16),
                           qsizetype(40), n / 8, n / 4, n / 2, 3 * n / 4, n - 8, n - 1}) {
      written += WriteBytes(stem + QString("_cut%1").arg(cut++, 2, 10, QChar('0')) + suffix,
                            bytes.left(keep));
    }
    unsigned state = 2166136261u;
    for (int flip = 0; flip < 40; ++flip) {
      QByteArray damaged = bytes;
      const qsizetype span = flip % 2 == 0 ? std::min<qsizetype>(64, n) : n;
      for (int k = 0; k <= flip % 3; ++k) {
        state = state * 1103515245u + 12345u;
        const qsizetype at = qsizetype((state >> 8) % unsigned(span));
        damaged[at] = char(damaged[at] ^ (1 << ((state >> 4) % 8)));
      }
      written +=
          WriteBytes(stem + QString("_flip%1").arg(flip, 2, 10, QChar('0')) + suffix, damaged);
    }
  }
  return written;
}

TEST_F(Battery, DamagedPicturesOfEveryFormatShowOrGiveNothingAndCutsKeepTheirSize) {
  QTemporaryDir sources;
  QStringList originals;
  for (const char* name : {"j.jpg", "p.png", "g.gif", "b.bmp"}) {
    const QString path = WritePicture(sources.filePath(name), 160, 120, 3);
    ASSERT_FALSE(path.isEmpty()) << name;
    originals << path;
    // The undamaged picture goes in too, so the run shows that cropping works.
    ASSERT_TRUE(QFile::copy(path, in() + "/" + name));
  }
  const int corpus = WriteCorpus(in(), originals);
  ASSERT_TRUE(WriteBytes(in() + "/huge.png", DeclaredHugePng()));
  const QByteArray hugeJpeg = DeclaredHugeJpeg(ReadBytes(originals[0]));
  ASSERT_FALSE(hugeJpeg.isEmpty());
  ASSERT_TRUE(WriteBytes(in() + "/huge.jpg", hugeJpeg));
  ASSERT_GE(corpus + 2, 200);

  const Fingerprint before = FingerprintOf(in());
  const long peakBefore = PeakResidentKb();
  StartOn(kFrame, kFrame);
  const int count = list().count();
  ASSERT_EQ(count, corpus + 6);
  QStringList slow;
  for (int i = 0; i < count; ++i) {
    QElapsedTimer clock;
    clock.start();
    if (i > 0) key(Qt::Key_Right);
    ASSERT_EQ(list().selectedIndex(), i);
    CropInTheMiddle();
    if (clock.elapsed() > kStepLimitMs) slow << list().selectedName();
  }
  EXPECT_TRUE(slow.isEmpty()) << qPrintable(slow.join(", "));
  EXPECT_LT(PeakResidentKb() - peakBefore, kMaxGrowthKb);

  // Cutting never fails here; a picture too small for the frame is told so.
  for (const QString& text : TakeMessages())
    EXPECT_TRUE(text.startsWith("The loaded picture is smaller")) << qPrintable(text);
  const QStringList outputs = FilesIn(out());
  for (const char* name : {"j.jpg", "p.jpg", "g.jpg", "b.jpg"}) EXPECT_TRUE(outputs.contains(name));
  ExpectAllJpegsOfSize(out(), kFrame, kFrame);
  EXPECT_FALSE(outputs.contains("huge.jpg"));
  ExpectNothingChanged(before, FingerprintOf(in()));
  EXPECT_EQ(FingerprintOf(in()).size(), before.size());
}

}  // namespace
}  // namespace trimora::testing
