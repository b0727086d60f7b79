#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>

#include "base/date_time.h"
#include "base/values.h"
#include "ports/media_graph.h"

namespace vantora {

// The form-level variables of the player window. Every procedure reads and writes these by their
// classic names; all start as zero, empty or False when the window is loaded. The error log's
// four variables (ProcName, ErrNumber, ErrDesc, LastErrNumber) live in the ErrorLog.
struct PlayerState {
  // Settings read at day start.
  std::int32_t StartTolerance = 0;  // seconds a show may start late
  std::int16_t BreakLeadTime = 0;   // seconds

  // The playlist row now loaded.
  DateTime SegStart;
  DateTime SegEnd;
  Bool16 SegStarted = kFalse;
  Bool16 SegDone = kFalse;
  Bool16 SegDoneScan = kFalse;
  QString MediaFile;
  std::int32_t StartOffset = 0;  // seconds
  std::int32_t EndOffset = 0;    // seconds
  QString SegCaption;
  QString SegText6;
  std::int16_t PictureTop = 0;     // pixels
  std::int16_t PictureHeight = 0;  // pixels; 0 means 600
  Bool16 HideCaption = kFalse;
  Bool16 AdFlag = kFalse;
  Bool16 StartNow = kFalse;
  Bool16 ShowStartRow = kFalse;
  Bool16 ShowEndRow = kFalse;

  // Playlist cursor and show recovery.
  Bool16 NoNextShow = kFalse;
  Bool16 Terminated = kFalse;
  double ResumeLag = 0.0;      // seconds
  double GapToNextShow = 0.0;  // seconds
  DateTime NextShowStart;
  DateTime ShowEndTime;
  Bool16 RewindList = kFalse;
  Bool16 EndOfList = kFalse;

  // Movie timer.
  Bool16 CaptionCycle = kFalse;
  std::int16_t CaptionTicks = 0;
  Bool16 Paused = kFalse;
  Bool16 Halted = kFalse;
  DateTime LoadStartAt;

  // Window handles.
  std::int32_t PlayerHwnd = 0;
  std::int32_t VideoHwnd = 0;

  // Filler.
  Bool16 FillerMode = kFalse;
  std::int32_t FillerLength = 0;  // seconds
  QString ClipFile;
  QString FillerFolder;
  QString FillerListFolder;
  double FillerFrom = 0.0;   // time of day
  double FillerUntil = 0.0;  // time of day
  // A stretch without any filler clip to play has been logged; cleared by the next clip.
  Bool16 FillerNoClipLogged = kFalse;

  // Ad breaks.
  DateTime SlotTime;
  DateTime SearchTime;
  DateTime MediaEndTime;
  Bool16 SlotFilled = kFalse;
  Bool16 InAdBreak = kFalse;
  Bool16 AdPlaying = kFalse;

  // The programme interrupted by a break, news or an emergency.
  QVariant SavedMediaFile;
  QVariant SavedClipFile;
  QVariant SavedPictureTop;
  QVariant SavedPictureHeight;
  QVariant SavedResumeOffset;
  QVariant SavedFillerLength;
  QVariant SavedEndOffset;

  // News.
  DateTime NewsTime;
  QString NewsFolder;
  Bool16 NewsFound = kFalse;
  Bool16 NewsRunning = kFalse;
  QString NewsClip;
  std::int16_t NewsCount = 0;
  std::int16_t NewsIndex = 0;

  // Media: the six references of the one current graph (all to the same graph, or empty).
  Bool16 ClipPlaying = kFalse;
  std::shared_ptr<ports::MediaControl> m_objMediaControl;
  std::shared_ptr<ports::MediaPosition> m_objMediaPosition;
  std::shared_ptr<ports::VideoWindow> m_objVideoWindow;
  std::shared_ptr<ports::BasicVideo> m_objBasicVideo;
  std::shared_ptr<ports::BasicAudio> m_objBasicAudio;
  std::shared_ptr<ports::MediaEvent> m_objMediaEvent;

  // Lottery.
  Bool16 LotteryMode = kFalse;
  std::int16_t LotteryCount = 0;
  DateTime LotteryShownAt;
  Bool16 LotteryShowing = kFalse;

  // Overlays.
  Bool16 ClockShown = kFalse;
  Bool16 LogoTimerWasOn = kFalse;
  Bool16 LogoWasVisible = kFalse;
  Bool16 TimeWasVisible = kFalse;
  Bool16 NumberWasVisible = kFalse;
  std::int32_t GrabX = 0;
  std::int32_t GrabY = 0;
  Bool16 ClockPanelShown = kFalse;
};

// The globals every form shares.
struct Globals {
  QString DataFolder;        // from channel.ini; the database and error.txt live in it
  QString DesignerDocument;  // the designer's start-up document, then its whole command line
  std::int32_t DesignerHwnd = 0;
  Bool16 PanelLeft = kFalse;  // the player window sits at x = 2 (True) or x = 298
};

}  // namespace vantora
