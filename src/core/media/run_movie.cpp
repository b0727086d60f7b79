#include "core/media/run_movie.h"

#include <utility>

#include "base/object_ref.h"
#include "core/database/columns.h"
#include "core/news/get_news_time.h"
#include "core/shell/procedure.h"

namespace vantora {

namespace {

// Run_Movie's error handler. A media error means the file is not media: Run_Movie ends at once
// with nothing playing and no log line (a folder of clips may well hold other files). Any other
// error is logged and the next statement runs, so a failing window call, seek or playlist update
// does not keep the clip from starting.
class MediaTrap {
 public:
  explicit MediaTrap(Player& p) : p_(p), proc_(p.errors, QStringLiteral("Run_Movie()")) {}

  // False when Run_Movie must return.
  template <typename Statement>
  bool operator()(Statement&& statement) {
    const auto error = Procedure::attempt(std::forward<Statement>(statement));
    if (!error) {
      return true;
    }
    if (err::is_media_error(error->number())) {
      p_.state.graph.ClipPlaying = kFalse;
      return false;
    }
    proc_.handle(*error);
    return true;
  }

 private:
  Player& p_;
  Procedure proc_;
};

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
void release_graph(PlayerState& s, MediaTrap& trap) {
  if (s.graph.m_objBasicAudio) {
    s.graph.m_objBasicAudio.reset();
  }
  if (s.graph.m_objBasicVideo) {
    s.graph.m_objBasicVideo.reset();
    trap([&] { object(s.graph.m_objVideoWindow).put_Owner(0); });
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

// RenderFile, Top, Height, CurrentPosition, then the mode's extra; false when Run_Movie must
// return.
bool render_and_place(Player& p, ports::MediaMode mode, MediaTrap& trap) {
  PlayerState& s = p.state;
  auto& control = s.graph.m_objMediaControl;
  auto& window = s.graph.m_objVideoWindow;
  auto& position = s.graph.m_objMediaPosition;
  switch (mode) {
    case ports::MediaMode::kNews:
      return trap([&] { object(control).RenderFile(s.news.NewsClip); }) &&
             trap([&] { object(window).put_Top(0); }) &&
             trap([&] { object(window).put_Height(kFullPictureHeight_px); }) &&
             trap([&] { object(position).put_CurrentPosition(0); });
    case ports::MediaMode::kFiller:
      return trap([&] { object(control).RenderFile(s.filler.ClipFile); }) &&
             trap([&] { object(window).put_Top(0); }) &&
             trap([&] { object(window).put_Height(kFullPictureHeight_px); }) &&
             trap([&] { object(position).put_CurrentPosition(0); }) &&
             trap([&] { s.row.PictureHeight = kFullPictureHeight_px; }) &&
             trap([&] { s.filler.FillerLength = values::to_int32(object(position).Duration()); });
    case ports::MediaMode::kNormal:
      break;
  }
  return trap([&] { object(control).RenderFile(s.row.MediaFile); }) &&
         trap([&] { object(window).put_Top(s.row.PictureTop); }) && trap([&] {
           if (s.row.PictureHeight == 0) {
             s.row.PictureHeight = kFullPictureHeight_px;
           }
         }) &&
         trap([&] { object(window).put_Height(s.row.PictureHeight); }) &&
         trap([&] { object(position).put_CurrentPosition(s.row.StartOffset); }) && trap([&] {
           p.data.rsplaylist.set_field(db::col::playlist::kStarted, QVariant::fromValue(kTrue));
         }) &&
         trap([&] { p.data.rsplaylist.update(); });
}

}  // namespace

void Run_Movie(Player& p) {
  MediaTrap trap(p);
  PlayerState& s = p.state;
  const ports::MediaMode mode = chosen_mode(s);

  if (!trap([&] { p.desktop.SetCursorPos(0, 0); })) {
    return;
  }
  release_graph(s, trap);

  std::shared_ptr<ports::MediaGraph> graph;
  if (!trap([&] { graph = p.media.create_graph(mode); })) {
    return;
  }
  s.graph.m_objMediaControl = graph;
  s.graph.m_objMediaPosition = graph;
  s.graph.m_objBasicVideo = graph;
  s.graph.m_objBasicAudio = graph;
  s.graph.m_objVideoWindow = graph;
  s.graph.m_objMediaEvent = graph;  // the last reference to the old graph: it stops here
  graph.reset();

  if (!render_and_place(p, mode, trap)) {
    return;
  }
  auto& window = s.graph.m_objVideoWindow;
  auto& position = s.graph.m_objMediaPosition;
  const bool placed = trap([&] { object(window).put_WindowStyle(kVideoWindowStyle); }) &&
                      trap([&] { object(window).put_Left(0); }) &&
                      trap([&] { object(window).put_Width(kVideoWindowWidth_px); }) &&
                      trap([&] { object(window).put_Caption(kVideoWindowCaption); }) &&
                      trap([&] { object(s.graph.m_objMediaControl).Run(); });
  if (!placed) {
    return;
  }
  s.graph.ClipPlaying = kTrue;
  if (!trap([&] {
        p.form.Text2.Text = QString::number(values::int_part(object(position).Duration()), 'f', 0);
      })) {
    return;
  }

  if (s.breaks.AdPlaying != kFalse || s.news.NewsRunning != kFalse) {
    return;
  }
  double remaining_s = 0.0;
  if (!trap([&] {
        remaining_s = object(position).Duration() - object(position).CurrentPosition();
      })) {
    return;
  }
  GetNewsTime(p, remaining_s);
  // An armed timer whose item this look-ahead no longer finds would fire for an item that is
  // not the next one any more: it is disarmed.
  p.form.NewsTimer.Enabled = s.news.NewsFound != kFalse;
}

}  // namespace vantora
