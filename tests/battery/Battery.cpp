#include "Battery.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace trimora::testing {

Fingerprint FingerprintOf(const QString& folder) {
  Fingerprint print;
  QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);  // links are not followed
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info(path);
    QByteArray what;
    if (info.isSymLink()) {
      what = "link:" + info.symLinkTarget().toUtf8();
    } else if (info.isDir()) {
      what = "dir";
    } else {
      QFile file(path);
      what = file.open(QIODevice::ReadOnly)
                 ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()
                 : QByteArray("unreadable");
    }
    print.insert(QDir(folder).relativeFilePath(path), what);
  }
  return print;
}

void ExpectNothingChanged(const Fingerprint& before, const Fingerprint& after) {
  for (auto it = before.begin(); it != before.end(); ++it) {
    ASSERT_TRUE(after.contains(it.key())) << qPrintable(it.key()) << " is gone";
    EXPECT_EQ(after.value(it.key()), it.value()) << qPrintable(it.key()) << " changed";
  }
}

void Battery::StartOn(int w, int h, const QString& outputFolder) {
  store("Wizard", "0");
  store("InputFolder", in());
  store("OutputFolder", outputFolder.isEmpty() ? out() : outputFolder);
  store("PWidth", QString::number(w));
  store("PHeight", QString::number(h));
  store("Quality", "90");
  start();
  window->show();
}

void Battery::CropInTheMiddle() {
  const int x = view().picture().width() / 2, y = view().picture().height() / 2;
  pointAt(x, y);
  key(Qt::Key_Space);
}

QStringList Battery::FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

void Battery::ExpectAllJpegsOfSize(const QString& folder, int w, int h) {
  for (const QString& name : FilesIn(folder)) {
    QImageReader reader(folder + QLatin1Char('/') + name);
    EXPECT_EQ(reader.format(), "jpeg") << qPrintable(name);
    EXPECT_EQ(reader.size(), QSize(w, h)) << qPrintable(name);
  }
}

QStringList Battery::TakeMessages() {
  const QStringList texts = fakes.messages.texts();
  fakes.messages.shown.clear();
  return texts;
}

}  // namespace trimora::testing
