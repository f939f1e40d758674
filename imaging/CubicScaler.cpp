#include "CubicScaler.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trimora::imaging {

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;
constexpr int kHalf = kOne / 2;

double CatmullRom(double x) {
  x = std::abs(x);
  if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
  if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
  return 0;
}

std::uint8_t Clamped(std::int32_t sum) {
  return std::uint8_t(std::clamp(sum >> kWeightBits, 0, 255));
}

}  // namespace

CubicScaler::Axis CubicScaler::MakeAxis(int in, int out) {
  Axis axis;
  const double scale = double(in) / out;
  // Reducing by s stretches the kernel s times (an area filter of the same
  // shape); enlarging keeps it as it is and interpolates.
  const double widen = std::max(1.0, scale);
  const double support = 2.0 * widen;
  std::vector<double> raw;
  axis.tapBegin.push_back(0);
  for (int i = 0; i < out; ++i) {
    // Pixel centres line up: output i covers input (i .. i + 1) * scale.
    const double centre = (i + 0.5) * scale - 0.5;
    const int lo = int(std::floor(centre - support)) + 1;
    const int hi = int(std::ceil(centre + support)) - 1;
    raw.clear();
    double total = 0;
    for (int j = lo; j <= hi; ++j) {
      raw.push_back(CatmullRom((j - centre) / widen));
      total += raw.back();
    }
    // Past the edges the picture repeats its edge pixel: those taps fold onto it.
    const int first = std::clamp(lo, 0, in - 1), last = std::clamp(hi, 0, in - 1);
    std::vector<int> folded(std::size_t(last - first + 1), 0);
    int largest = 0;
    int sum = 0;
    for (int j = lo; j <= hi; ++j) {
      const int k = std::clamp(j, 0, in - 1) - first;
      // Rounded per tap, then folded; the sum is mended below.
      const int q = int(std::lround(raw[std::size_t(j - lo)] / total * kOne));
      folded[std::size_t(k)] += q;
      sum += q;
    }
    for (std::size_t k = 0; k < folded.size(); ++k) {
      if (folded[k] > folded[std::size_t(largest)]) largest = int(k);
    }
    folded[std::size_t(largest)] += kOne - sum;
    for (std::size_t k = 0; k < folded.size(); ++k) {
      axis.index.push_back(first + int(k));
      axis.weight.push_back(std::int16_t(folded[k]));
    }
    axis.first.push_back(first);
    axis.last.push_back(last);
    axis.tapBegin.push_back(int(axis.index.size()));
    axis.maxSpan = std::max(axis.maxSpan, last - first + 1);
  }
  return axis;
}

CubicScaler::CubicScaler(QSize in, QSize out)
    : in_(in),
      out_(out),
      rows_(MakeAxis(in.height(), out.height())),
      columns_(MakeAxis(in.width(), out.width())),
      blended_(std::size_t(in.width()) * 3) {}

void CubicScaler::MakeRowFrom(const std::uint8_t* const* rows, const std::int16_t* weights,
                              int count, std::uint8_t* out) {
  // Vertical: one weight per input row, applied across the row in chunks that
  // stay in the first-level cache.
  constexpr int kChunk = 2048;
  std::int32_t sum[kChunk];
  const int bytes = in_.width() * 3;
  for (int x0 = 0; x0 < bytes; x0 += kChunk) {
    const int n = std::min(kChunk, bytes - x0);
    std::fill_n(sum, n, kHalf);
    for (int t = 0; t < count; ++t) {
      const std::uint8_t* src = rows[t] + x0;
      const std::int32_t w = weights[t];
      for (int i = 0; i < n; ++i) sum[i] += w * src[i];
    }
    std::uint8_t* blended = blended_.data() + x0;
    for (int i = 0; i < n; ++i) blended[i] = Clamped(sum[i]);
  }
  // Horizontal, over the one output row.
  const std::int16_t* weight = columns_.weight.data();
  for (int x = 0; x < out_.width(); ++x) {
    const int begin = columns_.tapBegin[std::size_t(x)];
    const int taps = columns_.tapBegin[std::size_t(x) + 1] - begin;
    const std::uint8_t* p = blended_.data() + std::size_t(columns_.first[std::size_t(x)]) * 3;
    std::int32_t r = kHalf, g = kHalf, b = kHalf;
    for (int k = 0; k < taps; ++k, p += 3) {
      const std::int32_t w = weight[begin + k];
      r += w * p[0];
      g += w * p[1];
      b += w * p[2];
    }
    out[3 * x] = Clamped(r);
    out[3 * x + 1] = Clamped(g);
    out[3 * x + 2] = Clamped(b);
  }
}

}  // namespace trimora::imaging
