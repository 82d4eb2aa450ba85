// From import to a republished book through the page editor, headless: a go-to, a web, a picture
// and a video link and an outline change are made in the bundled editor page the way a user makes
// them, then the book is published, reopened from that folder and published again. The folders go
// to LEAFMILL_EDITOR_BOOKS, where the browser test pageEditor.test.mjs follows every link.
#include "AppTestSupport.h"
#include "app/PageEditorWindowController.h"
#include "annotations/FlashPagesAnnotations.h"
#include "PdfFixtures.h"
#include "util/Xml.h"

using AppTestSupport::evaluate;
using AppTestSupport::saveShot;
using AppTestSupport::waitFor;

namespace {

// What a user's hands do on the editor page: drags on the page, clicks, typing into labelled
// fields and keys on the focused element, each as the events the page listens to.
const QString kHands = QStringLiteral(R"JS(window.hands = {
  button: (text) => [...document.querySelectorAll('button')].find((b) => b.textContent.trim() === text),
  field: (label) => document.getElementById([...document.querySelectorAll('label')].find((l) => l.textContent === label)?.htmlFor),
  type(label, value) {
    const input = this.field(label);
    input.focus();
    input.value = value;
    input.dispatchEvent(new Event(input.tagName === 'SELECT' ? 'change' : 'input', { bubbles: true }));
  },
  drag(from, to) {
    const r = document.querySelector('.ed-sheet').getBoundingClientRect();
    const at = (f) => ({ clientX: r.left + r.width * f[0], clientY: r.top + r.height * f[1] });
    const send = (type, f, buttons) => document.elementFromPoint(at(f).clientX, at(f).clientY).dispatchEvent(new PointerEvent(type,
      { ...at(f), pointerId: 1, pointerType: 'mouse', isPrimary: true, button: 0, buttons, bubbles: true, cancelable: true }));
    send('pointerdown', from, 1);
    for (let step = 1; step <= 5; step++) send('pointermove', [0, 1].map((i) => from[i] + ((to[i] - from[i]) * step) / 5), 1);
    send('pointerup', to, 0);
  },
  key(key, options) {
    document.activeElement.dispatchEvent(new KeyboardEvent('keydown', { key, bubbles: true, cancelable: true, ...options }));
  },
};)JS");

// A PDF of twelve marked pages with three bookmarks (PDF pages 3, 6 and 9).
QByteArray outlinedPdf() {
    QList<PdfFixtures::HandPage> pages;
    for (int n = 1; n <= 12; ++n)
        pages << PdfFixtures::markedPage(QSizeF(420, 560), "Page " + QByteArray::number(n));
    PdfFixtures::HandPdfOptions options;
    options.extend = [](PdfObjectWriter& w, const QList<int>& ids, QList<PdfFixtures::HandPage>&) {
        return PdfFixtures::outlines(w, ids, {{"Opening", 2, {}}, {"Second part", 5, {}}, {"Third part", 8, {}}});
    };
    return PdfFixtures::handMadePdf(pages, options);
}

// A real webm clip, recorded from a canvas by the web engine.
QByteArray recordedClip() {
    QWebEngineView view;
    view.resize(200, 120);
    view.show();
    view.setHtml(QStringLiteral("<canvas width=160 height=90></canvas>"));
    waitFor([&] { return evaluate(&view, "!!document.querySelector('canvas')").toBool(); });
    evaluate(&view, QStringLiteral(R"JS((async () => {
      const canvas = document.querySelector('canvas'), g = canvas.getContext('2d');
      const recorder = new MediaRecorder(canvas.captureStream(25), { mimeType: 'video/webm' });
      const chunks = [];
      recorder.ondataavailable = (e) => chunks.push(e.data);
      recorder.onstop = () => {
        const reader = new FileReader();
        reader.onload = () => { window.clip = reader.result.split(',')[1]; };
        reader.readAsDataURL(new Blob(chunks));
      };
      recorder.start();
      for (let i = 0; i < 30; i++) {
        g.fillStyle = 'hsl(' + i * 12 + ',70%,50%)';
        g.fillRect(0, 0, 160, 90);
        await new Promise((r) => setTimeout(r, 40));
      }
      recorder.stop();
    })())JS"));
    QString clip;
    waitFor([&] { return !(clip = evaluate(&view, "window.clip || ''").toString()).isEmpty(); });
    return QByteArray::fromBase64(clip.toLatin1());
}

// In the editor on book page 1: four links and the second outline entry renamed and indented,
// then Save and close. Each chosen file's extensions are added to `asked`.
void editInThePage(PageEditorWindowController* editor, const QString& picture, const QString& clip, QStringList& asked) {
    editor->setFileChooser([&](const QString&, const QStringList& extensions) {
        asked << extensions.join(QLatin1Char(','));
        return QStringList{extensions.contains(QLatin1String("png")) ? picture : clip};
    });
    const auto run = [&](const QString& script) { return evaluate(editor->webView(), script); };
    ASSERT_TRUE(waitFor([&] { return run("!!window.connector && document.querySelector('.ed-picture')?.naturalWidth > 0").toBool(); }));
    run(kHands);
    const auto chooseFile = [&](const QString& kind, const QString& name) {
        run(QStringLiteral("hands.type('Link type', '%1'); hands.button('Choose file…').click()").arg(kind));
        return waitFor([&] { return run("document.querySelector('.ed-file-name')?.textContent").toString() == name; });
    };
    const auto addressInvalid = [&](const QString& address) {
        return run(QStringLiteral("hands.type('Address', '%1'); hands.field('Address').getAttribute('aria-invalid')").arg(address)).toString();
    };
    run("hands.drag([0.1, 0.1], [0.45, 0.2]); hands.type('Book page', '5')");
    run("hands.drag([0.55, 0.1], [0.9, 0.2]); hands.type('Link type', 'url')");
    EXPECT_EQ(addressInvalid("javascript:alert(1)"), "true");
    EXPECT_EQ(addressInvalid("https://example.org/more"), "false");
    run("hands.drag([0.1, 0.4], [0.45, 0.6])");
    ASSERT_TRUE(chooseFile("image", "pic.png"));
    run("hands.button('New link').click(); hands.drag([0.5, 0.49], [0.75, 0.75])");   // moved clear of the picture
    ASSERT_TRUE(chooseFile("video", "clip.webm"));
    run("hands.type('Tooltip (optional)', 'Watch <b>this</b>')");
    saveShot(editor, QStringLiteral("page-editor-form.png"));
    // Escape lets go of the focused link; Shift and an arrow key move it by 10 px; Delete removes
    // it and undo brings it back.
    EXPECT_EQ(run(R"JS((() => {
      const box = () => document.querySelector('.ed-box.ed-kind-video'), count = (s) => document.querySelectorAll(s).length, seen = [];
      box().focus(); hands.key('Escape'); seen.push(count('.ed-box.ed-selected'));
      box().focus(); const left = box().getBoundingClientRect().left; hands.key('ArrowLeft', { shiftKey: true });
      seen.push(Math.round(left - box().getBoundingClientRect().left));
      hands.key('Delete'); seen.push(count('.ed-box'));
      hands.key('z', { ctrlKey: true }); seen.push(count('.ed-box'), count('.ed-box.ed-selected'));
      return seen.join(' ');
    })())JS").toString(), "0 10 3 4 0");
    saveShot(editor, QStringLiteral("page-editor-links.png"));

    run("document.getElementById('ed-tab-outline').click();"
        "[...document.querySelectorAll('[role=treeitem]')].find((r) => r.textContent.startsWith('Second part')).click();"
        "hands.type('Title', 'Part <two> & more');"
        "document.querySelector('[role=treeitem][aria-selected=true]').focus(); hands.key('ArrowRight', { altKey: true })");
    ASSERT_EQ(run("document.querySelector('[role=treeitem][aria-selected=true]').getAttribute('aria-level')").toString(), "2");
    saveShot(editor, QStringLiteral("page-editor-outline.png"));
    run("hands.button('Save and close').click()");
    EXPECT_TRUE(waitFor([&] { return !editor->isVisible(); }));
}

}

TEST(PageEditorChain, LinksAndOutlineEditedInThePageSurvivePublishingReopeningAndRepublishing) {
    QTemporaryDir scratch;
    const QString books = qEnvironmentVariable("LEAFMILL_EDITOR_BOOKS", scratch.path());
    QDir(books).removeRecursively();
    QDir().mkpath(books + "/chosen");
    const QString pdf = books + "/chain.pdf", picture = books + "/chosen/pic.png", clip = books + "/chosen/clip.webm";
    TestSupport::writeFile(pdf, outlinedPdf());
    ASSERT_TRUE(TestSupport::writeImage(picture, QSize(300, 200), QColor("#e67e22")));
    const QByteArray clipBytes = recordedClip();
    ASSERT_GT(clipBytes.size(), 1000);
    TestSupport::writeFile(clip, clipBytes);

    AppTestSupport::PreviewApp run;
    LeafMillAppDelegate& app = run.app;
    ASSERT_TRUE(run.reloaded(0));
    // PDF pages 3-10: book page 5 is PDF page 7.
    app.onImport();
    ImportWindowDelegate* importSheet = app.importWindowDelegate();
    importSheet->txtImportFile()->setText(pdf);
    importSheet->pageRangeType()->button(1)->click();
    importSheet->txtPageRange()->setText(QStringLiteral("3-10"));
    importSheet->btnImportBookMark()->setChecked(true);
    saveShot(importSheet, QStringLiteral("import-sheet.png"));
    importSheet->onImportAction();
    ASSERT_TRUE(waitFor([&] { return importSheet->isHidden(); }, 120000));
    ASSERT_EQ(app.flashPageSource()->pages().size(), 8);
    EXPECT_EQ(AppTestSupport::settingOf(app, QStringLiteral("pageWidth")), QStringLiteral("420"));   // from the document
    ASSERT_TRUE(run.reloaded(1));   // rebuilt without a command; the editor opens on it

    QStringList asked;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* editor = qobject_cast<PageEditorWindowController*>(QApplication::activeModalWidget());
        if (!editor) return;
        poll.stop();
        editInThePage(editor, picture, clip, asked);
        if (editor->isVisible()) editor->exitWithoutSave();
    });
    poll.start(50);
    app.window()->actEditPage->trigger();
    EXPECT_EQ(asked, QStringList({"jpg,jpeg,png,gif,webp,svg", "mp4,webm"}));
    ASSERT_TRUE(app.book().pageLinks);
    const QString links = QString::fromUtf8(Xml::toBytes(app.book().pageLinks->pagesAnnotationsNode(), false, false));
    EXPECT_TRUE(links.contains("<pageIndex>7</pageIndex>")) << links.toStdString();   // the PDF page, not the book page

    EXPECT_EQ(AppTestSupport::publishThroughSheet(app, books + "/published", "book"), 1u);   // only the offer to open
    EXPECT_EQ(QDir(books + "/published/files/page").entryList({"*.swf"}, QDir::Files).size(), 8);   // the default pages
    {
        AppTestSupport::AlertAnswers reopenAlerts;
        AppTestSupport::PanelAnswers panels({books + "/published"});
        app.onOpenProjectFromFolder();
        EXPECT_TRUE(reopenAlerts.asked.empty());   // nothing of the book was left out
    }
    EXPECT_EQ(AppTestSupport::publishThroughSheet(app, books + "/republished", "book"), 1u);
}
