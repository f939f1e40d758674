// Choosing the input and output folders.
#include <QFileInfo>

#include "basCommonDialogs.h"
#include "frmMain.h"

namespace trimora {

void frmMain::Label5_Click() {
  const QString chosen = BrowseForFolder(
      *services_.Folders, this, QStringLiteral("Locate Output Folder"), OutputFolder->Text());
  if (chosen.isEmpty()) return;  // cancelled: the folder stays as it was
  if (!QFileInfo(chosen).isDir()) {
    services_.Messages->Show(this, QStringLiteral("Invalid output folder!"), MsgButtons::OK,
                             MsgIcon::Stop);
    return;
  }
  OutputFolder->setText(chosen.endsWith(QLatin1Char('/')) ? chosen : chosen + QLatin1Char('/'));
}

void frmMain::Label7_Click() {
  const QString chosen = BrowseForFolder(
      *services_.Folders, this, QStringLiteral("Locate Input Folder"), InputFolder->Text());
  if (chosen.isEmpty()) return;  // cancelled: the folder stays as it was
  InputFolder->setText(chosen);
  if (!File1->setPath(chosen) || !File1->Refresh()) {
    services_.Messages->Show(
        this, QStringLiteral("Please select a folder which contains some image files!"),
        MsgButtons::OK, MsgIcon::Stop);
    return;
  }
  LastFilePos->setText(QString());
  CurrentFile.clear();
  if (File1->ListCount() >= 1)
    File1->setListIndex(0);
  else
    ShowPicture(QString(), false);
}

void frmMain::OutputFolder_Change() {
  OutputFolder->setToolTip(OutputFolder->Text());
  // The mark answers for the folder now chosen.
  UpdateCroppedMark();
}

}  // namespace trimora
