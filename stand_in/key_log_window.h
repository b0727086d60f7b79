#pragma once

#include <QFile>
#include <QLabel>
#include <QString>
#include <QWidget>

class QKeyEvent;

// "Ctrl+Alt+F1", "Alt+y", "P", "Space", "Esc": a key as the player's key strings name it. A
// character carries its Shift in its case; only a named key shows Shift.
QString key_name(int key, Qt::KeyboardModifiers modifiers, const QString& text);

class KeyLogWindow : public QWidget {
 public:
  enum class Reach { kWholeScreenInBreaks, kStripOnly };

  KeyLogWindow(const QString& title, const QString& log_path, const QString& document, Reach reach);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Alt+F4 under a window manager arrives as a close request: the designer closes its
  // presentation and keeps running, as the player's closing keys expect.
  void closeEvent(QCloseEvent* event) override;

 private:
  void write(const QString& line);

  static constexpr int kStripHeightPx = 40;

  void show_strip();

  Reach reach_;
  QFile log_;
  QLabel* last_key_;
};
