#include "JpegStream.h"

#include "CubicScaler.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <cstdio>
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

  std::uint8_t* Row(int i) { return pixels.data() + std::size_t(i % slots) * bytes; }

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
  bool WakeScaler(bool evenForTheLeast) {
    if (!scalerWaits || decoded < (evenForTheLeast ? rowsNeeded : rowsWanted)) return false;
    scalerWaits = false;
    return true;
  }
  bool WakeDecoder(bool evenForTheLeast) {
    if (!decoderWaits || released < (evenForTheLeast ? roomNeeded : roomWanted)) return false;
    decoderWaits = false;
    return true;
  }
};

// libjpeg reports errors by calling error_exit, which must not return; this
// one jumps back to the decoder's setjmp. Warnings (corrupt data the decoder
// worked around) jump back too: such a file goes to the general reader.
struct ErrorTrap {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is one to the trap
  std::jmp_buf jump;
};

static_assert(std::is_standard_layout_v<ErrorTrap>);

[[noreturn]] void Bail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void OnMessage(j_common_ptr info, int level) {
  if (level < 0) Bail(info);
}

// Reads the file in large pieces. libjpeg's own file reader hands over 4 kB at
// a time, and its fast Huffman decoder steps aside for the last half kB of
// every piece, which made decoding about 6 % slower than from memory.
struct FileSource {
  FileSource() {
    manager.init_source = [](j_decompress_ptr) {};
    manager.fill_input_buffer = Fill;
    manager.skip_input_data = Skip;
    manager.resync_to_restart = jpeg_resync_to_restart;
    manager.term_source = [](j_decompress_ptr) {};
  }

  static boolean Fill(j_decompress_ptr info) {
    auto* self = reinterpret_cast<FileSource*>(info->src);
    const std::size_t got = std::fread(self->buffer.data(), 1, self->buffer.size(), self->file);
    if (got == 0) {
      // Cut short: a warning, which refuses the file here (see OnMessage); the
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

  static void Skip(j_decompress_ptr info, long count) {
    auto* self = reinterpret_cast<FileSource*>(info->src);
    while (count > long(self->manager.bytes_in_buffer)) {
      count -= long(self->manager.bytes_in_buffer);
      Fill(info);
    }
    if (count > 0) {
      self->manager.next_input_byte += count;
      self->manager.bytes_in_buffer -= std::size_t(count);
    }
  }

  jpeg_source_mgr manager{};  // first, so libjpeg's pointer to it is one to the source
  std::FILE* file = nullptr;
  std::vector<JOCTET> buffer = std::vector<JOCTET>(std::size_t(256) << 10);
};
static_assert(std::is_standard_layout_v<FileSource>);

// Decodes every row into the ring, waiting whenever it is full. After setjmp,
// no object with a destructor is alive at a libjpeg call or a Bail, because
// the jump back would skip its destructor.
bool DecodeRows(const char* path, int shrink, QSize scaled, RowRing& ring) {
  FileSource source;
  jpeg_decompress_struct info{};
  ErrorTrap trap{};
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = Bail;
  trap.manager.emit_message = OnMessage;
  // volatile: read after the jump back, so it must not live in a register.
  volatile bool created = false;
  if (setjmp(trap.jump) != 0) {
    if (created) jpeg_destroy_decompress(&info);
    std::fclose(file);
    return false;
  }
  jpeg_create_decompress(&info);
  created = true;
  source.file = file;
  info.src = &source.manager;
  jpeg_read_header(&info, TRUE);
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
    Bail(reinterpret_cast<j_common_ptr>(&info));
  }
  info.out_color_space = JCS_RGB;
  info.scale_num = 1;
  info.scale_denom = unsigned(shrink);
  jpeg_calc_output_dimensions(&info);
  if (int(info.output_width) != scaled.width() || int(info.output_height) != scaled.height() ||
      info.output_components != 3) {
    Bail(reinterpret_cast<j_common_ptr>(&info));
  }
  jpeg_start_decompress(&info);
  for (int row = 0; row < scaled.height(); ++row) {
    bool stop = false;
    {
      std::unique_lock<std::mutex> hold(ring.lock);
      ring.decoded = row;
      if (row >= ring.released + ring.slots) {
        // The ring is full: wait until the scaler has freed a quarter of it.
        if (ring.WakeScaler(true)) ring.rowsIn.notify_one();
        ring.roomNeeded = row - ring.slots + 1;
        ring.roomWanted = ring.roomNeeded + std::max(1, ring.slots / 4);
        ring.decoderWaits = true;
        ring.roomFree.wait(hold, [&] { return !ring.decoderWaits || ring.abandoned; });
      } else if (ring.WakeScaler(false)) {
        ring.rowsIn.notify_one();
      }
      stop = ring.abandoned;
    }
    if (stop) Bail(reinterpret_cast<j_common_ptr>(&info));
    JSAMPROW target = ring.Row(row);
    jpeg_read_scanlines(&info, &target, 1);
  }
  // The rows are all in; what follows them (markers, padding) is no concern.
  jpeg_abort_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return true;
}

// Makes every output row as soon as the rows under it are in; false when the
// decoder fails first.
bool ScaleRows(CubicScaler& scaler, RowRing& ring, std::uint8_t* pixels) {
  const QSize size = scaler.OutputSize();
  const std::size_t outBytes = std::size_t(size.width()) * 3;
  for (int y = 0; y < size.height(); ++y) {
    const int needed = scaler.LastInputRow(y) + 1;
    {
      std::unique_lock<std::mutex> hold(ring.lock);
      ring.released = scaler.FirstInputRow(y);
      if (ring.decoded < needed && !ring.finished) {
        if (ring.WakeDecoder(true)) ring.roomFree.notify_one();
        ring.rowsNeeded = needed;
        ring.rowsWanted = std::min(ring.rows, needed + kRowsAhead / 2);
        ring.scalerWaits = true;
        ring.rowsIn.wait(hold, [&] { return !ring.scalerWaits; });
      } else if (ring.WakeDecoder(false)) {
        ring.roomFree.notify_one();
      }
      if (ring.decoded < needed || ring.failed) return false;
    }
    scaler.MakeRow(
        y, [&](int i) { return static_cast<const std::uint8_t*>(ring.Row(i)); },
        pixels + std::size_t(y) * outBytes);
  }
  return true;
}

}  // namespace

bool DecodeJpegScaled(const QByteArray& path, int shrink, QSize scaled, QSize size,
                      std::vector<std::uint8_t>& out) {
  if (scaled.isEmpty() || size.isEmpty()) return false;
  try {
    CubicScaler scaler(scaled, size);
    RowRing ring(scaled.height(), scaled.width() * 3,
                 std::min(scaled.height(), scaler.MaxInputRows() + kRowsAhead));
    std::vector<std::uint8_t> pixels(std::size_t(size.width()) * std::size_t(size.height()) * 3);
    std::thread decoder([&] {
      bool ok = false;
      try {
        ok = DecodeRows(path.constData(), shrink, scaled, ring);
      } catch (const std::exception&) {
      }
      {
        std::lock_guard<std::mutex> hold(ring.lock);
        if (ok) ring.decoded = scaled.height();
        ring.failed = !ok;
        ring.finished = true;
        ring.scalerWaits = false;
      }
      ring.rowsIn.notify_one();
    });
    const bool ok = ScaleRows(scaler, ring, pixels.data());
    {
      std::lock_guard<std::mutex> hold(ring.lock);
      ring.abandoned = true;
    }
    ring.roomFree.notify_one();
    decoder.join();
    if (!ok || ring.failed) return false;
    out = std::move(pixels);
    return true;
  } catch (const std::exception&) {
    // Out of memory, or no thread to be had: the general reader has its turn.
    return false;
  }
}

}  // namespace trimora::imaging
