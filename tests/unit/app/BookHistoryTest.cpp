// Undo and redo of setting edits and book changes, and the book kept between runs.
#include "AppTestSupport.h"

namespace {

// A three-page book standing in for an imported PDF.
BookState importedBook(const LeafMillAppDelegate& app) {
    BookState state;
    state.book.pageSource = AppTestSupport::demoPages(3);
    state.book.flashTemplate = app.flashTmpl();
    state.bookName = QStringLiteral("report");
    state.pageWidth = QStringLiteral("612");
    state.pageHeight = QStringLiteral("792");
    return state;
}

class BookHistoryTest : public AppTestSupport::AppTest {
protected:
    void edit(const QString& key, const QString& text) {
        ASSERT_TRUE(app->tmplDelegate()->setObjectValue(text, app->flashTmpl()->propertyForKey(key)));
    }
};

TEST_F(BookHistoryTest, EditsAndAnImportGoBackAndForthAndTheBookIsKeptUntilNewBook) {
    const QStringList keys = {QStringLiteral("bookTitle"), QStringLiteral("flipDuration"), QStringLiteral("backgroundColor")};
    QStringList before;
    for (const QString& key : keys) before << value(key);
    EXPECT_FALSE(app->window()->actUndo->isEnabled());
    edit(keys[0], QStringLiteral("Annual report"));
    edit(keys[1], QStringLiteral("900"));
    edit(keys[2], QStringLiteral("0x102030"));
    app->changeBook(importedBook(*app), QStringLiteral("Import"));
    EXPECT_EQ(app->flashPageSource()->pages().size(), 3);
    EXPECT_EQ(app->window()->actUndo->text(), QStringLiteral("Undo Import"));

    app->onTimerCheckRefresh();
    app->window()->actUndo->trigger();
    EXPECT_TRUE(app->currentBookState().isDemo);
    EXPECT_EQ(value(QStringLiteral("pageWidth")), QStringLiteral("1080"));
    EXPECT_TRUE(AppTestSupport::refreshRebuildsPreview(*app));
    for (int step = 2; step >= 0; --step) {
        app->window()->actUndo->trigger();
        EXPECT_EQ(value(keys[step]), before[step]) << keys[step].toStdString();
        const QModelIndex shown = app->tmplDelegate()->indexOf(app->flashTmpl()->propertyForKey(keys[step]), 1);
        EXPECT_EQ(shown.data().toString(), before[step]);
    }
    EXPECT_FALSE(app->window()->actUndo->isEnabled());

    for (int step = 0; step < 4; ++step) app->window()->actRedo->trigger();
    EXPECT_EQ(value(keys[0]), QStringLiteral("Annual report"));
    EXPECT_EQ(value(keys[2]), QStringLiteral("0x102030"));
    EXPECT_EQ(value(QStringLiteral("pageWidth")), QStringLiteral("612"));
    EXPECT_EQ(app->currentBookState().bookName, QStringLiteral("report"));
    EXPECT_FALSE(app->window()->actRedo->isEnabled());

    for (int n = 1; n <= 60; ++n) edit(QStringLiteral("flipDuration"), QString::number(n));   // at least fifty steps kept
    for (int n = 0; n < 50; ++n) app->undoStack()->undo();
    EXPECT_EQ(value(QStringLiteral("flipDuration")), QStringLiteral("10"));

    // The imported book comes back at the next start, also when the run ended without a quit.
    for (const bool quit : {false, true}) {
        if (quit) app->applicationWillTerminate();
        app = std::make_unique<LeafMillAppDelegate>(false);   // a killed run never quits
        app->applicationDidFinishLaunching();
        EXPECT_FALSE(app->currentBookState().isDemo);
        EXPECT_EQ(app->flashPageSource()->pages().size(), 3);
        EXPECT_EQ(app->currentBookState().bookName, QStringLiteral("report"));
        EXPECT_EQ(value(QStringLiteral("pageHeight")), QStringLiteral("792"));
    }
    app->window()->actNewBook->trigger();
    EXPECT_TRUE(app->currentBookState().isDemo);
    EXPECT_FALSE(QFileInfo::exists(KeptBook::defaultFolder()));
    app->window()->actUndo->trigger();   // New Book is undone like any change, and kept again
    EXPECT_EQ(app->flashPageSource()->pages().size(), 3);
    EXPECT_TRUE(QFileInfo::exists(KeptBook::defaultFolder()));
}

} // namespace
