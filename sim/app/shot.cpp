#include "shot.h"

#include "front.h"
#include "window.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QPixmap>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace zt::sim::app {
namespace {

// Zentap's user card for user 100 of installation 0000 in data sector 1, opened with the factory
// key from key slot 5: type 10, installation, user number and check digit, then FF; the trailer
// keeps the factory key A and B with access bytes FF0780 and FF in byte 9.
constexpr std::uint8_t kDataBlock = 4;
constexpr std::uint8_t kTrailerBlock = 7;
constexpr std::uint8_t kKeySlot = 5;
constexpr const char* kUserData =
    "1000001008"
    "FFFFFFFFFFFFFFFFFFFFFF";
constexpr const char* kTrailer =
    "FFFFFFFFFFFF"
    "FF0780FF"
    "FFFFFFFFFFFF";
constexpr std::uint8_t kOn = 255;
constexpr int kGiveUpMs = 20000;
constexpr int kSettleMs = 700;  // the window's refresh timers, then the last paint

std::vector<std::uint8_t> withHex(std::vector<std::uint8_t> head, const char* hex) {
    const auto tail = parseHex(hex);
    head.insert(head.end(), tail->begin(), tail->end());
    return head;
}

class Scene : public QObject {
public:
    Scene(Front& front, Window& window, QString path)
        : QObject(&front), front_(front), window_(window), path_(std::move(path)) {}

    void start() {
        if (front_.tcpPort() == 0) return fail(QStringLiteral("the picture needs the TCP link"));
        // Wide enough for the meaning of the user block in one line.
        window_.resize(1400, window_.height());
        const Key factoryKey{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        std::vector<std::uint8_t> keyData{kKeySlot};
        keyData.insert(keyData.end(), factoryKey.begin(), factoryKey.end());
        steps_ = {
            {request(code::TestLink), 0x80},
            {request(code::StartUp), 0x81},
            {[this] { layCard(); }, code::CardReport},
            {request(code::Select), 0x91, 1},
            {request(code::DOutPerm, {0, kOn}), 0x87},  // green
            {request(code::DOutPerm, {1, kOn}), 0x87},  // and red: yellow
            {request(code::WriteKeyE2P, keyData), 0xA0, 0},
            {request(code::Login, {kDataBlock, 0, kKeySlot}), 0xA1, 0},
            {request(code::Write, withHex({kDataBlock}, kUserData)), 0xA3, 0},
            {request(code::Write, withHex({kTrailerBlock}, kTrailer)), 0xA3, 0},
        };
        QTimer::singleShot(kGiveUpMs, this, [this] {
            if (!done_) fail(QStringLiteral("no answer to step %1").arg(step_ + 1));
        });
        connect(&client_, &QTcpSocket::connected, this, [this] { next(); });
        connect(&client_, &QTcpSocket::readyRead, this, [this] { bytesIn(); });
        connect(&client_, &QTcpSocket::errorOccurred, this, [this] {
            if (!done_) fail(QStringLiteral("link: ") + client_.errorString());
        });
        client_.connectToHost(QHostAddress::LocalHost, front_.tcpPort());
    }

private:
    struct Step {
        std::function<void()> act;
        std::uint8_t awaited;                  // the answer's code, or a card report
        std::optional<std::uint8_t> status{};  // the answer's first data byte, where it has one
    };

    std::function<void()> request(std::uint8_t c, std::vector<std::uint8_t> data = {}) {
        return [this, frame = makeFrame(c, data)] {
            client_.write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
        };
    }

    void layCard() {
        auto card = front_.wallet().empty() ? front_.newCard(CardKind::Classic1K) : front_.wallet().front();
        front_.present(card);
    }

    void next() {
        if (step_ < steps_.size()) {
            steps_[step_].act();
            return;
        }
        done_ = true;
        QTimer::singleShot(kSettleMs, this, [this] { save(); });
    }

    void bytesIn() {
        const QByteArray bytes = client_.readAll();
        for (const Frame& f : frames_.feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                     static_cast<std::size_t>(bytes.size())))) {
            if (done_ || step_ >= steps_.size() || f.code != steps_[step_].awaited) continue;
            const auto& want = steps_[step_].status;
            if (want && (f.data.empty() || f.data[0] != *want))
                return fail(QStringLiteral("step %1 answered %2")
                                .arg(step_ + 1)
                                .arg(QString::fromStdString(hexBytes(f.data))));
            ++step_;
            next();
        }
    }

    void save() {
        if (!window_.grab().save(path_)) return fail(QStringLiteral("cannot write ") + path_);
        std::printf("%s\n", qPrintable(path_));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    void fail(const QString& why) {
        done_ = true;
        std::fprintf(stderr, "zentap-reader-sim: picture: %s\n", qPrintable(why));
        QCoreApplication::exit(1);
    }

    Front& front_;
    Window& window_;
    QString path_;
    QTcpSocket client_{this};
    FrameAssembler frames_;
    std::vector<Step> steps_;
    std::size_t step_ = 0;
    bool done_ = false;
};

}  // namespace

QString shotRequested() {
    return qEnvironmentVariable("ZT_SIM_SHOT");
}

void startShot(Front& front, Window& window, const QString& path) {
    auto* scene = new Scene(front, window, path);
    QTimer::singleShot(0, scene, [scene] { scene->start(); });
}

}  // namespace zt::sim::app
