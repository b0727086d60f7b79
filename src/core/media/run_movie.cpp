#include "core/media/run_movie.h"

#include "base/date_time.h"
#include "base/object_ref.h"
#include "core/database/columns.h"
#include "core/news/get_news_time.h"
#include "core/shell/procedure.h"

namespace vantora {

namespace {

ports::MediaMode chosen_mode(const PlayerState& s) {
  if (s.news.NewsRunning != kFalse) {
    return ports::MediaMode::kNews;
  }
  if (s.filler.FillerMode != kFalse) {
    return ports::MediaMode::kFiller;
  }
  return ports::MediaMode::kNormal;
}

// Step by step as the old graph's owner expects: the interfaces go in this order, and the
// window is disowned before the graph goes. The event reference stays until the new graph
// replaces it.
void release_graph(PlayerState& s, Procedure& proc) {
  if (s.graph.m_objBasicAudio) {
    s.graph.m_objBasicAudio.reset();
  }
  if (s.graph.m_objBasicVideo) {
    s.graph.m_objBasicVideo.reset();
    proc([&] { object(s.graph.m_objVideoWindow).put_Owner(0); });
  }
  if (s.graph.m_objMediaControl) {
    s.graph.m_objMediaControl.reset();
  }
  if (s.graph.m_objVideoWindow) {
    s.graph.m_objVideoWindow.reset();
  }
  if (s.graph.m_objMediaPosition) {
    s.graph.m_objMediaPosition.reset();
  }
}

const char* mode_name(ports::MediaMode mode) {
  switch (mode) {
    case ports::MediaMode::kNews:
      return "news";
    case ports::MediaMode::kFiller:
      return "filler";
    case ports::MediaMode::kNormal:
      break;
  }
  return "normal";
}

const QString& chosen_file(const PlayerState& s, ports::MediaMode mode) {
  switch (mode) {
    case ports::MediaMode::kNews:
      return s.news.NewsClip;
    case ports::MediaMode::kFiller:
      return s.filler.ClipFile;
    case ports::MediaMode::kNormal:
      break;
  }
  return s.row.MediaFile;
}

// Where the clip really starts: the engine clamps an offset past the end. The record must never
// disturb playback, so a position it cannot read is left out rather than logged.
QVariant start_position_s(const PlayerState& s) {
  try {
    return object(s.graph.m_objMediaPosition).CurrentPosition();
  } catch (const RuntimeError&) {
    return {};
  }
}

void record_start(Player& p, ports::MediaMode mode, const QString& file, std::int64_t render_ms) {
  const PlayerState& s = p.state;
  const bool full_picture = mode != ports::MediaMode::kNormal;
  p.playout.record(
      QStringLiteral("media"),
      {{QStringLiteral("mode"), QString::fromLatin1(mode_name(mode))},
       {QStringLiteral("file"), file},
       {QStringLiteral("start"), start_position_s(s)},
       {QStringLiteral("top"), full_picture ? 0 : s.row.PictureTop},
       {QStringLiteral("height"), full_picture ? kFullPictureHeight_px : s.row.PictureHeight},
       {QStringLiteral("ok"), true},
       {QStringLiteral("render_ms"), QVariant::fromValue(render_ms)}});
}

void record_not_media(Player& p, ports::MediaMode mode, const QString& file) {
  p.playout.record(QStringLiteral("media"),
                   {{QStringLiteral("mode"), QString::fromLatin1(mode_name(mode))},
                    {QStringLiteral("file"), file},
                    {QStringLiteral("start"), QVariant()},
                    {QStringLiteral("top"), QVariant()},
                    {QStringLiteral("height"), QVariant()},
                    {QStringLiteral("ok"), false},
                    {QStringLiteral("render_ms"), QVariant()}});
}

// RenderFile, Top, Height, CurrentPosition, then the mode's extra. False when the file would
// not render.
bool render_and_place(Player& p, ports::MediaMode mode, Procedure& proc) {
  PlayerState& s = p.state;
  auto& control = s.graph.m_objMediaControl;
  auto& window = s.graph.m_objVideoWindow;
  auto& position = s.graph.m_objMediaPosition;
  switch (mode) {
    case ports::MediaMode::kNews:
      if (!proc([&] { object(control).RenderFile(s.news.NewsClip); }) && proc.ended()) {
        return false;
      }
      proc([&] { object(window).put_Top(0); });
      proc([&] { object(window).put_Height(kFullPictureHeight_px); });
      proc([&] { object(position).put_CurrentPosition(0); });
      return true;
    case ports::MediaMode::kFiller:
      if (!proc([&] { object(control).RenderFile(s.filler.ClipFile); }) && proc.ended()) {
        return false;
      }
      proc([&] { object(window).put_Top(0); });
      proc([&] { object(window).put_Height(kFullPictureHeight_px); });
      proc([&] { object(position).put_CurrentPosition(0); });
      proc([&] { s.row.PictureHeight = kFullPictureHeight_px; });
      proc([&] { s.filler.FillerLength = values::to_int32(object(position).Duration()); });
      return true;
    case ports::MediaMode::kNormal:
      break;
  }
  if (!proc([&] { object(control).RenderFile(s.row.MediaFile); }) && proc.ended()) {
    return false;
  }
  proc([&] { object(window).put_Top(s.row.PictureTop); });
  proc([&] {
    if (s.row.PictureHeight == 0) {
      s.row.PictureHeight = kFullPictureHeight_px;
    }
  });
  proc([&] { object(window).put_Height(s.row.PictureHeight); });
  proc([&] { object(position).put_CurrentPosition(s.row.StartOffset); });
  proc([&] {
    p.data.rsplaylist.set_field(db::col::playlist::kStarted, QVariant::fromValue(kTrue));
  });
  proc([&] { p.data.rsplaylist.update(); });
  return true;
}

// A file that is not media: nothing plays and no line is logged (a folder of clips may well hold
// other files).
void nothing_plays(PlayerState& s) {
  s.graph.ClipPlaying = kFalse;
}

}  // namespace

void Run_Movie(Player& p) {
  // Any other error is logged and the next statement runs, so a failing window call, seek or
  // playlist update does not keep the clip from starting.
  Procedure proc(p.errors, QStringLiteral("Run_Movie()"), OnError::kMediaErrorEnds);
  PlayerState& s = p.state;
  const ports::MediaMode mode = chosen_mode(s);

  proc([&] { p.desktop.SetCursorPos(0, 0); });
  if (proc.ended()) {
    return nothing_plays(s);
  }
  release_graph(s, proc);
  if (proc.ended()) {
    return nothing_plays(s);
  }

  std::shared_ptr<ports::MediaGraph> graph;
  proc([&] { graph = p.media.create_graph(mode); });
  if (proc.ended()) {
    return nothing_plays(s);
  }
  s.graph.m_objMediaControl = graph;
  s.graph.m_objMediaPosition = graph;
  s.graph.m_objBasicVideo = graph;
  s.graph.m_objBasicAudio = graph;
  s.graph.m_objVideoWindow = graph;
  s.graph.m_objMediaEvent = graph;  // the last reference to the old graph: it stops here
  graph.reset();

  const QString file = chosen_file(s, mode);
  const std::int64_t render_from_ms = date_time::to_linear_ms(p.runtime.now());
  if (!render_and_place(p, mode, proc)) {
    record_not_media(p, mode, file);
    return nothing_plays(s);
  }
  auto& window = s.graph.m_objVideoWindow;
  auto& position = s.graph.m_objMediaPosition;
  proc([&] { object(window).put_WindowStyle(kVideoWindowStyle); });
  proc([&] { object(window).put_Left(0); });
  proc([&] { object(window).put_Width(kVideoWindowWidth_px); });
  proc([&] { object(window).put_Caption(kVideoWindowCaption); });
  proc([&] { object(s.graph.m_objMediaControl).Run(); });
  if (proc.ended()) {
    return nothing_plays(s);
  }
  s.graph.ClipPlaying = kTrue;
  record_start(p, mode, file, date_time::to_linear_ms(p.runtime.now()) - render_from_ms);
  proc([&] {
    p.form.Text2.Text = QString::number(values::int_part(object(position).Duration()), 'f', 0);
  });
  if (proc.ended()) {
    return nothing_plays(s);
  }

  if (s.breaks.AdPlaying != kFalse || s.news.NewsRunning != kFalse) {
    return;
  }
  double remaining_s = 0.0;
  proc([&] { remaining_s = object(position).Duration() - object(position).CurrentPosition(); });
  if (proc.ended()) {
    return nothing_plays(s);
  }
  GetNewsTime(p, remaining_s);
  // An armed timer whose item this look-ahead no longer finds would fire for an item that is
  // not the next one any more: it is disarmed.
  p.form.NewsTimer.Enabled = s.news.NewsFound != kFalse;
}

}  // namespace vantora
