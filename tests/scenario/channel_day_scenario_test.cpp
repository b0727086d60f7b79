#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// A Sunday morning of the channel, from a start-up late for its first show to the second show:
// the settings, a show with its picture, clock and caption, an ad break with an item that is no
// media, a news folder with a file that is no media over the show and again over the filler, the
// clipboard protocol, filler by weekday, an operator's emergency clicked twice over the filler, a
// restart, the next show on time, and the operator's Exit during a pause: the pause is given up
// without handing the screen back, and a news item due while the window closes never starts.
TEST_F(DayScenario, AChannelMorning) {
  tool_exec(
      "UPDATE \"Player INI\" SET start_tolerance = 90, break_lead_time = 7, panel_left = -1, "
      "filler_folder = '/srv/filler'");
  tool_exec("DELETE FROM Wizard_INI");
  PlaylistRow feature = one_row_show("10:00:00", "10:20:00", "/media/feature.mp4");
  feature.start_offset = 120;
  feature.picture_top = 50;
  feature.picture_height = 500;
  feature.logo_file = "CLOCK";
  add_row(one_row_show("10:26:00", "10:56:00", "/media/next.mp4"));  // read in time order
  ScheduleFixture::add_row(feature);
  media(feature.file, 720);  // the show's one segment ends with its clip
  tool_exec("UPDATE playlist SET logo_left = 600, logo_top = 20");
  add_ad("10:05:00", "/media/second.mp4", 20, 3);
  add_ad("10:05:00", "/media/broken.mp4", 15, 2, File::kNotMedia);
  add_ad("10:05:00", "/media/first.mp4", 30, 1);
  add_slot("10:05:00");
  // The break's last item hides its caption; the show's caption comes back with the show.
  tool_exec("UPDATE adv SET hide_caption = -1 WHERE media_path LIKE '%second%'");
  const QString news = filler_folder("news", {"c.mp4", "A.mp4"}, 20);
  QFile(news + "/b.txt").open(QIODevice::WriteOnly);
  // Both items fall due in the hand-over of a programme just resumed or started (the first held
  // by the break): the news takes the screen, and the programme's timers wait for its end.
  tool_exec(QStringLiteral("INSERT INTO News (news_name, news_time, folder_path) VALUES "
                           "('daily', '10:05:20', '%1'), ('filler', '10:16:36', '%1'), ('closing', "
                           "'10:26:38', '%1')")
                .arg(news));
  // Today's row wins over the any-day row, though that one starts earlier.
  const QString any_day = filler_folder("any", {"a1.mp4"}, 100);
  add_filler_row(any_day, "06:00:00", "12:00:00", 0);
  add_filler_row(filler_folder("sunday", {"s1.mp4", "s2.mp4"}, 100), "07:00:00", "12:00:00", 1);
  filler_folder("emergency", {"e.mp4"}, 20);

  // The first show is 76 s late at the day start: in time only with the wider tolerance.
  sim::Simulation& sim =
      simulation(at(10, 0, 40), {},
                 "10:07:30 clipboard disc\n10:07:31 clipboard DISC \n"
                 "10:07:32 clipboard text of another program\n10:07:33 clipboard DISC\n"
                 "10:07:34 clipboard CON\n10:07:36 click play_pause\n10:07:37 clipboard CON\n"
                 "10:20:00 click B_Restart\n10:20:05 click B_Restart\n10:24:00 restart\n"
                 "10:26:30 click B_pause\n10:26:35 click Command1\n");
  QString first_counter;
  sim.runtime().post_at(at(10, 2, 0), [&] {
    first_counter = tool_value("SELECT lottery_counter FROM Wizard_INI").toString();
    EXPECT_EQ(sim.globals().PanelLeft, kTrue);
    EXPECT_EQ(player().state.filler.FillerFolder, "/srv/filler");
  });
  // The scheduling tool's changes as the restart comes, after the logo timer's last look.
  sim.runtime().post_at(date_time::add_seconds(at(10, 23, 59), 0.9), [&] {
    tool_exec(QStringLiteral("INSERT INTO logo (picture_file, startdate, enddate, logo_top, "
                             "logo_left) VALUES ('%1', '2026-12-06', '2026-12-07', 40, 600)")
                  .arg(picture("new.png")));
    tool_exec("UPDATE Wizard_INI SET lottery_counter = '3'");
  });
  std::vector<std::string> queued;
  sim.runtime().post_at(at(10, 20, 3), [&] {
    queued = column(
        "SELECT seg_start_time || ' ' || seg_end_time || ' ' || end_offset || ' ' || caption || "
        "' ' || text6 || ' ' || hide_caption || ad_flag || saved_position FROM AD_Temp");
  });
  std::int64_t logos_read = -1;
  sim.runtime().post_at(at(10, 24, 30), [&] { logos_read = sim.data().rsLogo.record_count(); });
  sim.runtime().run_until(at(10, 27, 0));

  const std::vector<std::string> expected{
      "10:00:59.000 keys ^{F1}",
      "10:01:02.000 keys %y",
      "10:01:14.000 Player true +1000 keys %y{sleep 1}%y +1100 keys %y",
      "10:01:16.600 [Normal]; [Movie]; normal feature.mp4@120 50+500 +1500 keys  {sleep 1} ",
      "10:01:18.200 clock shown",
      "10:01:23.200 clock hidden",
      "10:01:33.200 clock shown",
      "10:05:00.654 [ADV]; clock hidden; normal first.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "10:05:30.726 normal broken.mp4@-1 broken +1500 keys P{sleep 1}P",
      "10:05:32.326 normal second.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "10:05:52.574 clock shown; [Movie]; normal feature.mp4@334 50+500 +1500 keys  {sleep 1} ",
      "10:05:54.174 [News]; clock hidden; news A.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "10:06:14.788 news b.txt@-1 broken",
      "10:06:15.725 news c.mp4@0 0+600",
      "10:06:36.339 clock shown; [Movie]; normal feature.mp4@326 50+500 +1500 keys  {sleep 1} ",
      "10:06:42.939 clock hidden",
      "10:06:52.939 clock shown",
      "10:07:30.000 input clipboard disc",
      "10:07:31.000 input clipboard DISC ",
      "10:07:32.000 input clipboard text of another program",
      "10:07:33.000 input clipboard DISC",
      "10:07:33.227 clipboard answered OK; clock hidden",
      "10:07:34.000 input clipboard CON",
      "10:07:36.000 input click play_pause",
      "10:07:36.557 clipboard answered OK; clock shown",
      "10:07:37.000 input clipboard CON",
      "10:07:37.223 clipboard answered OK",
      "10:13:14.439 clock hidden; filler s1.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:14:55.039 filler s2.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:16:35.639 filler s1.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:16:37.239 [News]; news A.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "10:16:57.853 news b.txt@-1 broken",
      "10:16:58.790 news c.mp4@0 0+600",
      "10:17:19.404 filler s2.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:19:00.004 filler s1.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:20:00.000 input click B_Restart; [ADV]; filler e.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "10:20:05.000 input click B_Restart",
      "10:20:20.248 filler e.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "10:20:40.496 filler s2.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:22:21.096 filler s1.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:24:00.000 input restart  +1000 keys {esc}{sleep 1}{esc}",
      "10:24:02.100 keys %{F4}",
      "10:24:05.100 keys ^{F2} +1000 keys ^{F2}",
      "10:24:07.100 Player false; Restart true",
      "10:24:12.100 Restart false; Player true",
      "10:24:24.100 keys %y{sleep 1}%y +100 keys %y",
      "10:24:25.700 [UnIntrupted]; filler s1.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:26:00.300 [Movie]; normal next.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "10:26:30.000 input click B_pause +1000 keys P{sleep 1}P",
      "10:26:35.020 input click Command1 +1000 keys {esc}{sleep 1}{esc}",
      "10:26:37.120 keys %{F4}",
      "10:26:40.120 keys ^{F2} +1000 keys ^{F2}",
      "10:26:42.120 Player false",
  };
  EXPECT_EQ(milestones(events("")), expected);
  // The answer to "DISC" came with the player window in its corner (the panel on the left) and
  // the designer over the screen, both topmost, in the same moment.
  EXPECT_EQ(windows_at(date_time::add_seconds(at(10, 7, 33), 0.227)),
            (std::vector<std::string>{"Vantora Player 2,2 500x350 top",
                                      "Presentation Designer 4,4 792x580 top"}));
  // The emergency is stamped with the click and valid for half an hour.
  EXPECT_EQ(queued, std::vector<std::string>{"2026-12-06 10:20:00 2026-12-06 10:50:00 1800.0 "
                                             "Emergency Emergency 000.0"});

  // The designer hears "P" on every ad tick of the lead time's last six seconds before the break.
  std::vector<DateTime> warned;
  for (const TracedEvent& e : events("keys")) {
    if (e.text("keys") == "P" && e.at < date_time::add_seconds(at(10, 5, 0), 0.7)) {
      warned.push_back(e.at);
    }
  }
  ASSERT_EQ(warned.size(), 9U);
  EXPECT_GE(warned.front(), at(10, 4, 54));
  // The restart stops the clip with the old window, before the Restart form shows, and the day
  // started again reads the tables as they are now.
  EXPECT_TRUE(std::ranges::any_of(events("stop"), [&](const TracedEvent& e) {
    return e.at == date_time::add_seconds(at(10, 24, 5), 0.1) && file_name(e) == "s1.mp4";
  }));
  EXPECT_EQ(logos_read, 1);

  // An empty Wizard_INI gets its row at the first day start, the counter's sign blank; the day
  // start after the restart sets the row back to zero. Each break item is logged as it starts, the
  // show at its end; the filler and the news are not.
  EXPECT_EQ(first_counter, " 0");
  EXPECT_EQ(tool_value("SELECT lottery_counter FROM Wizard_INI").toString(), "0");
  EXPECT_EQ(
      column("SELECT substr(seg_start_time, 12, 5) || ' ' || replace(file_name, rtrim("
             "file_name, replace(file_name, '/', '')), '') || ' ' || started || completed "
             "|| ' ' || IFNULL(saved_position, 'N') || ' ' || caption FROM Played ORDER BY rowid"),
      (std::vector<std::string>{"10:05 first.mp4 00 N Ad", "10:05 broken.mp4 00 N Ad",
                                "10:05 second.mp4 00 N Ad", "10:00 feature.mp4 11 720.0 Tonight",
                                "10:20 e.mp4 00 0.0 Emergency", "10:20 e.mp4 00 0.0 Emergency"}));
  EXPECT_TRUE(events("error").empty());
  EXPECT_FALSE(sim.program_running());
}

}  // namespace
}  // namespace vantora::testing
