#include "JpegStream.h"

#include "CubicScaler.h"
#include "DecodeBudget.h"
#include "PictureLoader.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <cstdio>
#include <cstring>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on
#include <condition_variable>
#include <mutex>
#include <thread>
#include <type_traits>

namespace trimora::imaging {

namespace {

// The rows a decoder may run ahead of the scaler, on top of the rows one output
// row needs: enough to keep both threads busy, few enough to stay in cache.
constexpr int kRowsAhead = 32;

// What the two threads share: a ring of decoded rows and how far each side is.
// A side that has to wait says what it waits for, the least it needs and the
// batch it would rather have; the other side wakes it once the batch is there,
// or once the least is there and it must wait itself. So neither is woken row
// by row, and they never wait on each other at once.
struct RowRing {
  RowRing(int rowCount, int rowBytes, int capacity)
      : rows(rowCount),
        bytes(std::size_t(rowBytes)),
        slots(capacity),
        pixels(std::size_t(capacity) * std::size_t(rowBytes)) {}

  std::uint8_t* row(int i) { return pixels.data() + std::size_t(i % slots) * bytes; }

  const int rows;
  const std::size_t bytes;
  const int slots;
  std::vector<std::uint8_t> pixels;

  std::mutex lock;
  std::condition_variable rowsIn, roomFree;
  int decoded = 0;   // rows 0 .. decoded - 1 are in the ring
  int released = 0;  // rows below this are no longer needed by the scaler
  bool scalerWaits = false;
  int rowsNeeded = 0, rowsWanted = 0;  // what a waiting scaler needs of `decoded`
  bool decoderWaits = false;
  int roomNeeded = 0, roomWanted = 0;  // what a waiting decoder needs of `released`
  bool finished = false;               // the decoder has stopped, with every row or failing
  bool failed = false;
  bool abandoned = false;  // the scaler has stopped; the decoder should too

  // Both called with the lock held; true when the other side must be woken.
  bool wakeScaler(bool evenForTheLeast) {
    if (!scalerWaits || decoded < (evenForTheLeast ? rowsNeeded : rowsWanted)) return false;
    scalerWaits = false;
    return true;
  }
  bool wakeDecoder(bool evenForTheLeast) {
    if (!decoderWaits || released < (evenForTheLeast ? roomNeeded : roomWanted)) return false;
    decoderWaits = false;
    return true;
  }
};

// libjpeg reports errors by calling error_exit, which must not return; this
// one jumps back to the decoder's setjmp with what the error means here.
struct ErrorTrap {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is one to the trap
  std::jmp_buf jump;
  JpegOutcome outcome = JpegOutcome::Unreadable;
};

static_assert(std::is_standard_layout_v<ErrorTrap>);

[[noreturn]] void stopWith(j_common_ptr info, JpegOutcome outcome) {
  auto* trap = reinterpret_cast<ErrorTrap*>(info->err);
  trap->outcome = outcome;
  std::longjmp(trap->jump, 1);
}

// An error of libjpeg's: the general reader, which runs the same libjpeg,
// would meet it too, so only running out of the allowed memory is told apart.
[[noreturn]] void onError(j_common_ptr info) {
  const int code = info->err->msg_code;
  stopWith(info, code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY
                     ? JpegOutcome::OverBudget
                     : JpegOutcome::Unreadable);
}

// Warnings are damaged data that libjpeg works around, and the picture is
// shown as it mends it, except a file that ends early: what it lacks no
// reader can supply, and decoding it again elsewhere would only repeat the cost.
void onMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) stopWith(info, JpegOutcome::Unreadable);
}

// Counts the scans of a file and the blocks they go over as libjpeg reads
// them, and stops a file past either limit.
struct ScanGuard {
  jpeg_progress_mgr manager;  // first, so libjpeg's pointer to it is one to the guard
  int scans = 0;
  std::int64_t blocks = 0;
};
static_assert(std::is_standard_layout_v<ScanGuard>);

// Called by libjpeg as it goes, at least once in every scan.
void checkScans(j_common_ptr common) {
  auto* info = reinterpret_cast<j_decompress_ptr>(common);
  auto* guard = reinterpret_cast<ScanGuard*>(info->progress);
  if (info->input_scan_number <= guard->scans) return;
  guard->scans = info->input_scan_number;
  for (int c = 0; c < info->comps_in_scan; ++c) {
    const jpeg_component_info* component = info->cur_comp_info[c];
    guard->blocks += std::int64_t(component->width_in_blocks) * component->height_in_blocks;
  }
  if (guard->scans > kMaxJpegScans || guard->blocks > kMaxJpegScanBlocks) {
    stopWith(common, JpegOutcome::Unreadable);
  }
}

// Reads the file in large pieces. libjpeg's own file reader hands over 4 kB at
// a time, and its fast Huffman decoder steps aside for the last half kB of
// every piece, which made decoding about 6 % slower than from memory.
struct FileSource {
  explicit FileSource(std::size_t bufferBytes = std::size_t(256) << 10) : buffer(bufferBytes) {
    manager.init_source = [](j_decompress_ptr) {};
    manager.fill_input_buffer = fill;
    manager.skip_input_data = skip;
    manager.resync_to_restart = jpeg_resync_to_restart;
    manager.term_source = [](j_decompress_ptr) {};
  }

  static boolean fill(j_decompress_ptr info) {
    auto* self = reinterpret_cast<FileSource*>(info->src);
    const std::size_t got = std::fread(self->buffer.data(), 1, self->buffer.size(), self->file);
    if (got == 0) {
      // Cut short: a warning, which refuses the file here (see onMessage); the
      // end-of-image marker keeps libjpeg's state sound until then.
      static const JOCTET kEnd[2] = {0xFF, JPEG_EOI};
      WARNMS(info, JWRN_JPEG_EOF);
      self->manager.next_input_byte = kEnd;
      self->manager.bytes_in_buffer = 2;
      return TRUE;
    }
    self->manager.next_input_byte = self->buffer.data();
    self->manager.bytes_in_buffer = got;
    return TRUE;
  }

  static void skip(j_decompress_ptr info, long count) {
    auto* self = reinterpret_cast<FileSource*>(info->src);
    while (count > long(self->manager.bytes_in_buffer)) {
      count -= long(self->manager.bytes_in_buffer);
      fill(info);
    }
    if (count > 0) {
      self->manager.next_input_byte += count;
      self->manager.bytes_in_buffer -= std::size_t(count);
    }
  }

  jpeg_source_mgr manager{};  // first, so libjpeg's pointer to it is one to the source
  std::FILE* file = nullptr;
  std::vector<JOCTET> buffer;
};
static_assert(std::is_standard_layout_v<FileSource>);

// Starts a decompressor on `file` with the traps above. Returns through the
// trap's jump (see the callers) on any error.
void begin(jpeg_decompress_struct& info, ErrorTrap& trap, FileSource& source, std::FILE* file) {
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = onError;
  trap.manager.emit_message = onMessage;
  jpeg_create_decompress(&info);
  // Past the budget, libjpeg would need a backing store for its coefficient
  // buffer, which this libjpeg does not have: the decode stops with an error.
  info.mem->max_memory_to_use = long(decodeBudget());
  source.file = file;
  info.src = &source.manager;
}

// The columns to decode for the columns begin .. end - 1: a few more each side, so that the
// chroma's upsampling at the edges of a crop has the neighbours it has in a whole decode.
std::pair<int, int> withUpsamplingContext(int begin, int end, int width) {
  return {std::max(0, begin - 2), std::min(width, end + 2)};
}

// Skips the rows above `row` undecoded, as far as a whole band of the chroma's rows goes: within a
// band, the upsampling of the rows after a skip would miss its context. Returns the row the
// decoder is then at, which the caller reads on from.
int skipToBand(jpeg_decompress_struct& info, int row) {
  const int band = info.max_v_samp_factor * info.min_DCT_scaled_size;
  const int to = band > 0 ? row / band * band : 0;
  if (to > 0) jpeg_skip_scanlines(&info, JDIMENSION(to));
  return to;
}

// Decodes the rows from firstRow on into the ring, waiting whenever it is full; the rows
// above are skipped undecoded where libjpeg can, and only the columns `columns` of each row are
// decoded (at least those: libjpeg widens them to whole blocks) into their place in the row.
// After setjmp, no object with a destructor is alive at a libjpeg call or a Stop, because the
// jump back would skip its destructor.
JpegOutcome decodeRows(const char* path, int shrink, QSize scaled, RowRing& ring, int firstRow,
                       std::pair<int, int> columns) {
  FileSource source;
  jpeg_decompress_struct info{};
  ErrorTrap trap{};
  ScanGuard guard{};
  guard.manager.progress_monitor = checkScans;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return JpegOutcome::Unreadable;
  if (setjmp(trap.jump) != 0) {
    jpeg_destroy_decompress(&info);  // safe on a zeroed or partly created one
    std::fclose(file);
    return trap.outcome;
  }
  begin(info, trap, source, file);
  info.progress = &guard.manager;
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    stopWith(reinterpret_cast<j_common_ptr>(&info), JpegOutcome::HandOn);
  }
  info.out_color_space = JCS_RGB;
  info.scale_num = 1;
  info.scale_denom = unsigned(shrink);
  jpeg_calc_output_dimensions(&info);
  if (int(info.output_width) != scaled.width() || int(info.output_height) != scaled.height() ||
      info.output_components != 3) {
    stopWith(reinterpret_cast<j_common_ptr>(&info), JpegOutcome::HandOn);
  }
  jpeg_start_decompress(&info);
  const auto [cropLeft, cropEnd] =
      withUpsamplingContext(columns.first, columns.second, int(info.output_width));
  JDIMENSION left = JDIMENSION(cropLeft), width = JDIMENSION(cropEnd - cropLeft);
  if (width < info.output_width) jpeg_crop_scanline(&info, &left, &width);
  for (int row = skipToBand(info, firstRow); row < scaled.height(); ++row) {
    bool stop = false;
    {
      std::unique_lock<std::mutex> hold(ring.lock);
      ring.decoded = row;
      if (row >= ring.released + ring.slots) {
        // The ring is full: wait until the scaler has freed a quarter of it.
        if (ring.wakeScaler(true)) ring.rowsIn.notify_one();
        ring.roomNeeded = row - ring.slots + 1;
        ring.roomWanted = ring.roomNeeded + std::max(1, ring.slots / 4);
        ring.decoderWaits = true;
        ring.roomFree.wait(hold, [&] { return !ring.decoderWaits || ring.abandoned; });
      } else if (ring.wakeScaler(false)) {
        ring.rowsIn.notify_one();
      }
      stop = ring.abandoned;
    }
    if (stop) stopWith(reinterpret_cast<j_common_ptr>(&info), JpegOutcome::Unreadable);
    JSAMPROW target = ring.row(row) + std::size_t(left) * 3;
    jpeg_read_scanlines(&info, &target, 1);
  }
  // The rows are all in; what follows them (markers, padding) is no concern.
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return JpegOutcome::Decoded;
}

}  // namespace

JpegOutcome decodeJpegRegion(const QByteArray& path, const QRect& region, std::uint8_t* bits,
                             int rowBytes) {
  FileSource source;
  jpeg_decompress_struct info{};
  ErrorTrap trap{};
  ScanGuard guard{};
  guard.manager.progress_monitor = checkScans;
  std::FILE* file = std::fopen(path.constData(), "rb");
  if (!file) return JpegOutcome::Unreadable;
  if (setjmp(trap.jump) != 0) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return trap.outcome;
  }
  begin(info, trap, source, file);
  info.progress = &guard.manager;
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK ||
      !QRect(0, 0, int(info.image_width), int(info.image_height)).contains(region)) {
    stopWith(reinterpret_cast<j_common_ptr>(&info), JpegOutcome::HandOn);
  }
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  const auto [cropLeft, cropEnd] =
      withUpsamplingContext(region.x(), region.x() + region.width(), int(info.output_width));
  JDIMENSION left = JDIMENSION(cropLeft), width = JDIMENSION(cropEnd - cropLeft);
  if (width < info.output_width) jpeg_crop_scanline(&info, &left, &width);
  // One row from libjpeg's own pool, freed with the decompressor.
  JSAMPARRAY row =
      (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, width * 3, 1);
  for (int y = skipToBand(info, region.y()); y < region.y(); ++y)
    jpeg_read_scanlines(&info, row, 1);
  const std::size_t from = std::size_t(region.x() - int(left)) * 3;
  for (int y = 0; y < region.height(); ++y) {
    jpeg_read_scanlines(&info, row, 1);
    std::memcpy(bits + std::ptrdiff_t(region.height() - 1 - y) * rowBytes, row[0] + from,
                std::size_t(region.width()) * 3);
  }
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return JpegOutcome::Decoded;
}

namespace {

// Makes every output row of the window as soon as the rows under it are in; false when the
// decoder fails first.
bool scaleRows(CubicScaler& scaler, RowRing& ring, const QRect& window, std::uint8_t* pixels) {
  const QSize size = scaler.outputSize();
  const bool wholeRows = window.width() == size.width();
  std::vector<std::uint8_t> row(wholeRows ? 0 : std::size_t(size.width()) * 3);
  const std::size_t outBytes = std::size_t(window.width()) * 3;
  for (int y = window.top(); y <= window.bottom(); ++y) {
    // A load nobody wants any more stops here; the decoder is stopped by the caller.
    if (loadAbandoned()) return false;
    const int needed = scaler.lastInputRow(y) + 1;
    {
      std::unique_lock<std::mutex> hold(ring.lock);
      ring.released = scaler.firstInputRow(y);
      if (ring.decoded < needed && !ring.finished) {
        if (ring.wakeDecoder(true)) ring.roomFree.notify_one();
        ring.rowsNeeded = needed;
        ring.rowsWanted = std::min(ring.rows, needed + kRowsAhead / 2);
        ring.scalerWaits = true;
        ring.rowsIn.wait(hold, [&] { return !ring.scalerWaits; });
      } else if (ring.wakeDecoder(false)) {
        ring.roomFree.notify_one();
      }
      if (ring.decoded < needed || ring.failed) return false;
    }
    std::uint8_t* out = pixels + std::size_t(y - window.top()) * outBytes;
    scaler.makeRow(
        y, [&](int i) { return static_cast<const std::uint8_t*>(ring.row(i)); },
        wholeRows ? out : row.data());
    if (!wholeRows) std::memcpy(out, row.data() + std::size_t(window.left()) * 3, outBytes);
  }
  return true;
}

// Reads a file byte by byte through a buffer; -1 at its end or on an error.
class ByteReader {
 public:
  explicit ByteReader(std::FILE* file) : mFile(file), mBuffer(std::size_t(256) << 10) {}
  // The next two bytes as a big-endian number; -1 at the end.
  int next16() {
    const int high = next();
    const int low = next();
    return high < 0 || low < 0 ? -1 : high << 8 | low;
  }
  int next() {
    if (mAt == mGot) {
      mGot = std::fread(mBuffer.data(), 1, mBuffer.size(), mFile);
      mAt = 0;
      if (mGot == 0) return -1;
    }
    return mBuffer[mAt++];
  }
  bool skip(long count) {
    for (; count > 0; --count) {
      if (next() < 0) return false;
    }
    return true;
  }

 private:
  std::FILE* mFile;
  std::vector<unsigned char> mBuffer;
  std::size_t mAt = 0, mGot = 0;
};

}  // namespace

std::optional<JpegLayout> readJpegLayout(const QByteArray& path) {
  FileSource source(std::size_t(16) << 10);
  jpeg_decompress_struct info{};
  ErrorTrap trap{};
  std::FILE* file = std::fopen(path.constData(), "rb");
  if (!file) return std::nullopt;
  if (setjmp(trap.jump) != 0) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return std::nullopt;
  }
  begin(info, trap, source, file);
  jpeg_read_header(&info, TRUE);
  JpegLayout layout;
  layout.size = QSize(int(info.image_width), int(info.image_height));
  layout.cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  layout.wholeCoefficients = jpeg_has_multiple_scans(&info);
  // As libjpeg sizes its buffer: each component's blocks, rounded up to whole
  // groups of its sampling factors, 64 coefficients of 2 bytes a block.
  for (int c = 0; c < info.num_components; ++c) {
    const jpeg_component_info& component = info.comp_info[c];
    const auto roundUp = [](std::int64_t n, std::int64_t step) {
      return (n + step - 1) / step * step;
    };
    layout.coefficientBytes += roundUp(component.width_in_blocks, component.h_samp_factor) *
                               roundUp(component.height_in_blocks, component.v_samp_factor) *
                               std::int64_t(sizeof(JBLOCK));
  }
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return layout;
}

bool jpegScansWithinLimits(const QByteArray& path) {
  std::FILE* file = std::fopen(path.constData(), "rb");
  if (!file) return false;
  ByteReader in(file);
  struct Component {
    int id, h, v;
  };
  std::vector<Component> components;
  int width = 0, height = 0, maxH = 1, maxV = 1;
  int scans = 0;
  std::int64_t blocks = 0;
  // The blocks of component c, as libjpeg lays them out.
  const auto blocksOf = [&](const Component& c) {
    const std::int64_t w = (std::int64_t(width) * c.h + maxH - 1) / maxH;
    const std::int64_t h = (std::int64_t(height) * c.v + maxV - 1) / maxV;
    return ((w + 7) / 8) * ((h + 7) / 8);
  };
  bool withinLimits = true;
  for (int byte = in.next(); byte >= 0 && withinLimits; byte = in.next()) {
    // Entropy-coded data holds 0xFF only before 0x00 or a restart marker;
    // any other byte after 0xFF (and its fill bytes) is the next marker.
    if (byte != 0xFF) continue;
    int code = in.next();
    while (code == 0xFF) code = in.next();
    if (code < 0 || code == JPEG_EOI) break;
    if (code == 0x00 || code == 0x01 || code == 0xD8 || (code >= 0xD0 && code <= 0xD7)) continue;
    const int length = in.next16();
    if (length < 0) break;
    long left = length - 2;
    const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
    if (frame && left >= 6) {
      in.next();  // sample precision
      height = std::max(0, in.next16());
      width = std::max(0, in.next16());
      const int count = in.next();
      left -= 6;
      components.clear();
      for (int c = 0; c < count && left >= 3; ++c, left -= 3) {
        const int id = in.next(), factors = in.next();
        in.next();  // quantisation table
        components.push_back({id, std::max(1, factors >> 4), std::max(1, factors & 15)});
        maxH = std::max(maxH, components.back().h);
        maxV = std::max(maxV, components.back().v);
      }
    } else if (code == 0xDA && left >= 1) {
      const int count = in.next();
      left -= 1;
      for (int c = 0; c < count && left >= 2; ++c, left -= 2) {
        const int id = in.next();
        in.next();  // entropy tables
        for (const Component& component : components) {
          if (component.id == id) blocks += blocksOf(component);
        }
      }
      withinLimits = ++scans <= kMaxJpegScans && blocks <= kMaxJpegScanBlocks;
    }
    if (!in.skip(left)) break;
  }
  const bool readable = !std::ferror(file);
  std::fclose(file);
  return readable && withinLimits;
}

JpegOutcome decodeJpegScaled(const QByteArray& path, int shrink, QSize scaled, QSize size,
                             std::vector<std::uint8_t>& out, const QRect& wanted) {
  if (scaled.isEmpty() || size.isEmpty()) return JpegOutcome::HandOn;
  const QRect window = wanted.isEmpty() ? QRect(QPoint(0, 0), size) : wanted;
  if (!QRect(QPoint(0, 0), size).contains(window)) return JpegOutcome::HandOn;
  try {
    CubicScaler scaler(scaled, size);
    RowRing ring(scaled.height(), scaled.width() * 3,
                 std::min(scaled.height(), scaler.maxInputRows() + kRowsAhead));
    std::vector<std::uint8_t> pixels(std::size_t(window.width()) * std::size_t(window.height()) *
                                     3);
    // Rows above the window are skipped, and a window narrower than the picture decodes only
    // the columns under it.
    const int firstRow = scaler.firstInputRow(window.top());
    ring.released = ring.decoded = firstRow;
    const std::pair<int, int> columns(scaler.firstInputColumn(window.left()),
                                      scaler.lastInputColumn(window.right()) + 1);
    JpegOutcome outcome = JpegOutcome::HandOn;
    std::thread decoder([&] {
      JpegOutcome decoded = JpegOutcome::HandOn;
      try {
        decoded = decodeRows(path.constData(), shrink, scaled, ring, firstRow, columns);
      } catch (const std::bad_alloc&) {
        decoded = JpegOutcome::OverBudget;
      } catch (const std::exception&) {
      }
      {
        std::lock_guard<std::mutex> hold(ring.lock);
        if (decoded == JpegOutcome::Decoded) ring.decoded = scaled.height();
        outcome = decoded;
        ring.failed = decoded != JpegOutcome::Decoded;
        ring.finished = true;
        ring.scalerWaits = false;
      }
      ring.rowsIn.notify_one();
    });
    const bool ok = scaleRows(scaler, ring, window, pixels.data());
    {
      std::lock_guard<std::mutex> hold(ring.lock);
      ring.abandoned = true;
    }
    ring.roomFree.notify_one();
    decoder.join();
    // The scaler stops short only when the decoder has failed; a decoder still
    // busy when the scaler has every row it needs is stopped, and the picture is whole.
    if (!ok)
      return loadAbandoned() || outcome == JpegOutcome::Decoded ? JpegOutcome::Unreadable : outcome;
    out = std::move(pixels);
    return JpegOutcome::Decoded;
  } catch (const std::bad_alloc&) {
    return JpegOutcome::OverBudget;
  } catch (const std::exception&) {
    // No thread to be had: the general reader has its turn.
    return JpegOutcome::HandOn;
  }
}

}  // namespace trimora::imaging
