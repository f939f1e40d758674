// Trimora: crops a folder of pictures to the screen size of a device.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "DataFiles.h"
#include "MainWindow.h"
#include "ProgramVersion.h"
#include "QtServices.h"
#include "Settings.h"

namespace {

// On the very first run (no settings stored yet) the bundled sample pictures
// are the input folder and ~/Pictures/Trimora the output folder, so that the
// wizard opens ready to go.
void seedFirstRunFolders() {
  using namespace trimora;
  const QSettings store(QSettings::IniFormat, QSettings::UserScope, kProgramName, kProgramName);
  if (QFileInfo::exists(store.fileName())) return;
  const QString samples = findDataFile(QStringLiteral("samples"));
  if (samples.isEmpty()) return;
  QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (pictures.isEmpty()) pictures = QDir::homePath();
  const QString output = pictures + QStringLiteral("/Trimora/");
  QDir().mkpath(output);  // a crop makes only the last level of its folder
  Settings settings;
  settings.setInputFolder(samples);
  settings.setOutputFolder(output);
  settings.sync();
}

// The command line: "trimora [PATH]". Single-dash words are whole names, so
// that Qt's own options ("-reverse", "-style") are never read as letters.
void describeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Crops a folder of pictures to the screen size of a device."));
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("PATH"),
                               QStringLiteral("A folder to open, or a picture to open in its "
                                              "folder."),
                               QStringLiteral("[PATH]"));
}

// Answers --help and --version on the console and ends the process, before
// anything reaches for a display; returns when neither was asked for.
void answerInfoOptions(int& argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  describeCommandLine(parser);
  parser.parse(arguments);  // an unknown option is reported once the window system has its own
  const QStringList found = parser.optionNames();
  const auto asked = [&](std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return found.contains(QLatin1String(name)); });
  };
  if (!asked({"v", "version", "h", "?", "help", "help-all"})) return;
  QCoreApplication console(argc, argv);
  QCoreApplication::setApplicationName(trimora::kProgramName);
  QCoreApplication::setApplicationVersion(trimora::versionText());
  if (asked({"v", "version"})) parser.showVersion();
  if (asked({"help-all"})) parser.process({arguments.first(), QStringLiteral("--help-all")});
  parser.showHelp(EXIT_SUCCESS);
}

}  // namespace

int main(int argc, char* argv[]) {
  answerInfoOptions(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(trimora::kProgramName);
  QApplication::setOrganizationName(trimora::kProgramName);
  QApplication::setApplicationVersion(trimora::versionText());
  QCommandLineParser parser;
  describeCommandLine(parser);
  parser.process(app);  // Qt's options are gone by now; anything else unknown ends here
  const QStringList paths = parser.positionalArguments();
  if (paths.size() > 1) {
    std::fprintf(stderr, "%s: Give one folder or picture only.\n",
                 qUtf8Printable(trimora::kProgramName));
    return EXIT_FAILURE;
  }
  QApplication::setDesktopFileName(QStringLiteral("trimora"));
  const QString icon = trimora::findDataFile(QStringLiteral("icons/trimora.png"));
  if (!icon.isEmpty()) QApplication::setWindowIcon(QIcon(icon));

  seedFirstRunFolders();
  trimora::QtServices desktop;
  const trimora::Services services = desktop.services();
  trimora::MainWindow window(services);
  if (!paths.isEmpty()) {
    const QString whyNot = window.openPath(paths.first());
    if (!whyNot.isEmpty()) {
      std::fprintf(stderr, "%s: %s\n", qUtf8Printable(trimora::kProgramName),
                   qUtf8Printable(whyNot));
      return EXIT_FAILURE;
    }
  }
  window.start();
  return app.exec();
}
