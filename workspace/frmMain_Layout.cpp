// The window's geometry on every resize, centring a small picture, and the
// panel's links.
#include <QUrl>

#include "DataFiles.h"
#include "GradientBar.h"
#include "Links.h"
#include "TextRules.h"
#include "WindowLayout.h"
#include "frmMain.h"

namespace trimora {

namespace {

// An address of the help page (with its #section), or a web address as it is.
QUrl linkTarget(const QString& address) {
  if (address.startsWith(QLatin1String("http://")) || address.startsWith(QLatin1String("https://")))
    return QUrl(address);
  const qsizetype hash = address.indexOf(QLatin1Char('#'));
  const QString file = FindDataFile(hash < 0 ? address : address.left(hash));
  if (file.isEmpty()) return {};
  QUrl url = QUrl::fromLocalFile(file);
  if (hash >= 0) url.setFragment(address.mid(hash + 1));
  return url;
}

}  // namespace

void frmMain::Form_Resize() {
  LayoutInput in;
  in.formWidth = FormWidth();
  in.formHeight = FormHeight();
  in.thickFrame = ThickFrame;
  in.label18Height = Label18->Height();
  in.check2Height = Check2->Height();
  in.check1Height = Check1->Height();
  in.image4Height = Image1[4]->Height();
  in.file1Top = File1->Top();
  in.hScroll1Height = HScroll1->Height();
  in.vScroll1Width = VScroll1->Width();
  const WindowLayout l = ComputeWindowLayout(in);

  // The minimum size is kept by the window itself; this catches a size that
  // was forced on it all the same (not possible while maximised).
  if (!isMaximized() && !isMinimized() &&
      (in.formWidth < l.formWidth || in.formHeight < l.formHeight))
    setFormSize(l.formWidth, l.formHeight);

  Picture2->Move(l.picture2.x(), l.picture2.y(), l.picture2.width(), l.picture2.height());
  Picfrm->setLeft(l.picfrmLeft);
  Picfrm->setHeight(l.picfrmHeight);
  Picfrm->setTop(l.picfrmTop);

  for (Label* link : {Label18, Label19, Label20}) link->setTop(l.linksTop);
  Label2->setTop(l.label2Top);
  Check2->setTop(l.check2Top);
  Check1->setTop(l.check1Top);
  AutoPan->setTop(l.check1Top);
  Image1[4]->setTop(l.image4Top);
  Label12->setTop(l.zoomTop);
  HScroll2->setTop(l.zoomTop);
  File1->setHeight(l.file1Height);

  VScroll1->Move(l.vScroll1.x(), l.vScroll1.y(), l.vScroll1.width(), l.vScroll1.height());
  HScroll1->Move(l.hScroll1.x(), l.hScroll1.y(), l.hScroll1.width(), l.hScroll1.height());
  HScroll1->raise();
  VScroll1->raise();

  UpdateScrollBars();
  CentrePicture();
}

// A picture that fits the visible part of the viewport is centred in it; one
// that does not is scrolled (UpdateScrollBars).
void frmMain::CentrePicture() {
  if (VisibleWidth() >= Picture1->Width())
    Picture1->setLeft(nearestInt((VisibleWidth() - Picture1->Width()) / 2.0));
  if (VisibleHeight() >= Picture1->Height())
    Picture1->setTop(nearestInt((VisibleHeight() - Picture1->Height()) / 2.0));
}

void frmMain::OpenLink(const QString& address) {
  const QUrl url = linkTarget(address);
  if (url.isValid() && services_.Shell->Open(url)) return;
  const QString help = FindDataFile(kHelpPage);
  const QString where = url.isValid() && !url.isLocalFile() ? url.toString() : help;
  services_.Messages->Show(
      this,
      (where.isEmpty() ? QStringLiteral("The help page is not installed.")
                       : QStringLiteral("No program was found to open this page. "
                                        "Open it in a web browser:\r\n\r\n") +
                             where),
      MsgButtons::OK, MsgIcon::Information);
}

void frmMain::ShowHelp() {
  OpenLink(kHelpPage);
}

void frmMain::Label18_Click() {
  OpenLink(kDonateAddress);
}

void frmMain::Label19_Click() {
  OpenLink(kHomepageAddress);
}

void frmMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void frmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Form_Resize();
}

}  // namespace trimora
