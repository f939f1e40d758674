// Display, header and crop-and-save timings of the imaging subsystem against
// bare decodes and encodes of the same files, measured in one run, followed by
// a table of the ratios and the display quality (PSNR).
//
//   imaging_bench [--benchmark_min_time=...] [images folder, default bench/images]
#include <benchmark/benchmark.h>
#include <png.h>
#include <turbojpeg.h>
#include <unistd.h>
#include <vips/vips8>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Bitmap24.h"
#include "JpegWriter.h"
#include "PictureLoader.h"
#include "PictureSource.h"
#include "RecordingReporter.h"
#include "TextRules.h"

using namespace trimora;
using vips::VImage;

namespace {

QString gFolder = QStringLiteral(BENCH_IMAGES_DIR);

QString Picture(const char* name) {
  return gFolder + QLatin1Char('/') + QLatin1String(name);
}

// The canvas the workspace asks for at a zoom: each side capped at 2000 before
// scaling, at least 100; at 100 % it passes -1 / -1 (the picture's own size, capped).
QSize ZoomRequest(QSize file, int zoom) {
  if (zoom == 100) return {-1, -1};
  const auto side = [&](int s) {
    return std::max(100, nearestInt(zoom / 100.0 * std::min(s, 2000)));
  };
  return {side(file.width()), side(file.height())};
}

QSize FileSize(const QString& path) {
  return pictureFileSize(path).value_or(QSize(0, 0));
}

// Where the picture lands for that zoom, as loadDisplayPicture computes it.
QRect FittedAt(const QString& path, int zoom) {
  const QSize file = FileSize(path);
  const QSize ask = ZoomRequest(file, zoom);
  return fitRect(file, canvasSizeFor(file, ask, kMaxDisplaySide), Qt::KeepAspectRatio);
}

QImage ShowAtZoom(const QString& path, int zoom) {
  return loadDisplayPicture(path, ZoomRequest(FileSize(path), zoom));
}

struct TjDecoded {
  std::vector<unsigned char> file, pixels;
  int width = 0, height = 0;
};

// A bare TurboJPEG decode of the file at 1/denominator scale, RGB, into `out`:
// the file is read and decoded each time, into buffers that a benchmark keeps
// from one iteration to the next, so that the floor holds no allocation.
void TjDecode(const QString& path, int denominator, TjDecoded& out) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  out.file.resize(std::size_t(file.size()));
  if (file.read(reinterpret_cast<char*>(out.file.data()), file.size()) != file.size()) return;
  const auto* jpeg = out.file.data();
  const auto jpegSize = static_cast<unsigned long>(out.file.size());
  tjhandle handle = tjInitDecompress();
  int w = 0, h = 0, sub = 0, cs = 0;
  tjDecompressHeader3(handle, jpeg, jpegSize, &w, &h, &sub, &cs);
  out.width = (w + denominator - 1) / denominator;
  out.height = (h + denominator - 1) / denominator;
  out.pixels.resize(std::size_t(out.width) * out.height * 3);
  if (tjDecompress2(handle, jpeg, jpegSize, out.pixels.data(), out.width, 0, out.height, TJPF_RGB,
                    0) != 0) {
    std::fprintf(stderr, "decode failed: %s\n", tjGetErrorStr2(handle));
  }
  tjDestroy(handle);
}

TjDecoded TjDecode(const QString& path, int denominator) {
  TjDecoded out;
  TjDecode(path, denominator, out);
  return out;
}

VImage Wrap(TjDecoded& d) {
  return VImage::new_from_memory(d.pixels.data(), d.pixels.size(), d.width, d.height, 3,
                                 VIPS_FORMAT_UCHAR);
}

// Cubic reduction of a decoded picture to the fitted size. gap 0 makes it a
// pure Catmull-Rom reduction over every source pixel (the quality reference).
std::vector<unsigned char> Reduce(VImage image, QSize to, bool pure) {
  auto* options = VImage::option()
                      ->set("vscale", double(to.height()) / image.height())
                      ->set("kernel", VIPS_KERNEL_CUBIC);
  if (pure) options->set("gap", 0.0);
  VImage out = image.resize(double(to.width()) / image.width(), options);
  if (out.width() != to.width() || out.height() != to.height()) {
    out =
        out.embed(0, 0, to.width(), to.height(), VImage::option()->set("extend", VIPS_EXTEND_COPY));
  }
  size_t size = 0;
  void* data = out.write_to_memory(&size);
  std::vector<unsigned char> bytes(static_cast<unsigned char*>(data),
                                   static_cast<unsigned char*>(data) + size);
  g_free(data);
  return bytes;
}

int ShrinkFor(const QString& path, int zoom) {
  return imaging::jpegShrinkFor(FileSize(path), FittedAt(path, zoom).size());
}

// --- Display of the JPEG photos ---

void BM_Display(benchmark::State& state, const char* name, int zoom) {
  const QString path = Picture(name);
  for (auto _ : state) benchmark::DoNotOptimize(ShowAtZoom(path, zoom));
}

void BM_BareScaledDecode(benchmark::State& state, const char* name, int zoom) {
  const QString path = Picture(name);
  const int shrink = ShrinkFor(path, zoom);
  state.SetLabel("1/" + std::to_string(shrink));
  TjDecoded decoded;
  for (auto _ : state) {
    TjDecode(path, shrink, decoded);
    benchmark::DoNotOptimize(decoded.pixels.data());
  }
}

// The one-piece way: TurboJPEG's scaled decode of the whole picture into fresh
// memory, then the same cubic reduction from memory.
void BM_TjScaledCubic(benchmark::State& state, const char* name, int zoom) {
  const QString path = Picture(name);
  const QSize fitted = FittedAt(path, zoom).size();
  const int shrink = ShrinkFor(path, zoom);
  for (auto _ : state) {
    TjDecoded decoded = TjDecode(path, shrink);
    benchmark::DoNotOptimize(Reduce(Wrap(decoded), fitted, false));
  }
}

// The general engine's way: libvips' streamed JPEG load with its own
// shrink-on-load, then its cubic reduction, pipelined over its worker threads.
void BM_VipsShrinkCubic(benchmark::State& state, const char* name, int zoom) {
  const QByteArray path = QFile::encodeName(Picture(name));
  const QSize fitted = FittedAt(Picture(name), zoom).size();
  const int shrink = ShrinkFor(Picture(name), zoom);
  for (auto _ : state) {
    VImage image = VImage::new_from_file(
        path.constData(),
        VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL)->set("shrink", shrink));
    benchmark::DoNotOptimize(Reduce(image, fitted, false));
  }
}

void BM_FullDecodeCubic(benchmark::State& state, const char* name, int zoom) {
  const QString path = Picture(name);
  const QSize fitted = FittedAt(path, zoom).size();
  TjDecoded full;
  for (auto _ : state) {
    TjDecode(path, 1, full);
    benchmark::DoNotOptimize(Reduce(Wrap(full), fitted, false));
  }
}

// --- PNG display against a bare libpng decode ---

void BM_BarePngDecode(benchmark::State& state) {
  const QByteArray path = QFile::encodeName(Picture("photo12.png"));
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_file(&image, path.constData());
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
    benchmark::DoNotOptimize(pixels.data());
  }
}

// --- Header reads ---

void BM_PictureFileSize(benchmark::State& state, const char* name) {
  const QString path = Picture(name);
  for (auto _ : state) benchmark::DoNotOptimize(FileSize(path));
}

// --- Crop and save ---

QImage CropCanvas() {
  QImage canvas(Picture("crop1080x2400.ppm"));
  return canvas.convertToFormat(QImage::Format_RGB32);
}

// The framed rectangle goes from the shown canvas straight into the bitmap
// (no intermediate picture), then to a new file.
void BM_CropAndSave(benchmark::State& state) {
  const QImage canvas = CropCanvas();
  const QString out = QDir::tempPath() + QStringLiteral("/trimora_bench_crop.jpg");
  for (auto _ : state) {
    Bitmap24 cut;
    cut.create({1080, 2400});
    cut.copyFrom(canvas, {0, 0}, {1080, 2400});
    if (writeJpegFile(cut, out, 90, WriteMode::CreateNew)) state.SkipWithError("write failed");
    state.PauseTiming();
    QFile::remove(out);
    state.ResumeTiming();
  }
}

// The same through an intermediate picture of the frame (canvas.copy, then
// createFromImage), as the crop once did it.
void BM_CropAndSaveViaCopy(benchmark::State& state) {
  const QImage canvas = CropCanvas();
  const QString out = QDir::tempPath() + QStringLiteral("/trimora_bench_crop.jpg");
  for (auto _ : state) {
    Bitmap24 cut;
    cut.createFromImage(canvas.copy(0, 0, 1080, 2400));
    if (writeJpegFile(cut, out, 90, WriteMode::CreateNew)) state.SkipWithError("write failed");
    state.PauseTiming();
    QFile::remove(out);
    state.ResumeTiming();
  }
}

void BM_BareCompress(benchmark::State& state) {
  const QImage canvas = CropCanvas();
  Bitmap24 cut;
  cut.createFromImage(canvas);
  tjhandle handle = tjInitCompress();
  for (auto _ : state) {
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, cut.constBits(), cut.width(), cut.bytesPerLine(), cut.height(), TJPF_BGR,
                &jpeg, &size, jpegSubsamplingFor(90), 90, TJFLAG_BOTTOMUP);
    tjFree(jpeg);
  }
  tjDestroy(handle);
}

// --- Quality ---

double Psnr(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const double d = double(a[i]) - double(b[i]);
    sum += d * d;
  }
  const double mse = sum / double(a.size());
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

std::vector<unsigned char> RgbOf(const QImage& image, const QRect& r) {
  std::vector<unsigned char> bytes;
  bytes.reserve(std::size_t(r.width()) * r.height() * 3);
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      bytes.insert(bytes.end(), {uchar(qRed(p)), uchar(qGreen(p)), uchar(qBlue(p))});
    }
  }
  return bytes;
}

struct QualityFigures {
  double shown = 0, shrunkToFit = 0;
};

QualityFigures DisplayQuality(const char* name, int zoom) {
  const QString path = Picture(name);
  const QRect fitted = FittedAt(path, zoom);
  TjDecoded full = TjDecode(path, 1);
  const auto reference = Reduce(Wrap(full), fitted.size(), true);
  QualityFigures q;
  q.shown = Psnr(RgbOf(ShowAtZoom(path, zoom), fitted), reference);
  // For comparison: the DCT scale that leaves just the fitted size, then cubic.
  int shrink = 8;
  while (shrink > 1 && ((full.width + shrink - 1) / shrink < fitted.width() ||
                        (full.height + shrink - 1) / shrink < fitted.height())) {
    shrink /= 2;
  }
  TjDecoded small = TjDecode(path, shrink);
  q.shrunkToFit = Psnr(Reduce(Wrap(small), fitted.size(), false), reference);
  return q;
}

void Register() {
  const auto reg = [](const std::string& name, auto fn) {
    return benchmark::RegisterBenchmark(name.c_str(), fn)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  };
  for (const char* name : {"photo24.jpg", "photo48.jpg"}) {
    for (int zoom : {35, 100}) {
      const std::string tag = std::string(name) + "/zoom" + std::to_string(zoom);
      reg("Display/" + tag, [=](benchmark::State& s) { BM_Display(s, name, zoom); });
      reg("BareScaledDecode/" + tag,
          [=](benchmark::State& s) { BM_BareScaledDecode(s, name, zoom); });
      reg("FullDecodeCubic/" + tag,
          [=](benchmark::State& s) { BM_FullDecodeCubic(s, name, zoom); });
      reg("TjScaledCubic/" + tag, [=](benchmark::State& s) { BM_TjScaledCubic(s, name, zoom); });
      reg("VipsShrinkCubic/" + tag,
          [=](benchmark::State& s) { BM_VipsShrinkCubic(s, name, zoom); });
    }
  }
  // The zooms of the workspace's zoom step (55 and 65, both at DCT scale 1/2),
  // so the step can be chained to the bare decode.
  for (int zoom : {55, 65}) {
    const std::string tag = "photo24.jpg/zoom" + std::to_string(zoom);
    reg("Display/" + tag, [=](benchmark::State& s) { BM_Display(s, "photo24.jpg", zoom); });
    reg("BareScaledDecode/" + tag,
        [=](benchmark::State& s) { BM_BareScaledDecode(s, "photo24.jpg", zoom); });
  }
  // The 48 MP photo as a progressive JPEG: its decoder holds every
  // coefficient (some 144 MB, within the decode budget) until the last scan.
  for (int zoom : {35, 100}) {
    const std::string tag = "photo48p.jpg/zoom" + std::to_string(zoom);
    reg("Display/" + tag, [=](benchmark::State& s) { BM_Display(s, "photo48p.jpg", zoom); });
    reg("BareScaledDecode/" + tag,
        [=](benchmark::State& s) { BM_BareScaledDecode(s, "photo48p.jpg", zoom); });
  }
  for (int zoom : {35, 100}) {
    reg("Display/photo12.png/zoom" + std::to_string(zoom),
        [=](benchmark::State& s) { BM_Display(s, "photo12.png", zoom); });
  }
  reg("BarePngDecode/photo12.png", BM_BarePngDecode);
  for (const char* name :
       {"photo24.jpg", "photo48.jpg", "photo12.png", "anim1000.gif", "photo3000.bmp"}) {
    benchmark::RegisterBenchmark((std::string("PictureFileSize/") + name).c_str(),
                                 [=](benchmark::State& s) { BM_PictureFileSize(s, name); })
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
  }
  reg("CropAndSave/1080x2400/q90", BM_CropAndSave);
  reg("CropAndSaveViaCopy/1080x2400/q90", BM_CropAndSaveViaCopy);
  reg("BareCompress/1080x2400/q90", BM_BareCompress);
}

void PrintSummary(const std::map<std::string, double>& ms) {
  const auto at = [&](const std::string& k) {
    const auto it = ms.find(k);
    return it == ms.end() ? NAN : it->second;
  };
  std::printf("\n%-26s %8s %8s %8s %8s %8s %9s %9s %9s %9s\n", "display (ms)", "ours", "bare",
              "full+cub", "tj+cub", "vips", "ours/bare", "full/ours", "tj/bare", "vips/bare");
  for (const char* name : {"photo24.jpg", "photo48.jpg"}) {
    for (int zoom : {35, 100}) {
      const std::string tag = std::string(name) + "/zoom" + std::to_string(zoom);
      const double ours = at("Display/" + tag), bare = at("BareScaledDecode/" + tag),
                   full = at("FullDecodeCubic/" + tag), tj = at("TjScaledCubic/" + tag),
                   vips = at("VipsShrinkCubic/" + tag);
      std::printf("%-26s %8.1f %8.1f %8.1f %8.1f %8.1f %9.2f %9.2f %9.2f %9.2f\n", tag.c_str(),
                  ours, bare, full, tj, vips, ours / bare, full / ours, tj / bare, vips / bare);
    }
  }
  for (int zoom : {55, 65}) {
    const std::string tag = "photo24.jpg/zoom" + std::to_string(zoom);
    const double ours = at("Display/" + tag), bare = at("BareScaledDecode/" + tag);
    std::printf("%-26s %8.1f %8.1f %8s %8s %8s %9.2f\n", tag.c_str(), ours, bare, "", "", "",
                ours / bare);
  }
  for (int zoom : {35, 100}) {
    const std::string tag = "photo48p.jpg/zoom" + std::to_string(zoom);
    const double ours = at("Display/" + tag), bare = at("BareScaledDecode/" + tag);
    std::printf("%-26s %8.1f %8.1f %8s %8s %8s %9.2f\n", tag.c_str(), ours, bare, "", "", "",
                ours / bare);
  }
  for (int zoom : {35, 100}) {
    const std::string tag = "photo12.png/zoom" + std::to_string(zoom);
    const double ours = at("Display/" + tag), bare = at("BarePngDecode/photo12.png");
    std::printf("%-26s %8.1f %8.1f %8s %8s %8s %9.2f\n", tag.c_str(), ours, bare, "", "", "",
                ours / bare);
  }
  std::printf("\n%-34s %9s\n", "pictureFileSize (ms)", "");
  for (const char* name :
       {"photo24.jpg", "photo48.jpg", "photo12.png", "anim1000.gif", "photo3000.bmp"}) {
    std::printf("%-34s %9.3f\n", name, at(std::string("PictureFileSize/") + name) / 1000.0);
  }
  const double crop = at("CropAndSave/1080x2400/q90"), bare = at("BareCompress/1080x2400/q90"),
               viaCopy = at("CropAndSaveViaCopy/1080x2400/q90");
  std::printf("\n%-34s %9.1f %9.1f %9s %8.2f\n", "crop+save 1080x2400 q90 (ms)", crop, bare, "",
              crop / bare);
  std::printf("%-34s %9.1f %9.1f %9s %8.2f\n", "  through a copy of the frame", viaCopy, bare, "",
              viaCopy / bare);
  const QualityFigures q = DisplayQuality("photo24.jpg", 35);
  std::printf(
      "\nPSNR photo24.jpg zoom 35 vs full decode + Catmull-Rom: shown %.1f dB, "
      "DCT scale to just the fitted size + cubic %.1f dB\n",
      q.shown, q.shrunkToFit);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc > 1) gFolder = QString::fromLocal8Bit(argv[1]);
  if (!QFile::exists(Picture("photo24.jpg"))) {
    std::fprintf(stderr, "No pictures in %s; run bench/make_images.sh first\n",
                 qPrintable(gFolder));
    return 1;
  }
  ImagingLibrary imaging;
  Register();
  RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintSummary(reporter.ms);
  return 0;
}
