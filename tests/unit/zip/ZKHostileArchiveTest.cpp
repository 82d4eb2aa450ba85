#include "ZipTestSupport.h"
#include "zip/records/ZKCDTrailer64Locator.h"
#include "zip/ZKDataArchive.h"
#include "zip/ZKFileArchive.h"
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <QtEndian>

using namespace ZipTestSupport;

namespace {

// A sandbox holding a victim folder next to the place P that archives are expanded into
// (through P/.ZipKit, as theme import does). Whatever an archive holds, nothing outside P may change.
class ZKHostileArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(victim + QStringLiteral("/file.txt"), "precious");
        before = outsideOfPlace();
    }

    QMap<QString, QByteArray> outsideOfPlace() const {
        QMap<QString, QByteArray> tree = treeOf(temp.path());
        tree.removeIf([](const auto& item) { return item.key() == QLatin1String("P") || item.key().startsWith(QLatin1String("P/")); });
        return tree;
    }

    // Writes the archive with Python; `entries` is Python code adding members to the ZipFile z.
    void makeArchive(const QString& entries) {
        const QString script = QStringLiteral(
            "import sys, zipfile\n"
            "def link(z, name, target):\n"
            "    info = zipfile.ZipInfo(name)\n"
            "    info.external_attr = 0o120777 << 16\n"
            "    z.writestr(info, target)\n"
            "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n") + entries;
        ASSERT_EQ(python(script, {archivePath, temp.path()}).exitCode, 0);
    }

    void expectOutsideUntouched() const {
        EXPECT_EQ(outsideOfPlace(), before);
        EXPECT_EQ(readFile(victim + QStringLiteral("/file.txt")), QByteArray("precious"));
    }

    static QByteArray validArchive() {
        ZKDataArchive archive;
        archive.deflateData("first entry", QStringLiteral("a.txt"));
        archive.deflateData(QByteArray(5000, 'b'), QStringLiteral("dir/b.txt"));
        archive.deflateData("third", QStringLiteral("c.txt"));
        return archive.data();
    }

    QTemporaryDir temp;
    QTemporaryDir archives;
    const QString place = temp.filePath(QStringLiteral("P"));
    const QString victim = temp.filePath(QStringLiteral("victim"));
    const QString archivePath = archives.filePath(QStringLiteral("hostile.zip"));
    QMap<QString, QByteArray> before;
};

void patch32(QByteArray& bytes, qint64 at, quint32 value) { qToLittleEndian<quint32>(value, bytes.data() + at); }
void patch16(QByteArray& bytes, qint64 at, quint16 value) { qToLittleEndian<quint16>(value, bytes.data() + at); }

}  // namespace

TEST_F(ZKHostileArchiveTest, NamesLeadingOutOfTheFolderFailBeforeAnythingIsWritten) {
    for (const char* name : {"'../evil.txt'", "'../../evil.txt'", "'a/../../evil.txt'", "'..\\\\evil.txt'",
                             "sys.argv[2] + '/victim/file.txt'", "'/evil.txt'"}) {
        SCOPED_TRACE(name);
        makeArchive(QStringLiteral("    z.writestr('harmless.txt', b'ok')\n    z.writestr(%1, b'owned')\n").arg(QLatin1String(name)));
        EXPECT_EQ(expand(archivePath, place), -1);
        expectOutsideUntouched();
        EXPECT_FALSE(QFileInfo::exists(place + QStringLiteral("/harmless.txt")));
    }
}

TEST_F(ZKHostileArchiveTest, LinksLeadingOutOfTheFolderAreRefusedAndThoseInsideKept) {
    const QStringList archives = {
        // a link straight out, then a file written through it
        QStringLiteral("    link(z, 'out', '../../victim')\n    z.writestr('out/owned.txt', b'owned')\n"),
        QStringLiteral("    link(z, 'abs', sys.argv[2] + '/victim')\n    z.writestr('abs/owned.txt', b'owned')\n"),
        // each link looks harmless by its text alone, but together they climb out
        QStringLiteral("    link(z, 'd', '.')\n    link(z, 'e', 'd/..')\n    z.writestr('e/owned.txt', b'owned')\n"),
        QStringLiteral("    link(z, 'sub/up', '..')\n    link(z, 'sub/up/up2', '..')\n    z.writestr('sub/up/up2/owned.txt', b'owned')\n"),
        // a link replaced by a later file of the same name must not be written through
        QStringLiteral("    link(z, 'f', '../../victim/file.txt')\n    z.writestr('f', b'owned')\n"),
    };
    for (const QString& entries : archives) {
        makeArchive(entries);
        EXPECT_EQ(expand(archivePath, place), -1) << entries.toStdString();
        expectOutsideUntouched();
        QDir(place).removeRecursively();
    }
    makeArchive(QStringLiteral(
        "    z.writestr('sub/real.txt', b'real')\n"
        "    link(z, 'alias', 'sub')\n"
        "    z.writestr('alias/through.txt', b'through')\n"
        "    link(z, 'sub/back', '../sub/real.txt')\n"
        "    link(z, 'g', 'sub/real.txt')\n"
        "    z.writestr('g', b'replaces the link')\n"));
    EXPECT_EQ(expand(archivePath, place), 1);
    EXPECT_EQ(treeOf(place), (QMap<QString, QByteArray>{{"alias", "link:sub"}, {"g", "replaces the link"}, {"sub", "dir"},
                                                           {"sub/back", "link:../sub/real.txt"}, {"sub/real.txt", "real"},
                                                           {"sub/through.txt", "through"}}));
    expectOutsideUntouched();
}

TEST_F(ZKHostileArchiveTest, DirectoriesThatDoNotAddUpGiveNoArchive) {
    const QByteArray valid = validArchive();
    const auto parsed = ZKDataArchive::archiveWithArchiveData(valid);
    ASSERT_TRUE(parsed);
    const qint64 trailerAt = parsed->cdTrailer().offsetOfStartOfCentralDirectory() + parsed->cdTrailer().sizeOfCentralDirectory();
    const auto lie = [&](qint64 at, int width, quint32 value) {
        QByteArray bytes = valid;
        width == 2 ? patch16(bytes, at, quint16(value)) : patch32(bytes, at, value);
        return bytes;
    };
    // Entry counts one too many, one too few and far beyond the directory; a directory size and
    // offsets past the end, a zip64 offset without zip64 records, an offset into the first entry.
    const QList<QByteArray> liars = {
        lie(trailerAt + 10, 2, 4), lie(trailerAt + 10, 2, 2), lie(trailerAt + 10, 2, 0xFFFF),
        lie(trailerAt + 12, 4, 0x7FFFFFFF), lie(trailerAt + 16, 4, 0xFFFFFF00), lie(trailerAt + 16, 4, 0xFFFFFFFF),
        lie(trailerAt + 16, 4, 3)};
    for (int i = 0; i < liars.size(); ++i) {
        EXPECT_FALSE(ZKDataArchive::archiveWithArchiveData(liars[i])) << i;
        writeFile(archivePath, liars[i]);
        EXPECT_FALSE(ZKFileArchive::archiveWithArchivePath(archivePath)) << i;
    }
    // A zip64 locator pointing past the end.
    ZKCDTrailer64Locator locator;
    locator.offsetOfStartOfCentralDirectoryTrailer64 = 1ull << 40;
    QByteArray located = valid;
    located.insert(trailerAt, locator.data());
    EXPECT_FALSE(ZKDataArchive::archiveWithArchiveData(located));
}

TEST_F(ZKHostileArchiveTest, EntriesWithLyingSizesOrOffsetsFail) {
    const QByteArray valid = validArchive();
    const auto parsed = ZKDataArchive::archiveWithArchiveData(valid);
    ASSERT_TRUE(parsed);
    const qint64 second = parsed->cdTrailer().offsetOfStartOfCentralDirectory() + parsed->centralDirectory()[0].length();
    // A compressed size past the end; fewer and more bytes than the stream gives; a local header
    // past the end and one of another entry; a wrong CRC; a compression method nobody knows.
    struct Lie { qint64 field; quint32 value; };
    const QList<Lie> lies = {{20, 0x7FFFFFF0}, {24, 100}, {24, 9000}, {42, 0x7FFFFFF0}, {42, 0}, {16, 0x12345678}, {10, 99}};
    for (const Lie& lie : lies) {
        QByteArray bytes = valid;
        patch32(bytes, second + lie.field, lie.value);
        if (lie.field == 10)
            patch16(bytes, second + lie.field, quint16(lie.value));
        const auto inMemory = ZKDataArchive::archiveWithArchiveData(bytes);
        ASSERT_TRUE(inMemory);
        EXPECT_FALSE(inMemory->inflateFile(inMemory->centralDirectory()[1])) << lie.field;

        writeFile(archivePath, bytes);
        EXPECT_EQ(expand(archivePath, place), -1) << lie.field;
        // No more bytes than the entry claims ever reach the disk.
        const qint64 claimed = lie.field == 24 ? qMin<quint32>(lie.value, 5000) : 5000;
        EXPECT_LE(QFileInfo(place + QStringLiteral("/dir/b.txt")).size(), claimed);
        expectOutsideUntouched();
        QDir(place).removeRecursively();
    }
}

TEST_F(ZKHostileArchiveTest, TruncatedArchivesNeverCrash) {
    const QByteArray valid = validArchive();
    for (qsizetype length = 0; length < valid.size(); ++length) {
        EXPECT_FALSE(ZKDataArchive::archiveWithArchiveData(valid.left(length))) << length;
        // The end record kept, a piece missing from the middle.
        const QByteArray holed = valid.left(length / 2) + valid.mid(length);
        if (const auto survivor = ZKDataArchive::archiveWithArchiveData(holed))
            for (const ZKCDHeader& header : survivor->centralDirectory())
                survivor->inflateFile(header);
    }
    writeFile(archivePath, valid.left(valid.size() - 30));
    EXPECT_FALSE(ZKFileArchive::archiveWithArchivePath(archivePath));
}
