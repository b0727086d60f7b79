#include "tests/e2e/real_screen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <cstdlib>

#include "sim/sim_runtime.h"
#include "support/wait_until.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above; libxdo's header
// has no C linkage guards of its own.
extern "C" {
#include <xdo.h>
}

namespace vantora::testing {

bool wait_for(const std::function<bool()>& done, int timeout_ms) {
  return wait_until(done, timeout_ms, 100);
}

ChannelFolder::ChannelFolder(const QString& path)
    : path_(path), connection_(QUuid::createUuid().toString()) {}

ChannelFolder::~ChannelFolder() {
  if (QSqlDatabase::contains(connection_)) {
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
  }
}

QString ChannelFolder::file(const QString& name) const {
  return QDir(path_).filePath(name);
}

QString ChannelFolder::text(const QString& name) const {
  QFile f(file(name));
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList ChannelFolder::lines(const QString& name) const {
  return text(name).split(u'\n', Qt::SkipEmptyParts);
}

std::string ChannelFolder::report() const {
  return (text(QStringLiteral("player.log")) + text(QStringLiteral("error.txt"))).toStdString();
}

QSqlDatabase ChannelFolder::database() {
  if (!QSqlDatabase::contains(connection_)) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(file(QStringLiteral("wizard.db")));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
  }
  return QSqlDatabase::database(connection_);
}

bool ChannelFolder::exec(const QString& sql) {
  return QSqlQuery(database()).exec(sql);
}

QVariant ChannelFolder::value(const QString& sql) {
  QSqlQuery query(database());
  return query.exec(sql) && query.next() ? query.value(0) : QVariant();
}

QStringList ChannelFolder::rows(const QString& sql) {
  QStringList found;
  QSqlQuery query(database());
  for (bool more = query.exec(sql) && query.next(); more; more = query.next()) {
    QStringList cells;
    for (int i = 0; i < query.record().count(); ++i) {
      cells.append(query.value(i).toString());
    }
    found.append(cells.join(u' '));
  }
  return found;
}

void ChannelFolder::start_player(QProcess& process, const QString& display,
                                 const QStringList& arguments, const QStringList& wrapper) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), display);
  environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(path_);
  const QString log = file(QStringLiteral("player.log"));
  process.setStandardOutputFile(log, QIODevice::Append);
  process.setStandardErrorFile(log, QIODevice::Append);
  QStringList command = wrapper + QStringList{QStringLiteral(VANTORA_PLAYER_BINARY)} + arguments;
  const QString program = command.takeFirst();
  process.start(program, command);
  process.waitForStarted();
}

const forms::PlayerForm& player_layout() {
  static sim::SimRuntime clock(date_time::from_parts(2026, 12, 7, 8));
  static const forms::PlayerForm layout(clock);
  return layout;
}

bool click_on_screen(const QString& display, const forms::VisualControl& control) {
  // libxdo keeps the display's name, not a copy.
  const QByteArray name = display.toLocal8Bit();
  xdo_t* xdo = xdo_new(name.constData());
  xdo_search_t search{};
  search.winname = "^Vantora Player$";
  search.searchmask = SEARCH_NAME;
  search.only_visible = 1;
  search.max_depth = -1;
  search.require = xdo_search_t::SEARCH_ALL;
  Window* windows = nullptr;
  unsigned int count = 0;
  xdo_search_windows(xdo, &search, &windows, &count);
  int x = 0;
  int y = 0;
  const bool found =
      count == 1 && xdo_get_window_location(xdo, windows[0], &x, &y, nullptr) == XDO_SUCCESS;
  free(windows);
  const bool clicked =
      found &&
      xdo_move_mouse(xdo, x + control.Left.get() + control.Width.get() / 2,
                     y + control.Top.get() + control.Height.get() / 2, 0) == XDO_SUCCESS &&
      xdo_click_window(xdo, CURRENTWINDOW, 1) == XDO_SUCCESS;
  xdo_free(xdo);
  return clicked;
}

QString xclip(const QString& display, const QByteArray& written) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("DISPLAY"), display);
  process.setProcessEnvironment(environment);
  if (!written.isNull()) {
    // xclip leaves a child behind that serves the selection: it must not hold our pipes.
    process.setStandardOutputFile(QProcess::nullDevice());
  }
  process.start(QStringLiteral("xclip"),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                 written.isNull() ? QStringLiteral("-o") : QStringLiteral("-i")});
  process.write(written);
  process.closeWriteChannel();
  wait_until(
      [&] {
        QCoreApplication::processEvents();
        return process.state() == QProcess::NotRunning;
      },
      5000);
  process.kill();
  process.waitForFinished();
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace vantora::testing
