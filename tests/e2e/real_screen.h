#pragma once

#include <QByteArray>
#include <QProcess>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <string>

#include "core/shell/forms.h"

namespace vantora::testing {

// A real player answers in its own time; a check reads the database, so not too often.
bool wait_for(const std::function<bool()>& done, int timeout_ms);

// The data folder of a real player under test: its files and its schedule, read (and written as
// the scheduling tool would) while the player runs.
class ChannelFolder {
 public:
  explicit ChannelFolder(const QString& path);
  ~ChannelFolder();
  ChannelFolder(const ChannelFolder&) = delete;
  ChannelFolder& operator=(const ChannelFolder&) = delete;

  QString file(const QString& name) const;
  // A file's text; empty when it does not exist.
  QString text(const QString& name) const;
  QStringList lines(const QString& name) const;
  // What the player said and logged, for a failure's message.
  std::string report() const;

  bool exec(const QString& sql);
  // The first cell of the answer; invalid when there is none.
  QVariant value(const QString& sql);
  // Every row of the answer, its cells joined by spaces.
  QStringList rows(const QString& sql);

  // The real player on `display`, started in this folder with its output in player.log.
  // `wrapper` (a program and its arguments) runs it when given.
  void start_player(QProcess& process, const QString& display, const QStringList& arguments,
                    const QStringList& wrapper = {});

 private:
  QSqlDatabase database();

  QString path_;
  QString connection_;
};

// The clipboard as another program sees it through xclip: written when `written` is given, else
// read. Reading waits for the owner's answer with the event loop running, so an owner in this
// process is served too.
QString xclip(const QString& display, const QByteArray& written = {});

// Where the player window draws its controls.
const forms::PlayerForm& player_layout();

// Clicks the middle of a control of the player window on `display` as a mouse would (libxdo's
// XTest), wherever the window now stands: what the scripted clicks do must happen here too. False
// when the window is not on the screen.
bool click_on_screen(const QString& display, const forms::VisualControl& control);

}  // namespace vantora::testing
