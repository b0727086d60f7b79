#include <QApplication>
#include <QCommandLineParser>

#include "key_log_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Stands in for the presentation designer: shows a window titled "
                     "\"Presentation Designer\" and appends each key it receives to KEY_LOG."));
  parser.addHelpOption();
  const QCommandLineOption title_option(
      QStringLiteral("title"), QStringLiteral("The window title instead."), QStringLiteral("TITLE"),
      QStringLiteral("Presentation Designer"));
  parser.addOption(title_option);
  const QCommandLineOption strip_option(
      QStringLiteral("strip-only"),
      QStringLiteral("Keep to the strip along the bottom edge even in a break, so that the whole "
                     "picture, ads included, stays in view."));
  parser.addOption(strip_option);
  parser.addPositionalArgument(QStringLiteral("KEY_LOG"), QStringLiteral("File the keys go to."));
  parser.addPositionalArgument(QStringLiteral("DOCUMENT"),
                               QStringLiteral("The presentation, as the player passes it."));
  parser.process(application);
  const QStringList arguments = parser.positionalArguments();
  KeyLogWindow window(parser.value(title_option), arguments.value(0),
                      arguments.mid(1).join(QLatin1Char(' ')),
                      parser.isSet(strip_option) ? KeyLogWindow::Reach::kStripOnly
                                                 : KeyLogWindow::Reach::kWholeScreenInBreaks);
  window.show();
  window.activateWindow();
  return QApplication::exec();
}
