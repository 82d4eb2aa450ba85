// Every menu and toolbar command of both editions, triggered one after another: each one that is
// enabled must show something (a window, a dialog, an alert, a web page), change the book, its
// settings, the history or the preview, or end the run. A command not built yet must be disabled.
#include "AppTestSupport.h"
#include "app/FolioPressProAppDelegate.h"
#include "app/preview/PreviewStage.h"
#include "templates/FlashTemplateProperty.h"
#include "util/AppIdentity.h"

#include <QDesktopServices>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWidgetAction>

namespace {

// Takes the addresses the application asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { for (const char* scheme : kSchemes) QDesktopServices::setUrlHandler(scheme, this, "open"); }
    ~UrlCatcher() override { for (const char* scheme : kSchemes) QDesktopServices::unsetUrlHandler(scheme); }
    static constexpr const char* kSchemes[] = {"http", "https", "file", "mailto"};
    int opened = 0;
public slots:
    void open(const QUrl&) { ++opened; }
};

// Menu commands in menu order, then those only in a toolbar or behind a tool button.
QList<QAction*> everyCommand(MainWindow* window) {
    QList<QAction*> actions;
    const auto add = [&](QAction* a) {   // widgets in a bar: their own actions, through their buttons
        if (a && !a->isSeparator() && !qobject_cast<QWidgetAction*>(a) && !actions.contains(a)) actions << a;
    };
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            EXPECT_FALSE(a->text().contains(QLatin1String("LeafMill"))) << a->text().toStdString();   // the short name never shows
            a->menu() ? walk(a->menu()) : add(a);
        }
    };
    for (QAction* top : window->menuBar()->actions())
        if (top->menu()) walk(top->menu());
    for (QToolBar* bar : window->findChildren<QToolBar*>())
        for (QAction* a : bar->actions()) add(a);
    for (QToolButton* button : window->findChildren<QToolButton*>()) add(button->defaultAction());
    return actions;
}

// What a command can change, in one comparable text.
QString stateOf(LeafMillAppDelegate& app) {
    const BookState state = app.currentBookState();
    const Book& book = state.book;
    QStringList parts{QString::asprintf("%p %p %p %p", book.pageSource.get(), book.flashTemplate.get(), book.outline.get(),
                                        book.pageLinks.get()), state.bookName};
    parts << QString::asprintf("%d %d %d", app.undoStack()->index(), app.undoStack()->count(), app.window()->previewStage()->isPhone());
    app.flashTmpl()->forEachProperty([&](FlashTemplateProperty& pro) { parts << pro.key() + QLatin1Char('=') + pro.value(); });
    return parts.join(QLatin1Char('\n'));
}

QSet<QWidget*> shownWindows() {
    QSet<QWidget*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) shown.insert(widget);
    return shown;
}

void walkEveryCommand(LeafMillAppDelegate& app) {
    AppTestSupport::AlertAnswers alerts([](const AppAlert::Request& r) { return int(r.buttons.size()) - 1; });
    UrlCatcher urls;
    int modals = 0;
    QTimer closer;   // answers every modal dialog by cancelling it
    QObject::connect(&closer, &QTimer::timeout, [&modals] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        ++modals;
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        else modal->close();
    });
    closer.start(50);
    // One edit first, so Undo has something to undo and Redo then something to redo.
    FlashTemplateProperty* title = app.flashTmpl()->propertyForKey(QStringLiteral("bookTitle"));
    ASSERT_TRUE(app.tmplDelegate()->setObjectValue(QStringLiteral("Walked"), title));
    app.onTimerCheckRefresh();   // the start's preview
    const QString previewBook = app.flashPreviewFolder() + QStringLiteral("/files/book.bin");
    const QSet<QWidget*> baseline = shownWindows();

    for (QAction* action : everyCommand(app.window())) {
        const QString name = action->text();
        if (!action->isEnabled()) continue;   // not built yet: disabled, never dead
        const QString before = stateOf(app);
        app.onTimerCheckRefresh();
        QFile::remove(previewBook);
        const int alertsBefore = int(alerts.asked.size()), urlsBefore = urls.opened, modalsBefore = modals;
        QTimer::singleShot(0, action, &QAction::trigger);
        QTimer::singleShot(300, [] { QCoreApplication::exit(42); });
        const bool endedTheRun = QApplication::exec() != 42;
        QSet<QWidget*> opened = shownWindows() - baseline;
        for (QWidget* window : opened) window->close();
        if (!endedTheRun) app.onTimerCheckRefresh();   // a rebuild asked for is a rebuild
        const bool didSomething = endedTheRun || !opened.isEmpty() || modals > modalsBefore ||
                                  int(alerts.asked.size()) > alertsBefore || urls.opened > urlsBefore ||
                                  stateOf(app) != before || QFileInfo::exists(previewBook);
        EXPECT_TRUE(didSomething) << name.toStdString() << " is enabled but does nothing";
        if (endedTheRun) AppTestSupport::pause(400);   // let the pending exit timer pass
    }
}

// Each edition has its own name and settings file, in the settings folder they share.
TEST(MenuWalk, EveryEnabledCommandOfBothEditionsDoesSomething) {
    const struct { bool second; const char* title; const char* settingsFile; } editions[] = {
        {false, "Leaf Mill for Mac", "Quirevale/LeafMill/tmpl_LeafMill.cfg"},
        {true, "Folio Press Pro for Mac", "Quirevale/LeafMill/tmpl_LeafMillPro.cfg"}};
    for (const auto& e : editions) {
        AppTestSupport::freshSettings();
        std::unique_ptr<LeafMillAppDelegate> app = e.second ? std::make_unique<FolioPressProAppDelegate>(false)
                                                            : std::make_unique<LeafMillAppDelegate>(false);
        app->applicationDidFinishLaunching();
        EXPECT_EQ(app->window()->windowTitle(), QLatin1String(e.title));
        EXPECT_TRUE(app->savedTemplateSettingsFile().endsWith(QLatin1String(e.settingsFile))) << e.settingsFile;
        walkEveryCommand(*app);
        app->applicationWillTerminate();
    }
    AppIdentity::setAppName(QStringLiteral("Leaf Mill for Mac"));
    AppIdentity::setAppShortName(QStringLiteral("LeafMill"));
}

} // namespace

#include "MenuWalkTest.moc"
