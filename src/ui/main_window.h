// The program's one window: every control of the window model on Qt widgets, grouped in their
// frames and on the four tabs, bound both ways to the model.
#pragma once

#include <QWidget>
#include <string_view>

#include "core/app/model.h"
#include "ui/binder.h"
#include "ui/window_actions.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace zt::ui {

class LogView;

class MainWindow final : public QWidget {
    Q_OBJECT
public:
    // `model` must outlive the window, or detach() must be called before it goes.
    MainWindow(FormModel& model, WindowActions& actions, QWidget* parent = nullptr);
    ~MainWindow() override;
    QSize sizeHint() const override;

    // The widget that shows a control; nullptr for controls without one.
    QWidget* widgetOf(const Control& c) const { return binder_.widgetOf(c); }
    // The widget of the control named `name` ("cmdStart(2)").
    QWidget* widgetNamed(std::string_view name) const;
    LogView* logView() const { return log_; }
    QTabWidget* tabWidget() const { return tabs_; }

    // Stops listening to the model; the window then shows what it last showed.
    void detach() { binder_.detach(); }

signals:
    // The window was closed and the shutdown steps have run.
    void closed();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    enum class Look { Plain, Hex, Wide };

    QWidget* buildHeader();
    QWidget* buildLinkFrame();
    QWidget* buildInstallation();
    QWidget* buildLog();
    QWidget* buildFooter();
    QWidget* buildConfigTab();
    QWidget* buildGenericTab();
    QWidget* buildUserTab();
    QWidget* buildReadTab();
    QHBoxLayout* runButtons(Control& start, Control& stop);

    QLabel* label(Control& c);
    QLineEdit* edit(Control& c, Look look = Look::Plain);
    QCheckBox* check(Control& c, bool heading = false);
    QPushButton* button(Control& c);
    QGroupBox* frame(Control& c);
    QGroupBox* panel(Control& c);
    QComboBox* combo(Control& c, bool editable);
    QListWidget* list(Control& c);

    FormModel& m_;
    WindowActions& actions_;
    Binder binder_;
    LogView* log_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    bool shutDown_ = false;
};

}  // namespace zt::ui
