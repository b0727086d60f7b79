#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "platform/mpv/mpv_session.h"
#include "ports/media_graph.h"

namespace vantora::platform {

// One graph on the shared libmpv session: one loaded file. A graph made after it takes the
// session over; from then on this one answers only for its own window values.
class MpvGraph final : public ports::MediaGraph {
 public:
  explicit MpvGraph(std::shared_ptr<MpvSession> session);
  ~MpvGraph() override;
  MpvGraph(const MpvGraph&) = delete;
  MpvGraph& operator=(const MpvGraph&) = delete;

  void RenderFile(const QString& path) override;
  void Run() override;
  void Pause() override;

  double CurrentPosition() const override;
  void put_CurrentPosition(double seconds) override;
  double Duration() const override;

  std::int32_t Owner() const override { return owner_; }
  void put_Owner(std::int32_t owner_hwnd) override { owner_ = owner_hwnd; }
  std::int32_t WindowStyle() const override { return style_; }
  void put_WindowStyle(std::int32_t style) override { style_ = style; }
  int Left() const override { return left_; }
  void put_Left(int left_px) override;
  int Top() const override { return top_; }
  void put_Top(int top_px) override;
  int Width() const override { return width_; }
  void put_Width(int width_px) override;
  int Height() const override { return height_; }
  void put_Height(int height_px) override;
  QString Caption() const override { return caption_; }
  void put_Caption(const QString& caption) override;
  void SetWindowForeground(std::int16_t focus) override;
  std::int32_t hwnd() const override;

  ports::Completion WaitForCompletion(int timeout_ms) override;

 private:
  bool owns_file() const;
  // Stops whatever file is loaded and hides the window.
  void clear_picture();
  // Stops a predecessor's file still held on screen.
  void release_held_picture();
  // Raises the graph-state error unless this graph's file is loaded.
  void require_file() const;
  MpvVideoWindow* own_window() const;
  void place_window();
  MpvSession::Clock::time_point open_deadline() const;

  std::shared_ptr<MpvSession> session_;
  std::uint64_t generation_;
  bool rendered_ = false;
  // From RenderFile's call to the first Run: logged once per file, the figure a channel
  // engineer weighs against the schedule's timing.
  QString rendered_path_;
  MpvSession::Clock::time_point render_called_;
  bool running_logged_ = true;

  std::int32_t owner_ = 0;
  std::int32_t style_ = 0;
  int left_ = 0;
  int top_ = 0;
  int width_ = 640;
  int height_ = 480;
  QString caption_;
};

}  // namespace vantora::platform
