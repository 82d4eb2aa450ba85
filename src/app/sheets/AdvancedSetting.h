#pragma once
#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

// The publish dialog's second sheet: HTML title, keywords, description and extra script.
class AdvancedSetting : public QDialog {
    Q_OBJECT
public:
    explicit AdvancedSetting(QWidget* parent = nullptr);

    void onOKClick();
    void onCancelClick();

    QLineEdit* txtPageTitle() const { return iTxtPageTitle; }
    QLineEdit* txtPageWords() const { return iTxtPageWords; }
    QLineEdit* txtPageDescription() const { return iTxtPageDescription; }
    QPlainTextEdit* txtScriptInput() const { return iTxtScriptInput; }

private:
    void awakeFromNib();

    QLineEdit* iTxtPageTitle;
    QLineEdit* iTxtPageWords;
    QLineEdit* iTxtPageDescription;
    QPlainTextEdit* iTxtScriptInput;
};
