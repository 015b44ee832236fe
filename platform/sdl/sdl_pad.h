// Game controllers (SDL's GameController: Xbox and PlayStation pads, the Steam Deck's own
// controls; plugged in and out at any time, any number) and the keyboard's pointer keys, read
// from SDL's events and handed to the grid pointer.
//
//   pad                      keyboard                the game
//   d-pad                    arrow keys              the pointer, tile by tile or item by item
//   left stick, right stick                          the pointer, smoothly over the board
//   A                        Enter, Space            the left button at the pointer
//   B                        Escape                  closes an open menu
//   Start                                            P
//   Back (View)                                      M
//
// The pad that pressed a button last drives; the others wait until one of theirs is pressed.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <functional>
#include <map>

#include "shell/grid_pointer.h"

class TSdlPointerInput {
public:
    // Stick positions (of 32767) within this are taken as rest.
    static constexpr int kDeadZone = 8000;

    // `now` is the clock the pointer's repeats run on.
    TSdlPointerInput(TGridPointer& pointer, std::function<uint64_t()> now);
    ~TSdlPointerInput();
    TSdlPointerInput(const TSdlPointerInput&) = delete;
    TSdlPointerInput& operator=(const TSdlPointerInput&) = delete;

    // Starts SDL's game controller support; without it (one line on stderr) the keyboard still
    // works. Pads already plugged in arrive as events.
    bool Open();
    // A controller event; true when it was one.
    bool HandlePad(const SDL_Event& ev);
    // A key press or release that the session did not take; true when the pointer took it.
    bool HandleKey(const SDL_KeyboardEvent& key);
    // Whether a typed character belongs to a pointer key (the space bar's), and so is not the
    // game's.
    static bool TakesText(char c) { return c == ' '; }
    // Lets go of every held direction, the confirm press and the sticks (the window lost the
    // focus); the pad that drove waits like the others for its next press.
    void LetGo();

private:
    struct TPad {
        SDL_GameController* controller = nullptr;
        int axes[4] = {0, 0, 0, 0};  // left x, y, right x, y
    };
    void Drive(SDL_JoystickID id);
    void SendStick(const TPad& pad);

    TGridPointer& pointer_;
    std::function<uint64_t()> now_;
    bool opened_ = false;
    std::map<SDL_JoystickID, TPad> pads_;
    // The pad whose input counts; -1 for none yet.
    SDL_JoystickID driver_ = -1;
};
