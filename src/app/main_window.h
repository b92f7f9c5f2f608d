// The program's one long-lived window: the results grid filling its client area, the menu "设置" with
// every command, the target header's context menu, and the add, delete and colour commands. Also the
// surface through which the settings restore and save reach the window. UI thread only.
#pragma once

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/colour_choice.h"
#include "app/sampling_controller.h"
#include "monitor/targets.h"
#include "settings/display_options.h"

class QAction;
class QMenu;

namespace tarvelin {

class DisplayOptionMenu;
class ResultsModel;
class ResultsView;

inline constexpr int kMainWindowWidth = 570;  // outer rectangle, frame included
inline constexpr int kMainWindowHeight = 470;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The created step, before the window is first shown: StartTick, sampling on, then the settings
    // restore (whatever SetRestoreSettings installed).
    void RunCreatedStep();
    void SetRestoreSettings(std::function<void()> restore) { m_restoreSettings = std::move(restore); }
    void SetSaveSettings(std::function<void()> save) { m_saveSettings = std::move(save); }
    void SetColourDialogRunner(ColourDialogRunner runner) { m_colourDialogRunner = std::move(runner); }

    // Tells the user, once and without blocking, that echo requests cannot be sent, and how to allow them.
    void TellEchoUnavailable(const QString& reason);

    // Commands of the menus.
    void ToggleSampling();
    void AddTargetCommand();
    void TextBackgroundCommand();
    void BackgroundCommand();
    void SaveSettingsCommand();
    void DeleteTargetCommand();  // works on ClickedColumn, whatever it holds
    void RunOptionCommand(DisplayOption option);

    // What the settings restore and save read and set.
    QRect OuterRect() const;  // frame included, screen pixels
    void SetOuterRect(const QRect& rect);
    void CentreOnScreen();
    int DisplayState() const;  // 0 normal, 2 minimized, 3 maximized
    void SetMaximized(bool maximized);
    int SamplingPeriod() const;
    void SetSamplingPeriod(int ms);
    bool IsOptionTicked(DisplayOption option) const;
    bool IsOptionEnabled(DisplayOption option) const;
    QFont GridFont() const;
    void SetGridFont(const QFont& font);
    int TextBackgroundColour() const;
    void SetTextBackgroundColour(int colour);
    int BackgroundColour() const;
    void SetBackgroundColour(int colour);
    int TargetCount() const;
    QString TargetTitle(int k) const;
    QString TargetAddress(int k) const;
    int TargetColumnWidth(int k) const;
    // Appends the target and its column (a negative width counts as 0), keeping lists and columns in step.
    void AppendRestoredTarget(const QString& title, const QString& address, int width);

    std::uint32_t StartTick() const { return m_startTick; }
    int ClickedColumn() const { return m_clickedColumn; }
    ResultsView* View() const { return m_view; }
    ResultsModel* Model() const { return m_model; }
    SamplingController& Sampling() { return m_sampling; }
    const TargetList& Targets() const { return m_targets; }
    DisplayOptionMenu& Options() const { return *m_options; }
    QMenu* TargetContextMenu() const { return m_contextMenu; }  // while it is shown, else nullptr

  protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildGrid();
    void BuildMenus();
    QAction* AddCommand(QMenu* menu, const char* caption, const char* shortcut, void (MainWindow::*command)());
    void OnHeaderClicked(int column);
    void AddTarget(const QString& title, const QString& address, int width);
    QMargins FrameMargins() const;
    void ApplyRequestedOuterRect();
    void CorrectForLateFrame();
    static QFont DefaultGridFont();

    // Declared before the sampling controller, which reads it on every tick.
    TargetList m_targets;
    ResultsModel* m_model = nullptr;
    SamplingController m_sampling;
    ResultsView* m_view = nullptr;
    DisplayOptionMenu* m_options = nullptr;
    QMenu* m_contextMenu = nullptr;
    std::optional<QRect> m_requestedOuter;  // the outer rectangle last asked for, until the frame is known
    QMargins m_assumedFrame;
    std::uint32_t m_startTick = 0;
    int m_clickedColumn = 0;
    ColourDialogRunner m_colourDialogRunner = RunQtColourDialog;
    std::function<void()> m_restoreSettings;
    std::function<void()> m_saveSettings;
};

}  // namespace tarvelin
