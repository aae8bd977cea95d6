#include "sim/frame.h"

#include <cctype>
#include <cstdio>

namespace zt::sim {

std::uint8_t frameChecksum(std::uint8_t code, std::span<const std::uint8_t> data) {
    unsigned sum = code + static_cast<unsigned>(data.size());
    for (auto b : data) sum += b;
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::vector<std::uint8_t> makeFrame(std::uint8_t code, std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> f;
    f.reserve(data.size() + 5);
    f.push_back(kStx);
    f.push_back(code);
    f.push_back(static_cast<std::uint8_t>(data.size()));
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(frameChecksum(code, data));
    f.push_back(kEtx);
    return f;
}

int requestPayloadLength(std::uint8_t c) {
    switch (c) {
        case code::TestLink:
        case code::StartUp:
        case code::Select:
        case code::Halt:
            return 0;
        case code::DOutTemp:
        case code::DOutPerm:
            return 2;
        case code::WriteKeyE2P:
            return 7;
        case code::Login:
            return 3;
        case code::Read:
            return 1;
        case code::Write:
            return 17;
        default:
            return -1;
    }
}

std::string requestName(std::uint8_t c) {
    switch (c) {
        case code::TestLink:
            return "TestLink";
        case code::StartUp:
            return "StartUp";
        case code::DOutTemp:
            return "DOutTemp";
        case code::DOutPerm:
            return "DOutPerm";
        case code::Select:
            return "Select";
        case code::Halt:
            return "Halt";
        case code::WriteKeyE2P:
            return "WriteKeyE2P";
        case code::Login:
            return "Login";
        case code::Read:
            return "Read";
        case code::Write:
            return "Write";
        default:
            break;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", c);
    return buf;
}

std::string answerName(std::uint8_t c) {
    if (c == code::CardReport) return "AnsGetUID";
    if (c == code::FrameError) return "FrameError";
    if (c >= 0x80) {
        const std::string req = requestName(static_cast<std::uint8_t>(c - 0x80));
        if (req.rfind("0x", 0) != 0) return "Ans" + req;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", c);
    return buf;
}

std::string hexBytes(std::span<const std::uint8_t> bytes, const char* sep) {
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) s += sep;
        std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
        s += buf;
    }
    return s;
}

std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text) {
    std::vector<std::uint8_t> out;
    int high = -1;
    for (char ch : text) {
        if (ch == ' ' || ch == ':') continue;
        if (!std::isxdigit(static_cast<unsigned char>(ch))) return std::nullopt;
        const int v = std::isdigit(static_cast<unsigned char>(ch))
                          ? ch - '0'
                          : std::tolower(static_cast<unsigned char>(ch)) - 'a' + 10;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0) return std::nullopt;
    return out;
}

std::vector<Frame> FrameAssembler::feed(std::span<const std::uint8_t> bytes) {
    std::vector<Frame> out;
    for (auto c : bytes) {
        if (buf_.empty()) {
            if (c == kStx)
                buf_.push_back(c);
            else
                ++skipped_;
            continue;
        }
        buf_.push_back(c);
        if (buf_.size() < 3 || buf_.size() < static_cast<std::size_t>(buf_[2]) + 5) continue;
        const std::uint8_t len = buf_[2];
        std::span<const std::uint8_t> data(buf_.data() + 3, len);
        if (frameChecksum(buf_[1], data) == buf_[3 + len])
            out.push_back(Frame{buf_[1], std::vector<std::uint8_t>(data.begin(), data.end())});
        else
            ++rejected_;
        buf_.clear();
    }
    return out;
}

}  // namespace zt::sim
