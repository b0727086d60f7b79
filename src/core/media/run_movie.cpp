#include "core/media/run_movie.h"

#include <utility>

#include "base/object_ref.h"
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
      p_.state.ClipPlaying = kFalse;
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
  if (s.NewsRunning != kFalse) {
    return ports::MediaMode::kNews;
  }
  if (s.FillerMode != kFalse) {
    return ports::MediaMode::kFiller;
  }
  return ports::MediaMode::kNormal;
}

// Step by step as the old graph's owner expects: the interfaces go in this order, and the
// window is disowned before the graph goes. The event reference stays until the new graph
// replaces it.
void release_graph(PlayerState& s, MediaTrap& trap) {
  if (s.m_objBasicAudio) {
    s.m_objBasicAudio.reset();
  }
  if (s.m_objBasicVideo) {
    s.m_objBasicVideo.reset();
    trap([&] { object(s.m_objVideoWindow).put_Owner(0); });
  }
  if (s.m_objMediaControl) {
    s.m_objMediaControl.reset();
  }
  if (s.m_objVideoWindow) {
    s.m_objVideoWindow.reset();
  }
  if (s.m_objMediaPosition) {
    s.m_objMediaPosition.reset();
  }
}

// RenderFile, Top, Height, CurrentPosition, then the mode's extra; false when Run_Movie must
// return.
bool render_and_place(Player& p, ports::MediaMode mode, MediaTrap& trap) {
  PlayerState& s = p.state;
  auto& control = s.m_objMediaControl;
  auto& window = s.m_objVideoWindow;
  auto& position = s.m_objMediaPosition;
  switch (mode) {
    case ports::MediaMode::kNews:
      return trap([&] { object(control).RenderFile(s.NewsClip); }) &&
             trap([&] { object(window).put_Top(0); }) &&
             trap([&] { object(window).put_Height(kFullPictureHeight_px); }) &&
             trap([&] { object(position).put_CurrentPosition(0); });
    case ports::MediaMode::kFiller:
      return trap([&] { object(control).RenderFile(s.ClipFile); }) &&
             trap([&] { object(window).put_Top(0); }) &&
             trap([&] { object(window).put_Height(kFullPictureHeight_px); }) &&
             trap([&] { object(position).put_CurrentPosition(0); }) &&
             trap([&] { s.PictureHeight = kFullPictureHeight_px; }) &&
             trap([&] { s.FillerLength = values::to_int32(object(position).Duration()); });
    case ports::MediaMode::kNormal:
      break;
  }
  return trap([&] { object(control).RenderFile(s.MediaFile); }) &&
         trap([&] { object(window).put_Top(s.PictureTop); }) && trap([&] {
           if (s.PictureHeight == 0) {
             s.PictureHeight = kFullPictureHeight_px;
           }
         }) &&
         trap([&] { object(window).put_Height(s.PictureHeight); }) &&
         trap([&] { object(position).put_CurrentPosition(s.StartOffset); }) &&
         trap([&] { p.data.rsplaylist.set_field(7, QVariant::fromValue(kTrue)); }) &&
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
  s.m_objMediaControl = graph;
  s.m_objMediaPosition = graph;
  s.m_objBasicVideo = graph;
  s.m_objBasicAudio = graph;
  s.m_objVideoWindow = graph;
  s.m_objMediaEvent = graph;  // the last reference to the old graph: it stops here
  graph.reset();

  if (!render_and_place(p, mode, trap)) {
    return;
  }
  auto& window = s.m_objVideoWindow;
  auto& position = s.m_objMediaPosition;
  const bool placed = trap([&] { object(window).put_WindowStyle(kVideoWindowStyle); }) &&
                      trap([&] { object(window).put_Left(0); }) &&
                      trap([&] { object(window).put_Width(kVideoWindowWidth_px); }) &&
                      trap([&] { object(window).put_Caption(kVideoWindowCaption); }) &&
                      trap([&] { object(s.m_objMediaControl).Run(); });
  if (!placed) {
    return;
  }
  s.ClipPlaying = kTrue;
  if (!trap([&] {
        p.form.Text2.Text = QString::number(values::int_part(object(position).Duration()), 'f', 0);
      })) {
    return;
  }

  if (s.AdPlaying != kFalse || s.NewsRunning != kFalse) {
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
  p.form.NewsTimer.Enabled = s.NewsFound != kFalse;
}

}  // namespace vantora
