// The thirteen display-option menu items and the commands they run. A tick lives on the menu item, an
// attribute on the grid; the commands read one, set both, and never rebuild the grid. UI thread only.
#pragma once

#include <QObject>
#include <array>

#include "settings/display_options.h"

class QAction;

namespace tarvelin {

class ResultsView;

class DisplayOptionMenu : public QObject {
    Q_OBJECT
  public:
    // Creates the items with their initial ticks and enabled states; the caller places them in its menus.
    DisplayOptionMenu(ResultsView& view, QObject* parent = nullptr);

    QAction* Item(DisplayOption option) const { return m_items[Index(option)]; }
    bool Ticked(DisplayOption option) const;
    bool Enabled(DisplayOption option) const;

    // The option's command, whether or not its item is enabled (the settings restore replays it so):
    //  - the header: flip the tick, then hide the header exactly when it is unticked;
    //  - hot tracking: read the grid's attribute h (not the tick), tick := !h, enable the hand-cursor,
    //    hot-underline and cold-underline items, attribute := !h;
    //  - every other option: read the tick t, attribute := !t, tick := !t.
    void Run(DisplayOption option);

  private:
    static std::size_t Index(DisplayOption option) { return static_cast<std::size_t>(option); }
    void SetTicked(DisplayOption option, bool ticked);
    void RunHeader();
    void RunHotTracking();
    void RunPlain(DisplayOption option);

    ResultsView& m_view;
    std::array<QAction*, kDisplayOptions.size()> m_items{};
};

}  // namespace tarvelin
