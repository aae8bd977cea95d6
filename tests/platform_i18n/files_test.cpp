#include "platform/files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "core/i18n/catalogue.h"

namespace zt {
namespace {

// The Qt file access, with the program's folder moved to a folder of the test.
class FolderFiles : public QtFileSystem {
public:
    explicit FolderFiles(QString dir) : dir_(std::move(dir)) {}
    std::string programDir() const override { return dir_.toStdString(); }

private:
    QString dir_;
};

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(QtFiles, Windows1252BytesReachTheCatalogueDecoded) {
    QTemporaryDir dir;
    // "Español", then "€ ñ ç" and "œ … ™ Ÿ" on two lines of one message.
    Write(dir.filePath("MisI01.dat"), QByteArray("Espa\xF1ol\r\n\x80 \xF1 \xE7~\r\n\x9C \x85 \x99 \x9F\r\n"));
    FolderFiles fs(dir.path());
    Ctx ctx{Platform{.files = &fs}};
    LoadMessages(ctx);
    ASSERT_EQ(ctx.st.iIdioma, 5);
    EXPECT_EQ(GetMis(ctx, 1), "Español");
    EXPECT_EQ(GetMis(ctx, 2), "€ ñ ç\r\nœ … ™ Ÿ");
    EXPECT_EQ(fs.readText(dir.filePath("none.dat").toStdString()), std::nullopt);
}

// Where Qt lacks the codec the table reads the file; where it has it, both agree.
TEST(QtFiles, FallbackTableMatchesTheCodePage) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    const QString t = DecodeWindows1252Table(all);
    ASSERT_EQ(t.size(), 256);
    for (const auto& [b, u] : std::map<int, char16_t>{{0x41, u'A'},
                                                      {0x80, u'€'},
                                                      {0x8C, u'Œ'},
                                                      {0x91, u'‘'},
                                                      {0x9F, u'Ÿ'},
                                                      {0xE7, u'ç'},
                                                      {0xFF, u'ÿ'}}) {
        EXPECT_EQ(t[b].unicode(), u) << std::hex << b;
    }
    QStringDecoder codec("windows-1252");
    if (!codec.isValid()) return;
    const QString viaCodec = codec.decode(all);
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;  // unassigned
        EXPECT_EQ(viaCodec[b], t[b]) << b;
    }
}

TEST(QtFiles, ExistsOnlyForTheExactFileName) {
    QTemporaryDir dir;
    Write(dir.filePath("MisI01.dat"), "x");
    Write(dir.filePath("misi03.dat"), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir("MisI02.dat"));
    const QtFileSystem fs;
    for (const auto& [name, exists] : std::map<QString, bool>{{"MisI01.dat", true},
                                                              {"MisI02.dat", false},  // a folder
                                                              {"MisI03.dat", false},
                                                              {"MisI0?.dat", false},
                                                              {"missing/MisI01.dat", false}}) {
        EXPECT_EQ(fs.exists(dir.filePath(name).toStdString()), exists) << name.toStdString();
    }
}

TEST(QtFiles, TheShippedFilesDecodeCleanly) {
    const char* bin = std::getenv("ZT_BIN_DIR");
    FolderFiles fs(bin ? QString::fromUtf8(bin) : QDir::currentPath());
    Ctx ctx{Platform{.files = &fs}};
    LoadMessages(ctx);
    ASSERT_EQ(ctx.st.iIdioma, 1) << "no language files beside the tests";
    EXPECT_EQ(ctx.st.Mis[1][1], "Español");
    EXPECT_EQ(ctx.st.Mis[3][1], "Català");
    EXPECT_NE(ctx.st.Mis[4][14].find("œ"), std::string::npos) << ctx.st.Mis[4][14];
    for (const auto& slot : ctx.st.Mis) {
        for (const auto& text : slot)
            EXPECT_FALSE(QString::fromStdString(text).contains(QChar::ReplacementCharacter));
    }
}

}  // namespace
}  // namespace zt
