#pragma once

#include "core/shell/player.h"

namespace vantora {

// The window style of the video window: clip children and clip siblings, no caption or border.
inline constexpr std::int32_t kVideoWindowStyle = 0x06000000;
inline constexpr int kVideoWindowWidth_px = 800;
inline constexpr std::int16_t kFullPictureHeight_px = 600;
inline const QString kVideoWindowCaption = QStringLiteral("Vantora Player Video Window");

// Throws the current graph away and starts a new one on the file the mode flags choose
// (NewsRunning: NewsClip; FillerMode: ClipFile; else MediaFile at StartOffset), places its
// window and returns at once. ClipPlaying says whether the file started. For movies and fillers
// it also looks ahead for a news item due before the clip ends and arms NewsTimer for it.
void Run_Movie(Player& p);

}  // namespace vantora
