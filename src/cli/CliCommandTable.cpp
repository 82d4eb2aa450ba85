#include "cli/CliCommandTable.h"

namespace {
using CliCommandTable::Command;
using CliCommandTable::Option;

const QList<Option>& allOptions() {
    static const QList<Option> list = {
        {"output", "FOLDER", "Folder to publish into (made when missing); for exports, the file to write. Also -o."},
        {"name", "N", "Name of the book: the HTML page N.html, the archive N.zip or the bundle N.app (default: index for html, book for zip and app)."},
        {"title", "T", "Title of the HTML page (default: the input's name)."},
        {"keywords", "K", "Keywords of the HTML page."},
        {"description", "D", "Description of the HTML page; for theme-export, of the theme."},
        {"script", "FILE", "HTML (for example a <script> element) put at the bottom of the page."},
        {"kind", "html|app|zip", "Delivery: a folder with an HTML page (default), an application bundle, or a ZIP archive."},
        {"mobile", "", "Also make the mobile version (mobile/ and files/mobile/); not for --kind app."},
        {"mobile-template", "NAME", "Mobile template (default Flip); `templates` lists them."},
        {"pages", "RANGE", "PDF pages to import: ALL (default) or numbers and ranges, e.g. 1-3,5,8-12."},
        {"quality", "LEVEL", "Page quality, best to smallest: 0 or best (144 dpi, JPEG quality 100), 1 or high (144 dpi, 85), "
                             "2 or medium (120 dpi, 65; default), 3 or low (70 dpi, 45), 4 or smallest (60 dpi, 25)."},
        {"engine", "swf|jpg", "Page files: JPEG images (jpg, default) or SWF movies (swf)."},
        {"zoom-pages", "", "Make a sharper picture of every page for zooming, twice the page's pixels (the default, "
                           "unless the template's zoomPages setting is NO)."},
        {"no-zoom-pages", "", "Make no zoom pictures: zooming enlarges the page pictures."},
        {"links", "", "Keep the PDF's links as clickable page links."},
        {"bookmarks", "", "Keep the PDF's bookmarks as the book's outline."},
        {"template", "NAME", "Book template (default Float; for reopen, the book's own)."},
        {"theme", "NAME", "Theme of the template (default: the template's default theme)."},
        {"settings", "FILE", "Template settings text (key=value lines) applied after the theme."},
        {"set", "KEY=VALUE", "One template setting; may be repeated; applied last."},
        {"book", "FOLDER", "Take the template and settings from this published book."},
        {"quiet", "", "No progress bar and no messages except errors."},
        {"help", "", "Show help (also -h)."},
    };
    return list;
}

const QStringList kLook = {"template", "theme", "settings", "set"};
const QStringList kPublish = {"output", "name", "title", "keywords", "description", "script", "kind", "mobile",
                              "mobile-template"};
const QStringList kImport = {"pages", "quality", "engine", "zoom-pages", "no-zoom-pages", "links", "bookmarks"};
const QStringList kCommon = {"quiet", "help"};
}

namespace CliCommandTable {

const QList<Command>& commands() {
    static const QList<Command> list = {
        {"publish", "publish INPUT.pdf -o FOLDER [options]\n  leafmill-cli publish IMAGE... -o FOLDER [options]",
         "Imports a PDF (or makes a book of images, one page each) and publishes it.",
         kPublish + kImport + kLook + kCommon},
        {"reopen", "reopen BOOK_FOLDER -o FOLDER [options]",
         "Reads a published book back and publishes it again, into another folder or into its own.",
         kPublish + kLook + kCommon},
        {"templates", "templates", "Lists the templates with their themes, and the mobile templates.", kCommon},
        {"theme-export", "theme-export -o FILE.thm [--book FOLDER | look options] [--name N] [--description D]",
         "Saves the settings of a template (or of a published book) as a theme file.",
         QStringList{"output", "name", "description", "book"} + kLook + kCommon},
        {"theme-import", "theme-import FILE.thm", "Installs a theme file among the user's themes.", kCommon},
        {"settings-export", "settings-export -o FILE.txt [--book FOLDER | look options]",
         "Writes the settings of a template (or of a published book) as settings text.",
         QStringList{"output", "book"} + kLook + kCommon},
        {"settings-import", "settings-import FILE.txt --template NAME --name THEME",
         "Installs settings text as a new user theme of the template, usable with --theme.",
         QStringList{"template", "name"} + kCommon},
        {"make-sample-pdf", "make-sample-pdf FILE.pdf", "Writes the demonstration PDF.", kCommon, true},
    };
    return list;
}

const Command* command(const QString& name) {
    for (const Command& c : commands())
        if (c.name == name)
            return &c;
    return nullptr;
}

const Option* option(const QString& name) {
    for (const Option& o : allOptions())
        if (o.name == name)
            return &o;
    return nullptr;
}

QString generalHelp() {
    QString text = QStringLiteral("Usage: leafmill-cli COMMAND [arguments] [options]\n\n"
                                  "Turns a PDF or a set of images into a page-flipping book.\n\nCommands:\n");
    for (const Command& c : commands())
        if (!c.hidden)
            text += QStringLiteral("  %1%2\n").arg(c.name.leftJustified(17), c.summary);
    text += QStringLiteral("\n`leafmill-cli COMMAND --help` describes a command and its options.\n\n"
                           "Exit codes: 0 done; 1 done with files missing (listed); 2 bad command line or page range;\n"
                           "  3 missing or unreadable input; 4 unknown template, theme or setting;\n"
                           "  5 folder or file that cannot be created or written.\n");
    return text;
}

QString commandHelp(const QString& name) {
    const Command* c = command(name);
    if (!c)
        return generalHelp();
    QString text = QStringLiteral("Usage: leafmill-cli %1\n\n%2\n\nOptions:\n").arg(c->synopsis, c->summary);
    for (const QString& optionName : c->options) {
        const Option* o = option(optionName);
        const QString head = o->valueName.isEmpty() ? QStringLiteral("--%1").arg(o->name)
                                                    : QStringLiteral("--%1 %2").arg(o->name, o->valueName);
        text += QStringLiteral("  %1 %2\n").arg(head.leftJustified(28), o->help);
    }
    return text;
}

}
