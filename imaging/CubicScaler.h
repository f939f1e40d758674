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

  QSize inputSize() const { return mIn; }
  QSize outputSize() const { return mOut; }
  // The input rows output row y is made from: firstInputRow(y) to
  // lastInputRow(y), both within the picture. Neither falls as y grows.
  int firstInputRow(int y) const { return mRows.first[y]; }
  int lastInputRow(int y) const { return mRows.last[y]; }
  // The same for the input columns output column x is made from.
  int firstInputColumn(int x) const { return mColumns.first[x]; }
  int lastInputColumn(int x) const { return mColumns.last[x]; }
  // The most input rows any one output row is made from.
  int maxInputRows() const { return mRows.maxSpan; }

  // Makes output row y (outputSize().width() pixels) into `out`; inputRow(i)
  // gives input row i for every i from firstInputRow(y) to lastInputRow(y).
  template <typename RowOf>
  void makeRow(int y, RowOf&& inputRow, std::uint8_t* out) {
    const int begin = mRows.tapBegin[y], end = mRows.tapBegin[y + 1];
    mTaps.clear();
    for (int t = begin; t < end; ++t) mTaps.push_back(inputRow(mRows.index[t]));
    makeRowFrom(mTaps.data(), mRows.weight.data() + begin, end - begin, out);
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
  static Axis makeAxis(int in, int out);
  void makeRowFrom(const std::uint8_t* const* rows, const std::int16_t* weights, int count,
                   std::uint8_t* out);

  QSize mIn, mOut;
  Axis mRows, mColumns;
  std::vector<const std::uint8_t*> mTaps;
  std::vector<std::uint8_t> mBlended;  // one row after the vertical pass
};

}  // namespace trimora::imaging
