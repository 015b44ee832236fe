// The screens of the front end's menu.
#pragma once

#include <memory>

#include "frontend/front_end.h"

// The menu itself: resume or play, a new game, records, watching a replay, options, quitting.
std::unique_ptr<TMenuScreen> MakeMainMenu();
// The options: volumes, the window, calm effects, the pause on losing focus, the game's speed.
std::unique_ptr<TMenuScreen> MakeOptionsScreen();
// The controls: the mouse, the keys, the pad.
std::unique_ptr<TMenuScreen> MakeControlsScreen();
// The replays folder, newest first, to choose one to watch.
std::unique_ptr<TMenuScreen> MakeWatchScreen(TFrontEnd& front);
// The records: the best ten games and the latest, each opening its report.
std::unique_ptr<TMenuScreen> MakeRecordsScreen();
// A game's report, worked out from its replay: its numbers, its plot, and Watch and Take over.
std::unique_ptr<TMenuScreen> MakeReportScreen(TFrontEnd& front, const TGameRecord& record);

// A panel of `width` × `height` in the middle of the play area.
TRect CentredPanel(int width, int height);
