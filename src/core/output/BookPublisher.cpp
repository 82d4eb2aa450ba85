#include "output/BookPublisher.h"

#include "output/FlashBookOutput.h"
#include "output/FlashBookOutputApp.h"
#include "pages/FlashPageSource.h"
#include "templates/FlashTemplate.h"
#include "util/Xml.h"

namespace {
// Every source skips the renditions it already holds, so this is cheap for an imported book.
void makeRenditions(FlashPageSource& pages, bool mobile) {
    pages.generatePages();
    pages.generateNormalPages();
    if (mobile)
        pages.generatePhonePages();
}

std::unique_ptr<FlashBookOutput> makeEngine(const Book& book, const PublishOptions& options) {
    if (options.kind == PublishOptions::Kind::App)
        return std::make_unique<FlashBookOutputApp>(book.pageSource, book.flashTemplate, options.folder, options.name);
    return std::make_unique<FlashBookOutput>(book.pageSource, book.flashTemplate, options.folder, options.name);
}
}

PublishResult BookPublisher::publish(const Book& book, const PublishOptions& options) {
    const bool mobile = options.mobile && options.kind != PublishOptions::Kind::App;
    if (!options.mobileTemplate.isEmpty())
        book.flashTemplate->setMobileTmplName(options.mobileTemplate);
    makeRenditions(*book.pageSource, mobile);

    const std::unique_ptr<FlashBookOutput> engine = makeEngine(book, options);
    auto pageInfo = std::make_shared<HTMLConfigInfo>(options.pageInfo);
    pageInfo->setOtherScript(book.flashTemplate->getOtherScript());
    engine->setHTMLConfig(pageInfo);
    engine->setFlashPagesAnnotations(book.pageLinks);
    engine->setFlashOutline(book.outline);
    engine->setOuputTheMobileFiles(mobile);
    engine->setNeedExtInterface(options.extInterface);
    if (options.progress)
        engine->setProgressHandler(options.progress);
    if (options.kind == PublishOptions::Kind::Zip)
        engine->outputTheBookAsZip();
    else
        engine->ouputTheBook();
    return {engine->outputFileName(), engine->failures(), engine->writeFailed()};
}

QByteArray BookPublisher::bookDescription(const Book& book, const PublishOptions& options) {
    const std::unique_ptr<FlashBookOutput> engine = makeEngine(book, options);
    engine->setHTMLConfig(std::make_shared<HTMLConfigInfo>(options.pageInfo));
    engine->setFlashPagesAnnotations(book.pageLinks);
    engine->setFlashOutline(book.outline);
    return Xml::toBytes(*engine->bookXML());
}
