#include "AppTestSupport.h"
#include "app/sheets/AdvancedSetting.h"

using AppTestSupport::AlertAnswers;

namespace {

class PublishSheetTest : public ::testing::Test {
protected:
    void SetUp() override { AppTestSupport::freshSettings(); }
};

// The name, extension and options follow the kind; the advanced sheet carries the title both ways.
TEST_F(PublishSheetTest, NameExtensionOptionsAndTheAdvancedSheet) {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setOutputType(7);   // out of range: the HTML folder
    OutputWindowDelegate sheet;
    EXPECT_EQ(sheet.mOutputType()->checkedId(), 0);
    const auto kind = [&](int tag) {   // name, then whether a mobile version and the advanced sheet are offered
        sheet.mOutputType()->button(tag)->click();
        return QStringLiteral("%1%2 %3 %4").arg(sheet.txtOutputName()->text(), sheet.ExFileName()->text())
            .arg(sheet.btnMakeMobileVersion()->isEnabled()).arg(!sheet.btnAdvanced()->isHidden());
    };
    EXPECT_EQ(kind(2), QStringLiteral("Quirevale.zip 1 1"));
    EXPECT_EQ(kind(0), QStringLiteral("Index.html 1 1"));
    EXPECT_EQ(kind(1), QStringLiteral("Quirevale.app 0 0"));   // a bundle has neither
    settings.setLastOutputFileName(QStringLiteral("report"));
    sheet.txtOutputName()->setText(QStringLiteral("typed"));
    EXPECT_EQ(kind(0), QStringLiteral("report.html 1 1"));   // a stored name comes back whenever the kind changes

    sheet.txtTitle()->setText(QStringLiteral("My Book"));
    sheet.onAdvanced();
    AdvancedSetting* advanced = sheet.advancedSetting();
    ASSERT_TRUE(advanced);
    EXPECT_EQ(advanced->txtPageTitle()->text(), QStringLiteral("My Book"));
    advanced->txtPageTitle()->setText(QStringLiteral("Better Title"));
    advanced->txtPageWords()->setText(QStringLiteral("leaf"));
    advanced->onOKClick();
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Better Title"));
    EXPECT_EQ(settings.lastOutputKeyWords(), QStringLiteral("leaf"));
    sheet.onAdvanced();   // made anew after every end
    ASSERT_TRUE(sheet.advancedSetting());
    sheet.advancedSetting()->txtPageTitle()->setText(QStringLiteral("Ignored"));
    sheet.advancedSetting()->onCancelClick();
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Better Title"));
    EXPECT_EQ(settings.lastOutputFileTitle(), QStringLiteral("Better Title"));
}

// Empty fields are offered defaults; "Go Back", a folder that cannot be made or a folder without
// a book publish nothing.
TEST_F(PublishSheetTest, EmptyFieldsNoFolderOrNoBookPublishNothing) {
    OutputWindowDelegate sheet;
    int published = 0;
    QObject::connect(&sheet, &OutputWindowDelegate::bookPublished, [&] { ++published; });
    sheet.txtOutputName()->clear();
    sheet.txtTitle()->clear();
    {
        AlertAnswers answers([](const AppAlert::Request&) { return 1; });   // "Default Input"
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
    EXPECT_TRUE(sheet.txtOutputName()->text().isEmpty());
    EXPECT_EQ(AppSettings::shareInstance().lastOutputFileName(), QStringLiteral("Quirevale"));   // nothing stored

    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath(QStringLiteral("file")), "x");
    sheet.txtOutputName()->setText(QStringLiteral("Index"));
    for (const QString& folder : {dir.filePath(QStringLiteral("file/inside")), dir.path()}) {
        sheet.txtOutputFolder()->setText(folder);
        AlertAnswers answers;
        sheet.onPublish();
        EXPECT_EQ(answers.asked.size(), 1u) << folder.toStdString();
    }
    EXPECT_EQ(published, 0);
}

// The title offered is the book's; an empty one may be ignored. The book goes into a folder made
// for it, its mobile version shows the book's title, and the sheet offers to open it.
TEST_F(PublishSheetTest, PublishesIntoANewFolderWithTheBooksTitle) {
    QTemporaryDir dir;
    const Book book{AppTestSupport::demoPages(1), std::make_shared<FlashTemplate>(FlashTemplate::Empty{})};
    book.flashTemplate->loadTemplate(QStringLiteral("Neat"));
    OutputWindowDelegate sheet;
    sheet.setBook(book, QStringLiteral("report"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("report"));
    book.flashTemplate->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Shelf"));
    sheet.setBook(book, QStringLiteral("report"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Shelf"));
    sheet.txtTitle()->setText(QStringLiteral("Typed"));
    sheet.setBook(book, QStringLiteral("report"));
    EXPECT_EQ(sheet.txtTitle()->text(), QStringLiteral("Typed"));   // a typed title stays

    const QString folder = dir.filePath(QStringLiteral("out/new/book"));
    sheet.txtOutputFolder()->setText(folder);
    sheet.txtTitle()->clear();
    sheet.btnMakeMobileVersion()->setChecked(true);
    QString published;
    QObject::connect(&sheet, &OutputWindowDelegate::bookPublished, [&](const QString& file) { published = file; });
    AlertAnswers answers([](const AppAlert::Request& r) { return r.buttons.first() == QLatin1String("Ignore") ? 0 : 1; });
    sheet.onPublish();
    ASSERT_EQ(answers.asked.size(), 2u);   // the empty title, the offer to open
    EXPECT_EQ(published, folder + QStringLiteral("/Index.html"));
    EXPECT_EQ(sheet.result(), 1);
    EXPECT_TRUE(AppSettings::shareInstance().lastOutputFileTitle().isEmpty());
    const QByteArray mobile = TestSupport::readFile(folder + QStringLiteral("/mobile/index.html"));
    EXPECT_TRUE(mobile.contains("bookConfig.bookTitle=\"Shelf\";")) << mobile.left(600).toStdString();
}

} // namespace
