// The window: root of the control tree, its timers, input dispatch and frame composition.
// Nothing here talks to the operating system; a host (the SDL platform, or the test harness)
// feeds it events and time and shows its frame.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/controls.h"
#include "toolkit/platform.h"

class TForm;

// A periodic timer of the window. Enabling starts a full interval; changing the interval of an
// enabled timer starts it again. A timer that falls behind fires once, not once per interval
// missed.
class TTimer {
public:
    TTimer(TForm& form, std::string name, uint32_t interval);

    const std::string& Name() const { return name_; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t interval);

    std::function<void()> OnTimer;

    // Milliseconds of the clock at which it fires next (meaningful while enabled).
    uint64_t Due() const { return due_; }

private:
    friend class TForm;
    TForm& form_;
    std::string name_;
    uint32_t interval_;
    bool enabled_ = false;
    uint64_t due_ = 0;
};

class TForm : public TControl {
public:
    TForm(TPlatform& platform, int clientWidth, int clientHeight);
    ~TForm() override;

    TPlatform& Platform() const { return platform_; }

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }

    // --- timers
    TTimer* AddTimer(std::string name, uint32_t interval);
    const std::vector<std::unique_ptr<TTimer>>& Timers() const { return timers_; }
    // The clock time at which the next enabled timer fires, if any.
    std::optional<uint64_t> NextTimerDue() const;
    // Fires every timer due at the clock's present time, earliest first (ties in creation
    // order), each at most once.
    void FireDueTimers();

    // --- input, in client coordinates; routed to the control under the pointer (or the one
    // holding the mouse while a button is down, until it is hidden), in that control's
    // coordinates.
    void MouseDown(int x, int y, TMouseButton button, TShiftState shift);
    void MouseMove(int x, int y, TShiftState shift);
    void MouseUp(int x, int y, TMouseButton button, TShiftState shift);
    // A typed character; the window sees it before any control.
    void KeyPress(char key);
    std::function<void(char& key)> OnKeyPress;

    // --- music players report the end of playback through the platform; the host forwards it.
    void MusicFinished(int player);
    std::function<void(int player)> OnMusicFinished;

    // --- painting
    // Marks a rectangle of client coordinates to be painted again.
    void InvalidateFormRect(const TRect& r);
    void InvalidateAll();
    // Repaints what changed since the last call into the frame and returns the repainted
    // rectangles (empty when nothing changed).
    std::vector<TRect> Compose();
    // The composed frame; empty until the first Compose.
    const TPicture& Frame() const { return frame_; }
    // The frame fully painted from scratch, for checks of the incremental path.
    TPicture ComposeFromScratch();

    void Paint(const TPaintArea& area) override;

private:
    void PaintTree(TControl& c, int originX, int originY, const std::vector<TRect>& clip,
                   size_t depth);
    void CollectTree(TControl& c);
    TControl* Route(int x, int y, int& localX, int& localY);

    TPlatform& platform_;
    std::string caption_;
    std::vector<std::unique_ptr<TTimer>> timers_;
    TPicture frame_;
    std::vector<TRect> dirty_;
    // The control holding the mouse while a button is down.
    TControl* captured_ = nullptr;
    // Buttons are still down from a press whose control was hidden before they came up.
    bool pressLost_ = false;
    // Clip lists of the paint in progress, one set per depth of the control tree, kept between
    // frames to spare allocations.
    struct TPaintScratch {
        std::vector<TRect> own, spare, child;
    };
    std::deque<TPaintScratch> paintScratch_;
};

// Converts client coordinates into a control's own coordinates.
void FormToControl(const TControl& c, int x, int y, int& localX, int& localY);
