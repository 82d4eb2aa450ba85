#pragma once
#include <QDialog>
#include <QStringList>

class QListWidget;
class QListWidgetItem;
class QPushButton;

// The template and theme chooser: the installed templates on the left, the themes of the selected
// one as preview pictures on the right. It ends with code 1 when a theme was chosen (OK, Return or
// a double-click on the picture) and the controller then switches to it.
class SelectTemplateWindowDelegate : public QDialog {
    Q_OBJECT
public:
    explicit SelectTemplateWindowDelegate(QWidget* parent = nullptr);

    static constexpr int kRowHeight = 35;
    static constexpr int kIconSide = 32;

    // Lists the templates again and selects the one named (letter case ignored; of several rows
    // with that name the last one), with its themes.
    void prepairToTmpl(const QString& tmplName);
    void reloadTmplList();
    void reloadStylesForTmpl(const QString& tmplName);
    // The chosen theme's preview path ("<theme folder>/shot.jpg"); empty when none is chosen.
    QString selectedStyle();

    void onOK();
    void onCancel();
    void onRefresh();

    // ---- controls (tests and screenshots use them) ----
    QListWidget* tableViewTmpls() const { return iTableViewTmpls; }
    QListWidget* imgBrowserView() const { return iImgBrowserView; }
    QPushButton* btnOK() const { return iBtnOK; }

private:
    QWidget* buildTemplateSide();
    QWidget* buildThemeSide();
    void tableViewSelectionDidChange();
    void imageBrowserCellWasDoubleClicked(QListWidgetItem* item);
    void updateOK();

    QListWidget* iTableViewTmpls = nullptr;
    QListWidget* iImgBrowserView = nullptr;
    QPushButton* iBtnOK = nullptr;
    QStringList iTmplListData;       // full paths of the listed template folders
    int iSelectedItemIndex = -1;     // index of the theme chosen last
};
