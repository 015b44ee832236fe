// Whole games without a mouse. SDL's virtual joysticks stand in for game controllers, and the
// keyboard's keys are handed to the same adapter the window's host uses; the pointer it drives
// reaches a headless game only as mouse moves, presses and releases, which the game records
// into a replay that must check. From the splash screen a sign is ordered and built, a bot is
// bought, a menu is closed again, the game is paused and the music switched, and after the fall
// of the base the game-over screen leads back to the splash screen.
#include "platform/sdl/sdl_pad.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/native.h"
#include "replay/check.h"
#include "shell/grid_pointer.h"
#include "tests/harness.h"

namespace {

// Creatures come only after the orders are done, then fast, against a frail base; a bot costs
// less than the scrap left after a sign.
const std::string kGame =
    "TURRETHEALTH=1\nBASEORBHEALTH=2\nEVONKELBASEEMERGE=20\nSVONKELBASEEMERGE=100000\n"
    "FVONKELBASEEMERGE=100000\nEVONKELBASESPEED=4\nVONKELEMERGESWAP=5\nNUMSTARTRES=5\n"
    "INITDELAY=400\nBOTCOST=30\n";

// A headless game recording its replay, with the pointer and the SDL adapter on top.
class TPointerGame {
public:
    TPointerGame() {
        THeadlessOptions options = dir.WithSettings(kGame);
        replay = (dir.ExeDir() / "game.qvr").string();
        options.replayPath = replay;
        game = std::make_unique<THarness>(options);
        pointer = std::make_unique<TGridPointer>([this] { return &game->Form(); },
                                                 [this](const TDispatch& d) { game->Dispatch(d); });
        input = std::make_unique<TSdlPointerInput>(*pointer, [this] { return game->clock.now; });
    }
    TForm1& f() { return game->Form(); }

    // Lets time pass in steps of 10 ms, as the host's loop would: SDL's events, the pointer's
    // repeats, then the game's timers.
    void Run(uint64_t ms) {
        for (uint64_t t = 0; t < ms; t += 10) {
            SDL_Event ev;
            while (SDL_PollEvent(&ev)) input->HandlePad(ev);
            pointer->RunDue(game->clock.now);
            game->Advance(10);
        }
    }
    bool RunUntil(const std::function<bool()>& done, uint64_t ms) {
        for (uint64_t t = 0; t < ms && !done(); t += 100) Run(100);
        return done();
    }
    // The tile the game's cursor stands on.
    std::pair<int, int> Cursor() { return {f().cursor->tileX, f().cursor->tileY}; }

    // The replay, read back headless, plays as it was played.
    void CheckTheReplay() {
        game->CloseSession();
        const TCheckOutcome outcome =
            CheckReplay(replay, NativeFiles(), dir.ExeDir().string() + "/");
        EXPECT_EQ(outcome.status, 0) << outcome.message;
        EXPECT_EQ(outcome.games, 2) << outcome.message;
    }

    TTempAssets dir;
    std::string replay;
    std::unique_ptr<THarness> game;
    std::unique_ptr<TGridPointer> pointer;
    std::unique_ptr<TSdlPointerInput> input;
};

// How a whole game is played, whatever the device, from the splash screen to the next game's
// start: `press` presses and releases a control,
// `hold` holds a direction for a while.
enum class TControlOf { Left, Right, Up, Down, Confirm, Back, Pause, Music };

void PlayAGame(TPointerGame& g, const std::function<void(TControlOf)>& press,
               const std::function<void(TControlOf, uint64_t)>& hold) {
    TForm1& f = g.f();
    const auto steps = [&](TControlOf c, int n) {
        for (int i = 0; i < n; ++i) press(c);
    };
    g.Run(500);
    // Directions on the splash screen move nothing; a confirm starts play.
    steps(TControlOf::Up, 2);
    press(TControlOf::Confirm);
    ASSERT_FALSE(f.pnlSplash->Visible());
    ASSERT_TRUE(f.tmrTick->Enabled());
    g.Run(200);
    // The pointer begins in the middle of the board.
    EXPECT_EQ(g.Cursor(), std::make_pair(9, 9));

    // A held direction moves once, again after the delay, then at the steady rate; the board's
    // edge stops it.
    hold(TControlOf::Left, TGridPointer::kRepeatDelayMs + 3 * TGridPointer::kRepeatEveryMs + 5);
    EXPECT_EQ(g.Cursor(), std::make_pair(4, 9));
    hold(TControlOf::Left, 2000);
    EXPECT_EQ(g.Cursor(), std::make_pair(0, 9));
    ASSERT_TRUE(g.pointer->Highlight());
    EXPECT_EQ(*g.pointer->Highlight(), (TRect{9, 9 + 9 * 35, 9 + 35, 9 + 10 * 35}));

    // Onto tile (5, 5), the build menu there, and the right-pointing sign: the menu opens with
    // the pointer on its first item, and moves item by item within it.
    steps(TControlOf::Right, 5);
    steps(TControlOf::Up, 4);
    EXPECT_EQ(g.Cursor(), std::make_pair(5, 5));
    press(TControlOf::Confirm);
    ASSERT_TRUE(f.MenuImg->Visible());
    EXPECT_EQ(f.MenuImg->Tag, 0);
    steps(TControlOf::Right, 3);
    steps(TControlOf::Down, 1);
    EXPECT_EQ(f.MenuImg->Tag, 3);
    EXPECT_EQ(*g.pointer->Highlight(), (TRect{175 + 44, 175 + 58, 175 + 79, 175 + 93}));
    press(TControlOf::Confirm);
    EXPECT_FALSE(f.MenuImg->Visible());
    ASSERT_EQ(f.lstSigns.size(), 1u);
    EXPECT_EQ(f.lstSigns[0]->kind, 3);
    EXPECT_EQ(f.cash, 40);
    // Back on the menu's tile.
    EXPECT_EQ(g.Cursor(), std::make_pair(5, 5));
    ASSERT_TRUE(
        g.RunUntil([&] { return f.lstSigns[0]->layer->Bitmap().MasterAlpha() == 255; }, 20000));

    // A menu opened and closed again with Back, as a click on the board outside it closes it;
    // with none open Back does nothing.
    steps(TControlOf::Down, 3);
    press(TControlOf::Confirm);
    ASSERT_TRUE(f.MenuImg->Visible());
    press(TControlOf::Back);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_EQ(g.Cursor(), std::make_pair(5, 8));
    press(TControlOf::Back);
    EXPECT_FALSE(f.MenuImg->Visible());
    EXPECT_EQ(f.lstOrders.size(), 0u);
    EXPECT_EQ(f.cash, 40);

    // The orb menu on (9, 0), and a bot bought: its one item takes no direction.
    steps(TControlOf::Right, 4);
    steps(TControlOf::Up, 8);
    EXPECT_EQ(g.Cursor(), std::make_pair(9, 0));
    press(TControlOf::Confirm);
    ASSERT_TRUE(f.OrbMenuImg->Visible());
    steps(TControlOf::Down, 2);
    press(TControlOf::Confirm);
    EXPECT_FALSE(f.OrbMenuImg->Visible());
    EXPECT_EQ(f.lstBots.size(), 2u);
    EXPECT_EQ(f.cash, 10);

    // The pause and the music.
    press(TControlOf::Pause);
    EXPECT_TRUE(f.pnlPause->Visible());
    EXPECT_FALSE(g.pointer->Highlight());
    press(TControlOf::Confirm);  // a click on the pause picture: nothing
    g.Run(500);
    press(TControlOf::Pause);
    EXPECT_FALSE(f.pnlPause->Visible());
    press(TControlOf::Music);
    EXPECT_FALSE(f.musicOn);
    press(TControlOf::Music);
    EXPECT_TRUE(f.musicOn);

    // The creatures bring the base down; the game-over screen leads back to the splash screen.
    ASSERT_TRUE(g.RunUntil([&] { return f.pnlGameOver->Visible(); }, 180000));
    g.Run(1000);
    press(TControlOf::Confirm);
    EXPECT_FALSE(f.pnlGameOver->Visible());
    EXPECT_TRUE(f.pnlSplash->Visible());
    g.Run(1000);
    press(TControlOf::Confirm);
    EXPECT_FALSE(f.pnlSplash->Visible());
    g.Run(500);
    EXPECT_EQ(g.Cursor(), std::make_pair(9, 9));
}

// SDL with only its game controller part, on no real device.
class SdlPads : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
        ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    // A virtual pad with every button and axis; its device index.
    static int AttachPad(const char* name, bool mapped = true) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = mapped ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.name = name;
        return SDL_JoystickAttachVirtualEx(&desc);
    }
};

// Holds the virtual joysticks open so that their state can be set.
struct TVirtualPad {
    explicit TVirtualPad(int index) : joystick(SDL_JoystickOpen(index)) {}
    ~TVirtualPad() {
        if (joystick) SDL_JoystickClose(joystick);
    }
    void Button(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(joystick, b, down ? 1 : 0);
    }
    void Axis(SDL_GameControllerAxis a, int value) {
        SDL_JoystickSetVirtualAxis(joystick, a, Sint16(value));
    }
    SDL_Joystick* joystick;
};

}  // namespace

TEST_F(SdlPads, AWholeGameWithOnlyAPad) {
    TPointerGame g;
    // A joystick SDL has no controller mapping for says so once and does nothing.
    ::testing::internal::CaptureStderr();
    const int unknown = AttachPad("Unknown stick", false);
    ASSERT_GE(unknown, 0) << SDL_GetError();
    g.Run(50);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("\"Unknown stick\" has no known controller mapping"), std::string::npos)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    const int first = AttachPad("Pad one"), second = AttachPad("Pad two");
    ASSERT_GE(second, 0) << SDL_GetError();
    TVirtualPad one(first), two(second);
    g.Run(50);

    // Every press and release reaches the game through SDL's events.
    TVirtualPad* pad = &one;
    const auto buttonOf = [](TControlOf c) {
        switch (c) {
            case TControlOf::Left:
                return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
            case TControlOf::Right:
                return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
            case TControlOf::Up:
                return SDL_CONTROLLER_BUTTON_DPAD_UP;
            case TControlOf::Down:
                return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
            case TControlOf::Confirm:
                return SDL_CONTROLLER_BUTTON_A;
            case TControlOf::Back:
                return SDL_CONTROLLER_BUTTON_B;
            case TControlOf::Pause:
                return SDL_CONTROLLER_BUTTON_START;
            case TControlOf::Music:
                return SDL_CONTROLLER_BUTTON_BACK;
        }
        return SDL_CONTROLLER_BUTTON_INVALID;
    };
    const auto hold = [&](TControlOf c, uint64_t ms) {
        pad->Button(buttonOf(c), true);
        g.Run(ms);
        pad->Button(buttonOf(c), false);
        g.Run(10);
    };
    const auto press = [&](TControlOf c) { hold(c, 20); };

    // The whole game, played by the first pad.
    PlayAGame(g, press, hold);
    ASSERT_FALSE(HasFatalFailure());

    // In the next game two pads at once do not fight: the one that pressed last drives, and
    // the other's held direction stops.
    one.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    g.Run(100);
    EXPECT_EQ(g.Cursor(), std::make_pair(8, 9));
    two.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    g.Run(TGridPointer::kRepeatDelayMs + TGridPointer::kRepeatEveryMs + 5);
    EXPECT_EQ(g.Cursor(), std::make_pair(8, 12));
    two.Button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    one.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
    g.Run(50);
    EXPECT_EQ(g.Cursor(), std::make_pair(8, 12));

    // Pad two unplugged in the middle of a held direction: the pointer stops.
    two.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    g.Run(100);
    EXPECT_EQ(g.Cursor(), std::make_pair(8, 11));
    SDL_JoystickClose(two.joystick);
    two.joystick = nullptr;
    ASSERT_EQ(SDL_JoystickDetachVirtual(second), 0) << SDL_GetError();
    g.Run(1000);
    EXPECT_EQ(g.Cursor(), std::make_pair(8, 11));

    // The window loses the focus while pad one holds a direction: the pointer stops too.
    one.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    g.Run(100);
    EXPECT_EQ(g.Cursor(), std::make_pair(9, 11));
    g.input->LetGo();
    g.Run(1000);
    EXPECT_EQ(g.Cursor(), std::make_pair(9, 11));
    one.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    press(TControlOf::Left);
    EXPECT_EQ(g.Cursor(), std::make_pair(8, 11));

    // The left stick glides the pointer over the board, the further it leans the faster; the
    // first pad drives again once its stick leaves its rest.
    one.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    g.Run(250);
    one.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    g.Run(50);
    const int glided = g.pointer->X() - (9 + 8 * 35 + 17);
    EXPECT_GT(glided, 120);
    EXPECT_LT(glided, 150);
    EXPECT_EQ(g.Cursor(), std::make_pair(12, 11));
    // and the d-pad goes on from the tile it glided to
    press(TControlOf::Down);
    EXPECT_EQ(g.Cursor(), std::make_pair(12, 12));

    g.CheckTheReplay();
    SDL_JoystickDetachVirtual(unknown);
}

// The keyboard's keys, as SDL reports them to the window.
void Key(TPointerGame& g, SDL_Keycode sym, bool down) {
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.type = ev.type;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.sym = sym;
    g.input->HandleKey(ev.key);
}

TEST(Keyboard, AWholeGameWithOnlyTheKeyboard) {
    TPointerGame g;
    const auto keyOf = [](TControlOf c) -> SDL_Keycode {
        switch (c) {
            case TControlOf::Left:
                return SDLK_LEFT;
            case TControlOf::Right:
                return SDLK_RIGHT;
            case TControlOf::Up:
                return SDLK_UP;
            case TControlOf::Down:
                return SDLK_DOWN;
            case TControlOf::Confirm:
                return SDLK_RETURN;
            case TControlOf::Back:
                return SDLK_ESCAPE;
            default:
                return SDLK_UNKNOWN;
        }
    };
    const auto hold = [&](TControlOf c, uint64_t ms) {
        // The system's own repeats of a held key change nothing.
        Key(g, keyOf(c), true);
        for (uint64_t t = 0; t < ms; t += 50) {
            g.Run(std::min<uint64_t>(50, ms - t));
            Key(g, keyOf(c), true);
        }
        Key(g, keyOf(c), false);
        g.Run(10);
    };
    bool space = false;
    const auto press = [&](TControlOf c) {
        // P and M are typed characters, which the host hands on as it always has.
        if (c == TControlOf::Pause || c == TControlOf::Music) {
            g.game->Key(c == TControlOf::Pause ? 'p' : 'm');
            g.Run(10);
            return;
        }
        // The space bar confirms as Enter does; they take turns.
        SDL_Keycode key = keyOf(c);
        if (c == TControlOf::Confirm && (space = !space)) key = SDLK_SPACE;
        Key(g, key, true);
        g.Run(20);
        Key(g, key, false);
        g.Run(10);
    };
    PlayAGame(g, press, hold);
    ASSERT_FALSE(HasFatalFailure());
    // The space bar is the pointer's: the character it types is not the game's.
    EXPECT_TRUE(TSdlPointerInput::TakesText(' '));
    g.CheckTheReplay();
}
