#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

namespace vantora::plan {

// The rows of a schedule database a plan judges, read once from the snapshot, by column position
// as the player reads them. A value that cannot be read is left invalid (the run itself reports
// what the player makes of it).
struct SegmentRow {
  qint64 id = 0;
  QDateTime start;
  QDateTime end;
  QString file;
  double start_offset_s = 0;
  double end_offset_s = 0;
  QString caption;
  bool show_start = false;
  bool show_end = false;
};

struct SlotRow {
  qint64 id = 0;
  QString name;
  QTime time;
  bool ads = true;  // kind 0: an ad break; any other: news
};

struct AdRow {
  qint64 id = 0;
  QString name;
  QTime time;
  QDate first;
  QDate last;
  QString file;
  QString caption;
  double duration_s = 0;
};

struct NewsRow {
  qint64 id = 0;
  QString name;
  QTime time;
  QString folder;
};

struct FillerRow {
  qint64 id = 0;
  QString folder;
  QTime start;
  QTime end;
  int day_of_week = 0;
};

struct ScheduleFacts {
  std::vector<SegmentRow> segments;  // by start
  std::vector<SlotRow> slots;
  std::vector<AdRow> ads;
  std::vector<NewsRow> news;
  std::vector<FillerRow> filler;
  QString default_filler_folder;
  QString emergency_folder;
  int start_tolerance_s = 60;
};

// Empty `error` on success.
ScheduleFacts read_schedule(const QString& database_path, QString* error);

// "YYYY-MM-DD HH:MM:SS[.SSS]", or a time of day on 1899-12-30.
QDateTime parse_stored_date_time(const QString& text);

}  // namespace vantora::plan
