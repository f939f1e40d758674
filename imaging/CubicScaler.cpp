#include "CubicScaler.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trimora::imaging {

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;
constexpr int kHalf = kOne / 2;

double catmullRom(double x) {
  x = std::abs(x);
  if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
  if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
  return 0;
}

std::uint8_t clamped(std::int32_t sum) {
  return std::uint8_t(std::clamp(sum >> kWeightBits, 0, 255));
}

// The vertical pass: out[i] = sum over t of weights[t] * rows[t][i], for
// `bytes` bytes. Sixteen bytes at a time where the processor has SSE2 (every
// x86-64 has), two rows to a multiply-add, with the sums kept in registers;
// the same integer arithmetic as the plain loop, so the results are equal.
void blendRows(const std::uint8_t* const* rows, const std::int16_t* weights, int count, int bytes,
               std::uint8_t* out) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const auto pairOf = [](std::int16_t a, std::int16_t b) {
    return _mm_set1_epi32(std::int32_t(std::uint16_t(a)) |
                          std::int32_t(std::uint32_t(std::uint16_t(b)) << 16));
  };
  for (; x + 16 <= bytes; x += 16) {
    __m128i s0 = _mm_set1_epi32(kHalf), s1 = s0, s2 = s0, s3 = s0;
    for (int t = 0; t < count; t += 2) {
      const bool pair = t + 1 < count;
      const __m128i w = pairOf(weights[t], pair ? weights[t + 1] : std::int16_t(0));
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t] + x));
      const __m128i b =
          pair ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[t + 1] + x)) : zero;
      const __m128i aLow = _mm_unpacklo_epi8(a, zero), aHigh = _mm_unpackhi_epi8(a, zero);
      const __m128i bLow = _mm_unpacklo_epi8(b, zero), bHigh = _mm_unpackhi_epi8(b, zero);
      s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi16(aLow, bLow), w));
      s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi16(aLow, bLow), w));
      s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi16(aHigh, bHigh), w));
      s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi16(aHigh, bHigh), w));
    }
    const __m128i low =
        _mm_packs_epi32(_mm_srai_epi32(s0, kWeightBits), _mm_srai_epi32(s1, kWeightBits));
    const __m128i high =
        _mm_packs_epi32(_mm_srai_epi32(s2, kWeightBits), _mm_srai_epi32(s3, kWeightBits));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
  }
#endif
  for (; x < bytes; ++x) {
    std::int32_t sum = kHalf;
    for (int t = 0; t < count; ++t) sum += std::int32_t(weights[t]) * rows[t][x];
    out[x] = clamped(sum);
  }
}

}  // namespace

CubicScaler::Axis CubicScaler::makeAxis(int in, int out) {
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
      raw.push_back(catmullRom((j - centre) / widen));
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
    : mIn(in),
      mOut(out),
      mRows(makeAxis(in.height(), out.height())),
      mColumns(makeAxis(in.width(), out.width())),
      mBlended(std::size_t(in.width()) * 3) {
  // makeRow then never allocates, so it cannot fail halfway.
  mTaps.reserve(std::size_t(mRows.maxSpan));
}

void CubicScaler::makeRowFrom(const std::uint8_t* const* rows, const std::int16_t* weights,
                              int count, std::uint8_t* out) {
  blendRows(rows, weights, count, mIn.width() * 3, mBlended.data());
  // Horizontal, over the one output row.
  const std::int16_t* weight = mColumns.weight.data();
  for (int x = 0; x < mOut.width(); ++x) {
    const int begin = mColumns.tapBegin[std::size_t(x)];
    const int taps = mColumns.tapBegin[std::size_t(x) + 1] - begin;
    const std::uint8_t* p = mBlended.data() + std::size_t(mColumns.first[std::size_t(x)]) * 3;
    std::int32_t r = kHalf, g = kHalf, b = kHalf;
    for (int k = 0; k < taps; ++k, p += 3) {
      const std::int32_t w = weight[begin + k];
      r += w * p[0];
      g += w * p[1];
      b += w * p[2];
    }
    out[3 * x] = clamped(r);
    out[3 * x + 1] = clamped(g);
    out[3 * x + 2] = clamped(b);
  }
}

}  // namespace trimora::imaging
