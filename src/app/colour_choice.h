// Picking one of the grid's two background colours with Qt's colour dialog, as a colour value (red in the
// low byte, green in the next, blue in the third) or -1 when the user chose none. UI thread only.
#pragma once

#include <QColor>
#include <functional>
#include <optional>

class QWidget;

namespace tarvelin {

inline constexpr int kNoColour = -1;
inline constexpr int kWhite = 16777215;

// Shows a colour dialog over owner and returns the confirmed colour, or nothing when it was cancelled.
using ColourDialogRunner = std::function<std::optional<QColor>(QWidget* owner)>;

// The real dialog: opens on its own default colour whatever the grid shows, and offers no custom colours
// from an earlier use (Qt keeps them process-wide, so they are reset before every use).
std::optional<QColor> RunQtColourDialog(QWidget* owner);

// The colour the user confirmed in the dialog that runner shows, or kNoColour. Black is 0, a colour.
int ChooseColour(QWidget* owner, const ColourDialogRunner& runner = RunQtColourDialog);

int ColourValueOf(const QColor& colour);
// The colour a value names; only the low three bytes count. REQUIRES: value != kNoColour.
QColor ColourOf(int value);

}  // namespace tarvelin
