#include "app/sheets/SelectTemplateWindowDelegate.h"

#include "templates/FlashTemplate.h"
#include "util/BriskUtility.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QSize kPictureSize(160, 120);
const int kImageIdRole = Qt::UserRole;

// Every picture gets the same box, so the names line up; a theme without one shows the box empty.
// The chosen one is framed in the highlight colour.
QPixmap pictureBox(const QImage& shot, const QColor& frame, int frameWidth) {
    QPixmap box(kPictureSize);
    box.fill(QColor(0xf4, 0xf4, 0xf4));
    QPainter painter(&box);
    if (!shot.isNull()) {
        const QImage scaled = shot.scaled(kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage((kPictureSize.width() - scaled.width()) / 2, (kPictureSize.height() - scaled.height()) / 2, scaled);
    }
    painter.setPen(frame);
    for (int inset = 0; inset < frameWidth; ++inset)
        painter.drawRect(QRect(QPoint(0, 0), kPictureSize - QSize(1, 1)).adjusted(inset, inset, -inset, -inset));
    return box;
}

QIcon pictureIcon(const QString& imagePath, const QColor& highlight) {
    const QImage shot(imagePath);
    QIcon icon(pictureBox(shot, QColor(0xb0, 0xb0, 0xb0), 1));
    icon.addPixmap(pictureBox(shot, highlight, 4), QIcon::Selected);
    return icon;
}

QIcon templateIcon(const QString& tmplFolder) {
    const QPixmap icon(BriskUtility::joinPath(tmplFolder, QStringLiteral("icon.png")));
    if (icon.isNull()) return QIcon();
    return QIcon(icon.scaled(SelectTemplateWindowDelegate::kIconSide, SelectTemplateWindowDelegate::kIconSide,
                             Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
}

SelectTemplateWindowDelegate::SelectTemplateWindowDelegate(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Select Template and Theme"));
    setWindowModality(Qt::WindowModal);
    auto* lists = new QHBoxLayout;
    lists->addWidget(buildTemplateSide());
    lists->addWidget(buildThemeSide(), 1);

    auto* btnRefresh = new QPushButton(tr("Refresh"));
    btnRefresh->setAutoDefault(false);
    auto* btnCancel = new QPushButton(tr("Cancel"));
    btnCancel->setAutoDefault(false);
    iBtnOK = new QPushButton(tr("OK"));
    iBtnOK->setDefault(true);
    iBtnOK->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnRefresh);
    buttons->addStretch(1);
    buttons->addWidget(btnCancel);
    buttons->addWidget(iBtnOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    connect(btnRefresh, &QPushButton::clicked, this, &SelectTemplateWindowDelegate::onRefresh);
    connect(btnCancel, &QPushButton::clicked, this, &SelectTemplateWindowDelegate::onCancel);
    connect(iBtnOK, &QPushButton::clicked, this, &SelectTemplateWindowDelegate::onOK);
    resize(820, 500);
    reloadTmplList();
}

QWidget* SelectTemplateWindowDelegate::buildTemplateSide() {
    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    iTableViewTmpls = new QListWidget;
    iTableViewTmpls->setIconSize(QSize(kIconSide, kIconSide));
    iTableViewTmpls->setUniformItemSizes(true);
    iTableViewTmpls->setFixedWidth(200);
    auto* title = new QLabel(tr("&Templates"));
    title->setBuddy(iTableViewTmpls);
    layout->addWidget(title);
    layout->addWidget(iTableViewTmpls, 1);
    connect(iTableViewTmpls, &QListWidget::itemSelectionChanged, this, &SelectTemplateWindowDelegate::tableViewSelectionDidChange);
    return side;
}

QWidget* SelectTemplateWindowDelegate::buildThemeSide() {
    auto* side = new QWidget;
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    iImgBrowserView = new QListWidget;
    iImgBrowserView->setViewMode(QListView::IconMode);
    iImgBrowserView->setIconSize(kPictureSize);
    iImgBrowserView->setGridSize(kPictureSize + QSize(16, 40));
    iImgBrowserView->setSpacing(6);
    iImgBrowserView->setResizeMode(QListView::Adjust);
    iImgBrowserView->setMovement(QListView::Static);
    iImgBrowserView->setWordWrap(true);
    iImgBrowserView->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* title = new QLabel(tr("T&hemes"));
    title->setBuddy(iImgBrowserView);
    layout->addWidget(title);
    layout->addWidget(iImgBrowserView, 1);
    connect(iImgBrowserView, &QListWidget::itemSelectionChanged, this, &SelectTemplateWindowDelegate::updateOK);
    connect(iImgBrowserView, &QListWidget::itemDoubleClicked, this, &SelectTemplateWindowDelegate::imageBrowserCellWasDoubleClicked);
    return side;
}

void SelectTemplateWindowDelegate::reloadTmplList() {
    iTmplListData = FlashTemplate::tmplNames();
    const QSignalBlocker quiet(iTableViewTmpls);
    iTableViewTmpls->clear();
    for (const QString& path : iTmplListData) {
        auto* row = new QListWidgetItem(templateIcon(path), QFileInfo(path).fileName(), iTableViewTmpls);
        row->setSizeHint(QSize(0, kRowHeight));
        row->setToolTip(path);
    }
}

void SelectTemplateWindowDelegate::prepairToTmpl(const QString& tmplName) {
    reloadTmplList();
    int selected = -1;
    for (int row = 0; row < iTableViewTmpls->count(); ++row) {
        if (iTableViewTmpls->item(row)->text().compare(tmplName, Qt::CaseInsensitive) == 0) selected = row;
    }
    {
        const QSignalBlocker quiet(iTableViewTmpls);
        iTableViewTmpls->setCurrentRow(selected);
    }
    reloadStylesForTmpl(selected < 0 ? QString() : iTableViewTmpls->item(selected)->text());
    iTableViewTmpls->setFocus();
}

void SelectTemplateWindowDelegate::reloadStylesForTmpl(const QString& tmplName) {
    iImgBrowserView->clear();
    for (const QString& folder : FlashTemplate::tmplStyleNamesForTmpl(tmplName)) {
        const QString imageID = BriskUtility::joinPath(folder, QStringLiteral("shot.jpg"));
        auto* item = new QListWidgetItem(pictureIcon(imageID, palette().color(QPalette::Highlight)), QFileInfo(folder).fileName(), iImgBrowserView);
        item->setData(kImageIdRole, imageID);
        item->setToolTip(QFileInfo(folder).fileName());
    }
    updateOK();
}

void SelectTemplateWindowDelegate::tableViewSelectionDidChange() {
    const QList<QListWidgetItem*> rows = iTableViewTmpls->selectedItems();
    if (!rows.isEmpty()) reloadStylesForTmpl(rows.first()->text());
}

void SelectTemplateWindowDelegate::updateOK() {
    iBtnOK->setEnabled(!iImgBrowserView->selectedItems().isEmpty());
}

QString SelectTemplateWindowDelegate::selectedStyle() {
    const QList<QListWidgetItem*> chosen = iImgBrowserView->selectedItems();
    if (chosen.isEmpty()) return QString();
    iSelectedItemIndex = iImgBrowserView->row(chosen.first());
    return chosen.first()->data(kImageIdRole).toString();
}

void SelectTemplateWindowDelegate::imageBrowserCellWasDoubleClicked(QListWidgetItem* item) {
    iImgBrowserView->setCurrentItem(item);
    iSelectedItemIndex = iImgBrowserView->row(item);
    done(1);
}

void SelectTemplateWindowDelegate::onOK() {
    if (iBtnOK->isEnabled()) done(1);
}

void SelectTemplateWindowDelegate::onCancel() {
    done(0);
}

// Templates installed meanwhile appear; the row shown stays selected and its themes stay as they are.
void SelectTemplateWindowDelegate::onRefresh() {
    const QString shown = iTableViewTmpls->currentItem() ? iTableViewTmpls->currentItem()->toolTip() : QString();
    reloadTmplList();
    const QSignalBlocker quiet(iTableViewTmpls);
    iTableViewTmpls->setCurrentRow(int(iTmplListData.indexOf(shown)));
}
