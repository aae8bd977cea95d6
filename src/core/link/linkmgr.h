// Opening, scanning and closing the serial or TCP link to the reader.
//
// Result codes: 0 done; 1 wrong state (an open while a link is open or a TCP open is still waiting,
// a close while none is open); 2 TCP only: no connection within the wait; 255 the port or socket
// refused. Every operation logs one line through LogResult: "OpenPortCOM:", "OpenPortTCP" or
// "ClosePort:" followed by " OK" or " ERROR( n)".
//
// At most one link is ever open: while cmdOpenTCP_Click waits for its connection, a second TCP
// open is refused with "OpenPortTCP ERROR( 1)", OpenPortCOM gives 1 and the scan does nothing.
//
// A link lost underneath (serial device pulled out, TCP peer reset): the port or socket is closed
// at once and the log shows message 283. LinkType keeps its value, so the window stays in the state
// it had: a run in progress keeps its Stop button and ends through its own time-outs (its requests
// are refused by the closed port and draw no answer), and once it is over the operator presses
// Close ("ClosePort: OK") and opens the link again.
#pragma once

#include <cstdint>
#include <string>

#include "core/app/ctx.h"

namespace zt {

constexpr std::uint16_t kReaderTcpPort = 1001;
constexpr std::int16_t kTcpWaitTicks = 40;

// Opens serial port `port` (1 is the first; must fit 16 bits signed, else 255) with "<baud>,n,8,1".
std::uint8_t OpenPortCOM(Ctx& ctx, int port, const std::string& settings);
void cmdOpenCom_Click(Ctx& ctx);
Co<> cmdOpenTCP_Click(Ctx& ctx);
void cmdClose_Click(Ctx& ctx);
// Tries ports 1..64 and shows the ones that opened in a box (messages 172, 173).
Co<> cmdScanCom_Click(Ctx& ctx);
void LogResult(Ctx& ctx, const std::string& label, std::uint8_t code);

// True while cmdOpenTCP_Click waits for its connection.
bool TcpOpening(const Ctx& ctx);
// The link of type `linkType` (1 serial, 2 TCP) went away; nothing happens unless it is the open one.
void LinkLost(Ctx& ctx, int linkType);
// The device behind the port number in cEditCfg1 ("/dev/ttyS0", "COM1"), empty when the number is
// not a port or there is no serial port.
std::string PortDeviceName(const Ctx& ctx);

}  // namespace zt
