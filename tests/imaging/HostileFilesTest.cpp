#include <gtest/gtest.h>
#include <climits>
#include <limits>

#include <sys/resource.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "DecodeBudget.h"
#include "HostilePictures.h"
#include "ImagingPictures.h"
#include "JpegStream.h"
#include "PictureLoader.h"

// Files made to cost a reader as much as they can: each is refused with the
// status text that says why, or drawn, and none holds more than the decode
// budget (plus what a display holds anyway) or takes more than 5 s of
// processor time (all threads together, so other load on the machine does
// not count).
namespace trimora {
namespace {

using testing::HostileFile;

constexpr qint64 kTimeLimitMs = 5000;
constexpr long kDisplayAllowanceKb = 100 * 1024;  // canvas, scaled rows, libraries' buffers

long StatusKb(const char* field) {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(field))
      return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ')[0].toLong();
  }
  return -1;
}

// The processor time (ms) the whole process has used, all its threads: what a
// file costs the machine, however busy other processes keep it.
qint64 ProcessorMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

// Starts the peak resident size afresh from the present size.
bool ResetPeak() {
  QFile refs("/proc/self/clear_refs");
  return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

TEST(HostileFiles, EachIsRefusedWithItsReasonOrDrawnWithinTheBudget) {
  QTemporaryDir dir;
  const long budgetKb = long(imaging::decodeBudget() >> 10);
  for (const HostileFile& file : testing::HostileFiles()) {
    SCOPED_TRACE((file.name + ": " + file.why).toStdString());
    ASSERT_FALSE(file.bytes.isEmpty());
    ASSERT_LT(file.bytes.size(), 1 << 20);
    const QString path = dir.filePath(file.name);
    ASSERT_TRUE(testing::WriteBytes(path, file.bytes));

    ASSERT_TRUE(ResetPeak());
    const long before = StatusKb("VmRSS:");
    const qint64 processorBefore = ProcessorMs();
    QElapsedTimer clock;
    clock.start();
    // As the workspace shows a new picture: its size, then the canvas at
    // zoom 100 (its own size, each side capped at 2000).
    const std::optional<QSize> size = pictureFileSize(path);
    QString whyNot = "stale";
    const QImage canvas = loadDisplayPicture(path, {-1, -1}, &whyNot);
    const qint64 elapsed = clock.elapsed();
    const qint64 processor = ProcessorMs() - processorBefore;
    const long grown = StatusKb("VmHWM:") - before;

    EXPECT_LT(processor, kTimeLimitMs);
    EXPECT_LT(grown, budgetKb + kDisplayAllowanceKb);
    std::printf("%-26s %5lld ms (%5lld ms of processor) %7ld kB\n", qPrintable(file.name), elapsed,
                processor, grown);
    switch (file.expect) {
      case HostileFile::Expect::Drawn:
        ASSERT_FALSE(canvas.isNull()) << qPrintable(whyNot);
        EXPECT_TRUE(whyNot.isEmpty());
        ASSERT_TRUE(size);
        EXPECT_EQ(canvas.size(), canvasSizeFor(*size, {-1, -1}, 2000));
        break;
      case HostileFile::Expect::Unreadable:
        EXPECT_TRUE(canvas.isNull());
        EXPECT_EQ(whyNot, "Cannot read picture");
        break;
      case HostileFile::Expect::TooLarge:
        EXPECT_TRUE(canvas.isNull());
        EXPECT_EQ(whyNot, QString("Picture too large to open (%1 MP)").arg(file.megapixels));
        EXPECT_FALSE(size) << "a refused picture has no size";
        break;
    }
  }
}

// The budget follows its setting: the same progressive picture is drawn or
// refused by the size of its coefficients (3 bytes a pixel at 4:2:0), and
// libjpeg itself stops at the budget even where nothing refused the file first.
TEST(HostileFiles, TheBudgetDecidesAndCapsLibjpegToo) {
  QTemporaryDir dir;
  const QString path = dir.filePath("progressive.jpg");
  ASSERT_TRUE(testing::WritePictureAs(testing::Kind::Vips, testing::PatternImage(1000, 800), path,
                                      "[Q=85,interlace]"));
  struct Case {
    std::int64_t budget;
    QString whyNot;
  };
  for (const Case& c : {Case{std::int64_t(3) << 20, "Picture too large to open (1 MP)"},
                        Case{std::int64_t(3) << 20 << 1, ""}}) {
    SCOPED_TRACE(c.budget);
    imaging::setDecodeBudget(c.budget);
    QString whyNot = "stale";
    const QImage canvas = loadDisplayPicture(path, {-1, -1}, &whyNot);
    EXPECT_EQ(whyNot, c.whyNot);
    EXPECT_EQ(canvas.isNull(), !c.whyNot.isEmpty());
  }
  imaging::setDecodeBudget(std::int64_t(1) << 20);
  std::vector<std::uint8_t> out;
  EXPECT_EQ(imaging::decodeJpegScaled(QFile::encodeName(path), 1, {1000, 800}, {100, 80}, out),
            imaging::JpegOutcome::OverBudget);
  imaging::setDecodeBudget(0);
  EXPECT_EQ(imaging::decodeBudget(), imaging::kDefaultDecodeBudget);
  EXPECT_EQ(imaging::decodeJpegScaled(QFile::encodeName(path), 1, {1000, 800}, {100, 80}, out),
            imaging::JpegOutcome::Decoded);

  // A PNG declaring some 1.75 billion pixels a side (found by the fuzzer): the
  // estimate saturates instead of overflowing, and the picture is refused.
  EXPECT_EQ(imaging::frameBytes(QSize(INT_MAX, INT_MAX), 8),
            std::numeric_limits<std::int64_t>::max());
  const QString vast = dir.filePath("vast.png");
  ASSERT_TRUE(testing::WriteBytes(
      vast, QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUmhlaWdodAAQEAIAiVBORw0KGgQAgQAAZw==")));
  QString whyNot;
  EXPECT_TRUE(loadDisplayPicture(vast, {-1, -1}, &whyNot).isNull());
  EXPECT_FALSE(whyNot.isEmpty());
}

}  // namespace
}  // namespace trimora
