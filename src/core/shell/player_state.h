#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <map>
#include <memory>

#include "base/date_time.h"
#include "base/values.h"
#include "ports/media_graph.h"
#include "ports/runtime.h"

namespace vantora {

// The form-level variables of the player window, grouped by the procedures that own them. Every
// procedure reads and writes them by their classic names (s.row.SegStart, s.graph.ClipPlaying);
// all start as zero, empty or False when the window is loaded. The error log's four variables
// (ProcName, ErrNumber, ErrDesc, LastErrNumber) live in the ErrorLog.

// Read from Player INI at day start.
struct Settings {
  std::int32_t StartTolerance = 0;  // seconds a show may start late
  std::int16_t BreakLeadTime = 0;   // seconds
};

// The schedule row now loaded (a playlist segment or a break item; both have the same columns).
struct SegmentRow {
  DateTime SegStart;
  DateTime SegEnd;
  Bool16 SegStarted = kFalse;
  Bool16 SegDone = kFalse;
  QString MediaFile;
  std::int32_t StartOffset = 0;  // seconds
  std::int32_t EndOffset = 0;    // seconds
  QString SegCaption;
  QString SegText6;
  std::int16_t PictureTop = 0;     // pixels
  std::int16_t PictureHeight = 0;  // pixels; 0 means 600
  Bool16 HideCaption = kFalse;
  Bool16 StartNow = kFalse;
  Bool16 ShowStartRow = kFalse;
  Bool16 ShowEndRow = kFalse;
};

// The playlist cursor's control and result.
struct Cursor {
  Bool16 RewindList = kFalse;
  Bool16 EndOfList = kFalse;
  Bool16 NoNextShow = kFalse;
};

// What the termination check found about an interrupted show.
struct Recovery {
  Bool16 SegDoneScan = kFalse;
  Bool16 Terminated = kFalse;
  double ResumeLag = 0.0;      // seconds
  double GapToNextShow = 0.0;  // seconds
  DateTime NextShowStart;
  DateTime ShowEndTime;
};

// The six references of the one current graph (all to the same graph, or empty), and whether
// its clip is still playing.
struct MediaGraphRefs {
  Bool16 ClipPlaying = kFalse;
  std::shared_ptr<ports::MediaControl> m_objMediaControl;
  std::shared_ptr<ports::MediaPosition> m_objMediaPosition;
  std::shared_ptr<ports::VideoWindow> m_objVideoWindow;
  std::shared_ptr<ports::BasicVideo> m_objBasicVideo;
  std::shared_ptr<ports::BasicAudio> m_objBasicAudio;
  std::shared_ptr<ports::MediaEvent> m_objMediaEvent;

  // The window going away drops every reference in the order the graph's owner expects, letting
  // pending events run after each; the graph stops when the last one goes.
  void release(ports::Runtime& runtime) {
    release_one(m_objBasicAudio, runtime);
    release_one(m_objBasicVideo, runtime);
    release_one(m_objMediaControl, runtime);
    release_one(m_objMediaEvent, runtime);
    release_one(m_objVideoWindow, runtime);
    release_one(m_objMediaPosition, runtime);
  }

 private:
  template <typename Interface>
  static void release_one(std::shared_ptr<Interface>& reference, ports::Runtime& runtime) {
    if (reference) {
      reference.reset();
      runtime.yield();
    }
  }
};

// The operator's pause and the exit's halt.
struct Transport {
  Bool16 Paused = kFalse;
  Bool16 Halted = kFalse;
};

// The form's load and the day start it arms.
struct Lifecycle {
  DateTime LoadStartAt;
  // The window has been unloaded; a wait still running inside one of its handlers ends.
  Bool16 Unloaded = kFalse;
};

// What the last write left in a status file, so that a tick can see from the file's size and
// time alone that it still holds the line, without opening it.
struct StatusFileStamp {
  QByteArray bytes;
  std::int64_t size = -1;
  std::int64_t modified_ns = 0;
};

// The movie timer's caption cycle.
struct CaptionState {
  Bool16 CaptionCycle = kFalse;
  std::int16_t CaptionTicks = 0;
  std::map<QString, StatusFileStamp> status_files;
};

struct Windows {
  std::int32_t PlayerHwnd = 0;
  std::int32_t VideoHwnd = 0;
};

struct FillerState {
  Bool16 FillerMode = kFalse;
  std::int32_t FillerLength = 0;  // seconds
  QString ClipFile;
  QString FillerFolder;
  QString FillerListFolder;
  double FillerFrom = 0.0;   // time of day
  double FillerUntil = 0.0;  // time of day
  // A stretch without any filler clip to play has been logged; cleared by the next clip.
  Bool16 FillerNoClipLogged = kFalse;
};

// The next break (prepared by the slot search) and the one playing.
struct BreakState {
  DateTime SlotTime;
  DateTime SearchTime;
  DateTime MediaEndTime;
  Bool16 SlotFilled = kFalse;
  Bool16 InAdBreak = kFalse;
  Bool16 AdPlaying = kFalse;
  Bool16 AdFlag = kFalse;  // column 12 of the row now loaded
};

// The programme interrupted by a break, news or an emergency, and the overlays it showed.
struct SavedProgramme {
  QVariant SavedMediaFile;
  QVariant SavedClipFile;
  QVariant SavedPictureTop;
  QVariant SavedPictureHeight;
  QVariant SavedResumeOffset;
  QVariant SavedFillerLength;
  QVariant SavedEndOffset;
  // Each break item loads its own flag over the row's.
  Bool16 SavedHideCaption = kFalse;
  Bool16 LogoWasVisible = kFalse;
  Bool16 TimeWasVisible = kFalse;
  Bool16 NumberWasVisible = kFalse;
  Bool16 LogoTimerWasOn = kFalse;
};

struct NewsState {
  DateTime NewsTime;
  DateTime NewsDay;  // the date the found item falls due on: the next day for one past midnight
  QString NewsFolder;
  Bool16 NewsFound = kFalse;
  Bool16 NewsRunning = kFalse;
  Bool16 NewsHeld = kFalse;  // the item fell due during a break and waits for its end
  QString NewsClip;
  std::int16_t NewsCount = 0;
  std::int16_t NewsIndex = 0;
};

struct LotteryState {
  Bool16 LotteryMode = kFalse;
  std::int16_t LotteryCount = 0;
  DateTime LotteryShownAt;
  Bool16 LotteryShowing = kFalse;
};

// The overlays over the video and the operator panel.
struct Overlay {
  Bool16 ClockShown = kFalse;
  std::int32_t GrabX = 0;  // twips; shared by the logo's and the clock's drag
  std::int32_t GrabY = 0;
  Bool16 ClockPanelShown = kFalse;
};

struct PlayerState {
  Settings settings;
  SegmentRow row;
  Cursor cursor;
  Recovery recovery;
  MediaGraphRefs graph;
  Transport transport;
  Lifecycle lifecycle;
  CaptionState captions;
  Windows windows;
  FillerState filler;
  BreakState breaks;
  SavedProgramme saved;
  NewsState news;
  LotteryState lottery;
  Overlay overlay;
};

// The globals every form shares.
struct Globals {
  QString DataFolder;        // from channel.ini; the database and error.txt live in it
  QString DesignerDocument;  // the designer's start-up document, then its whole command line
  std::int32_t DesignerHwnd = 0;
  Bool16 PanelLeft = kFalse;  // the player window sits at x = 2 (True) or x = 298
};

}  // namespace vantora
