#include "app/display_options_menu.h"

#include <QAction>

#include "app/results_view.h"

namespace tarvelin {

DisplayOptionMenu::DisplayOptionMenu(ResultsView& view, QObject* parent) : QObject(parent), m_view(view) {
    for (const DisplayOptionInfo& info : kDisplayOptions) {
        auto* item =
            new QAction(QString::fromUtf8(info.caption.data(), static_cast<qsizetype>(info.caption.size())), this);
        item->setCheckable(true);
        item->setChecked(info.initialTicked);
        item->setEnabled(info.initialEnabled);
        const DisplayOption option = info.option;
        // Qt flips a checkable item's tick before it reports the trigger; put it back so that the command
        // reads the tick as it was, as the restore's replay does.
        connect(item, &QAction::triggered, this, [this, item, option](bool checked) {
            item->setChecked(!checked);
            Run(option);
        });
        m_items[Index(option)] = item;
    }
}

bool DisplayOptionMenu::Ticked(DisplayOption option) const {
    return Item(option)->isChecked();
}

bool DisplayOptionMenu::Enabled(DisplayOption option) const {
    return Item(option)->isEnabled();
}

void DisplayOptionMenu::Run(DisplayOption option) {
    switch (option) {
        case DisplayOption::kHead:
            RunHeader();
            break;
        case DisplayOption::kHot:
            RunHotTracking();
            break;
        default:
            RunPlain(option);
            break;
    }
}

void DisplayOptionMenu::SetTicked(DisplayOption option, bool ticked) {
    Item(option)->setChecked(ticked);
}

void DisplayOptionMenu::RunHeader() {
    const bool ticked = !Ticked(DisplayOption::kHead);
    SetTicked(DisplayOption::kHead, ticked);
    m_view.SetAttribute(DisplayOption::kHead, !ticked);
}

void DisplayOptionMenu::RunHotTracking() {
    const bool hot = m_view.Attribute(DisplayOption::kHot);
    SetTicked(DisplayOption::kHot, !hot);
    for (DisplayOption refinement : {DisplayOption::kHand, DisplayOption::kActivation, DisplayOption::kInactivation}) {
        Item(refinement)->setEnabled(true);
    }
    m_view.SetAttribute(DisplayOption::kHot, !hot);
}

void DisplayOptionMenu::RunPlain(DisplayOption option) {
    const bool ticked = Ticked(option);
    m_view.SetAttribute(option, !ticked);
    SetTicked(option, !ticked);
}

}  // namespace tarvelin
