#include "AppTestSupport.h"
#include "app/sheets/DragFileImport.h"
#include "PdfFixtures.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QMimeData>

using AppTestSupport::AlertAnswers;
using AppTestSupport::waitFor;

namespace {

TEST(ImportRules, TheX11Check) {
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    for (const auto& [version, applies] : {std::pair{"10.15.7", true}, {"10.7.5", false}, {"", false}})   // compared as numbers
        EXPECT_EQ(ImportWindowDelegate::X11WarningApplies(QString::fromLatin1(version)), applies) << version;
    QDir().mkpath(at("X11/lib"));
    EXPECT_FALSE(ImportWindowDelegate::checkDylibFileExist(at("X11")));
    TestSupport::writeFile(at("X11/lib/a/b/libX11.dylib"), "x");
    EXPECT_TRUE(ImportWindowDelegate::checkDylibFileExist(at("X11")));
}

class ImportSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppSettings& settings = AppTestSupport::freshSettings();
        pdf = dir.filePath(QStringLiteral("my.report.pdf"));
        ASSERT_TRUE(PdfFixtures::makeQtPdf(pdf, {QSizeF(400, 500), QSizeF(300, 300), QSizeF(400, 500)}));
        settings.setLastImportedFile(pdf);
        settings.setImportQualityLevel(3);
    }
    QTemporaryDir dir;
    QString pdf;
};

// The controls follow the store, the chosen file (an existing PDF, in any case) and the idle state.
// A drop whose first file is a PDF (lower case) takes the last file.
TEST_F(ImportSheetTest, ControlsFollowTheStoreDroppedFilesAndTheIdleState) {
    ImportWindowDelegate sheet;
    EXPECT_EQ(sheet.importQuality()->currentIndex(), 3);
    EXPECT_TRUE(sheet.btnOK()->isEnabled());
    EXPECT_FALSE(sheet.txtPageRange()->isEnabled());
    sheet.pageRangeType()->button(1)->click();
    EXPECT_TRUE(sheet.txtPageRange()->isEnabled());

    auto* target = sheet.findChild<DragFileImport*>();
    ASSERT_TRUE(target);
    auto drop = [&](const QStringList& names) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& name : names) urls << QUrl::fromLocalFile(dir.filePath(name));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        EXPECT_TRUE(target->highlight());
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
        EXPECT_FALSE(target->highlight());
        return event.isAccepted();
    };
    ASSERT_TRUE(QFile::copy(pdf, dir.filePath(QStringLiteral("X.PDF"))));
    EXPECT_FALSE(drop({QStringLiteral("X.PDF")}));
    EXPECT_EQ(sheet.txtImportFile()->text(), pdf);
    EXPECT_TRUE(drop({QStringLiteral("a.pdf"), QStringLiteral("b.txt")}));
    EXPECT_EQ(sheet.txtImportFile()->text(), dir.filePath(QStringLiteral("b.txt")));
    EXPECT_FALSE(sheet.btnOK()->isEnabled());
    sheet.txtImportFile()->setText(dir.filePath(QStringLiteral("X.PDF")));
    EXPECT_TRUE(sheet.btnOK()->isEnabled());
    sheet.txtImportFile()->setText(dir.filePath(QStringLiteral("none.pdf")));
    EXPECT_FALSE(sheet.btnOK()->isEnabled());

    sheet.enableButtons(false);
    EXPECT_FALSE(sheet.txtPageRange()->isEnabled());
    EXPECT_TRUE(sheet.btnCancel()->isEnabled());
}

// Imports that do not finish leave the sheet open: the X11 question cancelled (nothing stored),
// a PDF that cannot be read (the sheet says why; the book still open keeps the name and title it
// is published under), an import cancelled (its late report changes nothing). "Use JPG Format" at
// the question imports the range, and the sheet ends with the document's first page size.
TEST_F(ImportSheetTest, OnlyAFinishedImportEndsTheSheet) {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastOutputFileName(QStringLiteral("current"));
    settings.setLastOutputFileTitle(QStringLiteral("Current Book"));
    ImportWindowDelegate sheet;
    int started = 0, ended = -1;
    Book imported;
    QSize firstPage;
    QObject::connect(&sheet, &ImportWindowDelegate::importStarted, [&] { ++started; });
    QObject::connect(&sheet, &ImportWindowDelegate::bookImported, [&](const Book& book, const QSize& size) {
        imported = book;
        firstPage = size;
    });
    QObject::connect(&sheet, &QDialog::finished, [&](int code) { ended = code; });
    sheet.setMacVersion(QStringLiteral("10.8.2"));
    sheet.setX11Folders({dir.filePath(QStringLiteral("no-x11"))});
    sheet.pageRangeType()->button(1)->click();
    sheet.txtPageRange()->setText(QStringLiteral("2-3"));
    {
        AlertAnswers answers([](const AppAlert::Request&) { return 2; });   // "Cancel"
        sheet.onImportAction();
        EXPECT_EQ(answers.asked.size(), 1u);
    }
    EXPECT_EQ(started, 0);
    EXPECT_TRUE(settings.importPageRange().isEmpty());
    EXPECT_TRUE(sheet.txtImportFile()->isEnabled());

    sheet.renderEngineType()->button(1)->click();   // JPG pages: no X11 question
    const QString broken = dir.filePath(QStringLiteral("broken.pdf"));
    TestSupport::writeFile(broken, "%PDF-1.4 nothing else");
    sheet.txtImportFile()->setText(broken);
    sheet.onImportAction();
    ASSERT_TRUE(waitFor([&] { return sheet.txtImportFile()->isEnabled(); }, 30000));
    EXPECT_FALSE(sheet.lblInfo()->text().isEmpty());
    EXPECT_EQ(settings.lastOutputFileName(), QStringLiteral("current"));
    EXPECT_EQ(settings.lastOutputFileTitle(), QStringLiteral("Current Book"));

    sheet.txtImportFile()->setText(pdf);
    sheet.onImportAction();
    sheet.mainThread_handleMSG({{QStringLiteral("pageIndex"), 2}, {QStringLiteral("totalPage"), 3}});
    EXPECT_EQ(sheet.lblInfo()->text(), QStringLiteral("Importing:2/3"));
    sheet.onCancelAction();
    EXPECT_TRUE(sheet.txtImportFile()->isEnabled());
    AppTestSupport::pause(1500);   // the cancelled job's late report must change nothing
    EXPECT_EQ(ended, -1);
    EXPECT_FALSE(imported.pageSource);

    sheet.renderEngineType()->button(0)->click();
    sheet.btnImportLinks()->setChecked(true);
    AlertAnswers answers([](const AppAlert::Request&) { return 0; });   // "Use JPG Format"
    sheet.onImportAction();
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(settings.renderEngineType(), 1);
    EXPECT_EQ(settings.importPageRange(), QStringLiteral("2-3"));
    ASSERT_TRUE(waitFor([&] { return ended >= 0; }, 60000));
    EXPECT_EQ(ended, 1);
    ASSERT_TRUE(imported.pageSource);
    EXPECT_EQ(imported.pageSource->pages().size(), 2);
    EXPECT_TRUE(imported.pageLinks);
    EXPECT_EQ(firstPage, QSize(400, 500));   // the document's first page size, whatever the range
    EXPECT_EQ(settings.lastOutputFileName(), QStringLiteral("my"));
    EXPECT_EQ(imported.pageSource.use_count(), 1);   // handed over and let go
}

} // namespace
