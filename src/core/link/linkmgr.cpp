#include "core/link/linkmgr.h"

#include <exception>
#include <set>

#include "core/app/log.h"
#include "core/link/numeric.h"

namespace zt {

namespace {

constexpr int kScanFirst = 1;
constexpr int kScanLast = 64;
constexpr int kNotAPort = 0x10000;  // a port text whose number does not fit 16 bits
constexpr int kMsgLinkLost = 283;
constexpr int kMsgLinkLostBox = 475;
constexpr int kMsgScanText = 172;
constexpr int kMsgScanTitle = 173;

// Windows whose TCP open is waiting for its connection. Keyed by address only, never dereferenced.
std::set<const Ctx*>& tcpOpening() {
    static std::set<const Ctx*> s;
    return s;
}

// Marks the TCP open as waiting for as long as the coroutine frame lives, even when the frame is
// destroyed in the middle of the wait (window closed).
class OpeningMark {
public:
    explicit OpeningMark(const Ctx& ctx) : ctx_(&ctx) { tcpOpening().insert(ctx_); }
    ~OpeningMark() { tcpOpening().erase(ctx_); }
    OpeningMark(const OpeningMark&) = delete;
    OpeningMark& operator=(const OpeningMark&) = delete;

private:
    const Ctx* ctx_;
};

std::string withoutLeadingBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

int portNumber(const Ctx& ctx) {
    const auto v = NumVal16(ctx.m.cEditCfg1.text());
    return v ? *v : kNotAPort;
}

}  // namespace

bool TcpOpening(const Ctx& ctx) {
    return tcpOpening().count(&ctx) != 0;
}

std::uint8_t OpenPortCOM(Ctx& ctx, int port, const std::string& settings) {
    if (ctx.st.LinkType != 0 || TcpOpening(ctx)) return 1;
    if (port < -32768 || port > 32767 || ctx.pf.serial == nullptr) return 255;
    try {
        if (ctx.pf.serial->open(port, settings) != 0) return 255;
    } catch (const std::exception&) {
        return 255;
    }
    ctx.st.LinkType = 1;
    ctx.st.lossTold = false;
    return 0;
}

void cmdOpenCom_Click(Ctx& ctx) {
    const std::string settings = withoutLeadingBlanks(ctx.m.cCombo1.text() + ",n,8,1");
    LogResult(ctx, "OpenPortCOM:", OpenPortCOM(ctx, portNumber(ctx), settings));
}

Co<> cmdOpenTCP_Click(Ctx& ctx) {
    auto& st = ctx.st;
    if (st.LinkType != 0 || TcpOpening(ctx)) {
        LogResult(ctx, "OpenPortTCP", 1);
        co_return;
    }
    std::uint8_t rc = 255;
    {
        OpeningMark mark(ctx);
        TcpSocket* sock = ctx.pf.socket;
        st.TcpConnected = kFalse;
        bool started = false;
        if (sock != nullptr) {
            try {
                started = sock->connectTo(ctx.m.cEditCfg3.text(), kReaderTcpPort);
                if (!started) sock->close();
            } catch (const std::exception&) {
                sock->close();
            }
        }
        if (started) {
            st.iTicks = kTcpWaitTicks;
            WindowState* s = &st;
            co_await ctx.sched.until([s] { return s->TcpConnected != kFalse || s->iTicks <= 0; });
            if (st.TcpConnected != kFalse) {
                st.LinkType = 2;
                st.lossTold = false;
                rc = 0;
            } else {
                // Aborting the attempt also keeps a late connect from counting for the next one.
                sock->close();
                rc = 2;
            }
        }
    }
    LogResult(ctx, "OpenPortTCP", rc);
}

void cmdClose_Click(Ctx& ctx) {
    std::uint8_t rc = 1;
    try {
        if (ctx.st.LinkType == 1) {
            if (ctx.pf.serial != nullptr) ctx.pf.serial->close();
            ctx.st.LinkType = 0;
            rc = 0;
        } else if (ctx.st.LinkType == 2) {
            if (ctx.pf.socket != nullptr) ctx.pf.socket->close();
            ctx.st.LinkType = 0;
            rc = 0;
        }
    } catch (const std::exception&) {
        rc = 255;
    }
    LogResult(ctx, "ClosePort:", rc);
}

Co<> cmdScanCom_Click(Ctx& ctx) {
    if (ctx.st.LinkType != 0 || TcpOpening(ctx)) co_return;
    std::string list;
    cmdClose_Click(ctx);
    for (int port = kScanFirst; port <= kScanLast; ++port) {
        const std::string settings = ctx.m.cCombo1.text() + ",n,8,1";
        if (OpenPortCOM(ctx, port, settings) == 0) {
            list += std::to_string(port) + " ";
            cmdClose_Click(ctx);
        }
    }
    co_await MsgBox(ctx, GetMis(ctx, kMsgScanText) + ": " + list, GetMis(ctx, kMsgScanTitle),
                    BoxIcon::Information);
}

void LogResult(Ctx& ctx, const std::string& label, std::uint8_t code) {
    if (code == 0) {
        AddInfo(ctx, label + " OK");
    } else {
        AddInfo(ctx, label + " ERROR( " + std::to_string(code) + ")");
    }
    UpdateControls(ctx);
}

void LinkLost(Ctx& ctx, int linkType) {
    if (linkType != ctx.st.LinkType || (linkType != 1 && linkType != 2)) return;
    try {
        if (linkType == 1 && ctx.pf.serial != nullptr) ctx.pf.serial->close();
        if (linkType == 2 && ctx.pf.socket != nullptr) ctx.pf.socket->close();
    } catch (const std::exception&) {
    }
    AddInfo(ctx, GetMis(ctx, kMsgLinkLost));
    // A run goes on until its waits run out or Stop: the log line scrolls away, a box does not. It
    // does not hold the run up, and it comes once per lost link.
    if (ctx.st.ActiveRun == kNoRun || ctx.st.lossTold || ctx.pf.box == nullptr) return;
    ctx.st.lossTold = true;
    ctx.pf.box->show(GetMis(ctx, kMsgLinkLostBox), {}, BoxIcon::Warning, [] {});
}

std::string PortDeviceName(const Ctx& ctx) {
    const int port = portNumber(ctx);
    if (ctx.pf.serial == nullptr || port < kScanFirst || port > kScanLast) return {};
    return ctx.pf.serial->deviceName(port);
}

}  // namespace zt
