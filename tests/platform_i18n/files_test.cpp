#include "platform/files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <cstdlib>

#include "core/i18n/catalogue.h"

namespace zt {
namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

std::string Std(const QString& s) {
    return s.toStdString();
}

// The Qt file access with the program's folder moved to a folder of the test.
class FolderFiles : public FileSystem {
public:
    explicit FolderFiles(std::string dir) : dir_(std::move(dir)) {}
    std::string programDir() const override { return dir_; }
    char separator() const override { return qt_.separator(); }
    bool exists(const std::string& p) const override { return qt_.exists(p); }
    std::optional<std::string> readText(const std::string& p) const override { return qt_.readText(p); }

private:
    std::string dir_;
    QtFileSystem qt_;
};

TEST(QtFiles, Windows1252BytesReachTheCatalogueDecoded) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // "Español", "€ ñ ç", "œ … ™ Ÿ" in Windows-1252, continued over two lines.
    Write(dir.filePath("MisI01.dat"), QByteArray("Espa\xF1ol\r\n\x80 \xF1 \xE7~\r\n\x9C \x85 \x99 \x9F\r\n"));
    FolderFiles fs(Std(dir.path()));
    Ctx ctx{Platform{.files = &fs}};
    LoadMessages(ctx);
    ASSERT_EQ(ctx.st.iIdioma, 5);
    EXPECT_EQ(GetMis(ctx, 1), "Español");
    EXPECT_EQ(GetMis(ctx, 2), "€ ñ ç\r\nœ … ™ Ÿ");
}

TEST(QtFiles, ReadTextKeepsLineEnds) {
    QTemporaryDir dir;
    Write(dir.filePath("a.dat"), QByteArray("a\r\nb\nc"));
    EXPECT_EQ(QtFileSystem().readText(Std(dir.filePath("a.dat"))), std::optional<std::string>("a\r\nb\nc"));
    EXPECT_EQ(QtFileSystem().readText(Std(dir.filePath("none.dat"))), std::nullopt);
}

TEST(QtFiles, FallbackTableCoversTheWholeCodePage) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    const QString t = DecodeWindows1252Table(all);
    ASSERT_EQ(t.size(), 256);
    const std::map<int, char16_t> samples{{0x41, u'A'}, {0x80, u'€'}, {0x8C, u'Œ'}, {0x91, u'‘'},
                                          {0x96, u'–'}, {0x9E, u'ž'}, {0x9F, u'Ÿ'}, {0xA0, 0x00A0},
                                          {0xE7, u'ç'}, {0xF1, u'ñ'}, {0xFF, u'ÿ'}, {0x81, 0x0081}};
    for (const auto& [b, u] : samples) EXPECT_EQ(t[b].unicode(), u) << std::hex << b;
    // Where Qt has the codec, both readings agree on every assigned byte.
    QStringDecoder codec("windows-1252");
    if (codec.isValid()) {
        const QString viaCodec = codec.decode(all);
        for (int b = 0; b < 256; ++b) {
            if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
            EXPECT_EQ(viaCodec[b], t[b]) << std::hex << b;
        }
    }
}

TEST(QtFiles, ExistsOnlyForTheExactFileName) {
    QTemporaryDir dir;
    Write(dir.filePath("MisI01.dat"), "x");
    Write(dir.filePath("misi03.dat"), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir("MisI02.dat"));
    const QtFileSystem fs;
    const struct {
        const char* name;
        bool exists;
    } cases[] = {{"MisI01.dat", true},  {"MisI02.dat", false}, {"MisI03.dat", false}, {"misi03.dat", true},
                 {"MisI0?.dat", false}, {"MisI0*.dat", false}, {"MisI04.dat", false}};
    for (const auto& c : cases) EXPECT_EQ(fs.exists(Std(dir.filePath(c.name))), c.exists) << c.name;
    EXPECT_FALSE(fs.exists(Std(dir.path() + "/missing/MisI01.dat")));
}

TEST(QtFiles, TheShippedFilesDecodeCleanly) {
    const char* bin = std::getenv("ZT_BIN_DIR");
    const QString dir = bin ? QString::fromUtf8(bin) : QDir::currentPath();
    FolderFiles fs(Std(dir));
    Ctx ctx{Platform{.files = &fs}};
    LoadMessages(ctx);
    ASSERT_EQ(ctx.st.iIdioma, 1) << "language files beside the tests: " << Std(dir);
    EXPECT_EQ(ctx.st.Mis[1][1], "Español");
    EXPECT_EQ(ctx.st.Mis[3][1], "Català");
    EXPECT_EQ(ctx.st.Mis[4][1], "Français");
    EXPECT_EQ(ctx.st.Mis[5][1], "Português");
    for (int slot = 1; slot <= 5; ++slot) {
        for (const auto& text : ctx.st.Mis[static_cast<std::size_t>(slot)]) {
            EXPECT_FALSE(QString::fromStdString(text).contains(QChar::ReplacementCharacter)) << text;
        }
    }
    // French has the "œ" of the 0x80..0x9F row.
    EXPECT_NE(ctx.st.Mis[4][14].find("œ"), std::string::npos) << ctx.st.Mis[4][14];
}

}  // namespace
}  // namespace zt
