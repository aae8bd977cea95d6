// The pseudo-terminal side of the simulator's front, on systems that have pseudo-terminals.
#include "front.h"

#include <QFile>
#include <QSocketNotifier>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace zt::sim::app {

bool Front::createPty(QString* error) {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0) ::close(fd);
        return false;
    }
    const char* name = ptsname(fd);
    ptyPath_ = QString::fromLocal8Bit(name ? name : "");
    // Raw bytes both ways, no echo, whatever the client sets later.
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetspeed(&tio, B9600);
        tcsetattr(fd, TCSANOW, &tio);
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    ptyMaster_ = fd;
    ptyHungUp_ = false;
    ptyActive_ = false;
    ptyNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(ptyNotifier_, &QSocketNotifier::activated, this, &Front::ptyReadable);
    ptyWatch_.start();
    if (!linkPath_.isEmpty()) {
        const QByteArray link = QFile::encodeName(linkPath_);
        struct stat st {};
        if (lstat(link.constData(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(link.constData());
        if (::symlink(name, link.constData()) != 0) {
            *error = QStringLiteral("cannot link %1 to %2: %3")
                         .arg(linkPath_, ptyPath_, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    reader_.linkReset(now());
    return true;
}

void Front::closePty() {
    if (ptyMaster_ < 0) return;
    delete ptyNotifier_;
    ptyNotifier_ = nullptr;
    ptyWatch_.stop();
    ::close(ptyMaster_);
    ptyMaster_ = -1;
    if (!linkPath_.isEmpty()) {
        const QByteArray link = QFile::encodeName(linkPath_);
        struct stat st {};
        if (lstat(link.constData(), &st) == 0 && S_ISLNK(st.st_mode)) ::unlink(link.constData());
    }
}

void Front::ptyReadable() {
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(ptyMaster_, buf, sizeof buf);
        if (n > 0) {
            if (!ptyActive_ || ptyHungUp_) {
                ptyActive_ = true;
                ptyHungUp_ = false;
                emit connectionChanged(connectionText());
            }
            bytesIn(QByteArray(buf, static_cast<int>(n)));
            continue;
        }
        if (n < 0 && errno == EIO) {  // the client closed the port: wait until one opens it again
            ptyNotifier_->setEnabled(false);
            if (!ptyHungUp_) {
                ptyHungUp_ = true;
                ptyActive_ = false;
                reader_.linkReset(now());
                emit connectionChanged(connectionText());
            }
        }
        return;
    }
}

void Front::ptyCheckHangup() {
    if (ptyMaster_ < 0 || !ptyHungUp_) return;
    pollfd p{ptyMaster_, POLLIN, 0};
    if (::poll(&p, 1, 0) >= 0 && !(p.revents & POLLHUP)) {
        ptyHungUp_ = false;  // somebody opened it again
        ptyNotifier_->setEnabled(true);
        reader_.linkReset(now());
        pump();
        emit connectionChanged(connectionText());
    }
}

void Front::ptyWrite(const char* data, std::size_t size) {
    if (::write(ptyMaster_, data, size) < 0 && errno != EAGAIN) {
        // nobody listening; the bytes are lost like on a real line
    }
}

}  // namespace zt::sim::app
