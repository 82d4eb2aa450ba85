#pragma once
#include <QAbstractItemModel>
#include <QStringList>
#include <memory>

class FlashLanguageWindowController;
class FlashTemplate;
class FlashTemplateProperty;
class QTreeView;
class FlashTmplCell;

inline const QString FlashTmplProValueChangedNotification = QStringLiteral("FlashTmplProValueChangedNotification");
inline const QString UpdateFlashTmplProTipNotification = QStringLiteral("UpdateFlashTmplProTipNotification");

// The settings editor's data: the current template's settings as a two-column tree ("key" shows
// the title, "value" the value) and the rules that turn an edit into a new value text.
class FlashTemplateOutlineDelegate : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { KeyColumn = 0, ValueColumn = 1 };

    explicit FlashTemplateOutlineDelegate(QObject* parent = nullptr);
    ~FlashTemplateOutlineDelegate() override;

    FlashTemplate* flashTmpl() const { return iFlashTmpl; }
    // Shows another template (or none); call it again after the template's tree was rebuilt.
    void setFlashTmpl(FlashTemplate* flashTmpl);

    FlashTemplateProperty* propertyAt(const QModelIndex& index) const;
    QModelIndex indexOf(FlashTemplateProperty* pro, int column = KeyColumn) const;

    // What a cell shows: the title, or by type 1/0 for a switch, the value, or "(Unknown)".
    QVariant objectValue(FlashTemplateProperty* pro, int column) const;
    // Turns an edit into the value text (a list index picks a choice, a switch gives "YES"/"NO")
    // and, when the text differs, stores it and announces the change. Answers whether it changed.
    bool setObjectValue(const QVariant& object, FlashTemplateProperty* pro, int column = ValueColumn);
    static QStringList listChoices(const FlashTemplateProperty& pro);

    // Announces the new selection; a text or number row opens its value for editing at once.
    void outlineViewSelectionDidChange(QTreeView* outlineView);

    // Button actions of the value cells; each ends by committing the cell's text.
    void onSelectFile(FlashTmplCell* cell);
    void onSelectColor(FlashTmplCell* cell);
    void onSelectLanguage(FlashTmplCell* cell);
    // Made by the first language choice and kept, with its state, for the next.
    FlashLanguageWindowController* languageContorller() const { return iLanguageContorller.get(); }

    // Shows a value changed outside the editor (an undo).
    void propertyValueChanged(const QString& key);

signals:
    // A committed edit changed the setting's value; oldValue is what it held before.
    void valueEdited(FlashTemplateProperty* pro, const QString& oldValue);

public:
    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int rowOf(FlashTemplateProperty* pro) const;
    FlashTemplateProperty* childAt(FlashTemplateProperty* parentPro, int row) const;
    QString newValueText(const QVariant& object, const FlashTemplateProperty& pro) const;

    FlashTemplate* iFlashTmpl = nullptr;
    std::unique_ptr<FlashLanguageWindowController> iLanguageContorller;
};
