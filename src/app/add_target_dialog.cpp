#include "app/add_target_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "app/app_icon.h"
#include "app/menu_texts.h"

namespace tarvelin {

namespace {

// The controls sit at fixed places; the client area must hold them with an 8-pixel margin whatever frame
// the window system draws.
constexpr int kMinClientWidth = 368;
constexpr int kMinClientHeight = 152;

}  // namespace

AddTargetDialog::AddTargetDialog(QWidget* parent, QMargins frame) : QDialog(parent) {
    // Fixed frame with a title bar, system menu, minimize and close; no maximize, no help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QString::fromUtf8(kAddTargetDialogCaption));
    setWindowIcon(AppIcon());
    setModal(true);
    BuildControls();
    PlaceOnScreen(frame);
    m_titleEdit->setFocus(Qt::OtherFocusReason);  // becomes the focus as soon as the dialog is active
}

QString AddTargetDialog::Title() const {
    return m_titleEdit->text();
}

QString AddTargetDialog::Address() const {
    return m_addressEdit->text();
}

void AddTargetDialog::BuildControls() {
    auto* titleLabel = new QLabel(QString::fromUtf8(kTitleLabelText), this);
    titleLabel->setGeometry(8, 8, 80, 24);
    m_titleEdit = new QLineEdit(this);
    m_titleEdit->setGeometry(40, 8, 320, 24);
    titleLabel->setBuddy(m_titleEdit);

    auto* addressLabel = new QLabel(QString::fromUtf8(kAddressLabelText), this);
    addressLabel->setGeometry(8, 40, 80, 24);
    m_addressEdit = new QLineEdit(this);
    m_addressEdit->setGeometry(8, 72, 352, 24);
    addressLabel->setBuddy(m_addressEdit);
    // The title box overlaps the first label's right part; keep the box on top so it stays clickable.
    m_titleEdit->raise();

    m_okButton = new QPushButton(QString::fromUtf8(kOkButtonText), this);
    m_okButton->setGeometry(192, 112, 80, 32);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QString::fromUtf8(kCancelButtonText), this);
    m_cancelButton->setGeometry(280, 112, 80, 32);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(m_titleEdit, m_addressEdit);
    setTabOrder(m_addressEdit, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
}

void AddTargetDialog::PlaceOnScreen(QMargins frame) {
    const int clientWidth = std::max(kMinClientWidth, kAddTargetDialogWidth - frame.left() - frame.right());
    const int clientHeight = std::max(kMinClientHeight, kAddTargetDialogHeight - frame.top() - frame.bottom());
    setFixedSize(clientWidth, clientHeight);
    const QScreen* target = parentWidget() != nullptr ? parentWidget()->screen() : screen();
    const QRect area = target->geometry();
    // move() places the frame's top-left corner, so the outer rectangle is what gets centred.
    move(area.left() + (area.width() - kAddTargetDialogWidth) / 2,
         area.top() + (area.height() - kAddTargetDialogHeight) / 2);
}

void AddTargetDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_titleEdit->setFocus(Qt::OtherFocusReason);
}

}  // namespace tarvelin
