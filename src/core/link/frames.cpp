#include "core/link/frames.h"

#include "core/link/hexlib.h"

namespace zt {

std::string CalcChecksum(std::string_view sHex) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < sHex.size(); i += 2) sum = (sum + HexToByte(sHex.substr(i, 2))) & 0xFF;
    return ByteToHex(static_cast<std::uint8_t>(sum));
}

std::uint8_t SendHexFrame(Ctx& ctx, std::string_view sBody) {
    std::string text = "02";
    text += sBody;
    text += CalcChecksum(sBody);
    text += "03";
    const std::string frame = HexToStr(text);
    const Bytes bytes(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size());

    // A refused write is not the caller's concern: the answer it waits for will not come and its
    // wait ends through the time-out.
    bool taken = false;
    switch (ctx.st.LinkType) {
        case 1:
            taken = ctx.pf.serial != nullptr && ctx.pf.serial->write(bytes);
            break;
        case 2:
            taken = ctx.pf.socket != nullptr && ctx.pf.socket->send(bytes);
            break;
        default:
            return 1;
    }
    return taken ? 0 : 3;
}

std::uint8_t EnviaTrama(Ctx& ctx, std::uint8_t bCmd, std::uint8_t bLen, const Payload& aData) {
    if (bLen >= 32) return 2;
    std::string body;
    body.reserve(2u + bLen);
    body.push_back(static_cast<char>(bCmd));
    body.push_back(static_cast<char>(bLen));
    for (std::size_t i = 1; i <= bLen; ++i)
        body.push_back(static_cast<char>(i < aData.size() ? aData[i] : 0));
    return SendHexFrame(ctx, StrToHex(body));
}

}  // namespace zt
