// The game object: the one window of the game, holding all game state. Its methods are
// implemented in the folder of their subsystem (core, creatures, player, shell).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/random.h"
#include "core/settings.h"
#include "core/sprites.h"
#include "shell/catalogue_names.h"
#include "toolkit/controls.h"
#include "toolkit/form.h"
#include "toolkit/layers.h"
#include "toolkit/media_player.h"

// One creature spawn point.
struct TSpawner {
    int32_t kind = 0;  // 0 F, 1 S, 2 E
    int32_t tunnelSprite = 0;
    int32_t tileX = 0, tileY = 0;
    int32_t counter = 0;
    int32_t emergeEvery = 0;
    TSprite* tunnel = nullptr;  // the tunnel's effect in lstEffects
};

template <class T>
using TObjectList = std::vector<std::unique_ptr<T>>;

// Frees every object of a list, from the last to the first.
template <class T>
void FreeAll(TObjectList<T>& list) {
    while (!list.empty()) list.pop_back();
}

constexpr int kClientWidth = 903;
constexpr int kClientHeight = 717;
constexpr const char* kApplicationTitle = "Quorvatide";
// Number of pictures in a complete sprite catalogue.
constexpr int kCatalogueSize = int(kCatalogueNames.size());

class TForm1 : public TForm {
public:
    // Creates the window with its controls and runs FormCreate with `settings`: those of
    // settings.ini (read by whoever makes the game), or a replay's own.
    TForm1(TPlatform& platform, const TSettings& settings);
    // Runs FormDestroy.
    ~TForm1() override;

    // ---- start-up and shutdown (core/form1.cpp)
    // The Assets folder beside an executable's folder, ending in a separator.
    static std::string AssetDirOf(const std::string& exeDir);
    void FormCreate();
    void FormDestroy();
    // Seeds the random generator from the clock.
    void Randomize();

    // ---- sprites and effects (core/sprites.cpp)
    // Catalogue picture `index`; an empty picture for an index outside the catalogue.
    const TPicture& CataloguePicture(int index) const;
    // Copies catalogue picture `index` into the sprite's own layer picture.
    void SetSpritePicture(TSprite& sprite, int index);
    // One step towards the sprite's destination, at most one tile on each axis that is free to
    // move, showing the facing of group `pictures` it went; on a diagonal the vertical picture
    // wins. Bots and creatures walk so.
    void StepTowardDest(TSprite& sprite, int pictures, bool alongX, bool alongY);
    // Makes an effect sprite on the playfield; it becomes the last element of lstEffects.
    void AddEffect(int tileX, int tileY, int picture, int frameCount, int life, int alpha);

    // ---- board and new games (core/board.cpp)
    // Builds the board behind the splash screen: the last step of FormCreate.
    void BuildBoard();
    // Frees everything of the finished game and builds a fresh board.
    void NewGame();
    void AddTurret(int tileX, int tileY);
    // The four base turrets on their tiles.
    void AddBaseTurrets();
    void ResetSoundTimes();
    // The board with `boardObjects` trees, rocks and ruins (or as many as fit), and the pieces
    // it is made of.
    void LayOutBoard(int boardObjects);
    void PaintBackground();
    void BuildBaseTile(int n);
    void BuildDefences();
    // Lays out `count` trees, rocks and ruins on free tiles, or as many as there is room for.
    void LayOutBoardObjects(int count);
    void BuildSpawners();
    void PlaceCursors();
    // Frees every object of the eight object lists.
    void FreeGameObjects();

    // ---- game tick (core/tick.cpp)
    // One tick of the game: the handler of tmrTick.
    void tmrTickTimer();
    // Lets the orb, every creature and every turret take a hit again.
    void ClearStruck();
    // Shows a red warning frame and starts its flash.
    void RaiseWarning(TShape& frame);
    // One tick of a warning frame's flash; true in the tick the flash ends.
    bool FlashWarning(TShape& frame);
    // Now and then a creature says something: a bubble on the tile above it.
    void ShowSpeechBubble();

    // ---- creature spawning (core/spawning.cpp)
    void RunSpawners();
    // Counts one tick at a spawn point and brings out a creature when one is due.
    void SpawnFrom(TSpawner& spawner);

    // ---- hatred meter (core/hatred.cpp)
    // Shows the picture of the current hatred level.
    void SetHatred();
    // Reverses the cycle of which kind attacks which.
    void ChangeHatred();
    // The hatred warning: flashes the frame and sounds the alarm; the level changes when the
    // flash is over. Each warning comes sooner after the last, down to 40 s.
    void tmrRHSTimer();

    // ---- creatures (creatures/)
    // Every creature lives one tick (creatures/vonkels.cpp).
    void UpdateVonkels();
    // The look-around of a creature standing on its reached destination, one decision step.
    void LookAround(TVonkel& vonkel, int index, int cx, int cy);
    // A creature's shot at the target it acquired in this decision step.
    void FireAtTarget(TVonkel& vonkel);
    // Built signs on the creature's nearest tile push it five tiles their way; the decision
    // step's target is acquired first (creatures/steering.cpp).
    void SteerBySigns(int cx, int cy, int i);
    // Appends one line, printf-formatted, to the creature log lstDebug (kept in debug mode
    // only, and written out on exit).
    void DebugLog(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Targeting (creatures/targeting.cpp). Kinds: 0 creature, 1 turret, 2 the orb.
    bool InRange(int x, int y, int index, int kind, int r) const;
    static bool Adjacent(const TSprite& a, const TSprite& b);
    int AcquireTarget(int i);
    int FindTurretTarget(int i) const;
    int FindOrbTarget(int i) const;
    int FindHatedVonkel(int i) const;
    // Damage, score and scrap (creatures/damage.cpp). Killer 1 a creature, 2 a turret.
    void DamageVonkel(int index, int killer, double damage);
    void DamageTurret(int index);
    void DamageOrb();
    void DropScrap(int tileX, int tileY);
    // Every turret fires at the creatures next to it (creatures/turrets.cpp).
    void FireTurrets();
    // A beam from the shooter's tile to the target's, shown for a few ticks
    // (creatures/killbeams.cpp).
    void AddKillBeam(int x1, int y1, int x2, int y2, int a1, int b1, int a2, int b2,
                     uint32_t colour);
    // Animates the effects, removes those whose life is over, and counts down the kill beams
    // (creatures/effects.cpp).
    void UpdateEffects();
    // Passes the three configured emergence intervals on among the kinds
    // (creatures/tunnels.cpp).
    void tmrEmergeSwapTimer();

    // ---- playfield input (player/input.cpp)
    // Keeps the cursor on the tile under the mouse pointer.
    void PlayfieldMouseMove(TControl& sender, TShiftState shift, int x, int y);
    // A left click on the playfield opens the build or the orb menu, or closes the open one.
    void PlayfieldMouseDown(TControl& sender, TMouseButton button, TShiftState shift, int x, int y);
    // Adds (true) or removes (false) the red no-build markers of the build menu.
    void ShowBlockMarkers(bool show);

    // ---- build and orb menus (player/menus.cpp); signs (player/signs.cpp)
    void MenuImgMouseMove(TControl& sender, TShiftState shift, int x, int y);
    void MenuImgMouseDown(TControl& sender, TMouseButton button, TShiftState shift, int x, int y);
    void OrbMenuImgMouseMove(TControl& sender, TShiftState shift, int x, int y);
    void OrbMenuImgMouseDown(TControl& sender, TMouseButton button, TShiftState shift, int x,
                             int y);
    // A sign of `direction` (0 down, 1 up, 2 left, 3 right) on a tile: built (solid) or pending
    // (faint, waiting for a bot).
    void PlaceSign(int tileX, int tileY, int direction, bool built);
    // Index in lstSigns of the first sign on the tile, -1 if none.
    int SignAt(int tileX, int tileY) const;
    // Index in lstScrap of the first gatherable board object on the tile, -1 if none.
    int GatherableAt(int tileX, int tileY) const;
    // Whether any effect stands on the tile.
    bool EffectAt(int tileX, int tileY) const;
    // Adds `amount` of scrap (a negative amount takes it away), held within the range of an
    // int, and redraws the scrap counter.
    void ChangeCash(int64_t amount);

    // ---- orders and bots (player/bots.cpp)
    // Adds a builder bot on the tile below the orb and redraws the sign counter.
    void NewBot();
    // Carries out an order whose bot has worked on its tile long enough.
    void CompleteOrder(TOrder& order);
    // Every bot, in list order: takes the oldest order if idle, steps one tile toward its
    // destination and is redrawn.
    void UpdateBots();

    // ---- counters (player/counters.cpp)
    // Redraws a digit counter with `text`, glyph by glyph.
    void DrawCounter(TLayeredImage& image, const std::string& text);
    // Redraws the sign counter (signs built or ordered, "/", the sign limit) and remembers the
    // count shown.
    void DrawSignCounter();

    // ---- sound and music (shell/audio.cpp)
    // Milliseconds since the system started, wrapping around every 49.7 days.
    uint32_t GetTickCount() const;
    // Plays Assets/<name>.wav unless sound is off or the channel (1..10) is still throttled.
    void PlaySfx(const std::string& name, int channel);
    // Opens rmusic<n>.wav on `player` and plays it from the start; failures end it silently.
    void PlayTrack(TMediaPlayer& player, int n);
    // Switches the in-game track to follow the number of base turrets standing.
    void UpdateMusic();
    // End of playback on either music player: tracks 0 to 3 play again.
    void BGMNotify();
    // Starts the title music on BGM.
    void StartTitleMusic();
    // The game-over track, once, on BGMGO (unless it is on already); it plays only while music
    // is on, and M starts it otherwise.
    void StartGameOverMusic();
    // Back to the title music from the game-over screen: both players closed first.
    void RestartTitleMusic();
    // The music and sound toggles of the keys M and S.
    void ToggleMusic();
    void ToggleSound();

    // ---- screens (shell/screens.cpp)
    // The splash screen's picture phase is over: the start text scrolls.
    void tmrDivTimer();
    // One step of the start text; once it has gone, the picture again.
    void tmrScrollSTTimer();
    // A click on the splash screen: play starts.
    void imSplashClick(TControl& sender);
    // Whether the key P may pause or resume now.
    bool PauseAllowed() const;
    // Pauses play, or resumes it.
    void TogglePause();
    // The orb has fallen: play stops and the board bursts. Runs in full each time it is called.
    void EndGame();
    // One wave of explosions on random tiles, each going off with a bang.
    void AddEndExplosions();
    // The explosions animate; two waves burn out, then the game-over screen shows.
    void tmrSplodeTimer();
    // One step of the end text, until it rests between the bands.
    void tmrScrollETTimer();
    // A click on the game-over screen: the splash screen again, over a fresh world.
    void PaintBox1Click(TControl& sender);

    // ---- keys and debug tools (shell/debug_tools.cpp)
    // Every typed character of the window: the player's keys, and the debug keys in debug mode.
    void FormKeyPress(char& key);
    // Writes the creature log to Assets/debug.txt; on failure says so on stderr. A game that
    // writes no files of its own (a replay being played) writes nothing.
    bool SaveDebugLog();
    // The debug log's text: every line ended by CR LF.
    static std::string DebugLogText(const std::vector<std::string>& lines);

    // ---- window layout (shell/layout.cpp)
    void CreateControls();
    // Connects the controls' and timers' events to their handlers.
    void BindEvents();

    // ---- asset catalogue (shell/catalogue.cpp)
    void LoadSprites();
    int AddSprite(const std::string& name);

    // ---- state
    std::string assetDir;
    TRandom random;
    TSettings settings;
    // The settings to start with, while the window is being made.
    const TSettings* givenSettings = nullptr;

    // Catalogue: the pictures every sprite copies from, and where each group starts.
    std::vector<TPicture> Sprites;
    int sprTile = 0, sprCursor = 0, sprBuilder = 0, sprBaseFloor = 0, sprTurret = 0, sprSign = 0,
        sprCancel = 0, sprDestroy = 0, sprGet = 0, sprScrap = 0, sprSVonkel = 0, sprFVonkel = 0,
        sprEVonkel = 0, sprSTunnel = 0, sprETunnel = 0, sprFTunnel = 0, sprTree = 0, sprRock = 0,
        sprRuin = 0, sprFExclaim = 0, sprSExclaim = 0, sprEExclaim = 0, sprOrb = 0, sprSplode = 0,
        sprSpeechVon = 0, sprSpeechKel = 0, sprTrans = 0, sprRedSquare = 0;
    std::array<int, 10> sprDigit{};

    bool gameOver = false;
    // Progress of the explosions at the end of a game: 0 first wave, 1 second wave, 2 done.
    int splodeStage = 0;
    int hatred = 1;
    std::vector<std::string> lstDebug;
    std::array<uint32_t, 11> soundNextTick{};
    bool dbgFreeze = false, dbgInvincible = false, dbgNoSpawn = false;
    int speechToggle = 0;
    int musicTrack = 0;
    int menuTileX = 0, menuTileY = 0;
    std::array<std::unique_ptr<TSprite>, 6> baseTiles;
    std::unique_ptr<TSprite> cursor, menuCursor, orbMenuCursor;
    TObjectList<TSprite> lstBots;
    TObjectList<TOrder> lstOrders;
    TObjectList<TSprite> lstScrap;
    TObjectList<TSign> lstSigns;
    TObjectList<TVonkel> lstVonkels;
    TObjectList<TSprite> lstEffects;
    TObjectList<TAnimKill> lstKillBeams;
    TObjectList<TSign> lstTurrets;
    int nextId = 0;
    int tickCount = 0;
    TSprite* orb = nullptr;
    int cash = 50;
    int score = 0;
    // Creatures killed since the window was made, by creatures' shots and by turrets. Nothing
    // in the game reads them; they are there for whoever watches the game play (the balance
    // lab), since the score alone cannot tell the two apart.
    int killsByCreatures = 0, killsByTurrets = 0;
    int shownSignCount = 0;
    bool musicOn = true, soundOn = true;
    TSpawner spawnS, spawnF, spawnE;
    // Kill beams alike in place, picture and colour share one layer (creatures/killbeams.cpp),
    // and every beam picture is drawn once.
    TKillBeamLayers killBeamLayers;
    std::map<TKillBeamKey, TPicture> killBeamPictures;

    // ---- controls (owned by the window; created by CreateControls)
    TPanel* pnlPause = nullptr;
    TImage* Image3 = nullptr;
    TPanel* Pane = nullptr;
    TLayeredImage* Playfield = nullptr;
    TPanel* pnlGameOver = nullptr;
    TImage *imEnd = nullptr, *imGOTop = nullptr, *imGOR = nullptr, *imGOBot = nullptr,
           *imGOL = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    TPanel* pnlSplash = nullptr;
    TImage *imStart = nullptr, *imSplash = nullptr;
    TPaintBox* PaintBox2 = nullptr;
    TPanel* Panel2 = nullptr;
    TLayeredImage* imScore = nullptr;
    TPanel* pnlCash = nullptr;
    TImage* imScrap = nullptr;
    TLayeredImage* imScrapCt = nullptr;
    TShape* spNoCash = nullptr;
    TPanel* pnlSigns = nullptr;
    TImage* imSigns = nullptr;
    TLayeredImage* imSignsCt = nullptr;
    TShape* spTooManySigns = nullptr;
    TPanel* pnlHated = nullptr;
    TLayeredImage* imHatred = nullptr;
    TShape* spHatred = nullptr;
    TPanel* Panel3 = nullptr;
    TImage* Image2 = nullptr;
    TMemo* memDbg = nullptr;
    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TLayeredImage* MenuImg = nullptr;
    TLayeredImage* OrbMenuImg = nullptr;
    TMediaPlayer *BGM = nullptr, *BGMGO = nullptr;
    std::array<TButton*, 7> Buttons{};  // Button1 .. Button7
    TButton *BitBtn1 = nullptr, *BitBtn2 = nullptr;

    TTimer *tmrTick = nullptr, *tmrSplode = nullptr, *tmrScrollET = nullptr, *tmrScrollST = nullptr,
           *tmrDiv = nullptr, *tmrRHS = nullptr, *tmrTunnel = nullptr, *tmrEmergeSwap = nullptr;
};
