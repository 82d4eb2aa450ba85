#include "app/sheets/AdvancedSetting.h"
#include "AppTestSupport.h"
#include "app/sheets/OutputWindowDelegate.h"
#include "pages/FlashPageSourceImg.h"
#include "templates/FlashTemplate.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using AppTestSupport::AlertAnswers;

namespace {

class PublishSheetTest : public ::testing::Test {
protected:
    void SetUp() override { AppTestSupport::freshSettings(); }
    int kind(OutputWindowDelegate& sheet, int tag) {
        sheet.mOutputType()->button(tag)->click();
        return tag;
    }
};

TEST_F(PublishSheetTest, NameAndExtensionFollowTheKind) {
    OutputWindowDelegate sheet;
    EXPECT_EQ(sheet.mOutputType()->checkedId(), 0);
    EXPECT_EQ(sheet.txtOutputName()->text(), QStringLiteral("Index"));
    EXPECT_EQ(sheet.ExFileName()->text(), QStringLiteral(".html"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Demo"));
    EXPECT_EQ(sheet.txtOutputFolder()->text(), OutputWindowDelegate::defaultOutputFolder());
    kind(sheet, 2);
    EXPECT_EQ(sheet.txtOutputName()->text(), QStringLiteral("Quirevale"));
    EXPECT_EQ(sheet.ExFileName()->text(), QStringLiteral(".zip"));
    kind(sheet, 0);
    EXPECT_EQ(sheet.txtOutputName()->text(), QStringLiteral("Index"));

    // A stored name comes back whenever the kind changes; a typed one is replaced.
    EXPECT_EQ(OutputWindowDelegate::nameFieldFor(2, QStringLiteral("report"), QStringLiteral("typed")), QStringLiteral("report"));
    EXPECT_EQ(OutputWindowDelegate::nameFieldFor(0, QString(), QStringLiteral("typed")), QStringLiteral("Index"));
    EXPECT_EQ(OutputWindowDelegate::nameFieldFor(1, QStringLiteral("report"), QString()), QStringLiteral("Quirevale"));
}

TEST_F(PublishSheetTest, BundleKindTurnsOffMobileAndAdvanced) {
    AppSettings::shareInstance().setOutputType(7);   // out of range: the HTML folder
    OutputWindowDelegate sheet;
    EXPECT_EQ(sheet.mOutputType()->checkedId(), 0);
    kind(sheet, 1);
    EXPECT_FALSE(sheet.btnMakeMobileVersion()->isEnabled());
    EXPECT_FALSE(sheet.btnMobileTmplName()->isEnabled());
    EXPECT_TRUE(sheet.btnAdvanced()->isHidden());
    EXPECT_EQ(sheet.ExFileName()->text(), QStringLiteral(".app"));
    kind(sheet, 2);
    EXPECT_TRUE(sheet.btnMakeMobileVersion()->isEnabled());
    EXPECT_FALSE(sheet.btnAdvanced()->isHidden());
}

TEST_F(PublishSheetTest, DefaultInputFillsAndGoBackKeepsTheSheet) {
    OutputWindowDelegate sheet;
    int published = 0;
    QObject::connect(&sheet, &OutputWindowDelegate::bookPublished, [&] { ++published; });
    sheet.txtOutputName()->clear();
    sheet.txtTitle()->clear();
    {
        AlertAnswers answers([](const AppAlert::Request&) { return 1; });
        sheet.onPublish();
        ASSERT_EQ(answers.asked.size(), 1u);
    }
    EXPECT_EQ(sheet.txtOutputName()->text(), QStringLiteral("Index"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Demo"));
    sheet.txtOutputName()->clear();
    {
        AlertAnswers answers([](const AppAlert::Request&) { return 0; });   // "Go Back"
        sheet.onPublish();
    }
    EXPECT_EQ(published, 0);
    EXPECT_TRUE(sheet.txtOutputName()->text().isEmpty());
    EXPECT_EQ(AppSettings::shareInstance().lastOutputFileName(), QStringLiteral("Quirevale"));   // nothing stored
}

TEST_F(PublishSheetTest, FolderThatCannotBeMadeWarns) {
    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath(QStringLiteral("file")), "x");
    OutputWindowDelegate sheet;
    sheet.txtOutputFolder()->setText(dir.filePath(QStringLiteral("file/inside")));
    AlertAnswers answers;
    sheet.onPublish();
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(AppSettings::shareInstance().lastOutputFileFolder(), dir.filePath(QStringLiteral("file/inside")));
}

TEST_F(PublishSheetTest, NoBookIsRefusedWithAReason) {
    QTemporaryDir dir;
    OutputWindowDelegate sheet;
    sheet.txtOutputFolder()->setText(dir.path());
    int published = 0;
    QObject::connect(&sheet, &OutputWindowDelegate::bookPublished, [&] { ++published; });
    AlertAnswers answers;
    sheet.onPublish();
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].informativeText, QStringLiteral("There is no book to publish."));
    EXPECT_EQ(published, 0);
}

TEST_F(PublishSheetTest, PublishesIntoANewFolderAndOffersToOpen) {
    QTemporaryDir dir;
    QImage page(300, 400, QImage::Format_RGB32);
    page.fill(Qt::darkCyan);
    auto pages = std::make_shared<FlashPageSourceImg>();
    for (int i = 1; i <= 2; ++i) {
        const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(i));
        ASSERT_TRUE(page.save(path));
        pages->addImgPageFromFile(path);
    }
    auto tmpl = std::make_shared<FlashTemplate>(FlashTemplate::Empty{});
    tmpl->loadTemplate(QStringLiteral("Neat"));

    OutputWindowDelegate sheet;
    sheet.setBook({pages, tmpl});
    const QString folder = dir.filePath(QStringLiteral("out/new/book"));
    sheet.txtOutputFolder()->setText(folder);
    sheet.txtTitle()->clear();
    AlertAnswers answers([](const AppAlert::Request& r) { return r.buttons.first() == QLatin1String("Ignore") ? 0 : 1; });
    sheet.onPublish();
    ASSERT_EQ(answers.asked.size(), 2u);
    EXPECT_EQ(sheet.lastOutputFile(), folder + QStringLiteral("/Index.html"));
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/files/book.bin")));
    EXPECT_EQ(sheet.result(), 1);
    EXPECT_TRUE(AppSettings::shareInstance().lastOutputFileTitle().isEmpty());
}

TEST_F(PublishSheetTest, TheTitleOfferedIsTheBooksAndTheMobileBookShowsItToo) {
    QTemporaryDir dir;
    QImage image(300, 400, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("p.jpg"))));
    auto pages = std::make_shared<FlashPageSourceImg>();
    pages->addImgPageFromFile(dir.filePath(QStringLiteral("p.jpg")));
    auto tmpl = std::make_shared<FlashTemplate>(FlashTemplate::Empty{});
    tmpl->loadTemplate(QStringLiteral("Neat"));

    OutputWindowDelegate sheet;
    sheet.setBook({pages, tmpl}, QStringLiteral("report"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("report"));
    tmpl->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Shelf"));
    sheet.setBook({pages, tmpl}, QStringLiteral("report"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Shelf"));
    sheet.txtTitle()->setText(QStringLiteral("Typed"));
    sheet.setBook({pages, tmpl}, QStringLiteral("report"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Typed"));   // a typed title stays

    sheet.txtOutputFolder()->setText(dir.filePath(QStringLiteral("out")));
    sheet.btnMakeMobileVersion()->setChecked(true);
    AlertAnswers answers([](const AppAlert::Request&) { return 1; });
    sheet.onPublish();
    const QByteArray mobile = TestSupport::readFile(dir.filePath(QStringLiteral("out/mobile/index.html")));
    EXPECT_TRUE(mobile.contains("bookConfig.bookTitle=\"Shelf\";")) << mobile.left(600).toStdString();
}

TEST_F(PublishSheetTest, AdvancedSheetCarriesTheTitleBothWays) {
    OutputWindowDelegate sheet;
    sheet.txtTitle()->setText(QStringLiteral("My Book"));
    sheet.onAdvanced();
    AdvancedSetting* advanced = sheet.advancedSetting();
    ASSERT_TRUE(advanced);
    EXPECT_EQ(advanced->txtPageTitle()->text(), QStringLiteral("My Book"));
    EXPECT_EQ(advanced->txtScriptInput()->toPlainText(), AppSettings::defaultAddScript());
    advanced->txtPageTitle()->setText(QStringLiteral("Better Title"));
    advanced->txtPageWords()->setText(QStringLiteral("leaf"));
    advanced->onOKClick();
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Better Title"));
    const AppSettings& settings = AppSettings::shareInstance();
    EXPECT_EQ(settings.lastOutputKeyWords(), QStringLiteral("leaf"));
    EXPECT_EQ(settings.isAdvancedModify(), 1);
    EXPECT_TRUE(settings.isWindowRollUp() & 4);

    sheet.onAdvanced();   // made anew after every end
    ASSERT_TRUE(sheet.advancedSetting());
    sheet.advancedSetting()->txtPageTitle()->setText(QStringLiteral("Ignored"));
    sheet.advancedSetting()->onCancelClick();
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Better Title"));
    EXPECT_EQ(settings.lastOutputFileTitle(), QStringLiteral("Better Title"));
}

} // namespace
