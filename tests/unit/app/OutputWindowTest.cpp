#include "app/sheets/AdvancedSetting.h"
#include "AppTestSupport.h"
#include "app/sheets/OutputWindowDelegate.h"
#include "output/Book.h"
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

// A book of plain pictures in the Neat template.
Book pictureBook(const QTemporaryDir& dir, int pageCount) {
    QImage image(300, 400, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    auto pages = std::make_shared<FlashPageSourceImg>();
    for (int i = 1; i <= pageCount; ++i) {
        const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(i));
        image.save(path);
        pages->addImgPageFromFile(path);
    }
    auto tmpl = std::make_shared<FlashTemplate>(FlashTemplate::Empty{});
    tmpl->loadTemplate(QStringLiteral("Neat"));
    return {pages, tmpl};
}

class PublishSheetTest : public ::testing::Test {
protected:
    void SetUp() override { AppTestSupport::freshSettings(); }
};

TEST_F(PublishSheetTest, NameExtensionAndOptionsFollowTheKind) {
    AppSettings::shareInstance().setOutputType(7);   // out of range: the HTML folder
    OutputWindowDelegate sheet;
    EXPECT_EQ(sheet.mOutputType()->checkedId(), 0);
    const auto kind = [&](int tag) {
        sheet.mOutputType()->button(tag)->click();
        return sheet.txtOutputName()->text() + sheet.ExFileName()->text();
    };
    EXPECT_EQ(kind(2), QStringLiteral("Quirevale.zip"));
    EXPECT_EQ(kind(0), QStringLiteral("Index.html"));
    EXPECT_EQ(kind(1), QStringLiteral("Quirevale.app"));
    EXPECT_FALSE(sheet.btnMakeMobileVersion()->isEnabled());   // a bundle has neither
    EXPECT_TRUE(sheet.btnAdvanced()->isHidden());
    kind(2);
    EXPECT_TRUE(sheet.btnMakeMobileVersion()->isEnabled());
    EXPECT_FALSE(sheet.btnAdvanced()->isHidden());

    // A stored name comes back whenever the kind changes; a typed one is replaced.
    EXPECT_EQ(OutputWindowDelegate::nameFieldFor(2, QStringLiteral("report"), QStringLiteral("typed")), QStringLiteral("report"));
    EXPECT_EQ(OutputWindowDelegate::nameFieldFor(0, QString(), QStringLiteral("typed")), QStringLiteral("Index"));
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

TEST_F(PublishSheetTest, NoFolderOrNoBookIsRefused) {
    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath(QStringLiteral("file")), "x");
    OutputWindowDelegate sheet;
    int published = 0;
    QObject::connect(&sheet, &OutputWindowDelegate::bookPublished, [&] { ++published; });
    for (const QString& folder : {dir.filePath(QStringLiteral("file/inside")), dir.path()}) {
        sheet.txtOutputFolder()->setText(folder);
        AlertAnswers answers;
        sheet.onPublish();
        EXPECT_EQ(answers.asked.size(), 1u) << folder.toStdString();
    }
    EXPECT_EQ(published, 0);
}

TEST_F(PublishSheetTest, PublishesIntoANewFolderAndOffersToOpen) {
    QTemporaryDir dir;
    OutputWindowDelegate sheet;
    sheet.setBook(pictureBook(dir, 2));
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
    const Book book = pictureBook(dir, 1);
    OutputWindowDelegate sheet;
    sheet.setBook(book, QStringLiteral("report"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("report"));
    book.flashTemplate->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Shelf"));
    sheet.setBook(book, QStringLiteral("report"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Shelf"));
    sheet.txtTitle()->setText(QStringLiteral("Typed"));
    sheet.setBook(book, QStringLiteral("report"));
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
    advanced->txtPageTitle()->setText(QStringLiteral("Better Title"));
    advanced->txtPageWords()->setText(QStringLiteral("leaf"));
    advanced->onOKClick();
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Better Title"));
    const AppSettings& settings = AppSettings::shareInstance();
    EXPECT_EQ(settings.lastOutputKeyWords(), QStringLiteral("leaf"));

    sheet.onAdvanced();   // made anew after every end
    ASSERT_TRUE(sheet.advancedSetting());
    sheet.advancedSetting()->txtPageTitle()->setText(QStringLiteral("Ignored"));
    sheet.advancedSetting()->onCancelClick();
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Better Title"));
    EXPECT_EQ(settings.lastOutputFileTitle(), QStringLiteral("Better Title"));
}

} // namespace
