#pragma once

#include "core/shell/form_model.h"

namespace vantora::forms {

// The first form: a splash with one label, shown while the designer is launched.
class StartupForm : public Form {
 public:
  explicit StartupForm(ports::Runtime& runtime);

  Label Label1{*this, QStringLiteral("Label1"),
               QStringLiteral("Loading Vantora Player. Please wait...")};
  TimerControl Timer1;
};

// Shown for the few seconds in which the player window is reloaded.
class RestartForm : public Form {
 public:
  RestartForm();

  Label Label1{*this, QStringLiteral("Label1"),
               QStringLiteral("Restarting the Application... Please Wait")};
};

// The player window: the operator's buttons, the status boxes, the overlays over the video and
// the six timers that run the day. Every control keeps its design name.
class PlayerForm : public Form {
 public:
  explicit PlayerForm(ports::Runtime& runtime);

  // Operator buttons.
  Button B_pause{*this, QStringLiteral("B_pause"), QStringLiteral("Pause")};
  Button B_Restart{*this, QStringLiteral("B_Restart"), QStringLiteral("E'gency")};
  Button B_Disp{*this, QStringLiteral("B_Disp"), QStringLiteral("A")};
  Button FF{*this, QStringLiteral("FF"), QStringLiteral(">>")};
  Button RW{*this, QStringLiteral("RW"), QStringLiteral("<<")};
  Button play_pause{*this, QStringLiteral("play_pause"), QStringLiteral("Play")};
  Button B_UP{*this, QStringLiteral("B_UP"), QStringLiteral("Up")};
  Button B_Down{*this, QStringLiteral("B_Down"), QStringLiteral("Down")};
  Button B_thin{*this, QStringLiteral("B_thin"), QStringLiteral("Thin")};
  Button b_Wide{*this, QStringLiteral("b_Wide"), QStringLiteral("Wide")};
  Button Command1{*this, QStringLiteral("Command1"), QStringLiteral("Exit")};

  // Status boxes: position, duration, what is playing.
  TextBox Text1{*this, QStringLiteral("Text1")};
  TextBox Text2{*this, QStringLiteral("Text2")};
  TextBox Text3{*this, QStringLiteral("Text3")};

  // Overlays over the video.
  PictureBox Logo{*this, QStringLiteral("Logo"), Visibility::kHidden};
  Label T_Time{*this, QStringLiteral("T_Time"), QString(), Visibility::kHidden};
  Label T_Number{*this, QStringLiteral("T_Number"), QString(), Visibility::kHidden};
  PictureBox WnW{*this, QStringLiteral("WnW"), Visibility::kHidden};

  // The clock setter, shown in place of the transport buttons by B_Disp.
  DatePicker Time_Picker{*this, QStringLiteral("Time_Picker"), Visibility::kHidden};
  Button B_SetTime{*this, QStringLiteral("B_SetTime"), QStringLiteral("Set"), Visibility::kHidden};

  // The movie timer's caption overlay: Label1 drawn inside Picture1.
  PictureBox Picture1{*this, QStringLiteral("Picture1"), Visibility::kHidden};
  Label Label1{*this, QStringLiteral("Label1")};

  // Lists.
  FileListBox File1{*this, QStringLiteral("File1"), Visibility::kHidden};
  FileListBox NewsFile{*this, QStringLiteral("NewsFile"), Visibility::kHidden};
  ListBox FillerList{*this, QStringLiteral("FillerList"), Visibility::kHidden};

  // Timers, all disabled at design time.
  TimerControl T_Movie;
  TimerControl AdTimer;
  TimerControl FillerTimer;
  TimerControl NewsTimer;
  TimerControl LogoTimer;
  TimerControl Timer2;
};

}  // namespace vantora::forms
