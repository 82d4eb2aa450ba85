#!/usr/bin/env python3
"""Writes the text data of the shipped template library under resources/AppFiles:
template descriptions, placeholder pages, theme settings and Meta.xml, the other-script
snippet, the player's interface texts and PLAYER_KEYS.md. Pictures and book.swf come from
src/tools/template-art (scripts/make-template-art.sh)."""
import os
import sys
from xml.sax.saxutils import escape

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "AppFiles")
APP_VERSION = "1.0.0"
TMPL_VERSION = "3.0.0"

IMAGES = "Images|*.jpg;*.png;*.gif"
SOUNDS = "Sounds|*.mp3;*.wav;*.ogg"

# (key, type, title, desc, default, valueSource, aTitle, children)
def P(key, ptype, title, desc, value="", source="", atitle=None, children=None):
    return dict(key=key, type=ptype, title=title, desc=desc, value=value, source=source,
                atitle=atitle, children=children or [])

def B(key, title, desc, value, atitle):
    return P(key, "pt_bool", title, desc, value, "", atitle)

def settings_tree(c):
    """The settings every template offers; c holds the template's own defaults."""
    return [
        P("bookSetting", "pt_composite", "Book", "Size, cover and reading order of the book.", children=[
            P("pageWidth", "pt_number", "Page width", "Width of one page in pixels; set from the imported document.", "600"),
            P("pageHeight", "pt_number", "Page height", "Height of one page in pixels; set from the imported document.", "800"),
            P("bookTitle", "pt_text", "Book title", "Title shown in the toolbar of the book; empty shows the title the book was published with.", ""),
            B("isHardCover", "Hard cover", "The first and the last page turn as stiff covers.", c["hard"], "Use hard covers"),
            B("pageShadow", "Page shadow", "Draws a shadow along the spine and under a turning page.", "YES", "Show page shadows"),
            B("rightToLeft", "Right to left", "Pages turn from left to right, for right-to-left languages.", "NO", "Read from right to left"),
            P("startPage", "pt_number", "Start page", "Page shown when the book opens (1 is the first page).", "1"),
        ]),
        P("appearance", "pt_composite", "Appearance", "Colours and pictures around the book.", children=[
            P("backgroundColor", "pt_color", "Background colour", "Colour behind the book.", c["bg"]),
            P("backgroundImage", "pt_file", "Background picture", "Picture behind the book; empty for none.", "", IMAGES),
            P("backgroundImagePosition", "pt_list", "Background picture position", "How the background picture fills the window.", "Fill", "Fill,Fit,Center,Tile"),
            P("logoFile", "pt_file", "Logo", "Picture shown at the top left of the book; empty for none.", "", IMAGES),
            P("logoLink", "pt_text", "Logo link", "Web address opened when the logo is clicked; empty for none.", ""),
            P("toolbarColor", "pt_color", "Toolbar colour", "Colour of the toolbar.", c["bar"]),
            P("toolbarIconColor", "pt_color", "Toolbar icon colour", "Colour of the toolbar buttons and texts.", c["icon"]),
            P("toolbarPosition", "pt_list", "Toolbar position", "Where the toolbar sits.", c["barpos"], "Bottom,Top"),
        ]),
        P("toolbarButtons", "pt_composite", "Toolbar buttons", "Which buttons the toolbar shows.", children=[
            B("showThumbnails", "Thumbnails", "Button that shows the page thumbnails.", "Show", "Show the thumbnails button"),
            B("showOutline", "Outline", "Button that shows the book's outline (bookmarks).", "Show", "Show the outline button"),
            B("showZoom", "Zoom", "Buttons that zoom into a page.", "Show", "Show the zoom buttons"),
            B("showFullscreen", "Full screen", "Button that fills the whole screen with the book.", "Show", "Show the full screen button"),
            B("showSound", "Sound", "Button that turns the flip sound on and off.", "Show", "Show the sound button"),
            B("showDownload", "Download", "Button that downloads the file named below.", "Hide", "Show the download button"),
            P("downloadURL", "pt_text", "Download address", "Web address of the file the download button offers (the PDF, for example).", ""),
            B("showShare", "Share", "Button that offers the book's address for sharing.", "Show", "Show the share button"),
        ]),
        P("flipSetting", "pt_composite", "Page turning", "How pages turn.", children=[
            P("flipDuration", "pt_number", "Flip duration", "Time one page turn takes, in milliseconds.", c["flip"]),
            P("flipSound", "pt_file", "Flip sound", "Sound played when a page turns; empty for silence.", "", SOUNDS),
            B("autoFlip", "Auto flip", "Turns the pages by itself when the book opens.", "NO", "Turn pages automatically"),
            P("autoFlipInterval", "pt_number", "Auto flip interval", "Seconds between two automatic page turns.", "5"),
        ]),
        P("linkSetting", "pt_composite", "Page links", "Look and behaviour of links on the pages.", children=[
            P("linkOverColor", "pt_color", "Link colour", "Colour of a link area under the mouse.", c["link"]),
            P("linkOverColorAlpha", "pt_number", "Link opacity", "Opacity of that colour, from 0 (invisible) to 1 (solid).", "0.3"),
            P("linkOpenedWindow", "pt_list", "Open web links in", "_blank opens a new window, _self replaces the book.", "_blank", "_blank,_self"),
        ]),
        P("languageSetting", "pt_form_language", "Languages", "Interface languages the reader can choose; the first is shown first.", "English"),
        P("googleAnalyticsID", "pt_text", "Analytics ID", "Tracking ID of a web analytics account (G-XXXXXXX); empty for none.", ""),
    ]

# Settings of the desktop-only edition of the player; loading removes them.
REMOVED_KEYS = [
    P("SearchSettings", "pt_composite", "Search", "Full-text search of the book.", children=[
        B("showSearch", "Search button", "Button that searches the book's text.", "Hide", "Show the search button"),
        P("searchHighlightColor", "pt_color", "Search highlight", "Colour of found words.", "0xffff00"),
    ]),
    P("SearchResultsFonts", "pt_font", "Search results font", "Font of the search result list.", "Arial"),
    P("otherIconsConfig", "pt_list_fromFunction", "Other icons", "Extra toolbar icons.", ""),
    P("securitySetting", "pt_form_security", "Security", "Password protection.", "", children=[
        P("password", "pt_text", "Password", "Password asked before the book opens.", ""),
    ]),
    P("contactAboutConfig", "pt_form_contactabout", "Contact and about", "Contact page of the author.", ""),
]

TEMPLATES = {
    "Float": dict(code="LM-FLOAT-30-7f3a9c21", extra=REMOVED_KEYS,
                  defaults=dict(title="Float", hard="NO", bg="0x2f4f6f", bar="0x1e2b38", icon="0xffffff",
                                barpos="Bottom", flip="800", link="0x3399ff")),
    "Neat": dict(code="LM-NEAT-30-4b81d0e6", extra=[],
                 defaults=dict(title="Neat", hard="YES", bg="0xf2efe8", bar="0xffffff", icon="0x333333",
                               barpos="Top", flip="600", link="0xff9900")),
    "Slate": dict(code="LM-SLATE-30-c25e7a90", extra=[],
                  defaults=dict(title="Slate", hard="NO", bg="0x3a3d42", bar="0x25272b", icon="0xd8dde3",
                                barpos="Bottom", flip="700", link="0x66cc99")),
}

# theme -> {key: value}; "STYLE_RESOURCE:" values name a picture made by template-art.
THEMES = {
    "Float": {
        "Ocean": {"backgroundColor": "0x0b4f6c", "toolbarColor": "0x01baef", "toolbarIconColor": "0xffffff",
                  "backgroundImage": "STYLE_RESOURCE:backgroundImage.jpg", "linkOverColor": "0x20bf55"},
        "Sunset": {"backgroundColor": "0x5b2333", "toolbarColor": "0xf24333", "toolbarIconColor": "0xfff8f0",
                   "linkOverColor": "0xffb400", "pageShadow": "YES"},
    },
    "Neat": {
        "Paper": {"backgroundColor": "0xfbf7ee", "toolbarColor": "0xe8e0cc", "toolbarIconColor": "0x4a4a4a",
                  "backgroundImage": "STYLE_RESOURCE:backgroundImage.jpg"},
        "Night": {"backgroundColor": "0x111418", "toolbarColor": "0x1f242b", "toolbarIconColor": "0xe0e6ed",
                  "linkOverColor": "0x8ab4f8", "isHardCover": "NO"},
    },
    "Slate": {
        "Graphite": {"backgroundColor": "0x2b2b2b", "toolbarColor": "0x1a1a1a", "toolbarIconColor": "0xbdbdbd"},
        "Mint": {"backgroundColor": "0xdff5ec", "toolbarColor": "0x3eb489", "toolbarIconColor": "0xffffff",
                 "logoFile": "STYLE_RESOURCE:logoFile.png", "linkOverColor": "0x0b6e4f"},
    },
}


def write(path, data, mode="w"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode, encoding=None if "b" in mode else "utf-8", newline="" if "b" not in mode else None) as f:
        f.write(data)


def property_xml(p, indent):
    pad = " " * indent
    attrs = f' type="{p["type"]}"'
    if p["type"] == "pt_bool":
        attrs += ' aType="checkbox"'
    lines = [f"{pad}<property{attrs}>"]
    for tag, field in (("key", "key"), ("title", "title"), ("desc", "desc"), ("value", "value"),
                       ("valueSource", "source"), ("defalutValue", "value")):
        lines.append(f"{pad}  <{tag}>{escape(p[field])}</{tag}>")
    if p["atitle"] is not None:
        lines.append(f"{pad}  <aTitle>{escape(p['atitle'])}</aTitle>")
    if p["children"]:
        lines.append(f"{pad}  <childProperties>")
        lines += [property_xml(c, indent + 4) for c in p["children"]]
        lines.append(f"{pad}  </childProperties>")
    lines.append(f"{pad}</property>")
    return "\n".join(lines)


def template_xml(name, spec, tree):
    props = "\n".join(property_xml(p, 4) for p in tree + spec["extra"])
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<flashTemplate>
  <info>
    <htmlPath>index.html</htmlPath>
    <swfPath>book.swf</swfPath>
    <defaultStyle>Blank</defaultStyle>
    <macAppFilesFolder>TmplData/mac.app/Contents</macAppFilesFolder>
    <mobileTmplFilesPath>TmplData/mobile/Flip</mobileTmplFilesPath>
    <templateValidCode>{spec["code"]}</templateValidCode>
  </info>
  <properties>
{props}
  </properties>
</flashTemplate>
"""


PLACEHOLDER_PAGE = """<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>${index.title}</title>
<meta name="keywords" content="${meta.keywords}">
<meta name="description" content="${meta.description}">
<meta name="viewport" content="width=device-width, initial-scale=1">
<style>body{margin:0;font-family:sans-serif;background:#eee;color:#333}main{padding:2em;text-align:center}</style>
</head>
<body>
<main>
<h1>${index.title}</h1>
<p>This book was made with the __TEMPLATE__ template.</p>
</main>
${script.bottom}
${script.other}
</body>
</html>
"""


def flatten(tree):
    for p in tree:
        yield p
        yield from flatten(p["children"])


def settings_text(entries):
    return "".join("\n\r" + f"{k}={v}".replace("\n\r", "|||") for k, v in entries)


def meta_xml(style, tmpl, desc):
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<Meta>
  <FStyleName>{escape(style)}</FStyleName>
  <FFlashTemplateName>{escape(tmpl)}</FFlashTemplateName>
  <FStyleDesc>{escape(desc)}</FStyleDesc>
  <FTmplVersion>{TMPL_VERSION}</FTmplVersion>
  <FAppVersion>{APP_VERSION}</FAppVersion>
</Meta>
"""


def write_templates():
    for name, spec in TEMPLATES.items():
        tree = settings_tree(spec["defaults"])
        folder = os.path.join(ROOT, "Templates", name)
        write(os.path.join(folder, "flashTemplate.xml"), template_xml(name, spec, tree))
        write(os.path.join(folder, "index.html"), PLACEHOLDER_PAGE.replace("__TEMPLATE__", name))
        styles = os.path.join(ROOT, "Styles", name)
        blank = [(p["key"], p["value"]) for p in flatten(tree)]
        write(os.path.join(styles, "Blank", "tmplSetting.txt"), settings_text(blank))
        write(os.path.join(styles, "Blank", "Meta.xml"), meta_xml("Blank", name, "The template as designed."))
        for theme, values in THEMES[name].items():
            write(os.path.join(styles, theme, "tmplSetting.txt"), settings_text(values.items()))
            write(os.path.join(styles, theme, "Meta.xml"), meta_xml(theme, name, f"{theme} colours for {name}."))


def write_player_keys():
    tree = settings_tree(TEMPLATES["Float"]["defaults"])
    rows = []
    for p in flatten(tree):
        meaning = p["desc"]
        if p["type"] == "pt_list":
            meaning += " One of: " + ", ".join(p["source"].split(",")) + "."
        rows.append(f"| `{p['key']}` | {p['type']} | {p['value'] or '(empty)'} | {meaning} |")
    text = """# Template settings the player reads

Every shipped template (Float, Neat, Slate) declares the same keys in its `flashTemplate.xml`;
only the defaults differ. The book description (`files/book.bin`, `book.xml`) carries them as
`<extConfig><item name="KEY">VALUE</item>…</extConfig>`, a flat list in tree order.

Value forms:
- switches (`pt_bool`): read leniently — "YES", "SHOW", "ENABLE", "TRUE" in any case are on,
  everything else is off (the editor writes "YES"/"NO"; the shipped defaults use "Show"/"Hide" too);
- colours (`pt_color`): "0x" + six hexadecimal digits (red, green, blue);
- files (`pt_file`): in the published book the value is the relative address of the copy,
  `./files/extfiles/KEY.EXT`; empty means none;
- numbers are decimal text; lists hold one of the choices named in the table.

| Key | Type | Default (Float) | Meaning |
|---|---|---|---|
""" + "\n".join(rows) + """

Group keys (`bookSetting`, `appearance`, `toolbarButtons`, `flipSetting`, `linkSetting`) carry no
value of their own. `languageSetting` is the list of chosen interface languages ("English;French");
the texts themselves arrive in the book description's `<languages>` element, keyed as in
`AppFiles/lang/Meta.xml`. `googleAnalyticsID` is used by the page's extra script
(`TmplData/fbOtherScript.txt`), not by the player.
"""
    write(os.path.join(ROOT, "Templates", "PLAYER_KEYS.md"), text)


OTHER_SCRIPT = """<script>
(function () {
  var id = "@{}";
  if (!id) return;
  var s = document.createElement("script");
  s.async = true;
  s.src = "https://www.googletagmanager.com/gtag/js?id=" + encodeURIComponent(id);
  document.head.appendChild(s);
  window.dataLayer = window.dataLayer || [];
  window.gtag = function () { window.dataLayer.push(arguments); };
  window.gtag("js", new Date());
  window.gtag("config", "@{}");
})();
</script>
"""

# key, title, description, English text
LANG_ITEMS = [
    ("btnFirstPage", "First page", "Tooltip of the button that goes to the first page", "First page"),
    ("btnPrevPage", "Previous page", "Tooltip of the button that turns back one page", "Previous page"),
    ("btnNextPage", "Next page", "Tooltip of the button that turns forward one page", "Next page"),
    ("btnLastPage", "Last page", "Tooltip of the button that goes to the last page", "Last page"),
    ("btnThumbnails", "Thumbnails", "Tooltip of the thumbnails button", "Thumbnails"),
    ("btnOutline", "Outline", "Tooltip of the outline (bookmarks) button", "Contents"),
    ("btnZoomIn", "Zoom in", "Tooltip of the zoom-in button", "Zoom in"),
    ("btnZoomOut", "Zoom out", "Tooltip of the zoom-out button", "Zoom out"),
    ("btnFullscreen", "Full screen", "Tooltip of the full screen button", "Full screen"),
    ("btnExitFullscreen", "Exit full screen", "Tooltip of the full screen button while in full screen", "Exit full screen"),
    ("btnSoundOn", "Sound on", "Tooltip of the sound button while muted", "Sound on"),
    ("btnSoundOff", "Sound off", "Tooltip of the sound button while sound plays", "Sound off"),
    ("btnDownload", "Download", "Tooltip of the download button", "Download"),
    ("btnShare", "Share", "Tooltip of the share button", "Share"),
    ("btnAutoFlipStart", "Start auto flip", "Tooltip of the auto flip button while stopped", "Play"),
    ("btnAutoFlipStop", "Stop auto flip", "Tooltip of the auto flip button while playing", "Pause"),
    ("btnLanguage", "Language", "Tooltip of the language chooser", "Language"),
    ("btnClose", "Close", "Label of the button that closes a panel", "Close"),
    ("lblPage", "Page", "Label before the page number box", "Page"),
    ("lblPageOf", "Of", "Word between the current page and the page count (3 of 20)", "of"),
    ("lblGoToPage", "Go to page", "Tooltip of the page number box", "Go to page"),
    ("lblThumbnails", "Thumbnails title", "Title of the thumbnails panel", "Pages"),
    ("lblOutline", "Outline title", "Title of the outline panel", "Contents"),
    ("lblShareTitle", "Share title", "Title of the share panel", "Share this book"),
    ("lblCopyLink", "Copy link", "Button of the share panel that copies the address", "Copy link"),
    ("lblLoading", "Loading", "Text shown while a page loads", "Loading…"),
    ("msgBookLoadFailed", "Book load failed", "Message when the book description cannot be read", "This book could not be opened."),
    ("msgPageLoadFailed", "Page load failed", "Message on a page whose file cannot be loaded", "This page could not be loaded."),
    ("msgLinkCopied", "Link copied", "Message after the address was copied", "Link copied to the clipboard."),
    ("msgNoOutline", "No outline", "Text of the outline panel when the book has none", "This book has no contents list."),
    ("msgOpenLinkConfirm", "Open link", "Question before a page link opens another web site", "Open this link in a new window?"),
]

TRANSLATIONS = {
    "French": ["Première page", "Page précédente", "Page suivante", "Dernière page", "Miniatures",
               "Sommaire", "Zoom avant", "Zoom arrière", "Plein écran", "Quitter le plein écran",
               "Activer le son", "Couper le son", "Télécharger", "Partager", "Lecture", "Pause",
               "Langue", "Fermer", "Page", "sur", "Aller à la page", "Pages", "Sommaire",
               "Partager ce livre", "Copier le lien", "Chargement…", "Ce livre n'a pas pu être ouvert.",
               "Cette page n'a pas pu être chargée.", "Lien copié dans le presse-papiers.",
               "Ce livre n'a pas de sommaire.", "Ouvrir ce lien dans une nouvelle fenêtre ?"],
    "German": ["Erste Seite", "Vorherige Seite", "Nächste Seite", "Letzte Seite", "Miniaturen",
               "Inhalt", "Vergrößern", "Verkleinern", "Vollbild", "Vollbild beenden", "Ton an", "Ton aus",
               "Herunterladen", "Teilen", "Abspielen", "Anhalten", "Sprache", "Schließen", "Seite", "von",
               "Gehe zu Seite", "Seiten", "Inhalt", "Dieses Buch teilen", "Link kopieren", "Wird geladen…",
               "Dieses Buch konnte nicht geöffnet werden.", "Diese Seite konnte nicht geladen werden.",
               "Link in die Zwischenablage kopiert.", "Dieses Buch hat kein Inhaltsverzeichnis.",
               "Diesen Link in einem neuen Fenster öffnen?"],
    "Spanish": ["Primera página", "Página anterior", "Página siguiente", "Última página", "Miniaturas",
                "Índice", "Acercar", "Alejar", "Pantalla completa", "Salir de pantalla completa",
                "Activar sonido", "Silenciar", "Descargar", "Compartir", "Reproducir", "Pausa", "Idioma",
                "Cerrar", "Página", "de", "Ir a la página", "Páginas", "Índice", "Compartir este libro",
                "Copiar enlace", "Cargando…", "No se pudo abrir este libro.", "No se pudo cargar esta página.",
                "Enlace copiado al portapapeles.", "Este libro no tiene índice.",
                "¿Abrir este enlace en una ventana nueva?"],
    "Chinese (Simplified)": ["首页", "上一页", "下一页", "末页", "缩略图", "目录", "放大", "缩小", "全屏",
                             "退出全屏", "打开声音", "关闭声音", "下载", "分享", "自动播放", "暂停", "语言",
                             "关闭", "页", "/", "跳转到页", "页面", "目录", "分享本书", "复制链接", "正在加载…",
                             "无法打开本书。", "无法加载此页。", "链接已复制到剪贴板。", "本书没有目录。",
                             "在新窗口中打开此链接？"],
}


def write_languages():
    items = "\n".join(
        f'    <item key="{k}">\n      <title>{escape(t)}</title>\n      <desc>{escape(d)}</desc>\n'
        f'      <value>{escape(v)}</value>\n    </item>' for k, t, d, v in LANG_ITEMS)
    write(os.path.join(ROOT, "lang", "Meta.xml"),
          f'<?xml version="1.0" encoding="UTF-8"?>\n<languageMeta>\n  <items>\n{items}\n  </items>\n</languageMeta>\n')
    languages = {"English": [v for _, _, _, v in LANG_ITEMS], **TRANSLATIONS}
    for name, texts in languages.items():
        assert len(texts) == len(LANG_ITEMS), name
        body = "".join(f'<item key="{k}"><value>{escape(t)}</value></item>'
                       for (k, _, _, _), t in zip(LANG_ITEMS, texts))
        write(os.path.join(ROOT, "lang", "value", f"{name}.xml"),
              f'<?xml version="1.0" encoding="UTF-8"?>\n<language><info><name>{escape(name)}</name></info>'
              f'<items>{body}</items></language>\n')


def main():
    write_templates()
    write_player_keys()
    write(os.path.join(ROOT, "TmplData", "fbOtherScript.txt"), OTHER_SCRIPT)
    write_languages()
    return 0


if __name__ == "__main__":
    sys.exit(main())
