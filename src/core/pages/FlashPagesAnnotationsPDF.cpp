#include "pages/FlashPagesAnnotationsPDF.h"

#include "util/WebAddress.h"
#include "util/Xml.h"

#include <poppler-qt6.h>

#include <cmath>

namespace {
const char* const kLinkType = "com.vellix.flipbook.pageeditor.TAnnoLink";
const char* const kOpenURL = "com.vellix.flipbook.pageeditor.TAnnoActionOpenURL";
const char* const kGotoPage = "com.vellix.flipbook.pageeditor.TAnnoActionGotoPage";

// Where the link sits on the page as shown (rotation and crop box applied), as fractions of the
// shown page from its top-left corner, clipped to the page; empty when nothing of it is visible.
QRectF shownPlace(const Poppler::Link& link)
{
    const QRectF area = link.linkArea().normalized();
    if (!std::isfinite(area.left()) || !std::isfinite(area.top()) || !std::isfinite(area.width())
        || !std::isfinite(area.height()))
        return {};
    return area.intersected(QRectF(0, 0, 1, 1));
}

// The target page of an internal link as a 1-based number of the document, or 0.
int targetPage(const Poppler::Link& link, int pageCount)
{
    if (link.linkType() != Poppler::Link::Goto)
        return 0;
    const auto& go = static_cast<const Poppler::LinkGoto&>(link);
    if (go.isExternal())
        return 0;
    const int page = go.destination().pageNumber();
    return page >= 1 && page <= pageCount ? page : 0;
}

// The address to open, read as a browser reads it; script and other unsafe addresses give none,
// so such a link is not imported at all.
QString webAddress(const Poppler::Link& link)
{
    if (link.linkType() != Poppler::Link::Browse)
        return {};
    return WebAddress::followable(static_cast<const Poppler::LinkBrowse&>(link).url());
}

void appendText(pugi::xml_node parent, const char* name, const QString& text)
{
    parent.append_child(name).append_child(pugi::node_pcdata).set_value(Xml::utf8(text).c_str());
}

void appendLocation(pugi::xml_node anno, const QRectF& place)
{
    pugi::xml_node location = anno.append_child("location");
    const auto number = [](double value) { return Xml::utf8(QString::asprintf("%f", value)); };
    location.append_attribute("x").set_value(number(place.x()).c_str());
    location.append_attribute("y").set_value(number(place.y()).c_str());
    location.append_attribute("width").set_value(number(place.width()).c_str());
    location.append_attribute("height").set_value(number(place.height()).c_str());
}
}

void FlashPagesAnnotationsPDF::loadLinksFromPDF(Poppler::Document* pdfDoc, const QList<int>& needToImportPages)
{
    const int pageCount = pdfDoc && !pdfDoc->isLocked() ? pdfDoc->numPages() : 0;
    iNeedToImportPages.clear();
    for (int page : needToImportPages) {
        if (page >= 1 && page <= pageCount)
            iNeedToImportPages.append(page);
    }
    needFiles().clear();
    pugi::xml_node pagesAnnos = resetPagesAnnotationsNode();
    for (iCurrentIndex = 0; iCurrentIndex < iNeedToImportPages.size(); ++iCurrentIndex)
        parsePage(pdfDoc, pagesAnnos);
}

void FlashPagesAnnotationsPDF::parsePage(Poppler::Document* pdfDoc, pugi::xml_node pagesAnnos)
{
    pugi::xml_node pageAnnos = pagesAnnos.append_child("pageAnnos");
    pageAnnos.append_attribute("pageIndex").set_value(iCurrentIndex + 1);
    const std::unique_ptr<Poppler::Page> page(pdfDoc->page(iNeedToImportPages.at(iCurrentIndex) - 1));
    if (!page)
        return;
    for (const auto& link : page->links())
        appendLink(pageAnnos, *link, pdfDoc->numPages());
}

void FlashPagesAnnotationsPDF::appendLink(pugi::xml_node pageAnnos, const Poppler::Link& link, int pageCount)
{
    const QString address = webAddress(link);
    const int target = targetPage(link, pageCount);
    const QRectF place = shownPlace(link);
    if ((address.isEmpty() && target == 0) || place.isEmpty())
        return;

    pugi::xml_node anno = pageAnnos.append_child("anno");
    anno.append_attribute("annotype").set_value(kLinkType);
    pugi::xml_node action = anno.append_child("action");
    action.append_attribute("triggerEventType").set_value("mouseDown");
    action.append_attribute("actionType").set_value(address.isEmpty() ? kGotoPage : kOpenURL);
    if (address.isEmpty())
        appendText(action, "pageIndex", QString::number(target));
    else
        appendText(action, "url", address);
    appendLocation(anno, place);
}
