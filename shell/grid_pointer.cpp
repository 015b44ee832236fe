#include "shell/grid_pointer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/form1.h"

namespace {

constexpr int kBoardTiles = 20;
// The build menu's items: two columns and three rows of pictures, each a tile in size, at
// these places of the menu's picture; the orb menu's one item.
constexpr int kItemColumns[2] = {3, 44};
constexpr int kItemRows[3] = {17, 58, 99};
constexpr int kOrbItemX = 24, kOrbItemY = 16;
constexpr int kItemSize = kTileSize;

uint8_t BitOf(TPointerDir dir) {
    return uint8_t(1u << unsigned(dir));
}

TShiftState Pressed(bool left) {
    TShiftState s;
    s.left = left;
    return s;
}

int CentreX(const TRect& r) {
    return (r.left + r.right) / 2;
}
int CentreY(const TRect& r) {
    return (r.top + r.bottom) / 2;
}

bool Inside(const TRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The open menu's picture, if a menu is open.
const TControl* OpenMenu(const TForm1& game, TGridPointer::TMode mode) {
    if (mode == TGridPointer::TMode::BuildMenu) return game.MenuImg;
    if (mode == TGridPointer::TMode::OrbMenu) return game.OrbMenuImg;
    return nullptr;
}

}  // namespace

TGridPointer::TGridPointer(TGameOf game, TSend send, TItemsOf items, TSendHostKey hostKey)
    : game_(std::move(game)),
      send_(std::move(send)),
      items_(std::move(items)),
      hostKey_(std::move(hostKey)) {}

TGridPointer::TMode TGridPointer::Mode() const {
    if (items_ && !items_().empty()) return TMode::Items;
    const TForm1* game = game_();
    if (!game) return TMode::None;
    // In the order they lie over one another.
    if (game->pnlSplash->Visible()) return TMode::Splash;
    if (game->pnlGameOver->Visible()) return TMode::GameOver;
    if (game->pnlPause->Visible()) return TMode::Paused;
    if (game->MenuImg->Visible()) return TMode::BuildMenu;
    if (game->OrbMenuImg->Visible()) return TMode::OrbMenu;
    return TMode::Board;
}

TGridPointer::TCell TGridPointer::CellAt(const TForm1* game, TMode mode, int x, int y) const {
    switch (mode) {
        case TMode::Items: {
            // The item nearest to the point, by its middle.
            const std::vector<TRect> items = Items();
            TCell best;
            long bestDistance = -1;
            for (size_t i = 0; i < items.size(); ++i) {
                const long dx = CentreX(items[i]) - x, dy = CentreY(items[i]) - y;
                if (bestDistance < 0 || dx * dx + dy * dy < bestDistance) {
                    bestDistance = dx * dx + dy * dy;
                    best = {int(i), 0};
                }
            }
            return best;
        }
        case TMode::Board: {
            const TRect field = game->Playfield->BoundsInForm();
            const auto tile = [](int at) {
                return std::clamp(int(std::floor(double(at) / kTileSize)), 0, kBoardTiles - 1);
            };
            return {tile(x - field.left), tile(y - field.top)};
        }
        case TMode::BuildMenu: {
            // The item nearest to the point.
            TCell best;
            long bestDistance = -1;
            for (int row = 0; row < 3; ++row)
                for (int col = 0; col < 2; ++col) {
                    const TRect r = CellRect(game, mode, {col, row});
                    const long dx = CentreX(r) - x, dy = CentreY(r) - y;
                    if (bestDistance < 0 || dx * dx + dy * dy < bestDistance) {
                        bestDistance = dx * dx + dy * dy;
                        best = {col, row};
                    }
                }
            return best;
        }
        default:
            return {};
    }
}

TRect TGridPointer::CellRect(const TForm1* game, TMode mode, TCell cell) const {
    switch (mode) {
        case TMode::Items: {
            const std::vector<TRect> items = Items();
            return cell.col >= 0 && size_t(cell.col) < items.size() ? items[size_t(cell.col)]
                                                                    : TRect{};
        }
        case TMode::Board: {
            const TRect field = game->Playfield->BoundsInForm();
            const int left = field.left + cell.col * kTileSize,
                      top = field.top + cell.row * kTileSize;
            return TRect{left, top, left + kTileSize, top + kTileSize};
        }
        case TMode::BuildMenu: {
            const TRect menu = game->MenuImg->BoundsInForm();
            const int left = menu.left + kItemColumns[cell.col],
                      top = menu.top + kItemRows[cell.row];
            return {left, top, left + kItemSize, top + kItemSize};
        }
        case TMode::OrbMenu: {
            const TRect menu = game->OrbMenuImg->BoundsInForm();
            return {menu.left + kOrbItemX, menu.top + kOrbItemY, menu.left + kOrbItemX + kItemSize,
                    menu.top + kOrbItemY + kItemSize};
        }
        default:
            return {};
    }
}

void TGridPointer::Send(TDispatch d) {
    send_(d);
}

void TGridPointer::MoveTo(int x, int y) {
    inUse_ = true;
    if (x == x_ && y == y_ && synced_) return;
    x_ = x, y_ = y;
    synced_ = true;
    Send(TDispatch::MouseMove(x_, y_, Pressed(confirmBy_.has_value())));
}

// When what lies under the pointer has changed since it last acted (a menu opened or closed, a
// screen came or went), the pointer moves onto the new grid: onto the first item of a menu it
// opened, back onto the menu's tile when it closed the menu; after the mouse, onto the item or
// tile nearest to the mouse. Never while the confirm press is held: the control of the press
// holds the mouse until it comes up.
bool TGridPointer::Resync() {
    const bool fromMouse = mouseMoved_;
    mouseMoved_ = false;
    const TForm1* game = game_();
    const TMode mode = Mode();
    if ((!game && mode != TMode::Items) || confirmBy_) return false;
    if (mode == mode_ && synced_) return false;
    const TMode before = mode_;
    mode_ = mode;
    const bool fromMenu = before == TMode::BuildMenu || before == TMode::OrbMenu;
    switch (mode) {
        case TMode::Board: {
            TCell cell = CellAt(game, mode, x_, y_);
            if (fromMenu && !fromMouse) cell = {game->menuTileX, game->menuTileY};
            const TRect r = CellRect(game, mode, cell);
            MoveTo(CentreX(r), CentreY(r));
            break;
        }
        case TMode::BuildMenu:
        case TMode::OrbMenu:
        case TMode::Items: {
            const TCell cell = fromMouse ? CellAt(game, mode, x_, y_) : TCell{};
            const TRect r = CellRect(game, mode, cell);
            MoveTo(CentreX(r), CentreY(r));
            break;
        }
        default:
            break;
    }
    return true;
}

void TGridPointer::Step(TPointerDir dir, bool shown) {
    const bool onNewGrid = Resync();
    const TMode mode = Mode();
    // Over a session's items the first press shows the pointer on the first of them, unless it
    // showed there already.
    if (mode == TMode::Items) {
        if (!onNewGrid || shown) StepItems(dir);
        return;
    }
    const TForm1* game = game_();
    if (!game) return;
    int cols = 0, rows = 0;
    switch (mode) {
        case TMode::Board:
            cols = rows = kBoardTiles;
            break;
        case TMode::BuildMenu:
            cols = 2, rows = 3;
            break;
        case TMode::OrbMenu:
            cols = rows = 1;
            break;
        default:
            return;
    }
    TCell cell = CellAt(game, mode, x_, y_);
    switch (dir) {
        case TPointerDir::Left:
            cell.col = std::max(cell.col - 1, 0);
            break;
        case TPointerDir::Right:
            cell.col = std::min(cell.col + 1, cols - 1);
            break;
        case TPointerDir::Up:
            cell.row = std::max(cell.row - 1, 0);
            break;
        case TPointerDir::Down:
            cell.row = std::min(cell.row + 1, rows - 1);
            break;
    }
    const TRect r = CellRect(game, mode, cell);
    MoveTo(CentreX(r), CentreY(r));
    glideX_ = glideY_ = 0;
}

void TGridPointer::Press(TPointerSource source, TPointerDir dir, uint64_t now) {
    uint8_t& held = held_[size_t(source)];
    if (held & BitOf(dir)) return;  // a repeat of the system's own
    held |= BitOf(dir);
    const bool shown = Highlight().has_value();
    inUse_ = true;
    Step(dir, shown);
    repeating_ = dir;
    repeatSource_ = source;
    nextRepeat_ = now + kRepeatDelayMs;
}

void TGridPointer::Release(TPointerSource source, TPointerDir dir) {
    held_[size_t(source)] &= uint8_t(~BitOf(dir));
    if (repeating_ == dir && repeatSource_ == source) repeating_.reset();
}

void TGridPointer::ConfirmDown(TPointerSource source) {
    if (confirmBy_) return;
    inUse_ = true;
    Resync();
    const TForm1* game = game_();
    const TMode mode = Mode();
    if (mode == TMode::Paused || mode == TMode::None || (!game && mode != TMode::Items)) return;
    if (mode == TMode::Splash || mode == TMode::GameOver) {
        // These screens take a click anywhere: the middle of the play area.
        const TRect screen =
            (mode == TMode::Splash ? game->pnlSplash : game->pnlGameOver)->BoundsInForm();
        MoveTo((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2);
    } else if (!synced_) {
        MoveTo(x_, y_);
    }
    confirmBy_ = source;
    Send(TDispatch::MouseDown(x_, y_, TMouseButton::Left, Pressed(true)));
}

void TGridPointer::ConfirmUp(TPointerSource source) {
    if (confirmBy_ != source) return;
    confirmBy_.reset();
    Send(TDispatch::MouseUp(x_, y_, TMouseButton::Left, Pressed(false)));
    Resync();
}

void TGridPointer::Back() {
    inUse_ = true;
    Resync();
    const TMode mode = Mode();
    if (mode == TMode::Items) {
        if (!confirmBy_ && hostKey_) hostKey_(THostKey::Escape);
        Resync();
        return;
    }
    const TForm1* game = game_();
    if (!game || confirmBy_) return;
    if (mode != TMode::BuildMenu && mode != TMode::OrbMenu) return;
    // A click on the board where the menu is not: the corner tile farthest from the menu, which
    // no menu reaches.
    const TRect menu =
        (mode == TMode::BuildMenu ? game->MenuImg : game->OrbMenuImg)->BoundsInForm();
    const int mx = (menu.left + menu.right) / 2, my = (menu.top + menu.bottom) / 2;
    TRect corner;
    long farthest = -1;
    for (const TCell cell : {TCell{0, 0}, TCell{kBoardTiles - 1, 0}, TCell{0, kBoardTiles - 1},
                             TCell{kBoardTiles - 1, kBoardTiles - 1}}) {
        const TRect r = CellRect(game, TMode::Board, cell);
        const long dx = CentreX(r) - mx, dy = CentreY(r) - my;
        if (dx * dx + dy * dy > farthest) farthest = dx * dx + dy * dy, corner = r;
    }
    MoveTo(CentreX(corner), CentreY(corner));
    Send(TDispatch::MouseDown(x_, y_, TMouseButton::Left, Pressed(true)));
    Send(TDispatch::MouseUp(x_, y_, TMouseButton::Left, Pressed(false)));
    Resync();
}

void TGridPointer::TypeKey(char key) {
    Send(TDispatch::Key(key));
}

void TGridPointer::Menu() {
    if (hostKey_ && hostKey_(THostKey::Menu)) {
        Resync();
        return;
    }
    TypeKey('p');
}

// Over the session's items a direction goes to the nearest item that lies that way: the one
// whose middle is closest, counting a step aside twice as far as a step ahead.
void TGridPointer::StepItems(TPointerDir dir) {
    const std::vector<TRect> items = Items();
    if (items.empty()) return;
    const TCell here = CellAt(nullptr, TMode::Items, x_, y_);
    const TRect from = items[size_t(here.col)];
    const int fx = CentreX(from), fy = CentreY(from);
    long best = -1;
    size_t to = size_t(here.col);
    for (size_t i = 0; i < items.size(); ++i) {
        const long dx = CentreX(items[i]) - fx, dy = CentreY(items[i]) - fy;
        long ahead = 0, aside = 0;
        switch (dir) {
            case TPointerDir::Left:
                ahead = -dx, aside = dy;
                break;
            case TPointerDir::Right:
                ahead = dx, aside = dy;
                break;
            case TPointerDir::Up:
                ahead = -dy, aside = dx;
                break;
            case TPointerDir::Down:
                ahead = dy, aside = dx;
                break;
        }
        if (ahead <= 0) continue;
        const long distance = ahead + 2 * std::labs(aside);
        if (best < 0 || distance < best) best = distance, to = i;
    }
    MoveTo(CentreX(items[to]), CentreY(items[to]));
}

void TGridPointer::LetGo(TPointerSource source) {
    held_[size_t(source)] = 0;
    if (repeating_ && repeatSource_ == source) repeating_.reset();
    if (confirmBy_ == source) ConfirmUp(source);
    if (source == TPointerSource::Pad || source == TPointerSource::Stick) {
        held_[size_t(TPointerSource::Stick)] = 0;
        if (repeating_ && repeatSource_ == TPointerSource::Stick) repeating_.reset();
        stickX_ = stickY_ = 0;
    }
}

void TGridPointer::Stick(double x, double y, uint64_t now) {
    const bool was = stickX_ != 0 || stickY_ != 0;
    stickX_ = x, stickY_ = y;
    if (!was) lastGlide_ = now;
    StickSteps(now);
}

// Over a menu a deflected stick is a held direction of its own.
void TGridPointer::StickSteps(uint64_t now) {
    const TMode mode = Mode();
    const bool steps = mode == TMode::BuildMenu || mode == TMode::OrbMenu || mode == TMode::Items;
    const auto hold = [&](TPointerDir dir, bool on) {
        const bool held = (held_[size_t(TPointerSource::Stick)] & BitOf(dir)) != 0;
        if (on && !held) Press(TPointerSource::Stick, dir, now);
        if (!on && held) Release(TPointerSource::Stick, dir);
    };
    hold(TPointerDir::Left, steps && stickX_ <= -kStickStepAt);
    hold(TPointerDir::Right, steps && stickX_ >= kStickStepAt);
    hold(TPointerDir::Up, steps && stickY_ <= -kStickStepAt);
    hold(TPointerDir::Down, steps && stickY_ >= kStickStepAt);
}

// Over the board a deflected stick moves the pointer smoothly, faster the further it leans.
void TGridPointer::Glide(uint64_t now) {
    // A step late (the host was busy, a menu or the pause was in the way) glides no further
    // than a few frames' worth.
    const double dt = double(std::min<uint64_t>(now - lastGlide_, 4 * kGlideStepMs)) / 1000.0;
    lastGlide_ = now;
    const TForm1* game = game_();
    if (!game || Mode() != TMode::Board || (stickX_ == 0 && stickY_ == 0)) return;
    Resync();
    const auto speed = [](double v) { return std::copysign(v * v, v) * kGlideSpeed; };
    glideX_ += speed(stickX_) * dt;
    glideY_ += speed(stickY_) * dt;
    const int dx = int(glideX_), dy = int(glideY_);
    glideX_ -= dx, glideY_ -= dy;
    const TRect field = game->Playfield->BoundsInForm();
    MoveTo(std::clamp(x_ + dx, field.left, field.right - 1),
           std::clamp(y_ + dy, field.top, field.bottom - 1));
}

void TGridPointer::MouseUsed(int x, int y) {
    inUse_ = false;
    mouseMoved_ = true;
    x_ = x, y_ = y;
    glideX_ = glideY_ = 0;
}

void TGridPointer::RunDue(uint64_t now) {
    if (stickX_ != 0 || stickY_ != 0) {
        StickSteps(now);
        if (now >= lastGlide_ + kGlideStepMs) Glide(now);
    }
    if (repeating_ && now >= nextRepeat_) {
        Step(*repeating_);
        // A repeat that fell behind moves once, not once for every step missed.
        nextRepeat_ = std::max(nextRepeat_ + kRepeatEveryMs, now + 1);
    }
}

std::optional<uint64_t> TGridPointer::NextDue() const {
    std::optional<uint64_t> due;
    if (repeating_) due = nextRepeat_;
    if ((stickX_ != 0 || stickY_ != 0) && Mode() == TMode::Board) {
        const uint64_t glide = lastGlide_ + kGlideStepMs;
        due = due ? std::min(*due, glide) : glide;
    }
    return due;
}

std::optional<TRect> TGridPointer::Highlight() const {
    if (!inUse_) return std::nullopt;
    const TForm1* game = game_();
    const TMode mode = Mode();
    // Over items it has not yet acted on, it stands where its next press takes it from: the first.
    if (mode == TMode::Items)
        return CellRect(game, mode,
                        mode_ == TMode::Items && synced_ ? CellAt(game, mode, x_, y_) : TCell{});
    if (!game) return std::nullopt;
    if (mode != TMode::Board && mode != TMode::BuildMenu && mode != TMode::OrbMenu)
        return std::nullopt;
    if (touch_ == TTouch::Pointer && touchOff_) return std::nullopt;
    // A finger on the board beside an open menu points at the tile under it.
    TMode shown = mode;
    if (const TControl* menu = OpenMenu(*game, mode); menu && !Inside(menu->BoundsInForm(), x_, y_))
        shown = TMode::Board;
    TRect r = CellRect(game, shown, CellAt(game, shown, x_, y_));
    // The board's last row and column are partly hidden under the frame around it.
    if (shown == TMode::Board) r = r.Intersect(game->Playfield->BoundsInForm());
    return r;
}

// The carried pointer goes to what lies under the finger: the tile, the open menu's item under
// it, or the tile beside the menu; off the board it stays, and clicks nothing.
void TGridPointer::TouchAt(int x, int y) {
    touchOff_ = false;
    const TForm1* game = game_();
    const TMode mode = Mode();
    // Over a session's items (the front end's menu): the item nearest the finger.
    if (mode == TMode::Items) {
        const TRect r = CellRect(game, mode, CellAt(game, mode, x, y));
        MoveTo(CentreX(r), CentreY(r));
        return;
    }
    if (!game) return;
    if (mode != TMode::Board && mode != TMode::BuildMenu && mode != TMode::OrbMenu) return;
    TMode over = mode;
    if (const TControl* menu = OpenMenu(*game, mode); menu && !Inside(menu->BoundsInForm(), x, y))
        over = TMode::Board;
    if (over == TMode::Board && !Inside(game->Playfield->BoundsInForm(), x, y)) {
        touchOff_ = true;
        return;
    }
    const TRect r = CellRect(game, over, CellAt(game, over, x, y));
    MoveTo(CentreX(r), CentreY(r));
}

void TGridPointer::TouchDown(int x, int y, bool direct) {
    if (touch_ != TTouch::None) return;
    if (direct) {
        touch_ = TTouch::Direct;
        touchOnPause_ = Mode() == TMode::Paused;
        MouseUsed(x, y);
        Send(TDispatch::MouseMove(x, y, Pressed(false)));
        Send(TDispatch::MouseDown(x, y, TMouseButton::Left, Pressed(true)));
        return;
    }
    touch_ = TTouch::Pointer;
    inUse_ = true;
    glideX_ = glideY_ = 0;
    TouchAt(x, y);
}

void TGridPointer::TouchMove(int x, int y) {
    if (touch_ == TTouch::Direct) {
        x_ = x, y_ = y;
        Send(TDispatch::MouseMove(x, y, Pressed(true)));
    } else if (touch_ == TTouch::Pointer) {
        TouchAt(x, y);
    }
}

void TGridPointer::TouchUp(int x, int y) {
    if (touch_ == TTouch::Direct) {
        touch_ = TTouch::None;
        x_ = x, y_ = y;
        Send(TDispatch::MouseUp(x, y, TMouseButton::Left, Pressed(false)));
        if (touchOnPause_ && Mode() == TMode::Paused) TypeKey('P');
        return;
    }
    if (touch_ != TTouch::Pointer) return;
    TouchAt(x, y);
    touch_ = TTouch::None;
    const TForm1* game = game_();
    const TMode mode = Mode();
    if ((game || mode == TMode::Items) && !confirmBy_) {
        if (mode == TMode::Paused) {
            TypeKey('P');
        } else if (mode == TMode::Splash || mode == TMode::GameOver) {
            const TRect screen =
                (mode == TMode::Splash ? game->pnlSplash : game->pnlGameOver)->BoundsInForm();
            MoveTo((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2);
            Send(TDispatch::MouseDown(x_, y_, TMouseButton::Left, Pressed(true)));
            Send(TDispatch::MouseUp(x_, y_, TMouseButton::Left, Pressed(false)));
        } else if (!touchOff_ && mode != TMode::None) {
            Send(TDispatch::MouseDown(x_, y_, TMouseButton::Left, Pressed(true)));
            Send(TDispatch::MouseUp(x_, y_, TMouseButton::Left, Pressed(false)));
        }
    }
    // The highlight shows only while the finger is down; the pad and the keys go on from here as
    // they would from the mouse.
    touchOff_ = false;
    inUse_ = false;
    mouseMoved_ = true;
}

void TGridPointer::TouchCancel() {
    if (touch_ == TTouch::Direct)
        Send(TDispatch::MouseUp(x_, y_, TMouseButton::Left, Pressed(false)));
    if (touch_ == TTouch::Pointer) {
        inUse_ = false;
        mouseMoved_ = true;
    }
    touch_ = TTouch::None;
    touchOff_ = false;
}
