#include "AppTestSupport.h"
#include "app/settings-editor/FlashTmplCellDelegate.h"
#include "app/settings-editor/FlashTmplColorCell.h"
#include "app/sheets/FlashLanguageWindowController.h"
#include "util/NotificationCenter.h"

#include <QTableWidget>
#include <QTreeView>

namespace {

FlashTemplateProperty* add(FlashTemplateProperty* parent, FlashTemplate& tmpl, const QString& key, int type,
                           const QString& value, const QString& source = {}) {
    auto pro = std::make_unique<FlashTemplateProperty>();
    pro->setKey(key);
    pro->setTitle(key + QStringLiteral(" title"));
    pro->setPropertyType(type);
    pro->setValue(value);
    pro->setValueSource(source);
    if (parent) return parent->appendChild(std::move(pro));
    tmpl.properties().push_back(std::move(pro));
    return tmpl.properties().back().get();
}

struct OutlineView : QTreeView {
    bool editing() const { return state() == QAbstractItemView::EditingState; }
};

class SettingsEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        group = add(nullptr, tmpl, QStringLiteral("look"), pt_composite, QStringLiteral("g"));
        text = add(group, tmpl, QStringLiteral("title"), pt_text, QStringLiteral("Hello"));
        number = add(group, tmpl, QStringLiteral("flipTime"), pt_number, QStringLiteral("600"));
        color = add(group, tmpl, QStringLiteral("bgColor"), pt_color, QStringLiteral("0x336699"));
        list = add(group, tmpl, QStringLiteral("align"), pt_list, QStringLiteral("Center"), QStringLiteral("Left,Center,Right"));
        sw = add(group, tmpl, QStringLiteral("showLogo"), pt_bool, QStringLiteral("SHOW"));
        file = add(nullptr, tmpl, QStringLiteral("logo"), pt_file, QString(), QStringLiteral("Images|*.jpg;*.png"));
        editor.setFlashTmpl(&tmpl);
        QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::notified, &receiver,
                         [this](const QString& name) { if (name == FlashTmplProValueChangedNotification) ++changes; });
    }

    FlashTemplate tmpl{FlashTemplate::Empty{}};
    FlashTemplateOutlineDelegate editor;
    QObject receiver;
    int changes = 0;
    FlashTemplateProperty *group, *text, *number, *color, *list, *sw, *file;
};

TEST_F(SettingsEditorTest, TreeAndShownValuesFollowTheTemplate) {
    const QModelIndex look = editor.index(0, 0);
    EXPECT_EQ(QList<int>({editor.rowCount(), editor.rowCount(look), FlashTemplateOutlineDelegate().rowCount()}), QList<int>({2, 5, 0}));
    EXPECT_EQ(editor.propertyAt(editor.index(3, 1, look)), list);
    EXPECT_EQ(editor.parent(editor.index(3, 1, look)), look);
    EXPECT_EQ(editor.objectValue(text, 0).toString(), QStringLiteral("title title"));
    text->setTitle(QString());
    EXPECT_EQ(editor.objectValue(text, 0).toString(), QStringLiteral("(Untitled)"));
    EXPECT_EQ(editor.objectValue(sw, 1).toInt(), 1);   // "SHOW" reads as a ticked box
    number->setValue(QString());
    EXPECT_EQ(editor.objectValue(number, 1).toString(), QStringLiteral("(Unknown)"));
    EXPECT_EQ(editor.data(editor.indexOf(list, 1), Qt::DisplayRole).toString(), QStringLiteral("Center"));
    list->setValue(QStringLiteral("Middle"));   // not a choice: nothing selected
    EXPECT_EQ(editor.data(editor.indexOf(list, 1), Qt::DisplayRole).toString(), QString());
}

TEST_F(SettingsEditorTest, EditsBecomeValueTextsAndAnnounceRealChanges) {
    EXPECT_TRUE(editor.setObjectValue(2, list));
    EXPECT_EQ(list->value(), QStringLiteral("Right"));
    EXPECT_TRUE(editor.setData(editor.indexOf(sw, 1), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(sw->value(), QStringLiteral("NO"));
    EXPECT_TRUE(editor.setObjectValue(true, sw));
    EXPECT_EQ(sw->value(), QStringLiteral("YES"));
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 3);

    EXPECT_FALSE(editor.setObjectValue(QStringLiteral("Hello"), text));   // the same text: nothing
    EXPECT_FALSE(editor.setObjectValue(QStringLiteral("x"), text, 0));    // titles are not edited
    EXPECT_TRUE(editor.setObjectValue(QString(), file));                 // an absent value always differs
    EXPECT_TRUE(editor.setObjectValue(QStringLiteral("0xFF0000"), color)); // colour text kept as typed
    EXPECT_EQ(color->value(), QStringLiteral("0xFF0000"));
    QCoreApplication::processEvents();
    EXPECT_EQ(changes, 5);

    // A group heading holds no value: nothing to type, nothing stored, a stale one not shown.
    const QModelIndex heading = editor.indexOf(group, 1);
    EXPECT_FALSE(editor.flags(heading) & Qt::ItemIsEditable);
    EXPECT_FALSE(editor.setObjectValue(QStringLiteral("typed"), group));
    EXPECT_EQ(group->value(), QStringLiteral("g"));
    EXPECT_EQ(editor.data(heading, Qt::DisplayRole).toString(), QString());
}

// File filters, where a click lands in a cell, the cell each type gets, and a selection that opens
// only text and number values for typing.
TEST_F(SettingsEditorTest, CellsAndSelection) {
    const struct { const char* filter; QStringList extensions; } filters[] = {
        {"Images|*.jpg;*.png", {"jpg", "png"}}, {"*.jpg; *.png", {"jpg", "png"}}, {"Movies|*.mp4", {"mp4"}}, {"", {}}};
    for (const auto& f : filters) EXPECT_EQ(FileChooser::extensionsIn(QLatin1String(f.filter)), f.extensions) << f.filter;
    FlashTmplBtnCell cell;
    const QRect frame(100, 20, 200, 18);
    EXPECT_EQ(cell.hitTest(QPoint(290, 27), frame, QSize(50, 14)), FlashTmplCell::HitTrackableButton);
    EXPECT_EQ(cell.hitTest(QPoint(110, 25), frame, QSize(50, 14)), FlashTmplCell::HitEditableText);
    EXPECT_EQ(cell.hitTest(QPoint(250, 25), frame, QSize(50, 14)), FlashTmplCell::HitNone);
    EXPECT_EQ(cell.textFrame(QRect(0, 0, 10, 18), QSize(50, 14)).width(), 0);   // never negative
    FlashTmplColorCell colour;
    colour.setColor2(QColor(0, 255, 0));
    EXPECT_EQ(colour.text(), QStringLiteral("0x00ff00"));
    FlashTmplCellDelegate cells(&editor);
    auto colourCell = cells.buttonCellFor(editor.indexOf(color, 1));
    ASSERT_TRUE(colourCell);
    EXPECT_EQ(static_cast<FlashTmplColorCell*>(colourCell.get())->color(), QColor(0x33, 0x66, 0x99));
    color->setValue(QStringLiteral("#ff0000"));   // not hexadecimal: black
    EXPECT_EQ(static_cast<FlashTmplColorCell*>(cells.buttonCellFor(editor.indexOf(color, 1)).get())->color(), QColor(Qt::black));
    EXPECT_TRUE(cells.buttonCellFor(editor.indexOf(file, 1)));
    EXPECT_FALSE(cells.buttonCellFor(editor.indexOf(text, 1)));
    EXPECT_FALSE(cells.buttonCellFor(editor.indexOf(color, 0)));

    OutlineView view;
    view.setModel(&editor);
    view.setItemDelegate(&cells);
    view.expandAll();
    view.show();
    int tips = 0;
    QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::notified, &receiver,
                     [&](const QString& name) { if (name == UpdateFlashTmplProTipNotification) ++tips; });
    QObject::connect(view.selectionModel(), &QItemSelectionModel::currentChanged, &receiver,
                     [&] { editor.outlineViewSelectionDidChange(&view); });
    view.setCurrentIndex(editor.indexOf(color));
    EXPECT_FALSE(view.editing());
    view.setCurrentIndex(editor.indexOf(number));
    EXPECT_TRUE(view.editing());
    EXPECT_EQ(view.currentIndex(), editor.indexOf(number, 1));
    EXPECT_GE(tips, 2);
    view.setItemDelegate(nullptr);
}

// The settings editor's language button: OK writes the ticked names into the setting.
TEST(LanguageButton, OkStoresTheTickedLanguagesAndCancelKeepsTheValue) {
    AppTestSupport::freshSettings();
    FlashTemplate tmpl{FlashTemplate::Empty{}};
    FlashTemplateProperty* setting = add(nullptr, tmpl, QStringLiteral("languageSetting"), pt_form_language, QStringLiteral("English"));
    FlashTemplateOutlineDelegate editor;
    editor.setFlashTmpl(&tmpl);
    for (const bool ok : {false, true}) {
        FlashTmplBtnCell cell(setting);
        cell.setText(setting->value());
        QTimer::singleShot(0, [&editor, ok] {
            FlashLanguageWindowController* window = editor.languageContorller();
            const int french = window->tvLanguages()->findItems(QStringLiteral("French"), Qt::MatchExactly).first()->row();
            window->tvLanguages()->item(french, 0)->setCheckState(Qt::Checked);
            ok ? window->onOK() : window->onCanceld();
        });
        editor.onSelectLanguage(&cell);
        EXPECT_EQ(setting->value(), ok ? QStringLiteral("English;French") : QStringLiteral("English"));
    }
}

} // namespace
