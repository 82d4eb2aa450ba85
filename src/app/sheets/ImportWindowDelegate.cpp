#include "app/sheets/ImportWindowDelegate.h"

#include "app/AppAlert.h"
#include "app/sheets/DragFileImport.h"
#include "pages/ImportPDFOperation.h"
#include "pages/ImportProgress.h"
#include "pages/PDFOpenResult.h"
#include "util/AppSettings.h"
#include "util/Log.h"
#include "util/NotificationCenter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QOperatingSystemVersion>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const char* kX11SupportArticle = "https://support.apple.com/HT201341";
const char* kX11Download = "https://www.xquartz.org/";

QList<QWidget*> addRadioRow(QButtonGroup* group, QHBoxLayout* row, const QStringList& titles) {
    QList<QWidget*> buttons;
    for (int tag = 0; tag < titles.size(); ++tag) {
        auto* button = new QRadioButton(titles[tag]);
        group->addButton(button, tag);
        row->addWidget(button);
        buttons << button;
    }
    row->addStretch();
    return buttons;
}

void selectTag(QButtonGroup* group, int tag) {
    if (QAbstractButton* button = group->button(tag)) button->setChecked(true);
}
} // namespace

ImportWindowDelegate::ImportWindowDelegate(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Import PDF"));
    setWindowModality(Qt::WindowModal);
    iX11Folders = {QStringLiteral("/opt/X11"), QStringLiteral("/usr/X11"), QStringLiteral("/usr/X11R6"),
                   QStringLiteral("/Developer/X11"), QStringLiteral("/dev/X11")};
    buildInterface();
    awakeFromNib();
}

ImportWindowDelegate::~ImportWindowDelegate() {
    for (const auto& operation : iRunning) operation->cancel();
    iQueue.waitForDone();
}

void ImportWindowDelegate::buildInterface() {
    auto* dropArea = new DragFileImport(this);
    dropArea->setFrameShape(QFrame::StyledPanel);
    auto* dropLayout = new QVBoxLayout(dropArea);
    dropLayout->addWidget(new QLabel(tr("Choose a PDF file, or drop one here:")));
    auto* fileRow = new QHBoxLayout;
    iTxtImportFile = new QLineEdit;
    iBtnBrowse = new QPushButton(tr("Browse..."));
    auto* btnOpen = new QPushButton(tr("Open"));
    fileRow->addWidget(iTxtImportFile, 1);
    fileRow->addWidget(iBtnBrowse);
    fileRow->addWidget(btnOpen);
    dropLayout->addLayout(fileRow);

    auto* form = new QFormLayout;
    iPageRangeType = new QButtonGroup(this);
    auto* rangeRow = new QHBoxLayout;
    iRangeButtons = addRadioRow(iPageRangeType, rangeRow, {tr("All pages"), tr("Pages:")});
    iTxtPageRange = new QLineEdit;
    iTxtPageRange->setPlaceholderText(tr("e.g. 1-5,8,11-13"));
    rangeRow->insertWidget(2, iTxtPageRange, 1);
    form->addRow(tr("Page range:"), rangeRow);

    iImportQuality = new QComboBox;
    iImportQuality->addItems({tr("Best (144 dpi)"), tr("High (144 dpi)"), tr("Medium (120 dpi)"),
                              tr("Low (70 dpi)"), tr("Lowest (60 dpi)")});
    form->addRow(tr("Quality:"), iImportQuality);

    iRenderEngineType = new QButtonGroup(this);
    auto* engineRow = new QHBoxLayout;
    iEngineButtons = addRadioRow(iRenderEngineType, engineRow, {tr("SWF pages"), tr("JPG pages")});
    form->addRow(tr("Page format:"), engineRow);

    iBtnImportLinks = new QCheckBox(tr("Import links"));
    iBtnImportBookMark = new QCheckBox(tr("Import bookmarks"));
    auto* checks = new QHBoxLayout;
    checks->addWidget(iBtnImportLinks);
    checks->addWidget(iBtnImportBookMark);
    checks->addStretch();
    form->addRow(QString(), checks);

    iPrgBar = new QProgressBar;
    iPrgBar->setRange(0, 0);
    iPrgBar->setMaximumWidth(120);
    iLblInfo = new QLabel;
    iBtnOK = new QPushButton(tr("Import"));
    iBtnOK->setDefault(true);
    iBtnCancel = new QPushButton(tr("Cancel"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(iPrgBar);
    bottom->addWidget(iLblInfo, 1);
    bottom->addStretch();   // keeps the buttons at the right while the label is hidden
    bottom->addWidget(iBtnCancel);
    bottom->addWidget(iBtnOK);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dropArea);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(bottom);
    resize(560, 300);

    connect(dropArea, &DragFileImport::fileDropped, iTxtImportFile, &QLineEdit::setText);
    connect(iBtnBrowse, &QPushButton::clicked, this, &ImportWindowDelegate::onBrowseFileAction);
    connect(btnOpen, &QPushButton::clicked, this, &ImportWindowDelegate::onOpenTheFileAction);
    connect(iTxtImportFile, &QLineEdit::textChanged, this, &ImportWindowDelegate::controlTextDidChange);
    connect(iPageRangeType, &QButtonGroup::idClicked, this, &ImportWindowDelegate::onPageRangeTypeChangeAction);
    connect(iBtnOK, &QPushButton::clicked, this, &ImportWindowDelegate::onImportAction);
    connect(iBtnCancel, &QPushButton::clicked, this, &ImportWindowDelegate::onCancelAction);
}

void ImportWindowDelegate::awakeFromNib() {
    const AppSettings& settings = AppSettings::shareInstance();
    iTxtImportFile->setText(settings.lastImportedFile());
    selectTag(iPageRangeType, settings.importPageRangeType());
    iTxtPageRange->setText(settings.importPageRange());
    iImportQuality->setCurrentIndex(settings.importQualityLevel());
    iBtnImportLinks->setChecked(settings.importLinks() == 1);
    iBtnImportBookMark->setChecked(settings.importBookmark() == 1);
    selectTag(iRenderEngineType, settings.renderEngineType());
    iMacVersion = detectMacSystemVersion();
    connect(&NotificationCenter::defaultCenter(), &NotificationCenter::notified, this,
            [this](const QString& name, QObject*, const QVariantMap& userInfo) {
                if (name == ImportProgressInfoMSG) mainThread_handleMSG(userInfo);
            });
    enableButtons(true);
}

bool ImportWindowDelegate::isImportableFile(const QString& path) {
    const QFileInfo file(path);
    return file.suffix().compare(QLatin1String("PDF"), Qt::CaseInsensitive) == 0 && file.exists();
}

bool ImportWindowDelegate::okRuleHolds() const {
    return isImportableFile(iTxtImportFile->text());
}

QString ImportWindowDelegate::outputNameForImportedFile(const QString& path) {
    const QStringList parts = path.split(QLatin1Char('/'));
    return parts.last().split(QLatin1Char('.')).first();
}

void ImportWindowDelegate::enableButtons(bool e) {
    iBtnOK->setEnabled(e && okRuleHolds());
    for (QWidget* control : QList<QWidget*>{iTxtImportFile, iBtnBrowse, iImportQuality} + iRangeButtons + iEngineButtons)
        control->setEnabled(e);
    iTxtPageRange->setEnabled(e && iPageRangeType->checkedId() == 1);
    iLblInfo->setHidden(e);
    iPrgBar->setHidden(e);
}

void ImportWindowDelegate::controlTextDidChange() {
    iBtnOK->setEnabled(iTxtImportFile->isEnabled() && okRuleHolds());
}

void ImportWindowDelegate::onPageRangeTypeChangeAction() {
    enableButtons(true);
}

void ImportWindowDelegate::onBrowseFileAction() {
    auto* panel = new QFileDialog(this, tr("Choose a PDF file"), QFileInfo(iTxtImportFile->text()).absolutePath(),
                                  tr("PDF files (*.pdf *.PDF)"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QFileDialog::fileSelected, this, [this](const QString& file) {
        iTxtImportFile->setText(file);
        controlTextDidChange();
    });
    panel->open();
}

void ImportWindowDelegate::onOpenTheFileAction() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(iTxtImportFile->text()));
}

bool ImportWindowDelegate::X11WarningApplies(const QString& MacVersion) {
    const QStringList parts = MacVersion.split(QLatin1Char('.'));
    const int major = parts.value(0).toInt();
    const int minor = parts.value(1).toInt();
    return major >= 10 && minor >= 8;
}

bool ImportWindowDelegate::checkDylibFileExist(const QString& folder) {
    if (!QFileInfo::exists(folder)) return false;
    QDirIterator walk(folder + QStringLiteral("/lib"), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        if (QFileInfo(walk.next()).suffix() == QLatin1String("dylib")) return true;
    }
    return false;
}

bool ImportWindowDelegate::checkX11Install() const {
    for (const QString& folder : iX11Folders) {
        if (QFileInfo::exists(folder)) return checkDylibFileExist(folder);
    }
    return false;
}

QString ImportWindowDelegate::detectMacSystemVersion() {
    const QOperatingSystemVersion host = QOperatingSystemVersion::current();
    if (host.type() != QOperatingSystemVersion::MacOS) return {};
    return QStringLiteral("%1.%2.%3").arg(host.majorVersion()).arg(host.minorVersion()).arg(qMax(0, host.microVersion()));
}

// Answers whether the import may go on; "Use JPG Format" switches the engine first.
bool ImportWindowDelegate::askAboutX11() {
    if (checkX11Install() || iRenderEngineType->checkedId() != 0 || !X11WarningApplies(iMacVersion)) return true;
    AppAlert::Request alert;
    alert.messageText = QStringLiteral("Warnning:");
    alert.informativeText = QStringLiteral("X11 have not install in your device!\n1.Try the JPG format.\n"
                                           "2.Install the X11 and restart the software.see \"%1\" for detail!")
                                .arg(QLatin1String(kX11SupportArticle));
    alert.buttons = {QStringLiteral("Use JPG Format"), QStringLiteral("Download X11"), QStringLiteral("Cancel")};
    const int pressed = AppAlert::run(this, alert);
    spdlog::info("return code = {}", pressed);
    if (pressed == 1) QDesktopServices::openUrl(QUrl(QLatin1String(kX11Download)));
    if (pressed != 0) return false;
    selectTag(iRenderEngineType, 1);
    return true;
}

void ImportWindowDelegate::saveDialogSettings() {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastImportedFile(iTxtImportFile->text());
    settings.setImportPageRangeType(iPageRangeType->checkedId());
    settings.setImportQualityLevel(iImportQuality->currentIndex());
    settings.setImportPageRange(iTxtPageRange->text());
    settings.setImportBookmark(iBtnImportBookMark->isChecked() ? 1 : 0);
    settings.setImportLinks(iBtnImportLinks->isChecked() ? 1 : 0);
    settings.setRenderEngineType(iRenderEngineType->checkedId());
}

// Only a book that arrived renames what is published next; a failed import leaves it alone.
void ImportWindowDelegate::nameThePublishAfter(const QString& importedFile) {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastOutputFileName(outputNameForImportedFile(importedFile));
    settings.setLastOutputFileTitle(QString());   // the new book's own title is offered instead
    settings.saveSettings();
}

void ImportWindowDelegate::onImportAction() {
    if (!askAboutX11()) return;
    saveDialogSettings();
    enableButtons(false);
    iLblInfo->setText(tr("Importing..."));
    AppSettings::shareInstance().saveSettings();
    startImport();
}

void ImportWindowDelegate::startImport() {
    for (const auto& operation : iRunning) operation->cancel();
    // A file that cannot be imported is told about before the long work.
    const PDFOpenResult pdf = PDFOpenResult::open(iTxtImportFile->text());
    iFirstPageSize = QSize(int(pdf.firstPageSize().width()), int(pdf.firstPageSize().height()));
    if (!pdf.ok()) {
        showFailure(pdf.errorString());
        return;
    }
    const AppSettings& settings = AppSettings::shareInstance();
    const QString range = iPageRangeType->checkedId() == 1 ? iTxtPageRange->text() : QStringLiteral("ALL");
    const ImportPDFOperation::Quality quality = ImportPDFOperation::qualityForLevel(settings.importQualityLevel());
    iImportPDF = std::make_shared<ImportPDFOperation>(iTxtImportFile->text(), range, quality.DPI, quality.quality);
    iImportPDF->setImportLinks(settings.importLinks() == 1);
    iImportPDF->setImportBookmarks(settings.importBookmark() == 1);
    iImportPDF->setRenderEngineType(settings.renderEngineType());
    iImportPDF->setZoomPages(iZoomPages);
    iRunning << iImportPDF;
    ImportPDFOperation* operation = iImportPDF.get();
    connect(operation, &ImportPDFOperation::finished, this, [this, operation] { importDidFinish(operation); },
            Qt::QueuedConnection);
    operation->start(&iQueue);
    emit importStarted();
}

void ImportWindowDelegate::importDidFinish(ImportPDFOperation* operation) {
    std::shared_ptr<ImportPDFOperation> keep;
    for (qsizetype i = 0; i < iRunning.size(); ++i) {
        if (iRunning[i].get() == operation) {
            keep = iRunning.takeAt(i);
            break;
        }
    }
    // A late report from an operation the dialog no longer holds is ignored.
    if (!keep || keep != iImportPDF) return;
    spdlog::debug("import pdf isFinished.");
    iFailedPages = keep->failedPages();
    const Book book{keep->flashPageSource(), nullptr, keep->flashOutline(), keep->flashPagesAnnotation()};
    if (!book.pageSource) {
        spdlog::warn("import pdf failed...");
        showFailure(keep->errorString());
        return;
    }
    enableButtons(true);
    spdlog::debug("import pdf ok...");
    nameThePublishAfter(iTxtImportFile->text());
    emit bookImported(book, iFirstPageSize);
    done(1);
    freeAfterImport();
}

// The user learns why instead of seeing the sheet silently fall back to idle.
void ImportWindowDelegate::showFailure(const QString& reason) {
    enableButtons(true);
    if (reason.isEmpty())
        return;
    iLblInfo->setText(reason);
    iLblInfo->setVisible(true);
}

void ImportWindowDelegate::freeAfterImport() {
    iImportPDF.reset();
}

void ImportWindowDelegate::onCancelAction() {
    spdlog::info("cancel import pdf!!,{}", windowTitle());
    enableButtons(true);
    if (!iRunning.isEmpty()) {
        for (const auto& operation : iRunning) operation->cancel();
        freeAfterImport();
        return;
    }
    done(0);
}

void ImportWindowDelegate::reject() {
    onCancelAction();
}

void ImportWindowDelegate::mainThread_handleMSG(const QVariantMap& userInfo) {
    if (iLblInfo->isHidden()) return;
    const ImportProgress progress = ImportProgress::fromUserInfo(userInfo);
    iLblInfo->setText(QStringLiteral("Importing:%1/%2").arg(progress.pageIndex).arg(progress.totalPage));
}
