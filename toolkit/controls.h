// Window controls: a tree of rectangles that paint themselves onto the window's frame and
// receive mouse events in their own coordinates.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/picture.h"

class TForm;
class TControl;

enum class TMouseButton { Left, Right, Middle };

// Modifier keys and mouse buttons held during a mouse event.
struct TShiftState {
    bool shift = false, ctrl = false, alt = false;
    bool left = false, right = false, middle = false;
};

using TMouseEvent = std::function<void(TControl& sender, TMouseButton, TShiftState, int x, int y)>;
using TMouseMoveEvent = std::function<void(TControl& sender, TShiftState, int x, int y)>;
using TNotifyEvent = std::function<void(TControl& sender)>;

// The painting target of one control: the frame, the control's top-left corner in frame
// coordinates, and the parts of the frame to repaint (already limited to the control).
struct TPaintArea {
    TPicture& frame;
    int originX, originY;
    const std::vector<TRect>& clip;
};

// Standard colours of the window.
constexpr TColor32 clBtnFace = Color32(240, 240, 240);
constexpr TColor32 clBtnHighlight = Color32(255, 255, 255);
constexpr TColor32 clBtnShadow = Color32(160, 160, 160);
constexpr TColor32 clBlack = Color32(0, 0, 0);
constexpr TColor32 clWhite = Color32(255, 255, 255);
constexpr TColor32 clRed = Color32(255, 0, 0);
constexpr TColor32 clMaroon = Color32(128, 0, 0);

class TControl {
public:
    TControl(TControl* parent, std::string name, int left, int top, int width, int height);
    virtual ~TControl();
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    const std::string& Name() const { return name_; }
    TControl* Parent() const { return parent_; }
    TForm* Form() const { return form_; }
    const std::vector<std::unique_ptr<TControl>>& Controls() const { return children_; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetSize(int width, int height) { SetBounds(left_, top_, width, height); }
    void SetBounds(int left, int top, int width, int height);
    // The control's rectangle in the form's client coordinates.
    TRect BoundsInForm() const;

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents.
    bool Showing() const;

    TColor32 Color() const { return color_; }
    void SetColor(TColor32 color);

    bool DoubleBuffered() const { return doubleBuffered_; }
    // Painting is always composed off-screen first; the flag is kept for the game's own use.
    void SetDoubleBuffered(bool on) { doubleBuffered_ = on; }

    // Changes the stacking among the parent's children.
    void BringToFront();
    void SendToBack();

    // A free integer of the control, as the game sees fit.
    int Tag = 0;

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnClick;

    // Marks the whole control, or a part of it (control coordinates), to be painted again.
    void Invalidate();
    void InvalidateRect(const TRect& local);

    // Creates a child control owned by this one, stacked above its existing children.
    template <class T, class... Args>
    T* Add(Args&&... args) {
        auto child = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = child.get();
        children_.push_back(std::move(child));
        raw->Invalidate();
        return raw;
    }

    // The topmost showing control at (x, y) of this control's coordinates (this one if no
    // child is there), or null when the point lies outside.
    TControl* ControlAt(int x, int y);

    // Paints this control (not its children) into `area`.
    virtual void Paint(const TPaintArea& area);
    // Whether Paint covers every pixel of the control's bounds, so that whatever its parent
    // would paint there cannot show.
    virtual bool CoversBounds() const { return false; }
    // Looks for changes that the control notices by itself (pictures drawn into, layers
    // moved) and marks what must be painted again.
    virtual void CollectChanges() {}

protected:
    explicit TControl(TForm* form);  // the form itself

private:
    friend class TForm;
    void Restack(bool toFront);

    std::string name_;
    TControl* parent_ = nullptr;
    TForm* form_ = nullptr;
    std::vector<std::unique_ptr<TControl>> children_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    TColor32 color_ = clBtnFace;
    bool doubleBuffered_ = false;
};

// A panel: filled with its colour, with or without a one-pixel raised bevel.
class TPanel : public TControl {
public:
    TPanel(TControl* parent, std::string name, int left, int top, int width, int height,
           TColor32 color, bool bevel);
    bool Bevel() const { return bevel_; }
    void Paint(const TPaintArea& area) override;
    bool CoversBounds() const override { return true; }

private:
    bool bevel_;
};

// A static picture, copied opaque; optionally centred, stretched to the control, or sizing
// the control to itself when loaded.
class TImage : public TControl {
public:
    TImage(TControl* parent, std::string name, int left, int top, int width, int height);
    TPicture& Picture() { return picture_; }
    const TPicture& Picture() const { return picture_; }
    // Loads the picture from a BMP file; a missing or unreadable file leaves the picture as it
    // was and returns false.
    bool LoadPicture(IFiles& files, const std::string& path);
    void SetPicture(TPicture picture);

    bool Center = false;
    bool Stretch = false;
    bool AutoSize = false;

    void Paint(const TPaintArea& area) override;
    bool CoversBounds() const override;
    void CollectChanges() override;

private:
    void PictureChanged();
    TPicture picture_;
    uint64_t paintedVersion_ = 0;
};

// An outline rectangle drawn with a pen of the given width inside the control's bounds.
class TShape : public TControl {
public:
    TShape(TControl* parent, std::string name, int left, int top, int width, int height,
           TColor32 penColor, int penWidth);
    TColor32 PenColor() const { return penColor_; }
    int PenWidth() const { return penWidth_; }
    void Paint(const TPaintArea& area) override;

private:
    TColor32 penColor_;
    int penWidth_;
};

// A transparent area that paints nothing and catches the mouse.
class TPaintBox : public TControl {
public:
    using TControl::TControl;
    void Paint(const TPaintArea&) override {}
};

// A read-only box of text lines, in the small text font.
class TMemo : public TControl {
public:
    TMemo(TControl* parent, std::string name, int left, int top, int width, int height);
    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines);
    TColor32 FontColor = clBlack;
    void Paint(const TPaintArea& area) override;
    bool CoversBounds() const override { return true; }

private:
    std::vector<std::string> lines_;
};

// A push button with a caption.
class TButton : public TControl {
public:
    TButton(TControl* parent, std::string name, int left, int top, int width, int height,
            std::string caption);
    const std::string& Caption() const { return caption_; }
    void Paint(const TPaintArea& area) override;
    bool CoversBounds() const override { return true; }

private:
    std::string caption_;
};
