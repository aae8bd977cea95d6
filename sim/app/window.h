// The simulator's window: connection state, the reader's LEDs and beeper, the wallet of virtual
// cards, the sector view of the chosen card and the frame log.
#pragma once

#include "sim/reader.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;
class QTreeWidget;

namespace zt::sim::app {

class Front;

/// A round lamp: green, red, both (yellow) or dark.
class Lamp : public QWidget {
public:
    explicit Lamp(QWidget* parent = nullptr);
    void setColor(const QColor& c);
    QSize sizeHint() const override { return {28, 28}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor color_;
};

class Window : public QMainWindow {
    Q_OBJECT
public:
    explicit Window(Front& front, QWidget* parent = nullptr);

private:
    QWidget* buildTop();
    QWidget* buildWallet();
    QWidget* buildFaults();
    std::shared_ptr<Card> chosenCard() const;
    void refreshWallet();
    void refreshSectors();
    void refreshOutputs();
    void logFrame(const FrameLogEntry& e);
    void outputChanged(int output, int duration, bool permanent);
    void newCard();
    void loadDump();
    void saveDump();

    Front& front_;
    QLabel* connection_ = nullptr;
    Lamp* lamp_ = nullptr;
    QLabel* ledText_ = nullptr;
    QLabel* beeper_ = nullptr;
    QListWidget* wallet_ = nullptr;
    QComboBox* newKind_ = nullptr;
    QComboBox* newUidLen_ = nullptr;
    QCheckBox* autoFeed_ = nullptr;
    QSpinBox* feedDelay_ = nullptr;
    QTreeWidget* sectors_ = nullptr;
    QTreeWidget* log_ = nullptr;
    QComboBox* faultCode_ = nullptr;
    QComboBox* faultKind_ = nullptr;
    QComboBox* faultWhen_ = nullptr;
    QSpinBox* faultN_ = nullptr;
    QSpinBox* faultValue_ = nullptr;
    QLabel* faultList_ = nullptr;
    QTimer blink_;
    QTimer sectorsLater_;
    QString outputWords_[3];
    std::weak_ptr<Card> shown_;
};

}  // namespace zt::sim::app
