// The main window as the settings restore and save see it, and the hooks that bind config.ini to the
// window's created step and its save command. UI thread only.
#pragma once

#include <filesystem>

#include "settings/settings_subject.h"

namespace tarvelin {

class MainWindow;

class WindowSettings final : public SettingsSubject {
public:
    explicit WindowSettings(MainWindow& window) : m_window(window) {}

    WindowRect OuterRect() const override;
    void SetOuterRect(const WindowRect& rect) override;
    bool IsOnSomeScreen(const WindowRect& rect) const override;
    void CentreOnScreen() override;
    std::int32_t DisplayState() const override;
    void SetMaximized(bool maximized) override;
    std::int32_t SamplePeriodMs() const override;
    void SetSamplePeriodMs(std::int32_t periodMs) override;
    void RunOptionCommand(DisplayOption option) override;
    bool IsOptionTicked(DisplayOption option) const override;
    std::string FontFaceName() const override;
    void SetFontFaceName(const std::string& faceName) override;
    std::int32_t FontPointSize() const override;
    void SetFontPointSize(std::int32_t points) override;
    bool FontBold() const override;
    void SetFontBold(bool on) override;
    bool FontItalic() const override;
    void SetFontItalic(bool on) override;
    bool FontUnderline() const override;
    void SetFontUnderline(bool on) override;
    bool FontStrikeOut() const override;
    void SetFontStrikeOut(bool on) override;
    std::int32_t TextBackgroundColour() const override;
    void SetTextBackgroundColour(std::int32_t colour) override;
    std::int32_t BackgroundColour() const override;
    void SetBackgroundColour(std::int32_t colour) override;
    int TargetCount() const override;
    std::string TargetTitle(int k) const override;
    std::string TargetAddress(int k) const override;
    std::int32_t TargetColumnWidth(int k) const override;
    void AppendRestoredTarget(const std::string& title, const std::string& address, std::int32_t width) override;

private:
    template <typename Change>
    void ChangeFont(Change change);

    MainWindow& m_window;
};

// Makes the window's created step restore from file and its save command write to it.
void BindSettingsFile(MainWindow& window, std::filesystem::path file);

}  // namespace tarvelin
