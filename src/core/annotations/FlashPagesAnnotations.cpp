#include "annotations/FlashPagesAnnotations.h"

#include "util/Log.h"
#include "util/NamedException.h"
#include "util/ScriptText.h"
#include "util/Xml.h"

#include <QList>

namespace {
bool isText(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

bool isBlankText(const pugi::xml_node& node)
{
    return isText(node) && Xml::str(node.value()).trimmed().isEmpty();
}

// Elements and text, without comments and processing instructions, and without the indentation
// between elements that a pretty-printed and re-read description carries.
QList<pugi::xml_node> childrenOf(const pugi::xml_node& node)
{
    const bool hasElement = bool(node.find_child([](const pugi::xml_node& n) { return n.type() == pugi::node_element; }));
    QList<pugi::xml_node> children;
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_element || (isText(child) && !(hasElement && isBlankText(child))))
            children.append(child);
    }
    return children;
}

bool haveSameName(const pugi::xml_node& a, const pugi::xml_node& b)
{
    return a.type() == pugi::node_element && b.type() == pugi::node_element && qstrcmp(a.name(), b.name()) == 0;
}

bool holdsList(const QList<pugi::xml_node>& children)
{
    return children.size() >= 2 && haveSameName(children.at(0), children.at(1));
}

bool isLastChild(const pugi::xml_node& node)
{
    const QList<pugi::xml_node> siblings = childrenOf(node.parent());
    return siblings.isEmpty() || siblings.last() == node;
}

// The text a node stands for: a text node's value, an element's markup.
QString textForm(const pugi::xml_node& node)
{
    if (isText(node))
        return Xml::str(node.value());
    return QString::fromUtf8(Xml::toBytes(node, false, false));
}

QString joinNonEmpty(const QString& a, const QString& b)
{
    return a.isEmpty() ? b : b.isEmpty() ? a : a + u',' + b;
}

// Keeps the recursion of the script conversion within FlashPagesAnnotations::kMaxDepth.
class DepthGuard {
public:
    DepthGuard()
    {
        if (++sDepth > FlashPagesAnnotations::kMaxDepth) {
            --sDepth;
            throw NamedException(QStringLiteral("ERROR_PAGES_ANNOTATIONS"), QStringLiteral("Page links nested too deeply"));
        }
    }
    ~DepthGuard() { --sDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    static thread_local int sDepth;
};
thread_local int DepthGuard::sDepth = 0;

QString convertElement(const pugi::xml_node& node, const QList<pugi::xml_node>& children)
{
    const QString name = ScriptText::key(Xml::str(node.name()));
    const QString attributes = FlashPagesAnnotations::ParseAttribute(node.attributes());
    const bool inList = holdsList(childrenOf(node.parent()));
    // The script is large and rebuilt with every preview: its pieces are traced, never shown at debug.
    spdlog::trace("[tempElemnt name]={}", name);
    spdlog::trace("[tempElemnt attributes]={}", attributes);
    spdlog::trace("[tempElemnt child]={}", children.size());

    if (children.isEmpty())
        return QStringLiteral("%1:{%2}").arg(name, attributes);
    if (isText(children.first())) {
        const QString text = FlashPagesAnnotations::AdjustString(textForm(children.first()));
        return (inList ? QStringLiteral("{%1:\"%2\"}") : QStringLiteral("%1:\"%2\"")).arg(name, text);
    }
    const QString content = joinNonEmpty(attributes, FlashPagesAnnotations::ParseXML2JSChild(node));
    return inList ? QStringLiteral("{%1}").arg(content) : QStringLiteral("%1:{%2}").arg(name, content);
}
}

FlashPagesAnnotations::FlashPagesAnnotations() = default;
FlashPagesAnnotations::~FlashPagesAnnotations() = default;

pugi::xml_node FlashPagesAnnotations::pagesAnnotationsNode() const
{
    return iPagesAnnotationsNode ? iPagesAnnotationsNode->document_element() : pugi::xml_node();
}

void FlashPagesAnnotations::setPagesAnnotationsNode(const pugi::xml_node& node)
{
    if (!node) {
        iPagesAnnotationsNode.reset();
        return;
    }
    auto document = std::make_unique<pugi::xml_document>();
    document->append_copy(node);
    iPagesAnnotationsNode = std::move(document);
}

pugi::xml_node FlashPagesAnnotations::resetPagesAnnotationsNode()
{
    iPagesAnnotationsNode = std::make_unique<pugi::xml_document>();
    return iPagesAnnotationsNode->append_child("pagesAnnos");
}

QString FlashPagesAnnotations::AnnosXML2JS() const
{
    const QList<pugi::xml_node> pages = childrenOf(pagesAnnotationsNode());
    Log::system(QStringLiteral("[AnnosElement childCount]=%1").arg(pages.size()));
    QStringList pieces;
    for (const pugi::xml_node& page : pages) {
        pieces.append(ParseXML2JS(page));
        spdlog::trace("{}", pieces.last());
    }
    return QStringLiteral("[%1];").arg(pieces.join(u','));
}

QString FlashPagesAnnotations::ParseXML2JS(const pugi::xml_node& node)
{
    if (!node)
        return {};
    DepthGuard guard;
    const QString name = Xml::str(node.name());
    const QList<pugi::xml_node> children = childrenOf(node);
    const QString comma = isLastChild(node) ? QString() : QStringLiteral(",");

    if (name == u"pageAnnos")
        return QStringLiteral("[%1]").arg(ParseXML2JSChild(node));
    if (name == u"anno")
        return QStringLiteral("{%1}").arg(joinNonEmpty(ParseAttribute(node.attributes()), ParseXML2JSChild(node))) + comma;
    if (holdsList(children)) {
        const QString attributes = ParseAttribute(node.attributes());
        const QString list = QStringLiteral("%1:[%2]").arg(ScriptText::key(Xml::str(children.first().name())), ParseXML2JSChild(node));
        return QStringLiteral("%1:{%2}").arg(ScriptText::key(name), joinNonEmpty(attributes, list)) + comma;
    }
    if (node.type() != pugi::node_element) {
        const QList<pugi::xml_node> siblings = childrenOf(node.parent());
        return AdjustString(siblings.isEmpty() ? textForm(node) : textForm(siblings.first()));
    }
    return convertElement(node, children) + comma;
}

QString FlashPagesAnnotations::ParseXML2JSChild(const pugi::xml_node& node)
{
    QString result;
    for (const pugi::xml_node& child : childrenOf(node))
        result += ParseXML2JS(child);
    return result;
}

QString FlashPagesAnnotations::ParseAttribute(const pugi::xml_object_range<pugi::xml_attribute_iterator>& attributes)
{
    QStringList pieces;
    for (const pugi::xml_attribute& attribute : attributes) {
        pieces.append(QStringLiteral("%1:\"%2\"").arg(ScriptText::key(Xml::str(attribute.name())),
                                                         AdjustString(Xml::str(attribute.value()))));
        spdlog::trace("{}", pieces.last());
    }
    return pieces.join(u',');
}

QString FlashPagesAnnotations::AdjustString(const QString& text)
{
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("<br/>"));
    result.replace(u'\r', QStringLiteral("<br/>"));
    result.replace(u'\n', QStringLiteral("<br/>"));
    return ScriptText::escaped(result);
}
