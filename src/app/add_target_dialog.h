// The dialog in which the user types a new target's title and address. Created anew for every add, so its
// boxes start empty; modal over the main window. UI thread only.
#pragma once

#include <QDialog>
#include <QMargins>
#include <QString>

class QLineEdit;
class QPushButton;

namespace tarvelin {

inline constexpr int kAddTargetDialogWidth = 380;  // outer rectangle, frame included
inline constexpr int kAddTargetDialogHeight = 190;

class AddTargetDialog : public QDialog {
    Q_OBJECT
  public:
    // frame: the window system's frame around a top-level window, taken from the main window once it is
    // shown, so that the outer rectangle comes out at its designed size.
    explicit AddTargetDialog(QWidget* parent = nullptr, QMargins frame = {});

    // Exactly as typed: nothing trimmed, validated or compared.
    QString Title() const;
    QString Address() const;

    QLineEdit* TitleEdit() const { return m_titleEdit; }
    QLineEdit* AddressEdit() const { return m_addressEdit; }
    QPushButton* OkButton() const { return m_okButton; }
    QPushButton* CancelButton() const { return m_cancelButton; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls();
    void PlaceOnScreen(QMargins frame);

    QLineEdit* m_titleEdit = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

}  // namespace tarvelin
