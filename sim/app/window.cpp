#include "window.h"

#include "front.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>
#include <cstring>

#include "core/read/card_contents.h"

namespace zt::sim::app {
namespace {

constexpr int kMaxLogRows = 3000;

QString hex(std::span<const std::uint8_t> bytes, const char* sep = " ") {
    return QString::fromStdString(hexBytes(bytes, sep));
}

QString blockHex(const Card& card, int blk) {
    return hex(card.block(blk), "");
}

QString typeName(const CardContents& c) {
    switch (c.type->index) {
        case 0:
            return QStringLiteral("MASTER");
        case 1:
            return QStringLiteral("CONFIG");
        case 10:
            return QStringLiteral("ALTA");
        case 11:
            return QStringLiteral("ALTA BLOCK");
        case 12:
            return QStringLiteral("BAJA");
        case 13:
            return QStringLiteral("BAJA BLOCK");
        case 14:
            return QStringLiteral("NUEVO");
        case 15:
            return QStringLiteral("NUM. %1").arg(QChar::fromLatin1(c.value[0]));
        case 30:
            return QStringLiteral("USUARIO BASICO (user)");
        case 31:
            return QStringLiteral("USUARIO AVANZADO (user with node list)");
        case 32:
            return QStringLiteral("USUARIO CON SALDO (user with balance)");
        default:
            return QStringLiteral("known type, never written by Zentap");
    }
}

QString checked(const std::string& got, const std::string& right) {
    return QString::fromStdString(got) +
           (got == right ? QStringLiteral(" ok")
                         : QStringLiteral(" WRONG, should be %1").arg(QString::fromStdString(right)));
}

QString valueMeaning(const ValueBlock& v) {
    if (v.faults == 0) return QStringLiteral("value block: %1 (address %2)").arg(v.value).arg(v.address);
    QStringList faults;
    if (v.faults & kCopyDiffers) faults << QStringLiteral("value and copy differ");
    if (v.faults & kInverseWrong) faults << QStringLiteral("inverse wrong");
    if (v.faults & kAddressPattern) faults << QStringLiteral("address bytes broken");
    if (v.faults & kWrongPartner)
        faults << QStringLiteral("names block %1, partner is %2").arg(v.address).arg(v.partner);
    return QStringLiteral("DAMAGED value block %1: %2").arg(v.value).arg(faults.join(QStringLiteral(", ")));
}

// One of the first three blocks of a sector holding a Zentap card, `at` 0..2.
QString zentapMeaning(const CardContents& c, int at) {
    if (at == 0) {
        QString s = QStringLiteral("type %1 %2, installation %3, value %4, check digit %5")
                        .arg(QString::fromLatin1(c.type->code.data(), 2), typeName(c),
                             QString::fromStdString(c.installation), QString::fromStdString(c.value),
                             checked(std::string(1, c.checkDigit), std::string(1, c.rightCheckDigit)));
        if (const auto& p = c.config) {
            s += QStringLiteral(
                     "; time unit %1, relay %2, clear list %3, list type %4, node %5, scan %6, "
                     "decrement %7, sum %8")
                     .arg(p->timeUnit)
                     .arg(p->relayTime)
                     .arg(p->clearList ? QStringLiteral("yes") : QStringLiteral("no"))
                     .arg(p->listType)
                     .arg(p->node ? QString::number(*p->node) : QStringLiteral("from numeric cards"))
                     .arg(p->scan)
                     .arg(p->decrement)
                     .arg(checked(p->sum, p->rightSum));
        }
        if (const auto& m = c.master) {
            s += QStringLiteral("; new installation %1, key %2, sector %3, sum %4")
                     .arg(QString::fromStdString(m->newCode), QString::fromStdString(m->newKey))
                     .arg(m->newSector)
                     .arg(checked(m->sum, m->rightSum));
        }
        return s;
    }
    if (c.nodes) {
        QStringList nodes;
        for (int n = 128 * (at - 1); n < 128 * at; ++n)
            if ((*c.nodes)[static_cast<std::size_t>(n)]) nodes << QString::number(n);
        return QStringLiteral("permitted nodes: %1")
            .arg(nodes.isEmpty() ? QStringLiteral("none") : nodes.join(QStringLiteral(" ")));
    }
    if (c.balance) return valueMeaning((*c.balance)[static_cast<std::size_t>(at - 1)]);
    if (c.config && !c.config->relayFrame.empty()) {
        const auto& f = c.config->relayFrame;
        if (at == 1) return QStringLiteral("external relay frame, %1 bytes").arg(f.size());
        return QStringLiteral("external relay frame, continued");
    }
    return {};
}

QString blockMeaning(const Card& card, int blk) {
    const Block& b = card.block(blk);
    const int sector = card.sectorOf(blk);
    if (blk == 0) {
        const auto& uid = card.uid();
        QString s = QStringLiteral("maker block: UID %1").arg(hex(uid, ""));
        std::size_t at = uid.size();
        if (uid.size() == 4) s += QStringLiteral(", BCC %1").arg(b[at++], 2, 16, QLatin1Char('0')).toUpper();
        s += QStringLiteral(", SAK %1, ATQA %2 %3")
                 .arg(b[at], 2, 16, QLatin1Char('0'))
                 .arg(b[at + 1], 2, 16, QLatin1Char('0'))
                 .arg(b[at + 2], 2, 16, QLatin1Char('0'));
        return s.toUpper().replace(QLatin1String("MAKER BLOCK"), QLatin1String("maker block"));
    }
    if (card.isTrailer(blk)) {
        QString s = QStringLiteral("key A %1, key B %2, byte 9 %3")
                        .arg(hex(std::span(b).subspan(0, 6), ""), hex(std::span(b).subspan(10, 6), ""))
                        .arg(b[9], 2, 16, QLatin1Char('0'));
        return s;
    }
    // The data blocks of a sector as Zentap reads them (sector 0 holds the maker block instead).
    const int first = card.firstBlock(sector);
    if (sector != 0 && blk - first < 3) {
        const CardContents c =
            InspectCard(sector, blockHex(card, first).toStdString(), blockHex(card, first + 1).toStdString(),
                        blockHex(card, first + 2).toStdString());
        if (c.kind == CardClass::Ours) {
            if (QString s = zentapMeaning(c, blk - first); !s.isEmpty()) return s;
        }
    }
    const auto v = InspectValueBlock(blockHex(card, blk).toStdString(), std::nullopt);
    if (v && v->faults == 0) return valueMeaning(*v);
    if (std::all_of(b.begin(), b.end(), [](std::uint8_t x) { return x == 0; }))
        return QStringLiteral("empty");
    if (std::all_of(b.begin(), b.end(), [](std::uint8_t x) { return x == 0xFF; }))
        return QStringLiteral("all FF");
    return {};
}

}  // namespace

Lamp::Lamp(QWidget* parent) : QWidget(parent), color_(Qt::darkGray) {
    setMinimumSize(24, 24);
}

void Lamp::setColor(const QColor& c) {
    if (c != color_) {
        color_ = c;
        update();
    }
}

void Lamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = std::min(width(), height()) - 4;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    QRadialGradient g(r.center() - QPointF(d / 6.0, d / 6.0), d / 1.4);
    g.setColorAt(0, color_.lighter(170));
    g.setColorAt(1, color_.darker(130));
    p.setBrush(g);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.drawEllipse(r);
}

Window::Window(Front& front, QWidget* parent) : QMainWindow(parent), front_(front) {
    setWindowTitle(QStringLiteral("Zentap reader simulator"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildTop());

    auto* split = new QSplitter(Qt::Horizontal, central);
    auto* left = new QWidget(split);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(buildWallet(), 3);
    leftLayout->addWidget(buildFaults(), 0);

    auto* right = new QSplitter(Qt::Vertical, split);
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    sectors_ = new QTreeWidget(right);
    sectors_->setHeaderLabels(
        {QStringLiteral("Block"), QStringLiteral("Content"), QStringLiteral("Meaning")});
    sectors_->setFont(mono);
    sectors_->setAlternatingRowColors(true);
    sectors_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    sectors_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    log_ = new QTreeWidget(right);
    log_->setHeaderLabels({QStringLiteral("Time s"), QStringLiteral("Way"), QStringLiteral("Frame"),
                           QStringLiteral("Detail"), QStringLiteral("Bytes")});
    log_->setRootIsDecorated(false);
    log_->setUniformRowHeights(true);
    log_->setFont(mono);
    log_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    right->addWidget(sectors_);
    right->addWidget(log_);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({380, 900});
    layout->addWidget(split, 1);
    setCentralWidget(central);
    resize(1280, 820);

    connect(&front_, &Front::connectionChanged, this, [this](const QString& t) { connection_->setText(t); });
    connect(&front_, &Front::endpointChanged, this,
            [this] { connection_->setText(front_.connectionText()); });
    connect(&front_, &Front::frameLogged, this, &Window::logFrame);
    connect(&front_, &Front::outputChanged, this, &Window::outputChanged);
    connect(&front_, &Front::fieldChanged, this, [this] {
        refreshWallet();
        sectorsLater_.start();
    });
    connect(&front_, &Front::walletChanged, this, &Window::refreshWallet);
    blink_.setInterval(50);
    connect(&blink_, &QTimer::timeout, this, &Window::refreshOutputs);
    blink_.start();
    sectorsLater_.setSingleShot(true);
    sectorsLater_.setInterval(100);
    connect(&sectorsLater_, &QTimer::timeout, this, &Window::refreshWallet);  // card states and blocks
    refreshWallet();
    refreshSectors();
    statusBar()->showMessage(
        QStringLiteral("Lay a card: choose it in the wallet and press Present (or double-click it)."));
}

QWidget* Window::buildTop() {
    auto* box = new QGroupBox(QStringLiteral("Reader"), this);
    auto* row = new QHBoxLayout(box);
    connection_ = new QLabel(front_.connectionText(), box);
    connection_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont f = connection_->font();
    f.setBold(true);
    connection_->setFont(f);
    lamp_ = new Lamp(box);
    ledText_ = new QLabel(box);
    ledText_->setMinimumWidth(260);
    beeper_ = new QLabel(QStringLiteral("  BEEP  "), box);
    beeper_->setAlignment(Qt::AlignCenter);
    beeper_->setMinimumWidth(120);
    beeper_->setFrameShape(QFrame::StyledPanel);
    row->addWidget(connection_, 1);
    row->addWidget(new QLabel(QStringLiteral("LED"), box));
    row->addWidget(lamp_);
    row->addWidget(ledText_);
    row->addWidget(beeper_);
    return box;
}

QWidget* Window::buildWallet() {
    auto* box = new QGroupBox(QStringLiteral("Wallet"), this);
    auto* v = new QVBoxLayout(box);
    wallet_ = new QListWidget(box);
    wallet_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    v->addWidget(wallet_, 1);
    connect(wallet_, &QListWidget::currentRowChanged, this, [this] { refreshSectors(); });
    connect(wallet_, &QListWidget::itemDoubleClicked, this, [this] {
        if (auto c = chosenCard()) front_.present(c);
    });

    auto* newRow = new QHBoxLayout;
    newKind_ = new QComboBox(box);
    newKind_->addItems({QStringLiteral("1K"), QStringLiteral("4K"), QStringLiteral("Mini")});
    newUidLen_ = new QComboBox(box);
    newUidLen_->addItems(
        {QStringLiteral("4-byte UID"), QStringLiteral("7-byte UID"), QStringLiteral("10-byte UID")});
    auto* add = new QPushButton(QStringLiteral("New card"), box);
    newRow->addWidget(newKind_);
    newRow->addWidget(newUidLen_);
    newRow->addWidget(add);
    v->addLayout(newRow);
    connect(add, &QPushButton::clicked, this, &Window::newCard);

    auto* fieldRow = new QHBoxLayout;
    auto* present = new QPushButton(QStringLiteral("Present"), box);
    auto* remove = new QPushButton(QStringLiteral("Remove"), box);
    auto* del = new QPushButton(QStringLiteral("Delete"), box);
    fieldRow->addWidget(present);
    fieldRow->addWidget(remove);
    fieldRow->addWidget(del);
    v->addLayout(fieldRow);
    connect(present, &QPushButton::clicked, this, [this] {
        if (auto c = chosenCard()) front_.present(c);
    });
    connect(remove, &QPushButton::clicked, this, [this] { front_.removeCard(); });
    connect(del, &QPushButton::clicked, this, [this] {
        if (auto c = chosenCard()) front_.deleteFromWallet(c);
    });

    auto* dumpRow = new QHBoxLayout;
    auto* load = new QPushButton(QStringLiteral("Load dump..."), box);
    auto* save = new QPushButton(QStringLiteral("Save dump..."), box);
    dumpRow->addWidget(load);
    dumpRow->addWidget(save);
    v->addLayout(dumpRow);
    connect(load, &QPushButton::clicked, this, &Window::loadDump);
    connect(save, &QPushButton::clicked, this, &Window::saveDump);

    auto* feedRow = new QHBoxLayout;
    autoFeed_ = new QCheckBox(QStringLiteral("Auto-feed after Halt, delay"), box);
    autoFeed_->setChecked(front_.reader().options().autoFeed);
    autoFeed_->setToolTip(
        QStringLiteral("For batches: after a Halt the card leaves the field and a fresh blank card is laid "
                       "after the delay."));
    feedDelay_ = new QSpinBox(box);
    feedDelay_->setRange(0, 60000);
    feedDelay_->setSingleStep(100);
    feedDelay_->setSuffix(QStringLiteral(" ms"));
    feedDelay_->setValue(static_cast<int>(front_.reader().options().feedDelay / 1000));
    feedRow->addWidget(autoFeed_);
    feedRow->addWidget(feedDelay_);
    feedRow->addStretch();
    v->addLayout(feedRow);
    connect(autoFeed_, &QCheckBox::toggled, this, [this](bool on) { front_.setAutoFeed(on); });
    connect(feedDelay_, &QSpinBox::valueChanged, this,
            [this](int ms) { front_.reader().setFeedDelay(Micros{ms} * 1000); });
    return box;
}

QWidget* Window::buildFaults() {
    auto* box = new QGroupBox(QStringLiteral("Faults (for testing the tool)"), this);
    auto* form = new QFormLayout(box);
    faultCode_ = new QComboBox(box);
    for (std::uint8_t c : {code::TestLink, code::StartUp, code::DOutTemp, code::DOutPerm, code::Select,
                           code::Halt, code::WriteKeyE2P, code::Login, code::Read, code::Write})
        faultCode_->addItem(QStringLiteral("%1 (%2)")
                                .arg(QString::fromStdString(requestName(c)))
                                .arg(c, 2, 16, QLatin1Char('0')),
                            c);
    faultCode_->addItem(QStringLiteral("card report (90)"), code::CardReport);
    faultKind_ = new QComboBox(box);
    for (const auto& n : faultNames()) faultKind_->addItem(QString::fromStdString(n));
    faultWhen_ = new QComboBox(box);
    faultWhen_->addItems({QStringLiteral("next"), QStringLiteral("n-th"), QStringLiteral("always")});
    faultN_ = new QSpinBox(box);
    faultN_->setRange(1, 1000);
    faultValue_ = new QSpinBox(box);
    faultValue_->setRange(0, 1'000'000);
    faultValue_->setToolTip(
        QStringLiteral("select-status: the status to answer; split: gap between bytes in microseconds"));
    auto* whenRow = new QHBoxLayout;
    whenRow->addWidget(faultWhen_);
    whenRow->addWidget(faultN_);
    auto* buttons = new QHBoxLayout;
    auto* arm = new QPushButton(QStringLiteral("Arm"), box);
    auto* clear = new QPushButton(QStringLiteral("Clear all"), box);
    buttons->addWidget(arm);
    buttons->addWidget(clear);
    faultList_ = new QLabel(QStringLiteral("none armed"), box);
    faultList_->setWordWrap(true);
    form->addRow(QStringLiteral("Request"), faultCode_);
    form->addRow(QStringLiteral("Fault"), faultKind_);
    form->addRow(QStringLiteral("When"), whenRow);
    form->addRow(QStringLiteral("Value"), faultValue_);
    form->addRow(buttons);
    form->addRow(faultList_);
    auto showRules = [this] {
        QStringList parts;
        for (const auto& r : front_.reader().faults().rules())
            parts << QStringLiteral("%1 %2 %3")
                         .arg(QString::fromStdString(requestName(r.code)),
                              QString::fromLatin1(faultName(r.fault.kind)),
                              r.when == FaultWhen::Always ? QStringLiteral("always")
                              : r.when == FaultWhen::Next ? QStringLiteral("next")
                                                          : QStringLiteral("#%1").arg(r.nth));
        faultList_->setText(parts.isEmpty() ? QStringLiteral("none armed")
                                            : parts.join(QStringLiteral("; ")));
    };
    connect(arm, &QPushButton::clicked, this, [this, showRules] {
        const auto kind = faultFromName(faultKind_->currentText().toStdString());
        const FaultWhen when = faultWhen_->currentIndex() == 0   ? FaultWhen::Next
                               : faultWhen_->currentIndex() == 1 ? FaultWhen::Nth
                                                                 : FaultWhen::Always;
        front_.reader().faults().arm(static_cast<std::uint8_t>(faultCode_->currentData().toInt()), *kind,
                                     when, faultN_->value(), faultValue_->value());
        showRules();
    });
    connect(clear, &QPushButton::clicked, this, [this, showRules] {
        front_.reader().faults().clearAll();
        showRules();
    });
    // One-shot faults disappear once they fired.
    connect(&front_, &Front::frameLogged, this, showRules);
    return box;
}

std::shared_ptr<Card> Window::chosenCard() const {
    const int row = wallet_->currentRow();
    const auto& w = front_.wallet();
    if (row >= 0 && row < static_cast<int>(w.size())) return w[static_cast<std::size_t>(row)];
    return nullptr;
}

void Window::refreshWallet() {
    const auto chosen = chosenCard();
    const auto inField = front_.reader().cardInField();
    QSignalBlocker block(wallet_);
    wallet_->clear();
    int row = -1;
    const auto& w = front_.wallet();
    for (std::size_t i = 0; i < w.size(); ++i) {
        const auto& c = w[i];
        QString text = QStringLiteral("%1  %2").arg(
            QString::fromLatin1(cardKindName(c->kind())).toUpper().leftJustified(4), hex(c->uid(), ""));
        if (c == inField)
            text += QStringLiteral("  [field: %1]").arg(QString::fromLatin1(cardStateName(c->state())));
        auto* item = new QListWidgetItem(text, wallet_);
        if (c == inField) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
        if (c == chosen || (!chosen && c == inField)) row = static_cast<int>(i);
    }
    wallet_->setCurrentRow(row >= 0 ? row : (w.empty() ? -1 : 0));
    block.unblock();
    refreshSectors();
}

void Window::refreshSectors() {
    const auto card = chosenCard();
    // Keep which sectors are open when the same card is shown again.
    std::vector<bool> open;
    if (card && shown_.lock() == card)
        for (int i = 0; i < sectors_->topLevelItemCount(); ++i)
            open.push_back(sectors_->topLevelItem(i)->isExpanded());
    const int scroll = card && shown_.lock() == card ? sectors_->verticalScrollBar()->value() : 0;
    sectors_->clear();
    shown_ = card;
    QTimer::singleShot(0, sectors_, [this, scroll] { sectors_->verticalScrollBar()->setValue(scroll); });
    if (!card) return;
    for (int s = 0; s < card->sectorCount(); ++s) {
        const int first = card->firstBlock(s), last = card->trailerOf(s);
        const auto ac = card->access(s);
        QString summary;
        if (!ac) {
            summary = QStringLiteral("LOCKED: inconsistent access bytes, no key opens this sector");
        } else {
            const Block& t = card->block(last);
            summary = QStringLiteral("key A %1, access %2")
                          .arg(hex(std::span(t).subspan(0, 6), ""), hex(std::span(t).subspan(6, 3)));
        }
        if (card->authenticatedSector() == s) summary += QStringLiteral("  [open]");
        auto* sec =
            new QTreeWidgetItem(sectors_, {QStringLiteral("Sector %1").arg(s),
                                           QStringLiteral("blocks %1-%2").arg(first).arg(last), summary});
        for (int b = first; b <= last; ++b) {
            auto* row =
                new QTreeWidgetItem(sec, {QString::number(b), hex(card->block(b)), blockMeaning(*card, b)});
            if (card->isTrailer(b) && ac) {
                const bool keyBUsable = !keyBReadable(ac->cond[3]);
                const int groups = card->blocksInSector(s) == 4 ? 1 : 5;
                for (int g = 0; g < 3; ++g) {
                    const QString which =
                        groups == 1
                            ? QStringLiteral("block %1").arg(first + g)
                            : QStringLiteral("blocks %1-%2").arg(first + 5 * g).arg(first + 5 * g + 4);
                    new QTreeWidgetItem(
                        row, {QString(),
                              QStringLiteral("%1%2%3")
                                  .arg(ac->cond[g] >> 2)
                                  .arg((ac->cond[g] >> 1) & 1)
                                  .arg(ac->cond[g] & 1),
                              which + QStringLiteral(": ") +
                                  QString::fromStdString(describeDataCondition(ac->cond[g], keyBUsable))});
                }
                new QTreeWidgetItem(row, {QString(),
                                          QStringLiteral("%1%2%3")
                                              .arg(ac->cond[3] >> 2)
                                              .arg((ac->cond[3] >> 1) & 1)
                                              .arg(ac->cond[3] & 1),
                                          QStringLiteral("trailer: ") +
                                              QString::fromStdString(describeTrailerCondition(ac->cond[3]))});
                row->setExpanded(true);
            }
        }
        const bool expand =
            static_cast<std::size_t>(s) < open.size() ? open[static_cast<std::size_t>(s)] : s <= 1;
        sec->setExpanded(expand);
    }
}

void Window::outputChanged(int output, int duration, bool permanent) {
    if (output < 0 || output > 2) return;
    const QString how = duration == 0                    ? QStringLiteral("off")
                        : (permanent || duration == 255) ? QStringLiteral("on")
                                                         : QStringLiteral("%1 ms").arg(duration * 10);
    outputWords_[output] = how;
    refreshOutputs();
}

void Window::refreshOutputs() {
    const Micros now = front_.now();
    const auto green = front_.reader().output(0, now), red = front_.reader().output(1, now),
               beep = front_.reader().output(2, now);
    lamp_->setColor(green.on && red.on ? QColor(240, 210, 0)
                    : green.on         ? QColor(30, 200, 60)
                    : red.on           ? QColor(220, 40, 30)
                                       : QColor(70, 70, 70));
    ledText_->setText(QStringLiteral("green %1 | red %2")
                          .arg(green.on ? outputWords_[0] : QStringLiteral("off"),
                               red.on ? outputWords_[1] : QStringLiteral("off")));
    const bool flash = beep.on && (now / 100'000) % 2 == 0;
    beeper_->setText(beep.on ? QStringLiteral("BEEP %1").arg(outputWords_[2]) : QStringLiteral("beeper off"));
    // While it sounds the beeper's label is bold on amber, flashing (a palette: Zentap's Qt for
    // Windows has no style sheets).
    QPalette look = palette();
    QFont font = this->font();
    if (beep.on) {
        look.setColor(QPalette::Window, flash ? QColor(0xff, 0xb0, 0x00) : QColor(0x7a, 0x55, 0x00));
        look.setColor(QPalette::WindowText, flash ? QColor(Qt::black) : QColor(Qt::white));
        font.setBold(true);
    }
    beeper_->setAutoFillBackground(beep.on);
    beeper_->setPalette(look);
    beeper_->setFont(font);
}

void Window::logFrame(const FrameLogEntry& e) {
    const char* way = "";
    switch (e.kind) {
        case FrameLogEntry::Kind::Request:
            way = "tool -> reader";
            break;
        case FrameLogEntry::Kind::Rejected:
            way = "tool -> reader";
            break;
        case FrameLogEntry::Kind::Answer:
            way = "reader -> tool";
            break;
        case FrameLogEntry::Kind::Report:
            way = "reader -> tool";
            break;
    }
    QString detail = QString::fromStdString(e.detail);
    if (e.kind == FrameLogEntry::Kind::Rejected) detail = QStringLiteral("rejected: ") + detail;
    if (!e.fault.empty()) detail += QStringLiteral("  [fault: %1]").arg(QString::fromStdString(e.fault));
    auto* item = new QTreeWidgetItem(
        log_, {QString::number(static_cast<double>(e.at) / 1e6, 'f', 3), QString::fromLatin1(way),
               QString::fromStdString(e.name), detail, hex(e.bytes)});
    if (e.kind == FrameLogEntry::Kind::Rejected || !e.fault.empty())
        for (int c = 0; c < 5; ++c) item->setForeground(c, QColor(190, 60, 0));
    else if (e.kind == FrameLogEntry::Kind::Report)
        for (int c = 0; c < 5; ++c) item->setForeground(c, QColor(0, 90, 170));
    while (log_->topLevelItemCount() > kMaxLogRows) delete log_->takeTopLevelItem(0);
    log_->scrollToItem(item);
    if (e.kind != FrameLogEntry::Kind::Request && !sectorsLater_.isActive())
        sectorsLater_.start();  // the card may have changed
}

void Window::newCard() {
    const CardKind kinds[] = {CardKind::Classic1K, CardKind::Classic4K, CardKind::Mini};
    const std::size_t lens[] = {4, 7, 10};
    auto card =
        front_.newCard(kinds[newKind_->currentIndex()], front_.randomUid(lens[newUidLen_->currentIndex()]));
    wallet_->setCurrentRow(static_cast<int>(front_.wallet().size()) - 1);
    (void)card;
}

void Window::loadDump() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Load a card dump"), QString(),
                                     QStringLiteral("Card dumps (*.mfd *.bin *.dump);;All files (*)"));
    if (path.isEmpty()) return;
    std::string error;
    auto card = Card::load(path.toStdString(), &error);
    if (!card) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
        return;
    }
    front_.addToWallet(std::make_shared<Card>(std::move(*card)));
    wallet_->setCurrentRow(static_cast<int>(front_.wallet().size()) - 1);
}

void Window::saveDump() {
    const auto card = chosenCard();
    if (!card) return;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save the card as a dump"),
        QString::fromStdString(hexBytes(card->uid(), "")) + QStringLiteral(".mfd"),
        QStringLiteral("Card dumps (*.mfd *.bin);;All files (*)"));
    if (path.isEmpty()) return;
    std::string error;
    if (!card->save(path.toStdString(), &error))
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
}

}  // namespace zt::sim::app
