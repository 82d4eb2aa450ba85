#include "CliTestSupport.h"

#include "cli/CliCommandTable.h"
#include "cli/CliError.h"
#include "zip/ZKDataArchive.h"

using namespace CliTest;

TEST_F(Cli, EveryFailureHasAClearMessageAndItsOwnExitCode) {
    TestSupport::writeFile(path("broken.pdf"), PdfFixtures::truncated(TestSupport::readFile(iSample), 0.3));
    TestSupport::writeFile(path("text.pdf"), "just some text");
    TestSupport::writeFile(path("not-an-image.png"), "no picture here");
    TestSupport::writeFile(path("a-file"), "x");
    TestSupport::writeFile(path("gap.pdf"), PdfFixtures::handMadePdf(QList<QSizeF>(3, QSizeF(300, 400)), 2));
    TestSupport::writeFile(path("settings.txt"), "isHardCover=YES");
    TestSupport::writeFile(path("damaged/files/book.bin"), "garbage");
    TestSupport::writeFile(path("empty/files/book.bin"),
                           BookDescriptionFile::encode("<flipbook templateName=\"Float\"><extConfig/><pages/></flipbook>"));
    ZKDataArchive lost;
    lost.deflateData("<Meta><FStyleName>x</FStyleName><FFlashTemplateName>Gone</FFlashTemplateName><FStyleDesc/>"
                     "<FTmplVersion>1</FTmplVersion><FAppVersion>1</FAppVersion></Meta>", "Meta.xml");
    TestSupport::writeFile(path("Lost.thm"), lost.data());
    const QString out = path("out");
    const struct {
        QStringList args;
        int code;
        const char* message;
    } cases[] = {
        {{"publish", path("missing.pdf"), "-o", out}, kExitInput, "no such file"},
        {{"publish", path("broken.pdf"), "-o", out}, kExitInput, "cannot read the PDF"},
        {{"publish", path("text.pdf"), "-o", out}, kExitInput, "cannot read the PDF"},
        {{"publish", path("not-an-image.png"), "-o", out}, kExitInput, "not an image"},
        {{"publish", path("gap.pdf"), "-o", path("gap"), "--quiet"}, kExitFailed, "gap.pdf could not be rendered"},
        {{"publish", iSample, "-o", out, "--pages", "2-40"}, kExitUsage, "bad page range"},
        {{"publish", iSample, "-o", out, "--pages", "three"}, kExitUsage, "bad page range"},
        {{"publish", iSample, "-o", out, "--template", "NoSuchTemplate"}, kExitUnknownLook, "unknown template"},
        {{"publish", iSample, "-o", out, "--theme", "NoSuchTheme"}, kExitUnknownLook, "no theme"},
        {{"publish", iSample, "-o", out, "--mobile-template", "Nope"}, kExitUnknownLook, "unknown mobile template"},
        {{"publish", iSample, "-o", out, "--set", "noSuchKey=1"}, kExitUnknownLook, "no setting"},
        {{"publish", iSample, "-o", out, "--set", "novalue"}, kExitUsage, "KEY=VALUE"},
        {{"publish", iSample, "-o", out, "--settings", path("missing.txt")}, kExitInput, "settings file"},
        {{"publish", iSample, "-o", path("a-file/inside")}, kExitCannotWrite, "cannot create the folder"},
        {{"publish", iSample, "-o", out, "--kind", "pdf"}, kExitUsage, "--kind"},
        {{"publish", iSample, "-o", out, "--quality", "7"}, kExitUsage, "--quality"},
        {{"publish", iSample, "-o", out, "--engine", "png"}, kExitUsage, "--engine"},
        {{"publish", iSample, "-o", out, "--name", "../escape"}, kExitUsage, "--name"},
        {{"publish", iSample}, kExitUsage, "-o FOLDER"},
        {{"publish", iSample, "-o", out, "--frobnicate"}, kExitUsage, "does not take the option"},
        {{"publish", path("not-an-image.png"), "-o", out, "--pages", "1"}, kExitUsage, "--pages"},
        {{"publish", iSample, "-o"}, kExitUsage, "needs a value"},
        {{"reopen", path("nowhere"), "-o", out}, kExitInput, "no such folder"},
        {{"reopen", iDir.path(), "-o", out}, kExitInput, "book.bin"},
        {{"reopen", path("damaged"), "-o", path("damaged")}, kExitInput, "book.bin"},
        {{"theme-import", path("missing.thm")}, kExitInput, "no such file"},
        {{"settings-import", iSample, "--template", "Float", "--name", "Mine"}, kExitUsage, "no setting"},
        {{"publish", iSample, "-o", ""}, kExitUsage, "-o FOLDER"},
        {{"publish", iSample, "--output="}, kExitUsage, "-o FOLDER"},
        {{"publish", iSample, "-o", "--quiet"}, kExitUsage, "needs a value"},
        {{"reopen", path("empty"), "-o", ""}, kExitUsage, "-o FOLDER"},
        {{"reopen", path("empty"), "-o", out}, kExitInput, "no pages"},
        {{"theme-export", "-o", ""}, kExitUsage, "-o FILE"},
        {{"settings-export", "-o", ""}, kExitUsage, "-o FILE"},
        {{"settings-export", "-o", iDir.path() + "/"}, kExitUsage, "file name"},
        {{"settings-import", path("settings.txt"), "--template", "../Templates/Float", "--name", "X"}, kExitUsage, "plain name"},
        {{"publish", iSample, "-o", out, "--theme", "../../Float/Ocean"}, kExitUsage, "plain name"},
        {{"theme-import", path("Lost.thm")}, kExitUnknownLook, "not installed"},
        {{"unknown-command"}, kExitUsage, "unknown command"},
        {{}, kExitUsage, "Usage"},
    };
    for (const auto& c : cases) {
        const Result r = run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out)) << "a failed command must not leave a folder behind";
    EXPECT_EQ(bookXML(path("gap")).count("<page "), 3) << "a page that cannot be rendered is published blank";
    EXPECT_EQ(TestSupport::readFile(path("damaged/files/book.bin")), "garbage");
    EXPECT_EQ(QDir(path("damaged")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList("files"));
    EXPECT_FALSE(QFileInfo::exists("--quiet"));
}

TEST(CliHelp, EveryOptionIsDocumented) {
    for (const auto& command : CliCommandTable::commands()) {
        const Result r = run({command.name, "--help"});
        EXPECT_EQ(r.code, 0);
        for (const QString& option : command.options)
            EXPECT_TRUE(r.out.contains("--" + option + " ")) << command.name.toStdString() << " --" << option.toStdString();
    }
    const Result general = run({"--help"});
    EXPECT_EQ(general.code, 0);
    for (const char* command : {"publish", "reopen", "templates", "theme-export", "theme-import", "settings-export", "settings-import"})
        EXPECT_TRUE(general.out.contains(command)) << command;
    EXPECT_FALSE(general.out.contains("make-sample-pdf"));
}
