#include "ui/program.h"

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/save_file.h"
#ifdef _WIN32
#include "platform/serial_port_win.h"
#else
#include "platform/serial_port.h"
#endif
#include "platform/shell.h"
#include "platform/tcp_socket.h"
#include "platform/timer.h"
#include "platform/tooltips.h"
#include "platform/window_host.h"
#include "ui/form_actions.h"
#include "ui/record_window.h"

namespace zt::ui {

Program::Program() : Program(Options{}) {}

Program::Program(Options options) {
    timer_ = std::make_unique<QtTimer>();
    shell_ = std::make_unique<QtShell>();
    box_ = std::make_unique<QtMessageBox>();
    host_ = std::make_unique<QtWindowHost>();
    files_ = std::make_unique<QtFileSystem>();
    // Controls of the main window, then those of the record window.
    tips_ = std::make_unique<QtTooltipHost>([this](const std::string& name) -> QWidget* {
        QWidget* w = window_ ? window_->widgetNamed(name) : nullptr;
        if (w == nullptr && record_ != nullptr) w = record_->findChild<QWidget*>(QString::fromStdString(name));
        return w;
    });
    clock_ = std::make_unique<QtClock>();
    save_ = std::make_unique<QtSaveFile>();
    if (options.link) {
#ifdef _WIN32
        if (options.serial == nullptr) serial_ = std::make_unique<WinSerialPort>();
#else
        if (options.serial == nullptr) serial_ = std::make_unique<QtSerialPort>();
#endif
        socket_ = std::make_unique<QtTcpSocket>();
    }

    Platform pf;
    pf.serial = options.serial != nullptr ? options.serial : serial_.get();
    pf.socket = socket_.get();
    pf.box = box_.get();
    pf.shell = shell_.get();
    pf.tips = tips_.get();
    pf.files = files_.get();
    pf.timer = timer_.get();
    pf.window = host_.get();
    pf.clock = clock_.get();
    pf.save = save_.get();
    form_ = std::make_unique<Form>(pf);
    actions_ = std::make_unique<FormActions>(*form_);
    window_ = std::make_unique<MainWindow>(form_->model(), *actions_);
    host_->setWindow(window_.get());
    box_->setOwner(window_.get());
    record_ = new RecordWindow(form_->ctx(), form_->record(), *actions_, window_.get());
    save_->setOwner(record_);
}

Program::~Program() {
    // Nothing of the logic may reach the window once it is gone, and nothing may run after that.
    window_.reset();
    actions_.reset();
    form_.reset();
}

void Program::start() {
    form_->Form_Load();
    window_->show();
}

}  // namespace zt::ui
