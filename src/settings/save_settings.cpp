#include "settings/save_settings.h"

#include <optional>
#include <string>

#include "monitor/utf8.h"
#include "settings/conversions.h"
#include "settings/display_options.h"
#include "settings/profile_file.h"
#include "settings/settings_keys.h"

namespace tarvelin {
namespace {

// Keys are set in the order a new file should list them, since each new key goes at the end.
class PendingSave {
public:
    explicit PendingSave(ProfileDocument document) : m_document(std::move(document)) {}

    void Text(std::string_view key, std::string_view value) {
        m_ok = m_document.Set(kSettingsSection, key, Storable(value)) && m_ok;
    }
    void Integer(std::string_view key, std::int32_t value) { Text(key, IntegerToText(value)); }
    void Flag(std::string_view key, bool on) { Text(key, on ? kFlagOn : kFlagOff); }

    bool Ok() const { return m_ok; }
    const ProfileDocument& Document() const { return m_document; }

private:
    // A title is one line of the file, so a line break in it would start new keys; and a stray byte
    // would make the file read as legacy text. Both are replaced rather than losing the whole save.
    static std::string Storable(std::string_view value) {
        std::string cleaned;
        cleaned.reserve(value.size());
        for (std::size_t pos = 0; pos < value.size();) {
            const std::size_t length = Utf8CharLength(value, pos);
            const auto lead = static_cast<unsigned char>(value[pos]);
            if (value[pos] == '\r' || value[pos] == '\n') {
                cleaned += ' ';
            } else if (length == 1 && lead >= 0x80) {
                cleaned += "\xEF\xBF\xBD";  // U+FFFD
            } else {
                cleaned.append(value.substr(pos, length));
            }
            pos += length;
        }
        return cleaned;
    }

    ProfileDocument m_document;
    bool m_ok = true;
};

void SaveWindow(const SettingsSubject& window, PendingSave& save) {
    const WindowRect rect = window.OuterRect();
    save.Integer(kKeyLeft, rect.left);
    save.Integer(kKeyTop, rect.top);
    save.Integer(kKeyWidth, rect.width);
    save.Integer(kKeyHeight, rect.height);
    save.Integer(kKeyState, window.DisplayState());
    save.Flag(kKeyStart, window.SamplePeriodMs() != 0);
    for (const DisplayOptionInfo& info : kDisplayOptions) save.Flag(info.key, window.IsOptionTicked(info.option));
}

void SaveFontAndColours(const SettingsSubject& window, PendingSave& save) {
    save.Text(kKeyTextName, window.FontFaceName());
    save.Integer(kKeyTextSize, window.FontPointSize());
    save.Flag(kKeyTextBold, window.FontBold());
    save.Flag(kKeyTextItalic, window.FontItalic());
    save.Flag(kKeyTextUnderline, window.FontUnderline());
    save.Flag(kKeyTextStrikeThrough, window.FontStrikeOut());
    save.Integer(kKeyTextBackgroundColour, window.TextBackgroundColour());
    save.Integer(kKeyBackgroundColour, window.BackgroundColour());
}

void SaveTargets(const SettingsSubject& window, PendingSave& save) {
    const int count = window.TargetCount();
    for (int k = 1; k <= count; ++k) {
        save.Text(ItemKey(k), JoinTargetEntry(window.TargetTitle(k), window.TargetAddress(k)));
        const std::int32_t width = window.TargetColumnWidth(k);
        // A column narrowed to nothing comes back at the usual width.
        if (width == 0) {
            save.Text(ItemWidthKey(k), kDefaultItemWidth);
        } else {
            save.Integer(ItemWidthKey(k), width);
        }
    }
    save.Integer(kKeyItemNumber, count);
}

}  // namespace

bool SaveSettings(const std::filesystem::path& file, const SettingsSubject& window) {
    // Unreadable means its other lines could not be kept; leave it alone rather than lose them.
    std::optional<ProfileDocument> current = LoadProfile(file);
    if (!current) return false;
    PendingSave save(std::move(*current));
    SaveWindow(window, save);
    SaveFontAndColours(window, save);
    SaveTargets(window, save);
    return save.Ok() && StoreProfile(file, save.Document());
}

}  // namespace tarvelin
