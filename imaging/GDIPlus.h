#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

// Picture loading for the whole program: reads a picture file and draws it,
// upright (EXIF orientation applied), into a canvas of a requested size with a
// high-quality cubic filter. Nothing here ever shows a message or throws; a file
// that cannot be read gives no picture, and the loads say why in a short text
// that the caller may show.
namespace trimora {

// Token of the running imaging library; 0 before start-up or when it failed.
extern std::uint32_t GdipToken;

// Starts the imaging library and keeps the token in GdipToken.
void InitGDIPlus();
// Starts the imaging library; returns a non-zero token, or 0 when it cannot start.
std::uint32_t StartupGDIPlus();
// Shuts down what InitGDIPlus started.
void FreeGDIPlus();
// Ends the use that `token` stands for and releases the library's caches and
// worker threads. Token 0 or an unknown token is ignored.
void ShutdownGDIPlus(std::uint32_t token);

// The size of the picture in a file as it is shown (upright), read from the
// file's header only. Width and Height keep their values when the file cannot be read.
void GetPictureFileSize(const QString& fileName, int& Width, int& Height);

// LoadScaledPicture on white with each side capped at 2000 pixels.
QImage LoadDisplayPicture(const QString& fileName, int& Width, int& Height, bool RetainRatio,
                          QString* whyNot = nullptr);

// Draws the picture in fileName into a canvas of Width x Height filled with
// BackColor (0x00BBGGRR). A side given as -1 takes the picture's own size, then
// each side is capped at MaxSize on its own (MaxSize <= 0: no cap). With
// RetainRatio the picture is fitted inside and centred (FitRect), otherwise
// stretched over the whole canvas; transparent parts show BackColor.
// Returns a Format_RGB32 image of exactly the resulting Width x Height, which are
// written back. Returns a null image, and leaves Width and Height unchanged, when
// the file is not a JPEG, PNG, GIF or BMP picture (by its content, whatever its
// name), does not decode, the canvas would be empty or larger than
// kMaxCanvasPixels, or the picture is larger than kMaxPicturePixels or would
// need more than the decode budget (imaging/DecodeBudget.h) to decode. Then
// *whyNot, when given, is CannotReadPictureText() or TooLargePictureText();
// it is emptied when a picture is drawn or the file name is empty.
//
// Memory: besides the canvas, a load holds the picture at its drawn size, the
// rows a streaming reader keeps, and what the decoder must hold whole: the
// coefficients of a progressive JPEG, the frame of a GIF, an interlaced PNG or
// a BMP. Each is worked out from the header before decoding and kept within
// the decode budget (512 MB).
QImage LoadScaledPicture(const QString& fileName, int& Width, int& Height, std::uint32_t BackColor,
                         bool RetainRatio, int MaxSize, QString* whyNot = nullptr);

// The status texts for a picture that is not shown: one that cannot be read
// ("Cannot read picture"), and one too large to decode, with its size in
// whole megapixels ("Picture too large to open (268 MP)").
QString CannotReadPictureText();
QString TooLargePictureText(std::int64_t pixels);

// The canvas that LoadScaledPicture uses for a picture of pictureSize when asked
// for Width x Height: -1 takes the picture's side, then each side is capped at
// MaxSize (when MaxSize > 0). Needs no decoding, so a caller can plan on sizes alone.
QSize CanvasSizeFor(QSize pictureSize, int Width, int Height, int MaxSize);

// Where the picture lands on the canvas. Stretched: the whole canvas. Fitted:
// the largest rectangle of the picture's aspect ratio inside the canvas, centred,
// every figure rounded to the nearest whole number with halves going to the even one.
QRect FitRect(QSize pictureSize, QSize canvas, bool RetainRatio);

// A canvas larger than this many pixels is refused (only reachable with MaxSize <= 0).
inline constexpr std::int64_t kMaxCanvasPixels = std::int64_t(1) << 26;
// A picture larger than this many pixels is refused before any pixel is
// decoded, so a small file that declares a vast picture cannot tie the program up.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;

}  // namespace trimora
