// Crop and save: the framed rectangle of the shown canvas, copied pixel for
// pixel, written as a JPEG under a name that is still free.
#include <QFileInfo>

#include "TextRules.h"
#include "basSafeSaves.h"
#include "basSaveAsJpg.h"
#include "cDIBSection.h"
#include "frmMain.h"

namespace trimora {

namespace {
// Names taken by others between choosing a name and creating the file are
// skipped; this many in a row means something else is wrong.
constexpr int kMaxNameAttempts = 1000;
}  // namespace

void frmMain::Capture() {
  auto& messages = *services_.Messages;
  if (!Picture1->HasPicture()) return;

  if (Val(PWidth->Text()) < 20 || Val(PHeight->Text()) < 20) {
    messages.Show(this, QStringLiteral("Please enter Size from 20 plus only!"));
    return;
  }
  if (Val(Quality->Text()) < 1 || Val(Quality->Text()) > 100) {
    messages.Show(this, QStringLiteral("Please enter quality from 1-100 only!"));
    return;
  }
  if (OutputFolder->Text().size() < 2) {
    messages.Show(this, QStringLiteral("Please specify output folder!"), MsgButtons::OK,
                  MsgIcon::Stop);
    return;
  }
  if (Shape3->Top() < 0 || Shape3->Left() < 0 ||
      Shape3->Left() + Shape3->Width() > Picture1->Width() ||
      Shape3->Top() + Shape3->Height() > Picture1->Height()) {
    messages.Show(
        this,
        HScroll2->Value() == HScroll2->Max()
            ? QStringLiteral("The loaded picture is smaller than the selected device screen size. "
                             "Please load some larger picture or decrease the crop size!")
            : QStringLiteral("The loaded picture is too small than the selected device screen "
                             "size. Please decrease the zoom out size and then watch the screen "
                             "for a rectangle box. If the rectangle box does not appears, it "
                             "means the picture is still small for your selected device."),
        MsgButtons::OK, MsgIcon::Information);
    return;
  }

  QString description;
  auto errorExit = [&] {
    messages.Show(this, QStringLiteral("Error saving picture!\r\n\r\n") + description);
  };

  // The cut: the frame's rectangle of the canvas, one to one.
  const QRect frame(TwipsToPixels(Shape3->Left()), TwipsToPixels(Shape3->Top()),
                    TwipsToPixels(Shape3->Width()), TwipsToPixels(Shape3->Height()));
  const QImage& canvas = Picture1->Picture();
  if (!canvas.rect().contains(frame)) {
    description = QStringLiteral("The crop frame lies outside the picture.");
    return errorExit();
  }
  // The bitmap is filled straight from the canvas, one pixel for one; the
  // scratch surface keeps its own copy of the cut.
  cDIBSection dib;
  if (!dib.Create(frame.width(), frame.height()) ||
      !dib.LoadPictureBlt(canvas, frame.left(), frame.top(), frame.width(), frame.height())) {
    description = QStringLiteral("Not enough memory for the cut.");
    return errorExit();
  }
  Picture5 = canvas.copy(frame);

  if (!OutputFolder->Text().endsWith(QLatin1Char('/')))
    OutputFolder->setText(OutputFolder->Text() + QLatin1Char('/'));
  MakeFolder(OutputFolder->Text());

  if (File1->FileName().isEmpty()) {
    description =
        QStringLiteral("No picture is selected in the list, so there is no name to save it under.");
    return errorExit();
  }

  // The file is created only while its name is free: a name that another
  // program took since it was chosen makes way for the next one.
  const int quality = nearestInt(Val(Quality->Text()));
  const QString wanted = OutputNameFor(File1->FileName());
  QString path;
  ErrInfo err;
  bool written = false;
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    path = UniqueFileName(wanted);
    err.Clear();
    written = WriteJpegFile(dib, path, quality, err, SaveMode::CreateNew);
    if (written || err.Number != kErrFileAlreadyExists) break;
  }

  if (written && QFileInfo::exists(path)) {
    SetSavedLabel(QStringLiteral("Cropped"), 1);
    Status(QStringLiteral("Cropped to ") + path, true);
    return;
  }
  description = err.Description;
  errorExit();
}

}  // namespace trimora
