#pragma once

// Column ordinals of every table the player reads or writes, by the column's name. The tables'
// layout is fixed by the scheduling tool (see schema.cpp), so rows are read by position.
namespace vantora::db::col {

// playlist, Played and AD_Temp share the segment layout (AD_Temp stops at saved_position), so a
// break item loads like a segment and a log row copies the row played column for column.
namespace playlist {
inline constexpr int kSegStartTime = 0;
inline constexpr int kSegEndTime = 1;
inline constexpr int kFileName = 2;
inline constexpr int kStartOffset = 3;
inline constexpr int kEndOffset = 4;
inline constexpr int kCaption = 5;
inline constexpr int kText6 = 6;
inline constexpr int kStarted = 7;
inline constexpr int kCompleted = 8;
inline constexpr int kPictureTop = 9;
inline constexpr int kPictureHeight = 10;
inline constexpr int kHideCaption = 11;
inline constexpr int kAdFlag = 12;
inline constexpr int kStartNow = 13;
inline constexpr int kShowStart = 14;
inline constexpr int kShowEnd = 15;
inline constexpr int kSavedPosition = 16;
inline constexpr int kLogoFile = 18;
inline constexpr int kLogoLeft = 19;
inline constexpr int kLogoTop = 20;
}  // namespace playlist
namespace ad_temp = playlist;
namespace played = playlist;

namespace player_ini {
inline constexpr int kStartTolerance = 0;
inline constexpr int kFillerFolder = 1;
inline constexpr int kBreakLeadTime = 2;
inline constexpr int kStatusFile1 = 3;
inline constexpr int kCaptionEnabled = 6;
inline constexpr int kPanelLeft = 7;
inline constexpr int kDesignerDocument = 8;
inline constexpr int kEmergencyFolder = 9;
}  // namespace player_ini

namespace slot_adv {
inline constexpr int kTime = 1;
inline constexpr int kSlotKind = 3;
}  // namespace slot_adv

// Ads and news items alike.
namespace adv {
inline constexpr int kTime = 1;
inline constexpr int kCaption = 2;
inline constexpr int kFirstDate = 3;
inline constexpr int kLastDate = 4;
inline constexpr int kMediaPath = 5;  // a news item's folder
inline constexpr int kDuration = 7;
inline constexpr int kExtraText = 8;
inline constexpr int kHideCaption = 9;
inline constexpr int kAdFlag = 10;
inline constexpr int kExtra16 = 11;
inline constexpr int kPriority = 12;
}  // namespace adv

namespace logo {
inline constexpr int kPictureFile = 0;
inline constexpr int kStartDate = 1;
inline constexpr int kEndDate = 2;
inline constexpr int kLogoTop = 3;
inline constexpr int kLogoLeft = 4;
}  // namespace logo

namespace filler {
inline constexpr int kFolderPath = 0;
inline constexpr int kStartTime = 1;
inline constexpr int kEndTime = 2;
inline constexpr int kDayOfWeek = 4;
}  // namespace filler

// Wizard_INI, whose one column holds the lottery counter.
namespace lottery {
inline constexpr int kCounter = 0;
}  // namespace lottery

namespace news_slot {
inline constexpr int kTime = 1;
}  // namespace news_slot

namespace news {
inline constexpr int kNewsTime = 1;
inline constexpr int kFolderPath = 2;
}  // namespace news

}  // namespace vantora::db::col
