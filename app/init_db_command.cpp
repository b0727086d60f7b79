#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <cstdio>

#include "app/commands.h"
#include "base/errors.h"
#include "platform/sql/sqlite_schedule_store.h"

namespace vantora::app {

int run_init_db(int argc, char** argv, const std::string& data_folder) {
  QCoreApplication application(argc, argv);
  const QString folder = QDir(QString::fromStdString(data_folder)).absolutePath();
  const QString path = QDir::toNativeSeparators(QDir(folder).filePath(platform::kScheduleFileName));
  try {
    if (platform::create_schedule(folder) == platform::CreateResult::kAlreadyExists) {
      std::fprintf(stderr, "%s already exists; init-db never touches an existing database\n",
                   qPrintable(path));
      return 1;
    }
  } catch (const RuntimeError& error) {
    std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(path),
                 qPrintable(error.description()));
    return 2;
  }
  std::printf("created %s\n", qPrintable(path));
  return 0;
}

}  // namespace vantora::app
