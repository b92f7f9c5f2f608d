#include "settings/restore_settings.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/conversions.h"
#include "settings/display_options.h"
#include "settings/profile_file.h"
#include "settings/settings_file.h"
#include "settings/settings_keys.h"

namespace tarvelin {
namespace {

// Key lookups against the file as read once at the start of the restore.
class StoredSettings {
public:
    explicit StoredSettings(ProfileDocument document) : m_document(std::move(document)) {}

    std::string Text(std::string_view key, std::string_view defaultValue) const {
        if (auto value = m_document.Find(kSettingsSection, key)) return std::move(*value);
        return EffectiveDefault(defaultValue);
    }
    std::int32_t Integer(std::string_view key, std::string_view defaultValue) const {
        return TextToInteger(Text(key, defaultValue));
    }
    std::int32_t Integer(std::string_view key, std::int32_t current) const {
        return Integer(key, IntegerToText(current));
    }
    bool Flag(std::string_view key) const { return Text(key, kDefaultFlag) == kFlagOn; }

private:
    ProfileDocument m_document;
};

void RestoreGeometry(const StoredSettings& stored, SettingsSubject& window) {
    static constexpr std::pair<std::string_view, std::int32_t WindowRect::*> kEdges[] = {
        {kKeyLeft, &WindowRect::left},
        {kKeyTop, &WindowRect::top},
        {kKeyWidth, &WindowRect::width},
        {kKeyHeight, &WindowRect::height},
    };
    // Each value goes to the window before the next is read: the window may adjust what it is given.
    for (const auto& [key, edge] : kEdges) {
        WindowRect rect = window.OuterRect();
        rect.*edge = stored.Integer(key, rect.*edge);
        window.SetOuterRect(rect);
    }
    // A rectangle saved on a screen that is gone would leave the window where nobody can reach it.
    if (!window.IsOnSomeScreen(window.OuterRect())) window.CentreOnScreen();

    window.SetMaximized(stored.Integer(kKeyState, window.DisplayState()) > kDisplayStateMinimized);
}

void RestoreSampling(const StoredSettings& stored, SettingsSubject& window) {
    constexpr std::int32_t kRunningPeriodMs = 1000;
    window.SetSamplePeriodMs(stored.Integer(kKeyStart, kDefaultStart) > 0 ? kRunningPeriodMs : 0);
}

void RestoreDisplayOptions(const StoredSettings& stored, SettingsSubject& window) {
    for (const DisplayOptionInfo& info : kDisplayOptions) {
        if (stored.Text(info.key, info.defaultValue) == info.trigger) window.RunOptionCommand(info.option);
    }
}

void RestoreFont(const StoredSettings& stored, SettingsSubject& window) {
    std::string faceName = stored.Text(kKeyTextName, window.FontFaceName());
    if (faceName.empty() || LegacyByteLength(faceName) > kMaxFaceNameLegacyBytes) {
        faceName = kFallbackFaceName;
    }
    window.SetFontFaceName(faceName);

    const std::int32_t points = stored.Integer(kKeyTextSize, window.FontPointSize());
    // A size of 0 or less, or one no screen could show, would leave the grid unreadable.
    if (points >= 1 && points <= SettingsSubject::kMaxFontPointSize) window.SetFontPointSize(points);

    window.SetFontBold(stored.Flag(kKeyTextBold));
    window.SetFontItalic(stored.Flag(kKeyTextItalic));
    window.SetFontUnderline(stored.Flag(kKeyTextUnderline));
    window.SetFontStrikeOut(stored.Flag(kKeyTextStrikeThrough));
}

void RestoreColours(const StoredSettings& stored, SettingsSubject& window) {
    window.SetTextBackgroundColour(stored.Integer(kKeyTextBackgroundColour, kDefaultColour));
    window.SetBackgroundColour(stored.Integer(kKeyBackgroundColour, kDefaultColour));
}

void RestoreTargets(const StoredSettings& stored, SettingsSubject& window) {
    const std::int32_t count = stored.Integer(kKeyItemNumber, kDefaultItemNumber);
    for (std::int32_t k = 1; k <= count; ++k) {
        // The first absent or empty entry ends the list, so a wrong or enormous Item_Number costs nothing.
        const std::vector<std::string> parts = SplitTargetEntry(stored.Text(ItemKey(k), {}));
        if (parts.empty()) return;
        const std::int32_t width = stored.Integer(ItemWidthKey(k), kDefaultItemWidth);
        // A target saved without an address comes back with an empty one rather than being lost.
        window.AppendRestoredTarget(parts[0], parts.size() > 1 ? parts[1] : std::string(), std::max(width, 0));
    }
}

}  // namespace

void RestoreSettings(const std::filesystem::path& file, SettingsSubject& window) {
    if (!SettingsFileExists(file)) return;
    // A file that exists but cannot be read gives every key its default, as an empty file would.
    const StoredSettings stored(LoadProfile(file).value_or(ProfileDocument()));
    RestoreGeometry(stored, window);
    RestoreSampling(stored, window);
    RestoreDisplayOptions(stored, window);
    RestoreFont(stored, window);
    RestoreColours(stored, window);
    RestoreTargets(stored, window);
}

}  // namespace tarvelin
