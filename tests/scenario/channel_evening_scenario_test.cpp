#include "core/news/lottery_mask.h"
#include "scenario/day_scenario.h"

namespace vantora::testing {
namespace {

// Beyond the morning's milestones: the operator's seeks, clock, panel and drags, the video
// window's stretches, the overlays each segment chooses, the lottery number and the errors.
std::string evening_event(const TracedEvent& e) {
  const std::string type = e.type();
  const std::string name = e.text("name");
  const std::string prop = e.text("prop");
  const nlohmann::json& v = e.fields.value("value", nlohmann::json());
  const std::string value = v.is_string() ? v.get<std::string>() : v.dump();
  if (type == "seek") {
    return "seek " + std::to_string(int(e.number("from"))) + '>' +
           std::to_string(int(e.number("to")));
  }
  if (type == "clock") {
    return "clock set " + e.text("to");
  }
  if (type == "window" && e.text("z") == "same") {
    return "video " + std::to_string(int(e.number("y"))) + '+' + std::to_string(int(e.number("h")));
  }
  if (type == "error") {
    return "error " + e.text("procedure") + ' ' + std::to_string(int(e.number("number")));
  }
  const bool overlay = name == "Logo" || name == "T_Number" || name == "Picture1" ||
                       (name == "T_Time" && prop != "Visible");
  if (type == "control" && prop == "Visible" &&
      QStringList{"B_pause", "play_pause", "RW", "FF", "B_UP", "B_Down", "B_SetTime"}.contains(
          QString::fromStdString(name))) {
    return (value == "true" ? '+' : '-') + name;
  }
  if (type == "control" && (overlay || name == "B_Disp" || name == "Time_Picker")) {
    return name + '.' + prop + ' ' + QString::fromStdString(value).section(u'/', -1).toStdString();
  }
  return {};
}

// A Sunday evening of the channel: a magazine of three segments with an overlay each, a feature
// that follows it at once, the operator's buttons over the feature, a pause with a break falling
// due in it, an emergency behind a waiting break, the lottery, a show ten seconds away that waits
// behind filler, a show that starts at once when asked to, the end of the programme, an
// emergency whose folder is gone, the clock set from the panel, and an Exit while the last show
// changes segments.
TEST_F(DayScenario, AChannelEvening) {
  const QString status = folder_.filePath("status.txt");
  tool_exec(QStringLiteral("UPDATE \"Player INI\" SET status_file_1 = '%1'").arg(status));
  const QString logo = picture("logo.png");
  // A row and its clip's length.
  auto show = [&](const PlaylistRow& row, double length_s) {
    add_row(row);
    media(row.file, length_s);
  };
  show({.start = "19:00:00", .end = "19:00:20", .file = "/media/seg1.mp4", .show_start = true}, 12);
  show({.start = "19:00:20", .end = "19:00:40", .file = "/media/seg2.mp4", .start_offset = 30}, 40);
  show({.start = "19:00:40", .end = "19:00:50", .file = "/media/seg3.mp4", .show_end = true}, 3);
  // The overlay positions are the tool's to write, and no type guards them.
  const QString overlays = QStringLiteral(
      "UPDATE playlist SET hide_caption = %5, logo_file = '%2', logo_left = '%3', logo_top = '%4', "
      "reserved_17 = %6 WHERE file_name = '/media/%1'");
  tool_exec(overlays.arg("seg1.mp4", "CLOCK", "612", "24.4", "-1", "NULL"));
  tool_exec(overlays.arg("seg2.mp4", logo, "700", "10", "-1", "NULL"));
  tool_exec(overlays.arg("seg3.mp4", "no", "left", "12", "0", "'tool'"));
  // The magazine's end is noticed at 19:00:43.4, 9 s before the feature, which follows at once;
  // part2's at 19:21:14.7, 10 s before the late show, which waits behind filler.
  show({.start = "19:00:52", .end = "19:10:00", .file = "/media/feature.mp4", .show_start = true},
       540);
  show({.start = "19:10:00",
        .end = "19:20:00",
        .file = "/media/part2.mp4",
        .show_end = true,
        .logo_file = "NUM47019"},
       540);
  show(one_row_show("19:21:24", "19:30:00", "/media/late.mp4"), 30);
  PlaylistRow night = one_row_show("21:00:00", "21:30:00", "/media/night.mp4");
  night.start_now = true;
  show(night, 20);
  add_ad("19:05:20", "/media/paused.mp4", 5, 1);
  add_ad("19:05:20", "/media/broken.mp4", 5, 2, File::kNotMedia);
  add_ad("19:21:27", "/media/early.mp4", 3, 1);
  add_slot("19:21:27");
  add_slot("19:05:20");
  // One ad of one priority in a break of its own.
  auto single = [&](const char* time, const char* file, double length_s) {
    add_ad(time, QStringLiteral("/media/") + file, length_s, 1);
    add_slot(time);
  };
  single("19:15:00", "waiting.mp4", 10);
  // A second break in the lottery's minutes: the count read back from Wizard_INI goes on.
  single("19:18:00", "second.mp4", 5);
  // Breaks at 19:10 and at 19:20 are outside those minutes.
  single("19:10:40", "ten.mp4", 3);
  single("19:20:30", "twenty.mp4", 3);
  filler_folder("emergency", {"a.mp4"}, 20);
  const QString emergency = filler_folder("emergency", {"b.mp4"}, 30);
  filler_folder("filler", {"f.mp4"}, 600);
  media("/media/ps1.mp4", 40);
  media("/media/ps2.mp4", 30);
  tool_exec(QStringLiteral("INSERT INTO logo (picture_file, startdate, enddate, logo_top, "
                           "logo_left) VALUES ('%1', '2026-12-01', '2026-12-06 19:02:15', 40, "
                           "600), ('%2', '2026-12-05', '2026-12-07 23:59:59', 40, 600)")
                .arg(picture("a.png"), picture("b.png")));

  // RW 6 s into the feature and FF 1 s before its end stay put; FF during the pause moves the
  // picture, not the saved position; B_thin after the restart finds no clip on the screen.
  sim::Simulation& sim = simulation(
      at(18, 59, 40), {},
      "19:00:50 click RW\n19:02:00 click FF\n19:02:05 click RW\n19:03:00 click B_thin\n"
      "19:03:01 click b_Wide\n19:03:02 click B_UP\n19:03:03 click B_Down\n"
      "19:04:00 mouse Logo down 300 150\n19:04:01 mouse Logo up 600 450\n19:05:00 click B_pause\n"
      "19:05:05 click FF\n19:05:10 click B_pause\n19:05:30 click play_pause\n19:10:20 click FF\n"
      "19:12:00 click B_Restart\n19:40:00 click B_Restart\n19:41:00 click B_Disp\n"
      "19:41:05 set Time_Picker.Value 2031-01-01 19:41:05\n19:41:06 click B_SetTime\n"
      "19:41:07 click B_Disp\n19:44:00 restart\n19:44:15 click B_thin\n");
  sim.runtime().post_at(at(19, 3, 30),
                        [&] { tool_exec("DELETE FROM logo WHERE picture_file LIKE '%b.png'"); });
  std::vector<double> saved_in_pause;
  std::vector<QString> shown_in_pause;
  for (const DateTime moment : {at(19, 5, 2), at(19, 5, 8)}) {
    sim.runtime().post_at(moment, [&] {
      saved_in_pause.push_back(
          tool_value("SELECT saved_position FROM playlist WHERE file_name LIKE '%feature%'")
              .toDouble());
      shown_in_pause.push_back(player().form.Text1.Text);
    });
  }
  // What a break or the filler would have set by the caption's tick: the caption stays away.
  sim.runtime().post_at(at(19, 21, 33), [&] { player().state.filler.FillerMode = kTrue; });
  sim.runtime().post_at(at(19, 22, 4), [&] { player().state.breaks.AdFlag = kTrue; });
  QString counter;
  sim.runtime().post_at(at(19, 30, 0), [&] {
    counter = tool_value("SELECT lottery_counter FROM Wizard_INI").toString();
  });
  sim.runtime().post_at(at(19, 39, 0), [&] { ASSERT_TRUE(QDir(emergency).removeRecursively()); });
  // The caption display is switched off for the day after the restart; the last show is added
  // while the filler plays.
  sim.runtime().post_at(at(19, 43, 0), [&] {
    tool_exec("UPDATE \"Player INI\" SET caption_enabled = 0");
    ScheduleFixture::add_row(
        {.start = "19:45:00", .end = "19:45:40", .file = "/media/ps1.mp4", .show_start = true});
    ScheduleFixture::add_row(
        {.start = "19:45:40", .end = "19:46:00", .file = "/media/ps2.mp4", .show_end = true});
  });
  QByteArray status_after_cycle;
  sim.runtime().post_at(at(19, 45, 25), [&] {
    QFile file(status);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("stale\r\n") == 7);
  });
  sim.runtime().post_at(at(19, 45, 27), [&] {
    QFile file(status);
    status_after_cycle = file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
  });
  // Exit clicked while the movie timer changes segments: the click is served inside the release
  // of the old graph, with the change still on the stack.
  bool exit_clicked = false;
  sim.runtime().post_at(at(19, 45, 10), [&] {
    Player& p = player();
    auto tick = p.form.T_Movie.on_timer;
    p.form.T_Movie.on_timer = [&, tick] {
      if (!exit_clicked && p.state.graph.ClipPlaying == kFalse) {
        exit_clicked = true;
        sim.runtime().post([&p] { p.form.Command1.click(); });
      }
      tick();
    };
  });
  sim.runtime().run_until(at(19, 50, 0));

  const std::vector<std::string> expected{
      "18:59:59.000 keys ^{F1}",
      "19:00:02.000 keys %y",
      "19:00:14.000 Player true +1000 keys %y{sleep 1}%y +1100 keys %y",
      "19:00:16.600 [Normal]; [Movie]; normal seg1.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:00:18.200 T_Time.Caption 19:00; T_Time.Top 24; T_Time.Left 612; clock shown",
      "19:00:29.200 normal seg2.mp4@30 0+600 +1500 keys  {sleep 1} ",
      "19:00:30.800 Logo.Top 10; Logo.Left 700; Logo.Picture logo.png; Logo.Visible true; clock "
      "hidden",
      "19:00:39.800 normal seg3.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:00:41.400 Logo.Top 12; error Run_MovieFile() 13; error Run_MovieFile() 53",
      "19:00:43.400 error Played_entry() 13; normal feature.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:00:45.000 Logo.Visible false",
      "19:00:46.500 Picture1.Width 215; Picture1.Top 80; Picture1.Left 235; Picture1.Visible true",
      "19:00:50.000 input click RW",
      "19:00:56.500 Picture1.Visible false",
      "19:01:00.000 Logo.Top 40; Logo.Left 600; Logo.Picture a.png; Logo.Visible true",
      "19:02:00.000 input click FF; seek 76>86",
      "19:02:05.000 input click RW; seek 91>81",
      "19:02:30.000 Logo.Picture b.png",
      "19:03:00.000 input click B_thin; video 0+606; video -3+606",
      "19:03:01.000 input click b_Wide; video -3+600; video 0+600",
      "19:03:02.000 input click B_UP; video -5+600",
      "19:03:03.000 input click B_Down; video 0+600",
      "19:03:30.000 Logo.Picture ",
      "19:04:00.000 input mouse Logo",
      "19:04:01.000 input mouse Logo; Logo.Left 620; Logo.Top 60",
      "19:05:00.000 input click B_pause +1000 keys P{sleep 1}P",
      "19:05:05.010 input click FF; seek 256>266",
      "19:05:10.040 input click B_pause +1000 keys P{sleep 1}P",
      "19:05:30.030 input click play_pause +1000 keys  {sleep 1} ",
      "19:05:32.130 keys  {sleep 1} ",
      "19:05:32.240 [ADV]; Logo.Visible false; normal paused.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "19:05:37.670 normal broken.mp4@-1 broken +1500 keys P{sleep 1}P",
      "19:05:39.270 Logo.Visible true; [Movie]; normal feature.mp4@259 0+600 +1500 keys  {sleep "
      "1} ",
      "19:05:40.870 Logo.Visible false",
      "19:05:45.870 Picture1.Visible true",
      "19:05:55.870 Picture1.Visible false",
      "19:10:20.000 input click FF",
      "19:10:20.870 normal part2.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:10:22.470 T_Number.Caption ?????; T_Number.Visible true",
      "19:10:26.476 Picture1.Visible true; T_Number.Visible false",
      "19:10:36.716 Picture1.Visible false; T_Number.Visible true",
      "19:10:40.462 [ADV]; T_Number.Visible false; normal ten.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "19:10:44.060 T_Number.Visible true; [Movie]; normal part2.mp4@10 0+600 +1500 keys  {sleep "
      "1} ",
      "19:10:50.660 Picture1.Visible true; T_Number.Visible false",
      "19:11:00.660 Picture1.Visible false; T_Number.Visible true",
      "19:12:00.000 input click B_Restart",
      "19:15:00.082 [ADV]; T_Number.Visible false; normal waiting.mp4@0 0+600 +1500 keys P{sleep "
      "1}P",
      "19:15:10.174 normal a.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "19:15:30.422 normal b.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "19:16:00.660 T_Number.Visible true; [Movie]; normal part2.mp4@256 0+600 +1500 keys  {sleep "
      "1} ",
      "19:16:02.760 T_Number.Caption 4????",
      "19:16:07.260 Picture1.Visible true; T_Number.Visible false",
      "19:16:17.260 Picture1.Visible false; T_Number.Visible true",
      "19:17:48.260 T_Number.Caption X????",
      "19:18:00.152 [ADV]; T_Number.Visible false; normal second.mp4@0 0+600 +1500 keys P{sleep "
      "1}P",
      "19:18:05.748 T_Number.Visible true; [Movie]; normal part2.mp4@365 0+600 +1500 keys  {sleep "
      "1} ",
      "19:18:07.848 T_Number.Caption X7???",
      "19:18:12.348 Picture1.Visible true; T_Number.Visible false",
      "19:18:22.348 Picture1.Visible false; T_Number.Visible true",
      "19:19:53.348 T_Number.Caption XX???",
      "19:20:30.548 [ADV]; T_Number.Visible false; normal twenty.mp4@0 0+600 +1500 keys P{sleep "
      "1}P",
      "19:20:34.146 T_Number.Visible true; [Movie]; normal part2.mp4@500 0+600 +1500 keys  {sleep "
      "1} ",
      "19:20:40.746 Picture1.Visible true; T_Number.Visible false",
      "19:20:50.746 Picture1.Visible false; T_Number.Visible true",
      "19:21:14.746 T_Number.Visible false; filler f.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:21:24.598 [Movie]; normal late.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:21:27.540 [ADV]; normal early.mp4@0 0+600 +1500 keys P{sleep 1}P",
      "19:21:31.138 [Movie]; normal late.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:22:01.738 normal night.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:22:22.338 filler f.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:32:22.938 filler f.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:40:00.000 input click B_Restart; error Emergency() 76",
      "19:41:00.000 input click B_Disp; Time_Picker.Value 2026-12-06T19:41:00.000; -B_pause; "
      "-play_pause; -RW; -FF; -B_UP; -B_Down; Time_Picker.Visible true; +B_SetTime; B_Disp.Caption "
      "B",
      "19:41:05.000 input set Time_Picker2031-01-01T19:41:05.000; Time_Picker.Value "
      "2031-01-01T19:41:05.000",
      "19:41:06.000 input click B_SetTime",
      "19:41:05.000 clock set 2026-12-06T19:41:05.000",
      "19:41:06.000 input click B_Disp; Time_Picker.Visible false; -B_SetTime; +B_pause; "
      "+play_pause; +RW; +FF; +B_UP; +B_Down; B_Disp.Caption A",
      "19:42:22.538 filler f.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:43:59.000 input restart  +1000 keys {esc}{sleep 1}{esc}",
      "19:44:01.100 keys %{F4}",
      "19:44:04.100 keys ^{F2} +1000 keys ^{F2}",
      "19:44:06.100 Player false; Restart true",
      "19:44:11.100 Restart false; Player true",
      "19:44:14.000 input click B_thin",
      "19:44:23.100 keys %y{sleep 1}%y +100 keys %y",
      "19:44:24.700 [UnIntrupted]; filler f.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:45:00.300 [Movie]; normal ps1.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:45:40.900 normal ps2.mp4@0 0+600 +1500 keys  {sleep 1} ",
      "19:45:43.500 keys {esc}{sleep 1}{esc} +1100 keys %{F4}",
      "19:45:47.600 keys ^{F2} +1000 keys ^{F2}",
      "19:45:49.600 Player false",
  };
  EXPECT_EQ(milestones(events(""), evening_event), expected);
  // Paused, nothing is saved while the position shown goes on.
  ASSERT_EQ(saved_in_pause.size(), 2U);
  EXPECT_EQ(saved_in_pause[0], saved_in_pause[1]);
  EXPECT_NE(shown_in_pause[0], shown_in_pause[1]);
  // Without the caption display the cycle never ends: the status file is written again over
  // a line someone else put there.
  EXPECT_EQ(status_after_cycle, QByteArray("Tonight\r\n"));
  EXPECT_TRUE(exit_clicked);
  EXPECT_FALSE(sim.program_running());
  // One log row per segment played, a copy of its playlist row but column 17; a Null stays Null.
  // The lottery's count goes to Wizard_INI with its sign blank.
  EXPECT_EQ(
      column("SELECT replace(p.file_name, '/media/', '') || ' ' || (p.started <> 0 AND p.completed "
             "<> 0 "
             "AND p.seg_start_time = l.seg_start_time AND p.saved_position = l.saved_position AND "
             "p.reserved_17 IS NULL) || (p.logo_top IS NULL) FROM Played p JOIN playlist l ON "
             "l.file_name = p.file_name ORDER BY p.rowid"),
      (std::vector<std::string>{"seg1.mp4 10", "seg2.mp4 10", "seg3.mp4 10", "feature.mp4 11",
                                "part2.mp4 11", "late.mp4 11", "night.mp4 11", "ps1.mp4 11"}));
  EXPECT_EQ(counter, " 2");
}

// The lottery label reveals as many digits as the count, never fewer than none or more than five.
TEST(LotteryMask, ShowsTheCountClamped) {
  const std::pair<int, const char*> cases[] = {
      {-1, "?????"}, {0, "?????"}, {2, "XX???"}, {5, "XXXXX"}, {7, "XXXXX"}};
  for (const auto& [count, mask] : cases) {
    EXPECT_EQ(lottery::mask_text(count), QLatin1String(mask)) << count;
  }
}

}  // namespace
}  // namespace vantora::testing
