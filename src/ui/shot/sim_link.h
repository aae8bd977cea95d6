// A serial port wired straight to an emulated reader in the same process, on real time: lets the
// picture tool show the window after a real run without hardware.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

#include "core/platform/interfaces.h"
#include "sim/reader.h"

namespace zt::ui {

class SimSerial final : public SerialPort {
public:
    explicit SimSerial(sim::Reader& reader) : reader_(reader) {
        clock_.start();
        due_.setSingleShot(true);
        QObject::connect(&due_, &QTimer::timeout, [this] { deliver(); });
    }

    int open(int, const std::string&) override {
        open_ = true;
        reader_.linkReset(now());
        arm();
        return 0;
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool write(Bytes bytes) override {
        reader_.receive(bytes, now());
        arm();
        return true;
    }
    std::string deviceName(int number) const override { return "emulated reader " + std::to_string(number); }

    sim::Micros now() const { return clock_.nsecsElapsed() / 1000; }
    // After a card entered or left the field.
    void arm() {
        const auto due = reader_.nextDue();
        if (!due) return;
        due_.start(static_cast<int>(std::max<sim::Micros>(0, (*due - now() + 999) / 1000)));
    }

private:
    void deliver() {
        for (auto& e : reader_.collect(now())) {
            if (open_ && !e.bytes.empty() && onData) onData(e.bytes);
        }
        arm();
    }

    sim::Reader& reader_;
    QElapsedTimer clock_;
    QTimer due_;
    bool open_ = false;
};

}  // namespace zt::ui
