#pragma once
// A small installed-data folder (two templates, two mobile templates, a bundle skeleton) and a
// book of page files made at test time, for the publishing tests.
#include "PdfFixtures.h"
#include "FolderSnapshot.h"
#include "TemplateXml.h"
#include "TestSupport.h"

#include "output/BookDescriptionFile.h"
#include "output/FlashBookOutput.h"
#include "output/OutputFiles.h"
#include "pages/FlashPageImage.h"
#include "pages/FlashPageSourceImg.h"
#include "templates/FlashTemplate.h"
#include "util/CommonCryptor.h"
#include "util/Resources.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <sys/stat.h>

namespace OutputFixture {

inline const QString kHome = TestSupport::isolateUserFolders();

// Three levels: book > layout > (pageWidth, pageHeight), then the other settings.
inline QByteArray templateXML(const char* validCode) {
    using TemplateXml::property;
    const QString sizes = property("pageWidth", "600", "pt_number") + property("pageHeight", "800", "pt_number");
    const QString layout = property("layout", "", "pt_composite", sizes);
    return TemplateXml::description(
        property("book", "", "pt_composite", layout) + property("isHardCover", "NO", "pt_bool") + property("logoFile", "", "pt_file") +
            property("languageSetting", "English", "pt_form_language") + property("linkOverColor", "#808080") +
            property("showDownload", "Hide", "pt_bool") + property("downloadURL", ""),
        "<macAppFilesFolder>TmplData/mac.app/Contents</macAppFilesFolder><mobileTmplFilesPath>TmplData/mobile/Flip"
        "</mobileTmplFilesPath><templateValidCode>" + QString(validCode) + "</templateValidCode>");
}

inline const QByteArray kTemplatePage = "<html><title>${index.title}</title>\n<body>${script.bottom}</body></html>\n";

inline void makeAppFiles(const QString& root) {
    using TestSupport::writeFile;
    for (const char* name : {"Tiny", "Neat"}) {
        const QString folder = root + "/Templates/" + name;
        writeFile(folder + "/flashTemplate.xml", templateXML(name));
        writeFile(folder + "/index.html", kTemplatePage);
        writeFile(folder + "/book.swf", "FWS player");
        writeFile(root + "/Styles/" + name + "/Blank/tmplSetting.txt", "\n\risHardCover=NO");
    }
    writeFile(root + "/TmplData/mobile/Flip/index.html", "<script>${fbbook.options}</script><p>${index.title}</p>");
    writeFile(root + "/TmplData/mobile/Flip/flip.css", "body{}");
    writeFile(root + "/TmplData/mobile/Slide/index.html", "var o=${fbbook.options};");
    writeFile(root + "/TmplData/mac.app/Contents/Info.plist", "<plist/>");
    writeFile(root + "/TmplData/mac.app/Contents/MacOS/LeafMillBook", "#!/bin/sh\n");
    OutputFiles::copyFolder(Resources::appFilesPath("lang"), root + "/lang");
}

using TestSupport::writeImage;

// The smallest movie that holds a JPEG bitmap the way page movies do.
inline QByteArray movieWithJpeg(const QByteArray& jpeg) {
    QByteArray body("\0\0\x0C\1\0", 5);               // empty frame rectangle, frame rate, one frame
    const quint32 length = quint32(jpeg.size() + 2);
    body += QByteArray("\x7F\x05", 2) + QByteArray(reinterpret_cast<const char*>(&length), 4) + QByteArray("\1\0", 2) + jpeg;
    body += QByteArray(2, '\0');
    const quint32 total = quint32(8 + body.size());
    return "FWS\x08" + QByteArray(reinterpret_cast<const char*>(&total), 4) + body;
}

using FolderSnapshot::snapshot;

inline ino_t inodeOf(const QString& path) {
    struct stat st {};
    return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

inline QByteArray bookXMLOf(const QString& bookBin) {
    BookDescriptionFile description;
    return description.decode(TestSupport::readFile(bookBin)) ? description.xml() : QByteArray();
}

// Installed data in a temporary folder, a template "Tiny" and pages whose normal files are SWF
// movies and thumbnails JPEG images, with page indices 0..n-1 that differ from file names.
class BookFolder : public ::testing::Test {
protected:
    void SetUp() override {
        PdfFixtures::ensureGuiApp();
        ASSERT_TRUE(iDir.isValid());
        iAppFiles = iDir.filePath("AppFiles");
        makeAppFiles(iAppFiles);
        Resources::setAppFilesRoot(iAppFiles);
        iTemplate = std::make_shared<FlashTemplate>(FlashTemplate::Empty{});
        iTemplate->loadTemplate("Tiny");
        iPages = std::make_shared<FlashPageSourceImg>();
        iOut = iDir.filePath("out");
        QDir().mkpath(iOut);
    }
    void TearDown() override { Resources::setAppFilesRoot({}); }

    QString out(const QString& relative) const { return iOut + "/" + relative; }
    std::unique_ptr<FlashBookOutput> engine(const QString& name = "mybook") {
        return std::make_unique<FlashBookOutput>(iPages, iTemplate, iOut, name);
    }

    void setLogo(const QString& fileName) {
        ASSERT_TRUE(writeImage(iDir.filePath("pictures/" + fileName), QSize(4, 4), Qt::red));
        iTemplate->setPropertyValue("logoFile", iDir.filePath("pictures/" + fileName));
    }
    void addPages(int count, bool withPhonePages = false) {
        const QString source = iDir.filePath("source");
        for (int i = 0; i < count; ++i) {
            const QString page = QString("%1/movie-%2.swf").arg(source).arg(i + 7);
            TestSupport::writeFile(page, "FWS page " + QByteArray::number(i));
            const QString thumb = QString("%1/small-%2.jpg").arg(source).arg(i + 7);
            writeImage(thumb, QSize(18, 24), QColor::fromHsv(i * 30 % 360, 200, 200));
            iPages->pages().append(std::make_shared<FlashPage>(page, i));
            iPages->normalPages().append(std::make_shared<FlashPage>(page, i));
            iPages->thumbPages().append(std::make_shared<FlashPageImage>(thumb, i));
            if (withPhonePages) {
                const QString phone = QString("%1/phone-%2.jpg").arg(source).arg(i);
                writeImage(phone, QSize(30, 40), Qt::gray);
                iPages->phonePages().append(std::make_shared<FlashPageImage>(phone, i));
            }
        }
    }

    QTemporaryDir iDir;
    QString iAppFiles;
    QString iOut;
    std::shared_ptr<FlashTemplate> iTemplate;
    std::shared_ptr<FlashPageSourceImg> iPages;
};

}
