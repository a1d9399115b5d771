// Form: the base of every window (Form1 .. Form14).
//
// A window is written like this:
//
//     class Form2 : public ui::Form {
//     public:
//         explicit Form2(ui::Platform& platform) : Form(platform, "Form2") {
//             // design: controls, captions, colours, fonts, positions
//             Command1.SetCaption("ПРОДОЛЖЕНИЕ РАБОТЫ");
//             Command1.OnClick([this] { Command1_Click(); });
//         }
//         void Form_Load() override { ... }
//         void Command1_Click() {
//             Hide();
//             CloseOtherForms();   // the navigation procedure, through Forms()
//             Forms().Get<Form1>().Show();
//         }
//     private:
//         ui::Button& Command1 = AddButton("Command1");
//     };
//
// Windows are created only through the registry (Forms().Get<Form2>()), which runs Form_Load
// right after the constructor. Every window is shown non-modally.
//
// Coordinates: Left, Top, Width and Height of the window are in twips; Width and Height are the
// window's inner area (there is no frame to allow for). The drawing methods (Box, CurrentX,
// CurrentY, ScaleWidth, ScaleHeight) use the drawing scale: twips by default, or pixels after
// SetScaleMode(ScaleMode::Pixels). Controls are always placed in twips.
//
// The window is shown by a native window of the platform's toolkit (ui/toolkit.h), which holds the
// picture and the controls' native counterparts; the window keeps every property it reads back.
//
// Drawing: the window keeps a persistent picture of its background. Box() paints filled rectangles
// into it; with AutoRedraw off, Form_Paint is called whenever the window is repainted, before the
// picture is shown. Text printed with Print() lies on top of the picture until Cls().
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/color.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/toolkit.h"

namespace heatx::ui {

class Platform;

enum class ScaleMode { Twips, Pixels };
enum class FillStyle { Solid, Transparent };
enum class DrawStyle { Solid, Invisible };

// A text printed on a window (for tests): position in twips, text as printed.
struct PrintedText {
    double xTwips = 0.0;
    double yTwips = 0.0;
    std::string text;
    Color color = 0;
};

class Form : private WindowEvents {
  public:
    Form(Platform& platform, std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // ---- Events -----------------------------------------------------------------------------
    // Runs right after the window has been created (by the registry).
    virtual void Form_Load() {}
    // Runs whenever the window must be repainted, while AutoRedraw is off.
    virtual void Form_Paint() {}
    // The window manager's close button. By default the run ends, like the end buttons.
    virtual void OnCloseButton();

    // ---- Identity and neighbours --------------------------------------------------------------
    const std::string& Name() const { return name_; }
    Platform& platform() const { return platform_; }
    FormRegistry& Forms() const;
    // Unloads this window (see FormRegistry::Unload). The object stays usable until the running
    // handlers return, but afterwards the window is reached again only through Forms().Get<T>(),
    // which creates it afresh.
    void Unload();

    // ---- Window -------------------------------------------------------------------------------
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetHeight(double twips);
    void Move(double left, double top);
    void Move(double left, double top, double width, double height);

    // A window that would not fit the screen's available area (with its frame) is drawn smaller: its
    // twips are turned into fewer pixels, the same factor for the window, its controls, its fonts,
    // its picture and its printed text, so that it fits whole. Positions and sizes read back in
    // twips as set. 1 when the window fits as designed.
    double FitScale() const { return scale_; }
    // What a window manager adds around the inner area at most (title bar and borders), in pixels.
    static constexpr int kFrameAllowanceX = 12;
    static constexpr int kFrameAllowanceY = 40;

    // ---- Screen reader ----------------------------------------------------------------------------
    // The window's spoken name ("": its caption, which stays what the screen shows) and role.
    void SetAccessibleName(const std::string& name);
    const std::string& AccessibleName() const { return accessibleName_; }
    void SetAccessibleRole(WindowRole role);
    // Has a screen reader say text now (new results on the window), the focus staying where it is.
    void Announce(const std::string& text);

    // Inner size in the current drawing scale.
    double ScaleWidth() const;
    double ScaleHeight() const;
    ScaleMode GetScaleMode() const { return scaleMode_; }
    void SetScaleMode(ScaleMode mode);

    // The screen's size in twips.
    double ScreenWidth() const;
    double ScreenHeight() const;

    void Show();
    // Shows the window as a dialog of `owner`: a window manager keeps it above the owner (transient
    // for it) and gives it the focus.
    void ShowOver(Form& owner);
    // Makes the window a dialog window (part of its design, before it is first shown).
    void MakeDialogWindow();
    void Hide();
    bool Visible() const;
    void SetVisible(bool visible);
    // Repaints the window at once.
    void Refresh();

    // Keyboard focus: when the window has no focus control, or it is hidden or disabled, or `force`
    // is set (the focus control has just been hidden or disabled), the focus goes to the first
    // visible, enabled control in the tab order; without one it rests on the window itself.
    void SettleFocus(bool force = false);

    // ---- Drawing ------------------------------------------------------------------------------
    // Background colour. Setting it clears the picture and the printed text to the new colour.
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color color);
    // Colour of printed text and of box outlines.
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color color);
    bool AutoRedraw() const { return autoRedraw_; }
    void SetAutoRedraw(bool on);
    Color FillColor() const { return fillColor_; }
    void SetFillColor(Color color);
    // Box interiors: solid (FillColor) or transparent (the default).
    void SetFillStyle(FillStyle style) { fillStyle_ = style; }
    // Box outlines: a one-pixel line in ForeColor (the default) or invisible.
    void SetDrawStyle(DrawStyle style) { drawStyle_ = style; }
    // A box with corners (x1, y1) and (x2, y2) in the drawing scale, both corners included; later
    // boxes paint over earlier ones.
    void Box(double x1, double y1, double x2, double y2);

    // ---- Text on the window ----------------------------------------------------------------------
    // The print position, in the drawing scale: the top-left corner of the next printed text.
    double CurrentX() const;
    double CurrentY() const;
    void SetCurrentX(double x);
    void SetCurrentY(double y);
    // Prints a text at the print position in the window's font and ForeColor, then moves the
    // position to the start of the next row: CurrentX = 0, CurrentY one row (195 twips) down.
    void Print(const std::string& text);
    // Removes all printed text (and resets the print position); the background stays.
    void Cls();
    const std::vector<PrintedText>& PrintedTexts() const { return printedInfo_; }
    static constexpr double kRowTwips = 195.0;

    // The window's font: printed text and the controls without a font of their own.
    void SetFont(const std::string& family, double points, bool bold = false, bool italic = false);

    // The native window beneath (the platform's own tests reach their widgets through it); nullptr
    // once the window has been released.
    NativeWindow* Native() const { return window_; }

  protected:
    // ---- Design: controls, created in the constructor ---------------------------------------
    Button& AddButton(const std::string& name);
    Label& AddLabel(const std::string& name);
    ListBox& AddList(const std::string& name);

  private:
    friend class FormRegistry;
    friend class Control;

    struct Axis {
        double twips = 0.0;
        int pixels = 0;
    };

    // WindowEvents: the native window's repaint and close button.
    void BeforePaint() override;
    void CloseRequested() override;

    double Read(const Axis& axis, int pixels, bool horizontal) const;
    void ApplyGeometry(double left, double top, double width, double height);
    double ToScaleX(double twips) const;
    double ToScaleY(double twips) const;
    double FromScaleX(double value) const;
    double FromScaleY(double value) const;
    int ScaleToPixelX(double value) const;
    int ScaleToPixelY(double value) const;
    // Twips of the design to pixels and back at the window's fit scale.
    int PixelsX(double twips) const;
    double PixelsXExact(double twips) const;
    double PixelsYExact(double twips) const;
    int PixelsY(double twips) const;
    double TwipsX(int pixels) const;
    double TwipsY(int pixels) const;
    // A font at the fit scale.
    FontSpec Scaled(const FontSpec& font) const;
    // The fit scale of a window of this inner size in twips.
    double FitFor(double width, double height) const;
    // The fit scale changed: controls, fonts and printed text again at the new scale.
    void Rescale();
    void RequestUpdate();
    // Called by the registry on destruction: release the native window now, or once the event loop
    // has it again.
    void ReleaseWindow(bool later);

    Platform& platform_;
    std::string name_;
    std::string caption_;
    NativeWindow* window_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<PrintedText> printedInfo_;
    // Expires with the object: a repaint's handler may destroy the window it paints.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);

    Axis left_, top_, width_, height_;
    ScaleMode scaleMode_ = ScaleMode::Twips;
    Color backColor_;
    Color foreColor_ = Rgb(0, 0, 0);
    Color fillColor_ = Rgb(0, 0, 0);
    FillStyle fillStyle_ = FillStyle::Transparent;
    DrawStyle drawStyle_ = DrawStyle::Solid;
    bool autoRedraw_ = false;
    bool painting_ = false;
    double currentXTwips_ = 0.0;
    double currentYTwips_ = 0.0;
    double scale_ = 1.0;
    FontSpec font_;
    bool hasFont_ = false;
    bool defaultFontScaled_ = false;
    std::string accessibleName_;
};

}  // namespace heatx::ui
