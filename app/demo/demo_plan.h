#pragma once

#include <QString>
#include <vector>

#include "app/demo/schedule_rows.h"
#include "base/date_time.h"
#include "ports/table_store.h"

namespace vantora::platform::demo {

// The look of a generated clip: each kind of item has its own pattern, so a screenshot tells a
// movie from an ad, a news clip or filler at a glance.
enum class Pattern {
  kMovie,      // moving colour test card
  kAd,         // SMPTE colour bars
  kNews,       // RGB test pattern
  kFiller,     // classic test card
  kEmergency,  // plain red
};

struct ClipSpec {
  QString path;
  QString label;  // burnt into the picture, with the running time under it
  int seconds = 0;
  Pattern pattern = Pattern::kMovie;
};

struct PictureSpec {
  QString path;
  QString label;
  QString colour;  // an ffmpeg colour name or 0xRRGGBB
};

// The demo day, in seconds after the moment the schedule is written. The first show starts a
// minute or so after the player's own start-up (about 35 s of waits) has ended; everything else
// follows from it, so a run of a few minutes shows filler, both shows, an ad break, a news break
// and a daily news item.
struct Timeline {
  int first_show_s = 95;
  int segment_s = 20;          // every movie segment clip
  int ad_slot_after_s = 25;    // into the first show, after its first picture has shown
  int news_slot_after_s = 50;  // into the first show
  // In the third part, 15.7 s into it. The resume goes back 10 s from the position rounded to
  // the second: a position near a half second would resume the real player and its plan a
  // second apart, as the engine's clock and the timers' jitter decide.
  int daily_news_after_s = 97;
  int daypart_change_after_s = 115;
  int second_show_after_s = 130;

  int second_show_s() const { return first_show_s + second_show_after_s; }
  // When the last scheduled row ends, if nothing drifts.
  int day_end_s() const { return second_show_s() + 2 * segment_s; }
};

// Everything a demo channel holds: its folders, the media to generate and the schedule rows,
// with every path absolute under the channel folder. Rows are in insertion order; `Player INI`
// is given as the changes to the row a new database starts with.
struct Plan {
  std::vector<QString> folders;
  std::vector<ClipSpec> clips;
  std::vector<PictureSpec> pictures;
  std::vector<RowSpec> rows;
  std::vector<ports::CellValue> player_ini;
  QString designer_document;
  QString key_log;
};

inline constexpr const char* kDesignerDocument = "demo-presentation";

// `now` is the moment the schedule is written; it is cut to the whole second, since the player
// matches break slots to the second.
Plan plan_channel(const QString& folder, DateTime now, const Timeline& timeline = {});

}  // namespace vantora::platform::demo
