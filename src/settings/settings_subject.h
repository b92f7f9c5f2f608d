// What the settings restore and save need of the main window, as one small interface: the window
// implements it, tests use a fake. Every member is called on the user-interface thread only; the core
// never keeps a reference beyond one RestoreSettings or SaveSettings call.
#pragma once

#include <cstdint>
#include <string>

#include "settings/display_options.h"

namespace tarvelin {

// The window's outer rectangle in screen pixels, frame included.
struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// Display-state codes as stored: anything else reads back as normal or maximized.
inline constexpr std::int32_t kDisplayStateNormal = 0;
inline constexpr std::int32_t kDisplayStateMinimized = 2;
inline constexpr std::int32_t kDisplayStateMaximized = 3;

class SettingsSubject {
public:
    virtual ~SettingsSubject() = default;

    // Geometry. SetOuterRect applies at once (the window may still be hidden).
    virtual WindowRect OuterRect() const = 0;
    virtual void SetOuterRect(const WindowRect& rect) = 0;
    // True when some part of rect lies on some screen; a stored rectangle that fails this is not used.
    virtual bool IsOnSomeScreen(const WindowRect& rect) const = 0;
    // Keeps the current size and places the window in the middle of the primary screen.
    virtual void CentreOnScreen() = 0;

    // kDisplayStateNormal, kDisplayStateMinimized or kDisplayStateMaximized.
    virtual std::int32_t DisplayState() const = 0;
    virtual void SetMaximized(bool maximized) = 0;

    // The sample timer's period: 1000 while sampling runs, 0 while paused.
    virtual std::int32_t SamplePeriodMs() const = 0;
    virtual void SetSamplePeriodMs(std::int32_t periodMs) = 0;

    // Runs the option's menu command once, whether or not its menu item is enabled.
    virtual void RunOptionCommand(DisplayOption option) = 0;
    virtual bool IsOptionTicked(DisplayOption option) const = 0;

    // The grid's font. Texts are UTF-8.
    virtual std::string FontFaceName() const = 0;
    virtual void SetFontFaceName(const std::string& faceName) = 0;
    virtual std::int32_t FontPointSize() const = 0;
    virtual void SetFontPointSize(std::int32_t points) = 0;  // called only with 1..kMaxFontPointSize
    virtual bool FontBold() const = 0;
    virtual void SetFontBold(bool on) = 0;
    virtual bool FontItalic() const = 0;
    virtual void SetFontItalic(bool on) = 0;
    virtual bool FontUnderline() const = 0;
    virtual void SetFontUnderline(bool on) = 0;
    virtual bool FontStrikeOut() const = 0;
    virtual void SetFontStrikeOut(bool on) = 0;

    // Colour values: red in the low byte, green next, blue in the third; white is 16777215.
    virtual std::int32_t TextBackgroundColour() const = 0;
    virtual void SetTextBackgroundColour(std::int32_t colour) = 0;
    virtual std::int32_t BackgroundColour() const = 0;
    virtual void SetBackgroundColour(std::int32_t colour) = 0;

    // Targets, numbered from 1; the width is that of the target's own grid column, in pixels.
    virtual int TargetCount() const = 0;
    virtual std::string TargetTitle(int k) const = 0;
    virtual std::string TargetAddress(int k) const = 0;
    virtual std::int32_t TargetColumnWidth(int k) const = 0;
    // Appends a column captioned title with the given width (never negative), then the target itself,
    // so the lists and the grid's columns stay in step.
    virtual void AppendRestoredTarget(const std::string& title, const std::string& address,
                                      std::int32_t width) = 0;

    // Largest font size the restore applies; a stored size outside 1..this keeps the current size.
    static constexpr std::int32_t kMaxFontPointSize = 200;
};

}  // namespace tarvelin
