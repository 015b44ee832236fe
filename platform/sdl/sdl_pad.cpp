#include "platform/sdl/sdl_pad.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

std::optional<TPointerDir> DirOfButton(uint8_t button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return TPointerDir::Left;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return TPointerDir::Right;
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return TPointerDir::Up;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return TPointerDir::Down;
        default:
            return std::nullopt;
    }
}

std::optional<TPointerDir> DirOfKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_LEFT:
            return TPointerDir::Left;
        case SDLK_RIGHT:
            return TPointerDir::Right;
        case SDLK_UP:
            return TPointerDir::Up;
        case SDLK_DOWN:
            return TPointerDir::Down;
        default:
            return std::nullopt;
    }
}

// A stick's deflection past its dead zone, 0 .. 1 along its own direction; both axes keep the
// direction the stick leans in.
void Deflection(int rawX, int rawY, double& x, double& y) {
    const double fx = rawX / 32767.0, fy = rawY / 32767.0;
    const double length = std::hypot(fx, fy), rest = TSdlPointerInput::kDeadZone / 32767.0;
    if (length <= rest) {
        x = y = 0;
        return;
    }
    const double scaled = std::min(1.0, (length - rest) / (1.0 - rest));
    x = fx / length * scaled;
    y = fy / length * scaled;
}

}  // namespace

TSdlPointerInput::TSdlPointerInput(TGridPointer& pointer, std::function<uint64_t()> now)
    : pointer_(pointer), now_(std::move(now)) {}

TSdlPointerInput::~TSdlPointerInput() {
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad.controller);
    if (opened_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool TSdlPointerInput::Open() {
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "quorvatide: no game controllers: %s\n", SDL_GetError());
        return false;
    }
    opened_ = true;
    return true;
}

void TSdlPointerInput::Drive(SDL_JoystickID id) {
    if (driver_ == id) return;
    // The pad that drove lets go of what it held.
    pointer_.LetGo(TPointerSource::Pad);
    driver_ = id;
}

void TSdlPointerInput::SendStick(const TPad& pad) {
    double lx, ly, rx, ry;
    Deflection(pad.axes[0], pad.axes[1], lx, ly);
    Deflection(pad.axes[2], pad.axes[3], rx, ry);
    // The stick leant further counts.
    if (std::hypot(rx, ry) > std::hypot(lx, ly)) lx = rx, ly = ry;
    pointer_.Stick(lx, ly, now_());
}

bool TSdlPointerInput::HandlePad(const SDL_Event& ev) {
    switch (ev.type) {
        case SDL_JOYDEVICEADDED:
            // Every joystick arrives this way; those SDL knows as a controller arrive again as
            // a controller.
            if (!SDL_IsGameController(ev.jdevice.which)) {
                const char* name = SDL_JoystickNameForIndex(ev.jdevice.which);
                std::fprintf(stderr,
                             "quorvatide: the joystick \"%s\" has no known controller mapping; "
                             "ignored\n",
                             name ? name : "?");
            }
            return true;
        case SDL_CONTROLLERDEVICEADDED: {
            SDL_GameController* controller = SDL_GameControllerOpen(ev.cdevice.which);
            if (!controller) {
                std::fprintf(stderr, "quorvatide: cannot open a game controller: %s\n",
                             SDL_GetError());
                return true;
            }
            const SDL_JoystickID id =
                SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
            if (pads_.count(id))
                SDL_GameControllerClose(controller);  // already open
            else
                pads_[id].controller = controller;
            return true;
        }
        case SDL_CONTROLLERDEVICEREMOVED: {
            const auto it = pads_.find(ev.cdevice.which);
            if (it == pads_.end()) return true;
            if (driver_ == it->first) {
                // Whatever it held, a direction, the button, the stick: let go.
                pointer_.LetGo(TPointerSource::Pad);
                driver_ = -1;
            }
            SDL_GameControllerClose(it->second.controller);
            pads_.erase(it);
            return true;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            if (!pads_.count(ev.cbutton.which)) return true;
            const bool down = ev.type == SDL_CONTROLLERBUTTONDOWN;
            if (down)
                Drive(ev.cbutton.which);
            else if (driver_ != ev.cbutton.which)
                return true;
            const uint8_t button = ev.cbutton.button;
            if (const auto dir = DirOfButton(button)) {
                if (down)
                    pointer_.Press(TPointerSource::Pad, *dir, now_());
                else
                    pointer_.Release(TPointerSource::Pad, *dir);
            } else if (button == SDL_CONTROLLER_BUTTON_A) {
                if (down)
                    pointer_.ConfirmDown(TPointerSource::Pad);
                else
                    pointer_.ConfirmUp(TPointerSource::Pad);
            } else if (down && button == SDL_CONTROLLER_BUTTON_B) {
                pointer_.Back();
            } else if (down && button == SDL_CONTROLLER_BUTTON_START) {
                pointer_.Menu();
            } else if (down && button == SDL_CONTROLLER_BUTTON_BACK) {
                pointer_.TypeKey('m');
            }
            return true;
        }
        case SDL_CONTROLLERAXISMOTION: {
            const auto it = pads_.find(ev.caxis.which);
            if (it == pads_.end()) return true;
            int slot = -1;
            switch (ev.caxis.axis) {
                case SDL_CONTROLLER_AXIS_LEFTX:
                    slot = 0;
                    break;
                case SDL_CONTROLLER_AXIS_LEFTY:
                    slot = 1;
                    break;
                case SDL_CONTROLLER_AXIS_RIGHTX:
                    slot = 2;
                    break;
                case SDL_CONTROLLER_AXIS_RIGHTY:
                    slot = 3;
                    break;
                default:
                    return true;  // the triggers do nothing
            }
            TPad& pad = it->second;
            pad.axes[slot] = ev.caxis.value;
            if (driver_ != it->first) {
                // Another pad's stick takes over once it leaves its rest.
                double x, y;
                Deflection(pad.axes[slot & 2], pad.axes[(slot & 2) + 1], x, y);
                if (x == 0 && y == 0) return true;
                Drive(it->first);
            }
            SendStick(pad);
            return true;
        }
        case SDL_CONTROLLERDEVICEREMAPPED:
        case SDL_JOYDEVICEREMOVED:
        case SDL_JOYAXISMOTION:
        case SDL_JOYBALLMOTION:
        case SDL_JOYHATMOTION:
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            return true;
        default:
            return false;
    }
}

void TSdlPointerInput::LetGo() {
    pointer_.LetGo(TPointerSource::Keys);
    pointer_.LetGo(TPointerSource::Pad);
    for (auto& [id, pad] : pads_)
        for (int& axis : pad.axes) axis = 0;
    driver_ = -1;
}

bool TSdlPointerInput::HandleKey(const SDL_KeyboardEvent& key) {
    const bool down = key.type == SDL_KEYDOWN;
    // Keys with a modifier are the system's or the window's (Alt+Enter), not the pointer's.
    if (down && (key.keysym.mod & (KMOD_ALT | KMOD_CTRL | KMOD_GUI))) return false;
    const SDL_Keycode sym = key.keysym.sym;
    if (const auto dir = DirOfKey(sym)) {
        if (down)
            pointer_.Press(TPointerSource::Keys, *dir, now_());
        else
            pointer_.Release(TPointerSource::Keys, *dir);
        return true;
    }
    switch (sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE:
            if (down && key.repeat == 0) pointer_.ConfirmDown(TPointerSource::Keys);
            if (!down) pointer_.ConfirmUp(TPointerSource::Keys);
            return true;
        case SDLK_ESCAPE:
            if (down && key.repeat == 0) pointer_.Back();
            return true;
        default:
            return false;
    }
}
