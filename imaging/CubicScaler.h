#pragma once

#include <QSize>
#include <cstdint>
#include <vector>

// Scales a packed RGB picture (3 bytes a pixel) with a Catmull-Rom cubic,
// widened by the reduction factor when reducing so that every source pixel
// counts and nothing aliases. The input arrives row by row, top to bottom, and
// each output row is made as soon as the input rows under it are in, so a
// decoder can feed the scaler while it works. The vertical pass comes first:
// there one weight applies across a whole row, which the compiler vectorises,
// and the horizontal pass then runs over the few output rows only.
namespace trimora::imaging {

class CubicScaler {
 public:
  CubicScaler(QSize in, QSize out);

  QSize InputSize() const { return in_; }
  QSize OutputSize() const { return out_; }
  // The input rows output row y is made from: FirstInputRow(y) to
  // LastInputRow(y), both within the picture. Neither falls as y grows.
  int FirstInputRow(int y) const { return rows_.first[y]; }
  int LastInputRow(int y) const { return rows_.last[y]; }
  // The most input rows any one output row is made from.
  int MaxInputRows() const { return rows_.maxSpan; }

  // Makes output row y (OutputSize().width() pixels) into `out`; inputRow(i)
  // gives input row i for every i from FirstInputRow(y) to LastInputRow(y).
  template <typename RowOf>
  void MakeRow(int y, RowOf&& inputRow, std::uint8_t* out) {
    const int begin = rows_.tapBegin[y], end = rows_.tapBegin[y + 1];
    taps_.clear();
    for (int t = begin; t < end; ++t) taps_.push_back(inputRow(rows_.index[t]));
    MakeRowFrom(taps_.data(), rows_.weight.data() + begin, end - begin, out);
  }

 private:
  // The weights of one axis: output i takes the source pixels
  // index[tapBegin[i]] ... index[tapBegin[i + 1] - 1] (clamped to the picture)
  // with the matching weights, in 14-bit fixed point summing to exactly 1.
  struct Axis {
    std::vector<int> tapBegin, index, first, last;
    std::vector<std::int16_t> weight;
    int maxSpan = 0;
  };
  static Axis MakeAxis(int in, int out);
  void MakeRowFrom(const std::uint8_t* const* rows, const std::int16_t* weights, int count,
                   std::uint8_t* out);

  QSize in_, out_;
  Axis rows_, columns_;
  std::vector<const std::uint8_t*> taps_;
  std::vector<std::uint8_t> blended_;  // one row after the vertical pass
};

}  // namespace trimora::imaging
