#include "app/main_window.h"

#include <QAction>
#include <QCursor>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <algorithm>

#include "app/add_target_dialog.h"
#include "app/app_icon.h"
#include "app/display_options_menu.h"
#include "app/menu_texts.h"
#include "app/results_model.h"
#include "app/results_view.h"
#include "monitor/sampler.h"

namespace tarvelin {

namespace {

constexpr int kGridFontPoints = 9;
// The context menu's top-left corner sits this far right of and below the cursor.
constexpr QPoint kContextMenuOffset(3, 3);

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::uint32_t MonotonicMs() {
    QElapsedTimer clock;
    clock.start();
    // The platform's millisecond counter, wrapping like a 32-bit tick count.
    return static_cast<std::uint32_t>(clock.msecsSinceReference());
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_model(new ResultsModel(this)), m_sampling(m_targets, *m_model) {
    // A sizeable frame with minimize and close but no maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    setWindowIcon(AppIcon());
    BuildGrid();
    BuildMenus();
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // The designed size is the outer one; the frame is known only once the platform window exists.
    create();
    SetOuterRect(QRect(0, 0, kMainWindowWidth, kMainWindowHeight));
    CentreOnScreen();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildGrid() {
    m_view = new ResultsView(this);
    m_view->SetGridFont(DefaultGridFont());
    m_view->setModel(m_model);
    // The grid fills the client area at every size, so no part of it is ever cut off or left blank.
    setCentralWidget(m_view);
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this, &MainWindow::OnHeaderClicked);
}

QAction* MainWindow::AddCommand(QMenu* menu, const char* caption, const char* shortcut, void (MainWindow::*command)()) {
    QAction* item = menu->addAction(QString::fromUtf8(caption));
    if (shortcut != nullptr) item->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    connect(item, &QAction::triggered, this, command);
    return item;
}

void MainWindow::BuildMenus() {
    m_options = new DisplayOptionMenu(*m_view, this);
    QMenu* settings = menuBar()->addMenu(QString::fromUtf8(kSettingsMenuCaption));
    AddCommand(settings, kToggleSamplingCaption, kToggleSamplingShortcut, &MainWindow::ToggleSampling);
    settings->addSeparator();
    AddCommand(settings, kAddTargetCaption, kAddTargetShortcut, &MainWindow::AddTargetCommand);
    AddCommand(settings, kTextBackgroundCaption, kTextBackgroundShortcut, &MainWindow::TextBackgroundCommand);
    AddCommand(settings, kBackgroundCaption, kBackgroundShortcut, &MainWindow::BackgroundCommand);
    settings->addSeparator();
    QMenu* hotTracking = nullptr;
    for (const DisplayOptionInfo& info : kDisplayOptions) {
        const bool inSubmenu = info.option >= DisplayOption::kHot && info.option <= DisplayOption::kActivation;
        if (inSubmenu && hotTracking == nullptr)
            hotTracking = settings->addMenu(QString::fromUtf8(kHotTrackingMenuCaption));
        (inSubmenu ? hotTracking : settings)->addAction(m_options->Item(info.option));
    }
    settings->addSeparator();
    AddCommand(settings, kSaveSettingsCaption, kSaveSettingsShortcut, &MainWindow::SaveSettingsCommand);
}

QFont MainWindow::DefaultGridFont() {
    const QStringList installed = QFontDatabase::families();
    for (const char* face : {"微软雅黑", "Microsoft YaHei"}) {
        if (installed.contains(QString::fromUtf8(face))) return QFont(QString::fromUtf8(face), kGridFontPoints);
    }
    // Otherwise the system's Chinese sans-serif face.
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    QString face = QStringLiteral("Noto Sans CJK SC");
    if (!chinese.contains(face)) {
        const auto sans = std::find_if(chinese.begin(), chinese.end(), [](const QString& family) {
            return family.contains(QStringLiteral("Sans")) && !family.contains(QStringLiteral("Mono"));
        });
        face = sans != chinese.end() ? *sans : (chinese.isEmpty() ? QFont().family() : chinese.first());
    }
    return QFont(face, kGridFontPoints);
}

void MainWindow::RunCreatedStep() {
    m_startTick = MonotonicMs();
    m_sampling.SetPeriod(kSampleIntervalMs);
    if (m_restoreSettings) m_restoreSettings();
}

void MainWindow::TellEchoUnavailable(const QString& reason) {
    auto* notice =
        new QMessageBox(QMessageBox::Warning, QString::fromUtf8(kWindowCaption), reason, QMessageBox::Ok, this);
    notice->setObjectName(QStringLiteral("EchoUnavailableNotice"));
    notice->setWindowModality(Qt::NonModal);
    notice->setAttribute(Qt::WA_DeleteOnClose);
    notice->show();
}

void MainWindow::ToggleSampling() {
    m_sampling.ToggleSampling();
}

void MainWindow::AddTargetCommand() {
    AddTargetDialog dialog(this, FrameMargins());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // Without a window manager nobody hands the keyboard back once the dialog has gone.
    activateWindow();
    if (accepted) AddTarget(dialog.Title(), dialog.Address(), kTargetColumnWidth);
}

void MainWindow::AddTarget(const QString& title, const QString& address, int width) {
    const TargetId id = m_targets.AppendTarget(title.toStdString(), address.toStdString());
    m_model->AppendColumn(title, id);
    m_view->setColumnWidth(m_model->columnCount() - 1, std::max(0, width));
}

void MainWindow::DeleteTargetCommand() {
    const int column = m_clickedColumn;
    // The grid's delete and the lists' removal each test the range, so a stale column changes nothing.
    m_model->DeleteColumn(column);
    m_targets.RemoveTarget(column);
    m_clickedColumn = -1;
}

void MainWindow::TextBackgroundCommand() {
    const int colour = ChooseColour(m_view, m_colourDialogRunner);
    activateWindow();
    if (colour != kNoColour) m_view->SetTextBackgroundColour(colour);
}

void MainWindow::BackgroundCommand() {
    const int colour = ChooseColour(m_view, m_colourDialogRunner);
    activateWindow();
    if (colour != kNoColour) m_view->SetBackgroundColour(colour);
}

void MainWindow::SaveSettingsCommand() {
    if (m_saveSettings) m_saveSettings();
}

void MainWindow::RunOptionCommand(DisplayOption option) {
    m_options->Run(option);
}

void MainWindow::OnHeaderClicked(int column) {
    if (column == 0) return;
    m_clickedColumn = column;
    QMenu menu(QString::fromUtf8(kContextMenuCaption), this);
    QAction* remove = menu.addAction(QString::fromUtf8(kDeleteTargetCaption));
    m_contextMenu = &menu;
    QAction* chosen = menu.exec(QCursor::pos() + kContextMenuOffset);
    m_contextMenu = nullptr;
    if (chosen == remove) DeleteTargetCommand();
}

QMargins MainWindow::FrameMargins() const {
    const QWindow* handle = windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

QRect MainWindow::OuterRect() const {
    return frameGeometry();
}

void MainWindow::SetOuterRect(const QRect& rect) {
    m_requestedOuter = rect;
    ApplyRequestedOuterRect();
}

void MainWindow::ApplyRequestedOuterRect() {
    m_assumedFrame = FrameMargins();
    setGeometry(m_requestedOuter->marginsRemoved(m_assumedFrame));
}

void MainWindow::CorrectForLateFrame() {
    // A window manager draws the frame only once the window is shown, so a rectangle set before that was
    // applied with a guessed frame; apply it once more when the real frame turns out different. Without
    // this a saved window would come back a frame's size larger at every restart.
    if (!m_requestedOuter || !isVisible() || windowState() != Qt::WindowNoState) return;
    if (FrameMargins() == m_assumedFrame) return;
    ApplyRequestedOuterRect();
    m_requestedOuter.reset();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    CorrectForLateFrame();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    CorrectForLateFrame();
}

void MainWindow::CentreOnScreen() {
    const QRect area = screen()->geometry();
    const QSize outer = m_requestedOuter ? m_requestedOuter->size() : frameGeometry().size();
    SetOuterRect(QRect(
        QPoint(area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 2),
        outer));
}

int MainWindow::DisplayState() const {
    if (isMinimized()) return 2;
    if (isMaximized()) return 3;
    return 0;
}

void MainWindow::SetMaximized(bool maximized) {
    const Qt::WindowStates state = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    setWindowState(maximized ? state | Qt::WindowMaximized : state);
}

int MainWindow::SamplingPeriod() const {
    return m_sampling.Period();
}

void MainWindow::SetSamplingPeriod(int ms) {
    m_sampling.SetPeriod(ms);
}

bool MainWindow::IsOptionTicked(DisplayOption option) const {
    return m_options->Ticked(option);
}

bool MainWindow::IsOptionEnabled(DisplayOption option) const {
    return m_options->Enabled(option);
}

QFont MainWindow::GridFont() const {
    return m_view->GridFont();
}

void MainWindow::SetGridFont(const QFont& font) {
    m_view->SetGridFont(font);
}

int MainWindow::TextBackgroundColour() const {
    return m_view->TextBackgroundColour();
}

void MainWindow::SetTextBackgroundColour(int colour) {
    m_view->SetTextBackgroundColour(colour);
}

int MainWindow::BackgroundColour() const {
    return m_view->BackgroundColour();
}

void MainWindow::SetBackgroundColour(int colour) {
    m_view->SetBackgroundColour(colour);
}

int MainWindow::TargetCount() const {
    return m_targets.TargetCount();
}

QString MainWindow::TargetTitle(int k) const {
    return Utf8(m_targets.TargetTitle(k));
}

QString MainWindow::TargetAddress(int k) const {
    return Utf8(m_targets.TargetAddress(k));
}

int MainWindow::TargetColumnWidth(int k) const {
    if (k < 1 || k >= m_model->columnCount()) return 0;
    return m_view->columnWidth(k);
}

void MainWindow::AppendRestoredTarget(const QString& title, const QString& address, int width) {
    AddTarget(title, address, width);
}

}  // namespace tarvelin
