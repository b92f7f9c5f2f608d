// Every caption and shortcut the main window's menus, its context menu and the add-target dialog show,
// spelled exactly as the user sees them. Constant data; safe on any thread. The thirteen option items take
// their captions from settings/display_options.h.
#pragma once

namespace tarvelin {

inline constexpr char kWindowCaption[] = "Tarvelin";
inline constexpr char kSettingsMenuCaption[] = "设置";
inline constexpr char kToggleSamplingCaption[] = "开始/暂停(&S)";
inline constexpr char kAddTargetCaption[] = "添加域名/网站...(&A)";
inline constexpr char kTextBackgroundCaption[] = "文本背景色...(&B)";
inline constexpr char kBackgroundCaption[] = "背景色...(&C)";
inline constexpr char kHotTrackingMenuCaption[] = "热点追踪(&M)";
inline constexpr char kSaveSettingsCaption[] = "保存设置(&S)";

inline constexpr char kToggleSamplingShortcut[] = "F1";
inline constexpr char kAddTargetShortcut[] = "Ctrl+A";
inline constexpr char kTextBackgroundShortcut[] = "Ctrl+B";
inline constexpr char kBackgroundShortcut[] = "Ctrl+C";
inline constexpr char kSaveSettingsShortcut[] = "Ctrl+S";

// The header context menu. Its item shows "Del" after the tab but binds no key, so Del does nothing.
inline constexpr char kContextMenuCaption[] = "右键菜单";
inline constexpr char kDeleteTargetCaption[] = "删除(&D)\tDel";

inline constexpr char kTimeColumnCaption[] = "时间";

inline constexpr char kAddTargetDialogCaption[] = "添加域名/网址";
inline constexpr char kTitleLabelText[] = "标题:";
inline constexpr char kAddressLabelText[] = "域名/网址:";
inline constexpr char kOkButtonText[] = "确定(&O)";
inline constexpr char kCancelButtonText[] = "取消(&C)";

}  // namespace tarvelin
