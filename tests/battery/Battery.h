#pragma once

#include <QByteArray>
#include <QDir>
#include <QImageReader>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTest>

#include "WorkspaceFixture.h"

// Shared pieces of the fault and bad-input battery: a window on a folder of
// pictures, a fingerprint of every file under a folder, and the checks that
// hold after every fault.
#include "TestPictures.h"

namespace trimora::testing {

// Path -> what the entry is: a file's SHA-256, a link's target, or "dir".
// Links are never followed, so a link loop is listed, not walked.
using Fingerprint = QMap<QString, QByteArray>;
Fingerprint FingerprintOf(const QString& folder);

// Every entry of `before` is still there and unchanged in `after`.
void ExpectNothingChanged(const Fingerprint& before, const Fingerprint& after);

class Battery : public WorkspaceFixture {
 protected:
  // Starts the window on the input folder with a crop frame of w x h,
  // without the wizard, and records every status line it shows.
  void StartOn(int w, int h, const QString& outputFolder = {});
  // Rests the pointer on the middle of the shown picture and crops with Space.
  void CropInTheMiddle();
  // The file names in a folder, sorted.
  static QStringList FilesIn(const QString& folder);
  // Every file in the folder is a JPEG of exactly w x h.
  static void ExpectAllJpegsOfSize(const QString& folder, int w, int h);
  // Messages shown since the last call, then forgotten.
  QStringList TakeMessages();
};

}  // namespace trimora::testing
