// The thirteen display options of the results grid: menu caption, settings key, initial states and the
// value that makes the restore run the option's command. One table, read by the menus, the restore and
// the save. Constant data; safe on any thread.
#pragma once

#include <array>
#include <string_view>

namespace tarvelin {

enum class DisplayOption {
    kLineSelection,
    kHead,
    kLine,
    kDrag,
    kClick,
    kHot,
    kHand,
    kInactivation,
    kActivation,
    kEditFirst,
    kScroll,
    kSingle,
    kShowItem,
};

struct DisplayOptionInfo {
    DisplayOption option;
    std::string_view caption;  // menu caption, mnemonic included
    std::string_view key;      // settings key, spelled as stored
    bool initialTicked;
    bool initialEnabled;
    // The grid attribute's start value. For kHead the attribute is "header hidden", the inverse of the tick.
    bool initialAttribute;
    std::string_view trigger;       // the stored value on which the restore runs the command
    std::string_view defaultValue;  // what the restore reads when the key is absent
};

// In menu order, which is also the order of the restore and the save.
inline constexpr std::array<DisplayOptionInfo, 13> kDisplayOptions = {{
    {DisplayOption::kLineSelection, "整行选择(&I)", "Line_selection", true, true, true, "0", "1"},
    {DisplayOption::kHead, "表头(&U)", "Head", true, true, false, "0", "1"},
    {DisplayOption::kLine, "表格线(&L)", "Line", false, true, false, "1", "0"},
    {DisplayOption::kDrag, "表列可拖动(&D)", "drag", true, true, true, "0", "1"},
    {DisplayOption::kClick, "表头可单击(&K)", "Click", true, true, true, "0", "1"},
    {DisplayOption::kHot, "开启热点追踪(&M)", "Hot", false, true, false, "1", "0"},
    {DisplayOption::kHand, "手型指针(&H)", "Hand", false, false, true, "1", "1"},
    {DisplayOption::kInactivation, "标注非热点(&I)", "Inactivation", false, false, true, "1", "1"},
    {DisplayOption::kActivation, "标注热点(&H)", "Activation", false, false, true, "1", "1"},
    {DisplayOption::kEditFirst, "可编辑第一项(&E)", "EditFrist", false, true, false, "1", "0"},
    {DisplayOption::kScroll, "平面滚动条(&S)", "Scroll", true, true, true, "0", "1"},
    {DisplayOption::kSingle, "单项选择(&O)", "Single", true, true, true, "0", "1"},
    {DisplayOption::kShowItem, "始终显示选择项(&W)", "ShowItem", true, true, true, "0", "1"},
}};

constexpr const DisplayOptionInfo& InfoOf(DisplayOption option) {
    return kDisplayOptions[static_cast<std::size_t>(option)];
}

}  // namespace tarvelin
