// Names and fixed values of the settings file: its section, every key spelled as stored, and the
// defaults the restore uses. The display options' keys live with their table in display_options.h.
// Constant data; safe on any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvelin {

inline constexpr std::string_view kSettingsFileName = "config.ini";
inline constexpr std::string_view kSettingsSection = "Internet_Check_Settings_And_URL";

inline constexpr std::string_view kKeyLeft = "Left";
inline constexpr std::string_view kKeyTop = "Top";
inline constexpr std::string_view kKeyWidth = "Width";
inline constexpr std::string_view kKeyHeight = "Height";
inline constexpr std::string_view kKeyState = "State";
inline constexpr std::string_view kKeyStart = "Start";
inline constexpr std::string_view kKeyTextName = "Text_Name";
inline constexpr std::string_view kKeyTextSize = "Text_Size";
inline constexpr std::string_view kKeyTextBold = "Text_Bold";
inline constexpr std::string_view kKeyTextItalic = "Text_Italic";
inline constexpr std::string_view kKeyTextUnderline = "Text_Underline";
inline constexpr std::string_view kKeyTextStrikeThrough = "Text_StrikeThrough";
inline constexpr std::string_view kKeyTextBackgroundColour = "Text_BColor";
inline constexpr std::string_view kKeyBackgroundColour = "BColor";
inline constexpr std::string_view kKeyItemNumber = "Item_Number";
inline constexpr std::string_view kKeyItemPrefix = "Item_";
inline constexpr std::string_view kKeyItemWidthPrefix = "Item_Width_";

inline constexpr std::string_view kDefaultStart = "1000";
inline constexpr std::string_view kDefaultFlag = "0";
inline constexpr std::string_view kDefaultColour = "16777215";
inline constexpr std::string_view kDefaultItemNumber = " 0";
inline constexpr std::string_view kDefaultItemWidth = "66";

inline constexpr std::string_view kFlagOn = "1";
inline constexpr std::string_view kFlagOff = "0";

// A face name must fit the platform's 32-byte face-name field with its NUL; a longer or empty one makes
// the font fall back to this face.
inline constexpr std::string_view kFallbackFaceName = "宋体";
inline constexpr std::size_t kMaxFaceNameLegacyBytes = 31;

inline std::string ItemKey(int k) {
    return std::string(kKeyItemPrefix) + std::to_string(k);
}

inline std::string ItemWidthKey(int k) {
    return std::string(kKeyItemWidthPrefix) + std::to_string(k);
}

}  // namespace tarvelin
