#include "app/sheets/AdvancedSetting.h"

#include "util/AppSettings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

AdvancedSetting::AdvancedSetting(QWidget* parent)
    : QDialog(parent), iTxtPageTitle(new QLineEdit), iTxtPageWords(new QLineEdit),
      iTxtPageDescription(new QLineEdit), iTxtScriptInput(new QPlainTextEdit) {
    setWindowTitle(tr("Advanced HTML Settings"));
    setWindowModality(Qt::WindowModal);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Title:"), iTxtPageTitle);
    form->addRow(tr("Keywords:"), iTxtPageWords);
    form->addRow(tr("Description:"), iTxtPageDescription);
    form->addRow(tr("Extra HTML:"), iTxtScriptInput);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &AdvancedSetting::onOKClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &AdvancedSetting::onCancelClick);
    resize(480, 320);
    awakeFromNib();
}

void AdvancedSetting::awakeFromNib() {
    AppSettings& settings = AppSettings::shareInstance();
    iTxtPageTitle->setText(settings.lastOutputFileTitle());
    iTxtPageWords->setText(settings.lastOutputKeyWords());
    iTxtPageDescription->setText(settings.lastOutputDescription());
    iTxtScriptInput->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    iTxtScriptInput->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    if (iTxtPageTitle->text().isEmpty()) iTxtPageTitle->setText(QStringLiteral("Demo"));
    if (settings.lastOutputAddScript().isEmpty()) {
        settings.setLastOutputAddScript(QStringLiteral("<script type=text/javascript>\n"
                                                       "//put your javascript code belowe\n</script>"));
    }
    iTxtScriptInput->setPlainText(settings.lastOutputAddScript());
}

void AdvancedSetting::onOKClick() {
    AppSettings& settings = AppSettings::shareInstance();
    settings.setLastOutputFileTitle(iTxtPageTitle->text());
    settings.setLastOutputKeyWords(iTxtPageWords->text());
    settings.setLastOutputDescription(iTxtPageDescription->text());
    settings.setLastOutputAddScript(iTxtScriptInput->toPlainText());
    settings.saveSettings();
    settings.setIsAdvancedModify(1);
    done(1);
}

void AdvancedSetting::onCancelClick() {
    done(0);
}
