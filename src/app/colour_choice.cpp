#include "app/colour_choice.h"

#include <QColorDialog>

namespace tarvelin {

namespace {

void ResetCustomColours() {
    for (int i = 0; i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, QColor(Qt::white));
}

}  // namespace

std::optional<QColor> RunQtColourDialog(QWidget* owner) {
    ResetCustomColours();
    QColorDialog dialog(owner);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    ResetCustomColours();
    if (!accepted) return std::nullopt;
    return dialog.selectedColor();
}

int ChooseColour(QWidget* owner, const ColourDialogRunner& runner) {
    const std::optional<QColor> chosen = runner(owner);
    if (!chosen || !chosen->isValid()) return kNoColour;
    return ColourValueOf(*chosen);
}

int ColourValueOf(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

QColor ColourOf(int value) {
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

}  // namespace tarvelin
