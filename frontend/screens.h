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

// A panel of `width` × `height` in the middle of the play area.
TRect CentredPanel(int width, int height);
