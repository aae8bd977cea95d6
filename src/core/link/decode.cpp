#include "core/link/decode.h"

#include <string>

#include "core/app/log.h"
#include "core/link/hexlib.h"

namespace zt {

namespace {

using Data = std::vector<std::uint8_t>;

// Data byte i (1-based); 0 past the end, so a short answer never reads outside its data.
std::uint8_t d(const Data& data, std::size_t i) {
    return i < data.size() ? data[i] : 0;
}

// " 0xHH" for data bytes from..to.
std::string bytesFrom(const Data& data, std::size_t from, std::size_t to) {
    std::string s;
    for (std::size_t i = from; i <= to; ++i) s += " 0x" + HexByte(d(data, i));
    return s;
}

// "name", and when there is data ": " and every byte as " 0xHH".
std::string nameAndBytes(const char* name, std::uint8_t len, const Data& data) {
    std::string s = name;
    if (len > 0) s += ": " + bytesFrom(data, 1, len);
    return s;
}

// "name: " followed by every byte as " 0xHH" (a bare "name: " without data).
std::string prefixAndBytes(const char* name, std::uint8_t len, const Data& data) {
    return std::string(name) + ": " + bytesFrom(data, 1, len);
}

// "name: 0xHH 0xHH ..." for the first `want` bytes, or as many as came.
std::string firstBytes(const char* name, std::uint8_t len, const Data& data, std::size_t want) {
    std::string s = std::string(name) + ": ";
    const std::size_t n = len < want ? len : want;
    if (n == 0) return s;
    s += "0x" + HexByte(d(data, 1));
    return s + bytesFrom(data, 2, n);
}

void cardReport(Ctx& ctx, std::uint8_t len, const Data& data) {
    auto& st = ctx.st;
    if (st.aUid.size() < 12) st.aUid.resize(12, 0);
    if (st.aAtqa.size() < 3) st.aAtqa.resize(3, 0);
    st.bAtqaRx = kFalse;

    // The seven report lengths: size class of the UID and whether the ATQA comes with it.
    struct Form {
        std::uint8_t len, sizeClass;
        bool withAtqa;
    };
    static constexpr Form kForms[] = {{2, 0, false}, {5, 1, false},  {7, 1, true}, {8, 2, false},
                                      {10, 2, true}, {11, 3, false}, {13, 3, true}};
    const Form* form = nullptr;
    for (const auto& f : kForms) {
        if (f.len == len) form = &f;
    }
    if (form == nullptr) {
        AddInfo(ctx, ">>> AnsGetUID: Corrupt UID");
        AddInfo(ctx, prefixAndBytes(">>> AnsGetUID", len, data));
        return;
    }
    const bool withAtqa = form->withAtqa;
    if (withAtqa) {
        st.aAtqa[1] = d(data, 2);
        st.aAtqa[2] = d(data, 3);
        st.bAtqaRx = kTrue;
        // The marker carries 0xA0 on top of the first element; a marker below 0xA0 wraps around
        // (stored modulo 256). Nothing reads element 1 back.
        st.aUid[1] = static_cast<std::uint8_t>(d(data, 1) - 0xA0);
        for (std::size_t i = 4; i <= len; ++i) st.aUid[i - 2] = d(data, i);
    } else {
        for (std::size_t i = 1; i <= len; ++i) st.aUid[i] = d(data, i);
    }
    st.iUidSize = form->sizeClass;
    st.bCardRx = kTrue;
    AddInfo(ctx, prefixAndBytes(">>> AnsGetUID", len, data));
}

// Answers that are only logged, with a fixed text or with their status byte.
struct Named {
    std::uint8_t code;
    const char* text;
};
constexpr Named kPlain[] = {
    {0x84, ">>> AnsWriteCfg"}, {0x85, ">>> AnsShutDown"},   {0x86, ">>> AnsDOutTemp"},
    {0x87, ">>> AnsDOutPerm"}, {0x88, ">>> AnsFactoryCfg"}, {0xB8, ">>> AnsFactoryCfg"},
    {0xB9, ">>> AnsApply"},    {0xBC, ">>> AnsDOutTemp"},   {0xBD, ">>> AnsDOutPerm"},
    {0xBE, ">>> AnsReleTemp"}, {0xBF, ">>> AnsRelePerm"},   {0xFE, ">>> FrameError"},
};
constexpr Named kStatusOnly[] = {
    {0xA4, ">>> AnsIncrement"}, {0xA5, ">>> AnsDecrement"},  {0xA6, ">>> AnsBackup"},
    {0xA8, ">>> AnsWriteRead"}, {0xA9, ">>> AnsBackupRead"}, {0xAA, ">>> AnsRestore"},
};

template <std::size_t N>
const char* lookup(const Named (&table)[N], std::uint8_t code) {
    for (const auto& n : table) {
        if (n.code == code) return n.text;
    }
    return nullptr;
}

// Answers that carry one status byte; with any other LEN the answer is ignored.
bool isStatusAnswer(std::uint8_t code) {
    switch (code) {
        case 0x91:
        case 0x92:
        case 0xA0:
        case 0xA1:
        case 0xA3:
            return true;
        default:
            return lookup(kStatusOnly, code) != nullptr;
    }
}

}  // namespace

void DecodeAnswer(Ctx& ctx, std::uint8_t code, std::uint8_t bLen, const std::vector<std::uint8_t>& data) {
    auto& st = ctx.st;
    if (isStatusAnswer(code) && bLen != 1) return;
    const std::uint8_t s = d(data, 1);
    const std::string status = ": 0x" + HexByte(s);
    if (const char* text = lookup(kPlain, code)) {
        AddInfo(ctx, text);
        return;
    }
    if (const char* text = lookup(kStatusOnly, code)) {
        AddInfo(ctx, text + status);
        return;
    }

    switch (code) {
        case 0x80:
            st.bTestLinkOk = kTrue;
            AddInfo(ctx, ">>> AnsTestLink");
            break;
        case 0x81:
            st.bStartUpOk = kTrue;
            AddInfo(ctx, ">>> AnsStartUp");
            break;
        // Answers to requests this program never sends: shorter than their line needs, they show
        // the bytes that came.
        case 0x82:
            AddInfo(ctx, firstBytes(">>> FW Version", bLen, data, 2));
            break;
        case 0x83:
            AddInfo(ctx, firstBytes(">>> AnsReadCFG", bLen, data, 6));
            break;
        // The automatic configuration answers show every byte the way AnsReadCFGByte does.
        case 0x89:
            AddInfo(ctx, prefixAndBytes(">>> AnsReadAutoCFG", bLen, data));
            break;
        case 0x8A:
            AddInfo(ctx, prefixAndBytes(">>> AnsWriteAutoCFG", bLen, data));
            break;
        case 0x8F:
            AddInfo(ctx, std::string(">>> AnsSecureAutoCFG: ") + (bLen >= 1 ? HexByte(s) : std::string()));
            break;
        case 0x90:
            cardReport(ctx, bLen, data);
            break;
        case 0x91:
            st.bSelectRx = kTrue;
            st.iSelectStatus = s;
            AddInfo(ctx, ">>> AnsSelect" + status);
            break;
        case 0x92:
            if (s == 0) st.bHaltOk = kTrue;
            AddInfo(ctx, ">>> AnsHalt" + status);
            break;
        case 0x93:
            AddInfo(ctx, nameAndBytes(">>> AnsWakeUp", bLen, data));
            break;
        case 0x95:
            AddInfo(ctx, nameAndBytes(">>> AnsGetATQA", bLen, data));
            break;
        case 0xA0:
            if (s == 0) st.bWriteKeyOk = kTrue;
            AddInfo(ctx, ">>> AnsWriteKeyE2P" + status);
            break;
        case 0xA1:
            // A refused login ends the run's wait at once.
            if (s == 0) {
                st.bLoginOk = kTrue;
            } else {
                st.iTicks = 0;
            }
            AddInfo(ctx, ">>> AnsLogin" + status);
            break;
        case 0xA2:
            if (bLen == 16) {
                st.sReadData.clear();
                for (std::size_t i = 1; i <= 16; ++i) st.sReadData.push_back(static_cast<char>(d(data, i)));
                st.bReadOk = kTrue;
            }
            AddInfo(ctx, nameAndBytes(">>> AnsRead", bLen, data));
            break;
        case 0xA3:
            if (s == 0) st.bWriteOk = kTrue;
            AddInfo(ctx, ">>> AnsWrite" + status);
            break;
        case 0xBA:
            AddInfo(ctx, prefixAndBytes(">>> AnsReadCFGByte", bLen, data));
            break;
        case 0xBB:
            AddInfo(ctx, prefixAndBytes(">>> AnsWriteCFGByte", bLen, data));
            break;
        default:
            break;  // not an answer of this reader
    }
}

}  // namespace zt
