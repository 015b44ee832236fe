// A session of the window: what the host hands the window (input, the end of music tracks, the
// passing of time) goes through it. Live play passes everything straight on; a recorded
// session also writes it down; a replay ignores the viewer's input and hands the window what
// was recorded instead.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "shell/toolkit/form.h"

class IWindowSession {
public:
    virtual ~IWindowSession() = default;

    virtual TForm& Form() = 0;

    // Input in the window's own pixels, as TForm takes it.
    virtual void MouseDown(int x, int y, TMouseButton button, TShiftState shift) = 0;
    virtual void MouseMove(int x, int y, TShiftState shift) = 0;
    virtual void MouseUp(int x, int y, TMouseButton button, TShiftState shift) = 0;
    virtual void KeyPress(char key) = 0;
    virtual void MusicFinished(int player) = 0;
    // Runs what is due by now: the window's timers, or what a replay holds up to now.
    virtual void RunDue() = 0;
    // The host's clock time at which RunDue next has something to do, if ever.
    virtual std::optional<uint64_t> NextDue() = 0;
    // The window's caption.
    virtual std::string Caption() { return Form().Caption(); }
    // The window is about to close; the form still exists.
    virtual void Close() {}
    // The program's exit status once the window has closed.
    virtual int ExitStatus() { return 0; }
};

// Live play: everything goes straight to the window.
class TLiveSession : public IWindowSession {
public:
    explicit TLiveSession(std::unique_ptr<TForm> form) : form_(std::move(form)) {}

    TForm& Form() override { return *form_; }
    void MouseDown(int x, int y, TMouseButton button, TShiftState shift) override {
        form_->MouseDown(x, y, button, shift);
    }
    void MouseMove(int x, int y, TShiftState shift) override { form_->MouseMove(x, y, shift); }
    void MouseUp(int x, int y, TMouseButton button, TShiftState shift) override {
        form_->MouseUp(x, y, button, shift);
    }
    void KeyPress(char key) override { form_->KeyPress(key); }
    void MusicFinished(int player) override { form_->MusicFinished(player); }
    void RunDue() override { form_->FireDueTimers(); }
    std::optional<uint64_t> NextDue() override { return form_->NextTimerDue(); }

private:
    std::unique_ptr<TForm> form_;
};
