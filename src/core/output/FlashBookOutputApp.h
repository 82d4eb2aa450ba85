#pragma once
#include "output/FlashBookOutput.h"

// Publishes a book as a desktop application bundle F/<name>.app whose launcher opens
// Contents/Resources/index.html in the default browser.
class FlashBookOutputApp : public FlashBookOutput {
public:
    FlashBookOutputApp(std::shared_ptr<FlashPageSource> pageSource, std::shared_ptr<FlashTemplate> flashTemplate,
                       const QString& saveToFolder, const QString& toName);

    // The bundle name for a book name: its extension replaced by "app".
    static QString bundleNameFor(const QString& name);

    QString outputHTMLFileName() const override;
    QString outputFileName() const override;   // the bundle

protected:
    QString publishFolder() const override;    // the folder holding the bundle
    void writeTheBook() override;
};
