#include "key_log_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QRegion>
#include <QVBoxLayout>

QString key_name(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
  bool shift = modifiers.testFlag(Qt::ShiftModifier);
  QString name;
  if (key == Qt::Key_Space) {
    name = QStringLiteral("Space");
  } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
    const QChar letter(u'a' + (key - Qt::Key_A));
    name = shift ? letter.toUpper() : letter;
    shift = false;
  } else if (key < 0x01000000 && text.size() == 1 && text[0].isPrint()) {
    name = text;
    shift = false;
  } else {
    name = QKeySequence(key).toString(QKeySequence::PortableText);
  }
  QString prefix;
  if (modifiers.testFlag(Qt::ControlModifier)) {
    prefix += QStringLiteral("Ctrl+");
  }
  if (modifiers.testFlag(Qt::AltModifier)) {
    prefix += QStringLiteral("Alt+");
  }
  if (shift) {
    prefix += QStringLiteral("Shift+");
  }
  return prefix + name;
}

KeyLogWindow::KeyLogWindow(const QString& title, const QString& log_path, const QString& document,
                           Reach reach)
    : reach_(reach), log_(log_path), last_key_(new QLabel(this)) {
  setWindowTitle(title);
  setFocusPolicy(Qt::StrongFocus);
  resize(800, 600);
  auto* layout = new QVBoxLayout(this);
  auto* heading =
      new QLabel(document.isEmpty() ? title : title + QStringLiteral(": ") + document, this);
  layout->addWidget(heading);
  layout->addStretch();
  // The bottom line stays visible while the video is on air.
  last_key_->setFixedHeight(kStripHeightPx - 8);
  layout->addWidget(last_key_);
  if (!log_path.isEmpty()) {
    log_.open(QIODevice::Append | QIODevice::Text);
  }
  if (reach_ == Reach::kStripOnly) {
    show_strip();
  }
}

void KeyLogWindow::show_strip() {
  setMask(QRegion(0, height() - kStripHeightPx, width(), kStripHeightPx));
}

void KeyLogWindow::write(const QString& line) {
  last_key_->setText(line);
  if (log_.isOpen()) {
    log_.write(line.toUtf8() + '\n');
    log_.flush();
  }
}

void KeyLogWindow::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool modifier_alone = key == Qt::Key_Shift || key == Qt::Key_Control ||
                              key == Qt::Key_Alt || key == Qt::Key_Meta || key == Qt::Key_AltGr ||
                              key == Qt::Key_unknown;
  if (event->isAutoRepeat() || modifier_alone) {
    return;
  }
  write(key_name(key, event->modifiers(), event->text()));
  // The player hands the screen to its video with a space and takes it back with "P": on a
  // space the presentation shrinks to a strip along the bottom edge, so the picture shows.
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::ShiftModifier) {
    if (key == Qt::Key_Space) {
      show_strip();
    } else if (key == Qt::Key_P && reach_ == Reach::kWholeScreenInBreaks) {
      clearMask();
    }
  }
}

void KeyLogWindow::closeEvent(QCloseEvent* event) {
  write(QStringLiteral("Close"));
  event->ignore();
}
