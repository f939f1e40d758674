// Frames of today's devices, larger than the capped picture or than the view: the display at the
// view's scale against a bare TurboJPEG decode at the DCT scale it uses, the cut drawn from the
// file against a bare decode of just the rows and columns under it plus a bare compress, and the
// "Max Crop Size" search with the cap lifted against one display; all in one run, then a table of
// the ratios and the quality of the smaller display (PSNR against a full decode + Catmull-Rom).
//
//   large_device_bench [--benchmark_min_time=...] [images folder, default bench/images]
#include <benchmark/benchmark.h>
#include <turbojpeg.h>
#include <vips/vips8>

#include <QDir>
#include <QFile>
#include <QImage>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// After the Qt headers: libjpeg's own header needs FILE.
#include <jpeglib.h>

#include "Bitmap24.h"
#include "CropGeometry.h"
#include "JpegWriter.h"
#include "PictureLoader.h"
#include "PictureSource.h"
#include "RecordingReporter.h"
#include "TextRules.h"

using namespace trimora;

namespace {

QString gFolder = QStringLiteral(BENCH_IMAGES_DIR);
// The crop view of the window at its first size on a 1366 x 768 screen.
const QSize kView(835, 604);

QString Picture(const char* name) {
  return gFolder + QLatin1Char('/') + QLatin1String(name);
}

struct Shown {
  QSize file, canvas, size;  // the picture, its canvas at the zoom, the canvas at the view's scale
  int shrink = 1;            // the DCT scale the display decodes at
};

// What the workspace shows for a frame at a zoom.
Shown Plan(const QString& path, QSize frame, int zoom) {
  Shown s;
  s.file = pictureFileSize(path).value_or(QSize());
  s.canvas = canvasForZoom(s.file, zoom, frame);
  const double scale = viewScale(frame, kView);
  s.size = QSize(nearestInt(s.canvas.width() * scale), nearestInt(s.canvas.height() * scale));
  s.shrink = imaging::jpegShrinkFor(s.file, fitRect(s.file, s.size, Qt::KeepAspectRatio).size());
  return s;
}

QImage Show(const QString& path, QSize size) {
  return loadScaledPicture(path, size, Qt::white, Qt::KeepAspectRatio, 0);
}

std::vector<unsigned char> ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return {bytes.begin(), bytes.end()};
}

void BM_ShowSmaller(benchmark::State& state, const char* name, QSize frame, int zoom) {
  const QString path = Picture(name);
  const Shown s = Plan(path, frame, zoom);
  state.SetLabel(std::to_string(s.size.width()) + "x" + std::to_string(s.size.height()));
  for (auto _ : state) benchmark::DoNotOptimize(Show(path, s.size));
}

// Reading the file and tjDecompress2 of it at the display's DCT scale.
void BM_BareScaledDecode(benchmark::State& state, const char* name, QSize frame, int zoom) {
  const QString path = Picture(name);
  const Shown s = Plan(path, frame, zoom);
  state.SetLabel("1/" + std::to_string(s.shrink));
  const int w = (s.file.width() + s.shrink - 1) / s.shrink;
  const int h = (s.file.height() + s.shrink - 1) / s.shrink;
  std::vector<unsigned char> pixels(std::size_t(w) * h * 3);
  tjhandle handle = tjInitDecompress();
  for (auto _ : state) {
    const std::vector<unsigned char> jpeg = ReadFile(path);
    tjDecompress2(handle, jpeg.data(), jpeg.size(), pixels.data(), w, 0, h, TJPF_RGB, 0);
    benchmark::DoNotOptimize(pixels.data());
  }
  tjDestroy(handle);
}

// The frame in the middle of the picture at zoom 100, cut as the workspace cuts a frame that
// lifts the cap: its part drawn from the file, then a new JPEG at q90.
QRect MiddleFrame(QSize file, QSize frame) {
  return {QPoint((file.width() - frame.width()) / 2, (file.height() - frame.height()) / 2), frame};
}

void BM_CutFromFile(benchmark::State& state, const char* name, QSize frame) {
  const QString path = Picture(name);
  const QSize file = pictureFileSize(path).value_or(QSize());
  const QRect region = MiddleFrame(file, frame);
  const QString out = QDir::tempPath() + QStringLiteral("/trimora_bench_cut.jpg");
  for (auto _ : state) {
    Bitmap24 cut;
    loadPictureRegion(path, file, region, cut);
    if (writeJpegFile(cut, out, 90, WriteMode::CreateNew)) state.SkipWithError("write failed");
    state.PauseTiming();
    QFile::remove(out);
    state.ResumeTiming();
  }
}

// The floor: libjpeg decoding only the rows and columns under the frame (rows above skipped,
// columns cropped), then tjCompress2 of the cut at q90 into memory.
void BM_BareRegionDecodeCompress(benchmark::State& state, const char* name, QSize frame) {
  const QByteArray path = QFile::encodeName(Picture(name));
  const QSize file = pictureFileSize(Picture(name)).value_or(QSize());
  const QRect region = MiddleFrame(file, frame);
  std::vector<unsigned char> rows(std::size_t(file.width()) * 3);
  std::vector<unsigned char> cut(std::size_t(frame.width()) * frame.height() * 3);
  tjhandle handle = tjInitCompress();
  for (auto _ : state) {
    std::FILE* in = std::fopen(path.constData(), "rb");
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    JDIMENSION left = JDIMENSION(region.x()), width = JDIMENSION(region.width());
    jpeg_crop_scanline(&info, &left, &width);
    jpeg_skip_scanlines(&info, JDIMENSION(region.y()));
    for (int y = 0; y < frame.height(); ++y) {
      JSAMPROW row = rows.data();
      jpeg_read_scanlines(&info, &row, 1);
      std::memcpy(cut.data() + std::size_t(y) * frame.width() * 3,
                  rows.data() + std::size_t(region.x() - int(left)) * 3,
                  std::size_t(frame.width()) * 3);
    }
    jpeg_abort_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, cut.data(), frame.width(), 0, frame.height(), TJPF_RGB, &jpeg, &size,
                jpegSubsamplingFor(90), 90, 0);
    tjFree(jpeg);
  }
  tjDestroy(handle);
}

// "Max Crop Size" with the cap lifted: the search on sizes alone, then one drawing.
void BM_SearchLifted(benchmark::State& state, const char* name, QSize frame) {
  const QString path = Picture(name);
  for (auto _ : state) {
    const QSize file = pictureFileSize(path).value_or(QSize());
    const FitPlan plan = planFit(file, frame, kMinZoom, true);
    benchmark::DoNotOptimize(Show(path, Plan(path, frame, plan.zoom).size));
  }
}

void BM_OneDisplay(benchmark::State& state, const char* name, QSize frame) {
  const QString path = Picture(name);
  const QSize file = pictureFileSize(path).value_or(QSize());
  const QSize size = Plan(path, frame, planFit(file, frame, kMinZoom, true).zoom).size;
  for (auto _ : state) benchmark::DoNotOptimize(Show(path, size));
}

// PSNR of the smaller display (the fitted area) against a full decode reduced by a pure
// Catmull-Rom filter to the same size.
double Quality(const char* name, QSize frame, int zoom) {
  const QString path = Picture(name);
  const Shown s = Plan(path, frame, zoom);
  const QImage shown = Show(path, s.size);
  const QRect fit = fitRect(s.file, s.size, Qt::KeepAspectRatio);
  vips::VImage full = vips::VImage::new_from_file(QFile::encodeName(path).constData());
  vips::VImage reduced = full.resize(double(fit.width()) / full.width(),
                                     vips::VImage::option()
                                         ->set("vscale", double(fit.height()) / full.height())
                                         ->set("kernel", VIPS_KERNEL_CUBIC)
                                         ->set("gap", 0.0));
  size_t bytes = 0;
  auto* reference = static_cast<unsigned char*>(reduced.write_to_memory(&bytes));
  double sum = 0;
  for (int y = 0; y < fit.height(); ++y) {
    for (int x = 0; x < fit.width(); ++x) {
      const QRgb p = shown.pixel(fit.x() + x, fit.y() + y);
      const unsigned char* r = reference + (std::size_t(y) * reduced.width() + x) * 3;
      for (int c = 0; c < 3; ++c) {
        const double d = double(c == 0 ? qRed(p) : c == 1 ? qGreen(p) : qBlue(p)) - r[c];
        sum += d * d;
      }
    }
  }
  g_free(reference);
  const double mse = sum / (3.0 * fit.width() * fit.height());
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

const QSize kPhone(1440, 3120), kMonitor(3840, 2160), kTallPhone(1080, 2400);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) gFolder = QString::fromLocal8Bit(argv[1]);
  if (!QFile::exists(Picture("photo48.jpg"))) {
    std::fprintf(stderr, "No pictures in %s; run bench/make_images.sh first\n",
                 qPrintable(gFolder));
    return 1;
  }
  ImagingLibrary imaging;
  const auto reg = [](const std::string& name, auto fn) {
    benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(benchmark::kMillisecond)->UseRealTime();
  };
  const std::vector<std::tuple<std::string, QSize, int>> shows = {
      {"1440x3120/zoom100", kPhone, 100},
      {"1440x3120/zoom50", kPhone, 50},
      {"3840x2160/zoom100", kMonitor, 100}};
  for (const auto& [tag, frame, zoom] : shows) {
    reg("ShowSmaller/photo48.jpg/" + tag,
        [=](benchmark::State& s) { BM_ShowSmaller(s, "photo48.jpg", frame, zoom); });
    reg("BareScaledDecode/photo48.jpg/" + tag,
        [=](benchmark::State& s) { BM_BareScaledDecode(s, "photo48.jpg", frame, zoom); });
  }
  reg("CutFromFile/photo24.jpg/1440x3120/q90",
      [](benchmark::State& s) { BM_CutFromFile(s, "photo24.jpg", kPhone); });
  reg("BareRegionDecodeCompress/photo24.jpg/1440x3120/q90",
      [](benchmark::State& s) { BM_BareRegionDecodeCompress(s, "photo24.jpg", kPhone); });
  reg("SearchLifted/photo24.jpg/1080x2400",
      [](benchmark::State& s) { BM_SearchLifted(s, "photo24.jpg", kTallPhone); });
  reg("OneDisplay/photo24.jpg/1080x2400",
      [](benchmark::State& s) { BM_OneDisplay(s, "photo24.jpg", kTallPhone); });
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  const auto at = [&](const std::string& k) {
    const auto it = reporter.ms.find(k);
    return it == reporter.ms.end() ? NAN : it->second;
  };
  std::printf("\n%-34s %8s %8s %9s %9s\n", "shown smaller, photo48.jpg (ms)", "ours", "bare",
              "ours/bare", "PSNR dB");
  for (const auto& [tag, frame, zoom] : shows) {
    const double ours = at("ShowSmaller/photo48.jpg/" + tag),
                 bare = at("BareScaledDecode/photo48.jpg/" + tag);
    std::printf("%-34s %8.1f %8.1f %9.2f %9.1f\n", tag.c_str(), ours, bare, ours / bare,
                Quality("photo48.jpg", frame, zoom));
  }
  const double cut = at("CutFromFile/photo24.jpg/1440x3120/q90"),
               floor = at("BareRegionDecodeCompress/photo24.jpg/1440x3120/q90");
  std::printf("%-34s %8.1f %8.1f %9.2f\n", "cut 1440x3120 of photo24.jpg q90", cut, floor,
              cut / floor);
  const double search = at("SearchLifted/photo24.jpg/1080x2400"),
               one = at("OneDisplay/photo24.jpg/1080x2400");
  std::printf("%-34s %8.1f %8.1f %9.2f\n", "search 1080x2400, lifted cap", search, one,
              search / one);
  return 0;
}
