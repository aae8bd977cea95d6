#include "platform/serial_port_win.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#undef MessageBox

#include <QWinEventNotifier>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/line_settings.h"

namespace zt {

namespace {

constexpr DWORD kBufferSize = 2048;
constexpr DWORD kLargestRead = 4096;
// A write that has not gone out after this (plus the time its bytes take on the line) is abandoned.
constexpr DWORD kWriteSlackMs = 1000;
// Cancelling a pending read: the driver confirms within this.
constexpr DWORD kCancelMs = 1000;

BYTE ToWin(Parity p) {
    switch (p) {
        case Parity::Even: return EVENPARITY;
        case Parity::Odd: return ODDPARITY;
        case Parity::Mark: return MARKPARITY;
        case Parity::Space: return SPACEPARITY;
        case Parity::None: break;
    }
    return NOPARITY;
}

BYTE ToWin(StopBits s) {
    switch (s) {
        case StopBits::OneAndHalf: return ONE5STOPBITS;
        case StopBits::Two: return TWOSTOPBITS;
        case StopBits::One: break;
    }
    return ONESTOPBIT;
}

// Waits for an overlapped operation to end, at most `ms`; cancels it when it does not. The number of
// bytes moved, or nothing when the operation failed.
std::optional<DWORD> Finish(HANDLE port, OVERLAPPED& ov, DWORD ms) {
    if (WaitForSingleObject(ov.hEvent, ms) != WAIT_OBJECT_0) {
        CancelIoEx(port, &ov);
        WaitForSingleObject(ov.hEvent, kCancelMs);
    }
    DWORD n = 0;
    if (!GetOverlappedResult(port, &ov, &n, FALSE)) return std::nullopt;
    return n;
}

}  // namespace

struct WinSerialPort::Io {
    Io() {
        read.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        drain.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        write.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        notifier.setHandle(read.hEvent);
    }
    ~Io() {
        for (HANDLE e : {read.hEvent, drain.hEvent, write.hEvent}) CloseHandle(e);
    }
    Io(const Io&) = delete;
    Io& operator=(const Io&) = delete;

    HANDLE port = INVALID_HANDLE_VALUE;
    OVERLAPPED read{};   // the pending one-byte read; its event wakes the event loop
    OVERLAPPED drain{};  // taking what is queued behind that byte
    OVERLAPPED write{};
    std::uint8_t first = 0;
    bool reading = false;
    std::int32_t baud = 9600;
    std::vector<std::uint8_t> got;
    QWinEventNotifier notifier;
};

WinSerialPort::WinSerialPort(DeviceMap map) : map_(std::move(map)), io_(std::make_unique<Io>()) {
    QObject::connect(&io_->notifier, &QWinEventNotifier::activated, &io_->notifier,
                     [this] { onReadSignalled(); });
}

WinSerialPort::~WinSerialPort() {
    onData = nullptr;
    onLost = nullptr;
    close();
}

int WinSerialPort::open(int number, const std::string& settings) {
    if (isOpen()) return 1;
    const auto line = ParseLineSettings(settings);
    if (!line) return 2;
    const std::string device = map_ ? map_(number) : std::string();
    if (device.empty()) return 3;

    const std::wstring path = L"\\\\.\\" + std::wstring(device.begin(), device.end());
    HANDLE port = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) return 4;
    SetupComm(port, kBufferSize, kBufferSize);

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) {
        CloseHandle(port);
        return 4;
    }
    const DCB before = dcb;
    dcb.BaudRate = static_cast<DWORD>(line->baud);
    dcb.ByteSize = static_cast<BYTE>(line->dataBits);
    dcb.Parity = ToWin(line->parity);
    dcb.StopBits = ToWin(line->stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = line->parity != Parity::None;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = dcb.fInX = dcb.fErrorChar = dcb.fNull = dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    bool set = SetCommState(port, &dcb);
    if (!set) {
        // Devices without modem lines may refuse to lower DTR and RTS; the line settings still count.
        dcb.fDtrControl = before.fDtrControl;
        dcb.fRtsControl = before.fRtsControl;
        set = SetCommState(port, &dcb);
    }
    // No time-outs: a read ends when its buffer is full, so the one-byte read waits for the next byte
    // however long that takes, and one that is queued already ends it at once.
    COMMTIMEOUTS timeouts{};
    if (!set || !SetCommTimeouts(port, &timeouts)) {
        CloseHandle(port);
        return 4;
    }
    PurgeComm(port, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);

    io_->port = port;
    io_->baud = line->baud;
    if (!startRead()) {
        close();
        return 4;
    }
    io_->notifier.setEnabled(true);
    return 0;
}

void WinSerialPort::close() {
    if (!isOpen()) return;
    io_->notifier.setEnabled(false);
    if (io_->reading) {
        CancelIoEx(io_->port, &io_->read);
        WaitForSingleObject(io_->read.hEvent, kCancelMs);
        io_->reading = false;
    }
    CloseHandle(io_->port);
    io_->port = INVALID_HANDLE_VALUE;
    ResetEvent(io_->read.hEvent);
}

bool WinSerialPort::isOpen() const {
    return io_->port != INVALID_HANDLE_VALUE;
}

bool WinSerialPort::write(Bytes bytes) {
    if (!isOpen()) return false;
    if (bytes.empty()) return true;
    OVERLAPPED& ov = io_->write;
    ResetEvent(ov.hEvent);
    if (!WriteFile(io_->port, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &ov) &&
        GetLastError() != ERROR_IO_PENDING)
        return false;
    // Ten bits a byte on the line, and the slack.
    const DWORD lineMs = static_cast<DWORD>(bytes.size() * 10 * 1000 / static_cast<std::size_t>(io_->baud));
    const auto n = Finish(io_->port, ov, lineMs + kWriteSlackMs);
    return n && *n == bytes.size();
}

std::string WinSerialPort::deviceName(int number) const {
    return map_ ? map_(number) : std::string();
}

// Arms the one-byte read. Its event is signalled when the byte is in, whether the read ended at
// once or later, so its completion is always taken in onReadSignalled.
bool WinSerialPort::startRead() {
    ResetEvent(io_->read.hEvent);
    if (!ReadFile(io_->port, &io_->first, 1, nullptr, &io_->read) && GetLastError() != ERROR_IO_PENDING)
        return false;
    io_->reading = true;
    return true;
}

void WinSerialPort::onReadSignalled() {
    if (!isOpen() || !io_->reading) return;
    DWORD n = 0;
    if (!GetOverlappedResult(io_->port, &io_->read, &n, FALSE)) {
        if (GetLastError() == ERROR_IO_INCOMPLETE) return;
        lose();  // broken pipe, device removed, access denied, aborted by the driver...
        return;
    }
    io_->reading = false;
    if (n == 0) {  // without time-outs a read only ends empty when the device has hung up
        lose();
        return;
    }
    std::vector<std::uint8_t>& got = io_->got;
    got.assign(1, io_->first);
    DWORD errors = 0;
    COMSTAT stat{};
    if (ClearCommError(io_->port, &errors, &stat) && stat.cbInQue > 0) {
        const DWORD want = std::min(stat.cbInQue, kLargestRead);
        got.resize(1 + want);
        ResetEvent(io_->drain.hEvent);
        if (!ReadFile(io_->port, got.data() + 1, want, nullptr, &io_->drain) && GetLastError() != ERROR_IO_PENDING) {
            got.resize(1);
        } else {
            const auto taken = Finish(io_->port, io_->drain, kCancelMs);
            got.resize(1 + (taken ? *taken : 0));
        }
    }
    if (onData) onData(Bytes(got.data(), got.size()));
    if (isOpen() && !io_->reading && !startRead()) lose();
}

void WinSerialPort::lose() {
    ++deviceErrors_;
    io_->reading = false;
    close();
    if (onLost) onLost();
}

}  // namespace zt
