#include "app/window_settings.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>

#include "app/main_window.h"
#include "settings/restore_settings.h"
#include "settings/save_settings.h"

namespace tarvelin {

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace

WindowRect WindowSettings::OuterRect() const {
    const QRect rect = m_window.OuterRect();
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

void WindowSettings::SetOuterRect(const WindowRect& rect) {
    m_window.SetOuterRect(QRect(rect.left, rect.top, rect.width, rect.height));
}

bool WindowSettings::IsOnSomeScreen(const WindowRect& rect) const {
    const QRect wanted(rect.left, rect.top, rect.width, rect.height);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->geometry().intersects(wanted)) return true;
    }
    return false;
}

void WindowSettings::CentreOnScreen() { m_window.CentreOnScreen(); }

std::int32_t WindowSettings::DisplayState() const { return m_window.DisplayState(); }

void WindowSettings::SetMaximized(bool maximized) { m_window.SetMaximized(maximized); }

std::int32_t WindowSettings::SamplePeriodMs() const { return m_window.SamplingPeriod(); }

void WindowSettings::SetSamplePeriodMs(std::int32_t periodMs) { m_window.SetSamplingPeriod(periodMs); }

void WindowSettings::RunOptionCommand(DisplayOption option) { m_window.RunOptionCommand(option); }

bool WindowSettings::IsOptionTicked(DisplayOption option) const { return m_window.IsOptionTicked(option); }

template <typename Change>
void WindowSettings::ChangeFont(Change change) {
    QFont font = m_window.GridFont();
    change(font);
    m_window.SetGridFont(font);
}

std::string WindowSettings::FontFaceName() const { return ToUtf8(m_window.GridFont().family()); }

void WindowSettings::SetFontFaceName(const std::string& faceName) {
    ChangeFont([&](QFont& font) { font.setFamily(FromUtf8(faceName)); });
}

std::int32_t WindowSettings::FontPointSize() const {
    const QFont font = m_window.GridFont();
    // A font sized in pixels reports no point size; convert at the usual 96 dots per inch.
    return font.pointSize() > 0 ? font.pointSize() : font.pixelSize() * 72 / 96;
}

void WindowSettings::SetFontPointSize(std::int32_t points) {
    ChangeFont([&](QFont& font) { font.setPointSize(points); });
}

bool WindowSettings::FontBold() const { return m_window.GridFont().weight() >= QFont::Bold; }

void WindowSettings::SetFontBold(bool on) {
    ChangeFont([&](QFont& font) { font.setWeight(on ? QFont::Bold : QFont::Normal); });
}

bool WindowSettings::FontItalic() const { return m_window.GridFont().italic(); }

void WindowSettings::SetFontItalic(bool on) {
    ChangeFont([&](QFont& font) { font.setItalic(on); });
}

bool WindowSettings::FontUnderline() const { return m_window.GridFont().underline(); }

void WindowSettings::SetFontUnderline(bool on) {
    ChangeFont([&](QFont& font) { font.setUnderline(on); });
}

bool WindowSettings::FontStrikeOut() const { return m_window.GridFont().strikeOut(); }

void WindowSettings::SetFontStrikeOut(bool on) {
    ChangeFont([&](QFont& font) { font.setStrikeOut(on); });
}

std::int32_t WindowSettings::TextBackgroundColour() const { return m_window.TextBackgroundColour(); }

void WindowSettings::SetTextBackgroundColour(std::int32_t colour) { m_window.SetTextBackgroundColour(colour); }

std::int32_t WindowSettings::BackgroundColour() const { return m_window.BackgroundColour(); }

void WindowSettings::SetBackgroundColour(std::int32_t colour) { m_window.SetBackgroundColour(colour); }

int WindowSettings::TargetCount() const { return m_window.TargetCount(); }

std::string WindowSettings::TargetTitle(int k) const { return ToUtf8(m_window.TargetTitle(k)); }

std::string WindowSettings::TargetAddress(int k) const { return ToUtf8(m_window.TargetAddress(k)); }

std::int32_t WindowSettings::TargetColumnWidth(int k) const { return m_window.TargetColumnWidth(k); }

void WindowSettings::AppendRestoredTarget(const std::string& title, const std::string& address, std::int32_t width) {
    m_window.AppendRestoredTarget(FromUtf8(title), FromUtf8(address), width);
}

void BindSettingsFile(MainWindow& window, std::filesystem::path file) {
    window.SetRestoreSettings([&window, file] {
        WindowSettings subject(window);
        RestoreSettings(file, subject);
    });
    window.SetSaveSettings([&window, file] {
        WindowSettings subject(window);
        SaveSettings(file, subject);
    });
}

}  // namespace tarvelin
