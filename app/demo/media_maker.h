#pragma once

#include <QString>
#include <QTemporaryDir>
#include <vector>

#include "app/demo/demo_plan.h"

namespace vantora::platform::demo {

// Generates the demo's clips and pictures with ffmpeg's test sources: nothing binary is kept in
// the repository. Clips are small (320 x 240, H.264 with a tone) so that a whole channel takes
// seconds; the player scales them to its 800-pixel window.
class MediaMaker {
 public:
  // `font_file` labels every picture when it exists; without it the clips are unlabelled.
  explicit MediaMaker(QString font_file = default_font_file());

  static QString default_font_file();
  bool labels() const { return !font_file_.isEmpty(); }

  // Runs up to `parallel` ffmpeg processes at a time. Raises a RuntimeError (err::kPathNotFound
  // when ffmpeg is missing, err::kFileIo when it fails) naming the first file that failed.
  void make_clips(const std::vector<ClipSpec>& clips, int parallel = 2);
  void make_picture(const PictureSpec& picture);

  // The ffmpeg arguments for one clip, after "-v error -y".
  QStringList clip_arguments(const ClipSpec& clip, const QString& label_file) const;

 private:
  QString label_file(const QString& label, int index);

  QString font_file_;
  QTemporaryDir labels_;
};

}  // namespace vantora::platform::demo
