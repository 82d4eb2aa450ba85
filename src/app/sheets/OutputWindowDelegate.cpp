#include "app/sheets/OutputWindowDelegate.h"

#include "app/sheets/AdvancedSetting.h"
#include "output/BookPublisher.h"
#include "templates/FlashTemplate.h"
#include "util/AppSettings.h"
#include "util/Log.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QUrl>

namespace {
const int kApplicationBundle = 1;
const int kZipArchive = 2;
const int kRollUpAdvanced = 4;
const QString kDemoTitle = QStringLiteral("Demo");   // also what a fresh settings store holds
}

OutputWindowDelegate::OutputWindowDelegate(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Publish"));
    setWindowModality(Qt::WindowModal);
    buildInterface();
    awakeFromNib();
}

OutputWindowDelegate::~OutputWindowDelegate() = default;

AdvancedSetting* OutputWindowDelegate::advancedSetting() const {
    return iAdvancedSetting;
}

void OutputWindowDelegate::buildInterface() {
    iTxtOutputFolder = new QLineEdit;
    auto* folderRow = new QHBoxLayout;
    auto* btnSelectFolder = new QPushButton(tr("Browse..."));
    auto* btnOpenFolder = new QPushButton(tr("Open"));
    folderRow->addWidget(iTxtOutputFolder, 1);
    folderRow->addWidget(btnSelectFolder);
    folderRow->addWidget(btnOpenFolder);

    iTxtOutputName = new QLineEdit;
    iExFileName = new QLabel;
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(iTxtOutputName, 1);
    nameRow->addWidget(iExFileName);
    iTxtTitle = new QLineEdit;

    iOutputType = new QButtonGroup(this);
    auto* typeRow = new QHBoxLayout;
    const QStringList kinds = {tr("HTML"), tr("Application"), tr("ZIP")};
    for (int tag = 0; tag < kinds.size(); ++tag) {
        auto* button = new QRadioButton(kinds[tag]);
        iOutputType->addButton(button, tag);
        typeRow->addWidget(button);
    }
    typeRow->addStretch();

    iBtnMakeMobileVersion = new QCheckBox;
    iLblMakeMobileVersion = new QLabel(tr("Make the mobile version too, with the template"));
    iBtnMobileTmplName = new QComboBox;
    auto* mobileRow = new QHBoxLayout;
    mobileRow->addWidget(iBtnMakeMobileVersion);
    mobileRow->addWidget(iLblMakeMobileVersion);
    mobileRow->addWidget(iBtnMobileTmplName);
    mobileRow->addStretch();

    iBtnAdvanced = new QPushButton(tr("Advanced..."));
    auto* btnCancel = new QPushButton(tr("Cancel"));
    auto* btnPublish = new QPushButton(tr("Publish"));
    btnPublish->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(iBtnAdvanced);
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnPublish);

    auto* form = new QFormLayout(this);
    form->addRow(tr("Output folder:"), folderRow);
    form->addRow(tr("File name:"), nameRow);
    form->addRow(tr("Title:"), iTxtTitle);
    form->addRow(tr("Output type:"), typeRow);
    form->addRow(tr("Mobile:"), mobileRow);
    form->addRow(buttons);
    resize(560, 200);

    connect(btnSelectFolder, &QPushButton::clicked, this, &OutputWindowDelegate::onSelectFolder);
    connect(btnOpenFolder, &QPushButton::clicked, this, &OutputWindowDelegate::onOpenFolder);
    connect(iOutputType, &QButtonGroup::idClicked, this, &OutputWindowDelegate::onTypeChoanged);
    connect(iBtnAdvanced, &QPushButton::clicked, this, &OutputWindowDelegate::onAdvanced);
    connect(btnCancel, &QPushButton::clicked, this, &OutputWindowDelegate::onCancel);
    connect(btnPublish, &QPushButton::clicked, this, &OutputWindowDelegate::onPublish);
}

void OutputWindowDelegate::awakeFromNib() {
    AppSettings& settings = AppSettings::shareInstance();
    iTxtOutputFolder->setText(settings.lastOutputFileFolder());
    iTxtOutputName->setText(settings.lastOutputFileName());
    iTxtTitle->setText(settings.lastOutputFileTitle());
    if (iTxtTitle->text() == kDemoTitle) iOfferedTitle = kDemoTitle;   // a stand-in for the book's title
    if (settings.outputType() < 0 || settings.outputType() > kZipArchive) settings.setOutputType(0);
    iOutputType->button(settings.outputType())->setChecked(true);
    iBtnMakeMobileVersion->setChecked(settings.outputMobileVersion() == 1);
    iBtnMobileTmplName->clear();
    iBtnMobileTmplName->addItems(QDir(FlashTemplate::mobileTemplatesFolder())
                                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name));
    const int stored = iBtnMobileTmplName->findText(settings.mobileTmplName(), Qt::MatchExactly);
    iBtnMobileTmplName->setCurrentIndex(stored >= 0 ? stored : 0);
    CheckOutputSetting();
}

int OutputWindowDelegate::selectedType() const {
    return qMax(0, iOutputType->checkedId());
}

QString OutputWindowDelegate::extensionFor(int outputType) {
    static const QStringList extensions = {QStringLiteral(".html"), QStringLiteral(".app"), QStringLiteral(".zip")};
    return extensions.value(outputType, extensions.first());
}

QString OutputWindowDelegate::defaultNameFor(int outputType) {
    return outputType == 0 ? QStringLiteral("Index") : QStringLiteral("Quirevale");
}

QString OutputWindowDelegate::nameFieldFor(int outputType, const QString& storedName, const QString& currentName) {
    if (outputType == 0 && storedName == QLatin1String("Quirevale")) return QStringLiteral("Index");
    if (currentName.isEmpty() || storedName.isEmpty()) return defaultNameFor(outputType);
    return storedName;
}

QString OutputWindowDelegate::defaultOutputFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Quirevale/");
}

void OutputWindowDelegate::CheckOutputSetting() {
    int type = selectedType();
    const bool mobileAllowed = type != kApplicationBundle;
    for (QWidget* control : QList<QWidget*>{iBtnMakeMobileVersion, iLblMakeMobileVersion, iBtnMobileTmplName})
        control->setEnabled(mobileAllowed);
    iBtnAdvanced->setVisible(mobileAllowed);
    iBtnAdvanced->setEnabled(mobileAllowed);
    if (iTxtOutputFolder->text().isEmpty() || !QFileInfo::exists(iTxtOutputFolder->text()))
        iTxtOutputFolder->setText(defaultOutputFolder());
    if (type > kZipArchive) {
        type = 0;
        iOutputType->button(0)->setChecked(true);
    }
    iExFileName->setText(extensionFor(type));
    iTxtOutputName->setText(nameFieldFor(type, AppSettings::shareInstance().lastOutputFileName(), iTxtOutputName->text()));
    if (iTxtTitle->text().isEmpty()) offerTitle();
}

QString OutputWindowDelegate::bookTitle() const {
    const QString set = iBook.flashTemplate ? iBook.flashTemplate->propertyValueFor(QStringLiteral("bookTitle"), QString())
                                            : QString();
    if (!set.trimmed().isEmpty()) return set;
    return iBookName.isEmpty() ? kDemoTitle : iBookName;
}

void OutputWindowDelegate::offerTitle() {
    iOfferedTitle = bookTitle();
    iTxtTitle->setText(iOfferedTitle);
}

void OutputWindowDelegate::setBook(const Book& book, const QString& bookName) {
    iBook = book;
    iBookName = bookName;
    if (iTxtTitle->text().isEmpty() || iTxtTitle->text() == iOfferedTitle) offerTitle();
}

void OutputWindowDelegate::onTypeChoanged() {
    CheckOutputSetting();
}

void OutputWindowDelegate::onSelectFolder() {
    auto* panel = new QFileDialog(this, tr("Choose folder"), iTxtOutputFolder->text());
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly);
    panel->setLabelText(QFileDialog::Accept, tr("Choose folder"));
    panel->setWindowModality(Qt::WindowModal);
    connect(panel, &QFileDialog::fileSelected, iTxtOutputFolder, &QLineEdit::setText);
    panel->open();
}

void OutputWindowDelegate::onOpenFolder() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(iTxtOutputFolder->text()));
}

void OutputWindowDelegate::onAdvanced() {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastOutputFileTitle(iTxtTitle->text());
    if (settings.isWindowRollUp() & kRollUpAdvanced) {
        settings.setIsWindowRollUp(settings.isWindowRollUp() & ~kRollUpAdvanced);
        if (iAdvancedSetting) iAdvancedSetting->deleteLater();
        iAdvancedSetting = nullptr;
    }
    if (!iAdvancedSetting) {
        iAdvancedSetting = new AdvancedSetting(this);
        iAdvancedSetting->setAttribute(Qt::WA_DeleteOnClose);
        connect(iAdvancedSetting, &QDialog::finished, this, &OutputWindowDelegate::AdvancedWindowDidEnd);
    }
    iAdvancedSetting->open();
}

void OutputWindowDelegate::AdvancedWindowDidEnd(int returnCode) {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setIsWindowRollUp(settings.isWindowRollUp() | kRollUpAdvanced);
    if (returnCode == 1) iTxtTitle->setText(settings.lastOutputFileTitle());
}

void OutputWindowDelegate::onCancel() {
    done(0);
}

AppAlert::Request OutputWindowDelegate::problemsAlert(bool nameMissing, bool titleMissing) {
    AppAlert::Request alert;
    alert.style = AppAlert::Warning;
    alert.messageText = QStringLiteral("Warning");
    QStringList lines;
    if (nameMissing) lines << QStringLiteral("%1.Input the file name!").arg(lines.size() + 1);
    if (titleMissing) lines << QStringLiteral("%1.Input the title recommend.").arg(lines.size() + 1);
    alert.informativeText = lines.join(QLatin1Char('\n'));
    if (lines.isEmpty()) return alert;
    const bool onlyTitle = titleMissing && !nameMissing;
    alert.buttons = {onlyTitle ? QStringLiteral("Ignore") : QStringLiteral("Go Back"), QStringLiteral("Default Input")};
    return alert;
}

// Answers whether publishing may go on with the entries as they are.
bool OutputWindowDelegate::checkEntries() {
    const bool nameMissing = iTxtOutputName->text().isEmpty();
    const bool titleMissing = iTxtTitle->text().isEmpty();
    const AppAlert::Request alert = problemsAlert(nameMissing, titleMissing);
    if (alert.buttons.isEmpty()) return true;
    const int pressed = AppAlert::run(this, alert);
    if (pressed == 1) {   // "Default Input"
        if (nameMissing) iTxtOutputName->setText(defaultNameFor(selectedType()));
        if (titleMissing) offerTitle();
        return false;
    }
    if (!nameMissing) return true;   // "Ignore": publish without a title
    iTxtOutputName->setFocus();      // "Go Back"
    iTxtOutputName->selectAll();
    return false;
}

void OutputWindowDelegate::storeEntries() {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastOutputFileFolder(iTxtOutputFolder->text());
    settings.setLastOutputFileName(iTxtOutputName->text());
    settings.setLastOutputFileTitle(iTxtTitle->text());
    settings.setOutputType(selectedType());
    settings.setMobileTmplName(iBtnMobileTmplName->currentText());
    settings.setOutputMobileVersion(iBtnMakeMobileVersion->isChecked() ? 1 : 0);
    settings.saveSettings();
}

bool OutputWindowDelegate::makeOutputFolder() {
    const QString folder = iTxtOutputFolder->text();
    if (QFileInfo(folder).isDir() || QDir().mkpath(folder)) return true;
    AppAlert::Request alert;
    alert.messageText = QStringLiteral("Warnning:");
    alert.informativeText = QStringLiteral("Create the folder failed!\nPlease check it again!");
    alert.buttons = {QStringLiteral("OK")};
    AppAlert::run(this, alert);
    iTxtOutputFolder->setFocus();
    iTxtOutputFolder->selectAll();
    return false;
}

void OutputWindowDelegate::onPublish() {
    if (!checkEntries()) return;
    storeEntries();
    if (!makeOutputFolder()) return;
    publishBook();
    done(1);
}

void OutputWindowDelegate::publishBook() {
    const AppSettings& settings = AppSettings::shareInstance();
    const int type = selectedType();
    if (!iBook.flashTemplate || !iBook.pageSource) {
        AppAlert::Request alert;
        alert.messageText = tr("Publish failed");
        alert.informativeText = tr("There is no book to publish.");
        alert.buttons = {QStringLiteral("OK")};
        AppAlert::run(this, alert);
        return;
    }
    try {
        PublishOptions options;
        options.folder = iTxtOutputFolder->text();
        options.name = iTxtOutputName->text();
        options.kind = PublishOptions::Kind(type);
        options.mobile = iBtnMakeMobileVersion->isChecked();
        options.mobileTemplate = settings.mobileTmplName();
        options.pageInfo.setHTMLTitle(settings.lastOutputFileTitle());
        options.pageInfo.setHTMLKeywords(settings.lastOutputKeyWords());
        options.pageInfo.setHTMLDescription(settings.lastOutputDescription());
        options.pageInfo.setHTMLScript(settings.lastOutputAddScript());
        const PublishResult result = BookPublisher::publish(iBook, options);
        emit bookPublished(result.outputFile);
        offerToOpen(result);
    } catch (const std::exception& error) {
        spdlog::error("publish error:{}", error.what());
        // Telling the user beats closing the sheet as if the book had been written.
        AppAlert::Request alert;
        alert.messageText = tr("Publish failed");
        alert.informativeText = QString::fromUtf8(error.what());
        alert.buttons = {QStringLiteral("OK")};
        AppAlert::run(this, alert);
    }
}

void OutputWindowDelegate::offerToOpen(const PublishResult& result) {
    AppAlert::Request alert;
    alert.style = AppAlert::Informational;
    alert.messageText = QStringLiteral("Open the result files?");
    alert.informativeText = QStringLiteral("Publish finished! Open the it?");
    if (!result.ok()) {
        // Files that could not be written are named rather than reported as a clean finish.
        alert.style = AppAlert::Warning;
        alert.informativeText = tr("Publish finished with problems:\n%1\nOpen the result anyway?")
                                    .arg(result.errorString());
    }
    alert.buttons = {QStringLiteral("Open it"), QStringLiteral("No")};
    if (AppAlert::run(this, alert) == 0) QDesktopServices::openUrl(QUrl::fromLocalFile(result.outputFile));
}
