#include "AppTestSupport.h"
#include "app/sheets/EditableLanguageItemTableView.h"
#include "app/sheets/FlashLanguageWindowController.h"
#include "language/LanguageFiles.h"

#include <QKeyEvent>

using AppTestSupport::AlertAnswers;

namespace {

QStringList rowNames(const FlashLanguageWindowController& window) {
    QStringList names;
    for (const FlashLanguageSettingItem& row : window.languages()) names << row.languageName;
    return names;
}

QString poolText(const QString& name) {
    return QString::fromUtf8(TestSupport::readFile(LanguageFiles::languageValuesPoolFolder() + name + ".xml"));
}

class LanguageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(LanguageFiles::languageValuesPoolFolder()).removeRecursively();
        AppTestSupport::freshSettings().setLanguageOrder(QStringLiteral("German;English"));
        window = std::make_unique<FlashLanguageWindowController>(QStringLiteral("French;German"));
    }
    std::unique_ptr<FlashLanguageWindowController> window;
};

TEST_F(LanguageWindowTest, OpensInTheSavedOrderDropsMoveRowsAndReturnOpensTheNextText) {
    ASSERT_GE(window->languages().size(), 5u);   // seeded from the shipped languages
    EXPECT_EQ(rowNames(*window).mid(0, 2), QStringList({"German", "English"}));
    EXPECT_EQ(window->checkedLanguageValue(), QStringLiteral("German;French"));   // list order
    EXPECT_EQ(window->currentLanguage().languageName(), QStringLiteral("French"));
    EXPECT_EQ(window->tvItems()->rowCount(), int(window->currentLanguage().metaItems().size()));
    AppTestSupport::saveShot(window.get(), QStringLiteral("e13-language-window.png"));

    const struct { int from, drop, landsAt; } drops[] = {{0, 3, 2}, {3, 0, 0}, {1, 1, 1}, {0, 5, 4}};
    for (const auto& d : drops) {
        const QStringList before = rowNames(*window);
        window->moveLanguageRow(d.from, d.drop);
        EXPECT_EQ(rowNames(*window)[d.landsAt], before[d.from]) << d.from << "->" << d.drop;
        EXPECT_EQ(window->tvLanguages()->currentRow(), d.landsAt);
    }
    window->saveLanguageOrder();
    EXPECT_EQ(AppSettings::shareInstance().languageOrder(), rowNames(*window).join(';'));

    // Return saves the text typed and opens the next row for typing.
    EditableLanguageItemTableView* items = window->tvItems();
    window->show();
    const QModelIndex first = items->model()->index(0, 1);
    items->setCurrentIndex(first);
    items->edit(first);
    auto* editor = qobject_cast<QLineEdit*>(items->indexWidget(first));
    ASSERT_TRUE(editor);
    editor->setText(QStringLiteral("Tout au début"));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(editor, &press);
    QCoreApplication::processEvents();
    EXPECT_EQ(items->currentIndex(), items->model()->index(1, 1));
    EXPECT_TRUE(items->indexWidget(items->currentIndex()));
    EXPECT_TRUE(poolText("French").contains(QStringLiteral("Tout au début")));
}

// Added, renamed, exported (under the file's name) and imported, deleted: each works on the pool.
TEST_F(LanguageWindowTest, AddRenameExportImportAndDeleteWorkOnThePool) {
    window->onAddLanguage();
    window->onAddLanguage();
    EXPECT_EQ(rowNames(*window).mid(rowNames(*window).size() - 2), QStringList({"Language1", "Language2"}));
    EXPECT_TRUE(poolText("Language2").contains(QStringLiteral("Première page")));   // a copy of French
    EXPECT_EQ(window->tvLanguages()->currentRow(), int(window->languages().size()) - 1);

    AlertAnswers refuse;
    window->renameSelectedLanguage(QStringLiteral("French"));   // taken: nothing is overwritten
    EXPECT_EQ(refuse.asked.size(), 1u);
    window->renameSelectedLanguage(QStringLiteral("Breton"));
    EXPECT_TRUE(poolText("Language2").isEmpty());
    EXPECT_TRUE(poolText("Breton").contains(QStringLiteral("<name>Breton</name>")));
    EXPECT_EQ(rowNames(*window).last(), QStringLiteral("Breton"));

    for (const int answer : {1, 0}) {   // "No" keeps it, "Delete" removes it
        AlertAnswers answers([answer](const AppAlert::Request&) { return answer; });
        window->onDeleteLanguage();
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_EQ(answers.asked[0].messageText, QStringLiteral("Sure to delete the selected language:Breton?"));
        EXPECT_EQ(rowNames(*window).contains(QStringLiteral("Breton")), answer == 1);
        EXPECT_EQ(poolText("Breton").isEmpty(), answer == 0);
    }
    QTemporaryDir dir;
    const QString current = window->currentLanguage().languageName();
    window->exportLanguageTo(dir.filePath(QStringLiteral("Picard")));
    EXPECT_TRUE(TestSupport::readFile(dir.filePath(QStringLiteral("Picard.xml"))).contains("<name>Picard</name>"));
    EXPECT_EQ(window->currentLanguage().languageName(), current);
    window->importLanguageFile(dir.filePath(QStringLiteral("Picard.xml")));
    EXPECT_TRUE(rowNames(*window).contains(QStringLiteral("Picard")));
    EXPECT_EQ(window->checkedLanguageValue(), QStringLiteral("German;French"));
}

} // namespace
