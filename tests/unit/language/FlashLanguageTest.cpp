#include "TestSupport.h"
#include "language/FlashLanguage.h"
#include "language/FlashLanguageSettings.h"
#include "language/LanguageFiles.h"
#include "util/BriskUtility.h"
#include "util/Resources.h"
#include "util/Xml.h"
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kHome = TestSupport::isolateUserFolders();

const QByteArray kMeta =
    "<m><items>"
    "<item key=\"next\"><desc>d1</desc><title>Next</title><value>Next page</value></item>"
    "<item key=\"prev\"><desc>d2</desc><title>Prev</title><value>Previous page</value></item>"
    "<item key=\"zoom\"><desc>d3</desc><title>Zoom</title><value>Zoom</value></item>"
    "</items></m>";

QByteArray valueFile(const QString& name, const QString& items) {
    return ("<language><info><name>" + name + "</name></info><items>" + items + "</items></language>").toUtf8();
}

class Languages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(iAppFiles.isValid());
        Resources::setAppFilesRoot(iAppFiles.path());
        ASSERT_TRUE(TestSupport::writeFile(iAppFiles.path() + "/lang/Meta.xml", kMeta));
        QDir(pool()).removeRecursively();
    }
    void TearDown() override { Resources::setAppFilesRoot({}); }

    static QString pool() { return LanguageFiles::languageValuesPoolFolder(); }
    void addToPool(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(TestSupport::writeFile(pool() + name + ".xml", bytes));
    }
    QStringList poolFiles() const {
        QStringList files = QDir(pool()).entryList(QDir::Files);
        files.sort();
        return files;
    }

    QTemporaryDir iAppFiles;
    QTemporaryDir iOut;
};

TEST_F(Languages, ValueFileOverridesOnlyDeclaredItemsAndSavingWritesItBack) {
    addToPool("French", valueFile("French", "<item key=\"next\"><value>Page suivante</value></item>"
                                            "<item key=\"bogus\"><value>ignored</value></item>"));
    FlashLanguage language;
    ASSERT_TRUE(language.loadValueByLanguageName("French"));
    ASSERT_EQ(language.metaItems().size(), 3u);
    EXPECT_EQ(language.metaItems()[0].value, "Page suivante");
    EXPECT_EQ(language.metaItems()[1].value, "Previous page");
    EXPECT_EQ(language.metaItems()[1].title, "Prev");

    language.setLanguageName("Mine");
    language.setLangItemValue("Go", "next");
    language.save();
    FlashLanguage back;
    back.loadValueByLanguageName("Mine");
    EXPECT_EQ(back.metaItems()[0].value, "Go");
    FlashLanguage().save();   // a language without a name is not saved
    EXPECT_EQ(poolFiles(), QStringList({"French.xml", "Mine.xml"}));
}

TEST_F(Languages, ChosenLanguagesBecomeOneElementEachWithDefaultsForUnknownNames) {
    addToPool("German", valueFile("German", "<item key=\"zoom\"><value>Vergrößern</value></item>"));
    pugi::xml_document doc;
    FlashLanguageSettings("German;").flashNeededLanguagesAsXMLNode(doc);
    const QString xml = QString::fromUtf8(Xml::toBytes(doc, false, false));
    const QString german = "<language><info><name>German</name></info><items>"
                           "<item key=\"next\"><value>Next page</value></item>"
                           "<item key=\"prev\"><value>Previous page</value></item>"
                           "<item key=\"zoom\"><value>Vergrößern</value></item></items></language>";
    const QString unnamed = "<language><info><name></name></info><items>"
                            "<item key=\"next\"><value>Next page</value></item>"
                            "<item key=\"prev\"><value>Previous page</value></item>"
                            "<item key=\"zoom\"><value>Zoom</value></item></items></language>";
    EXPECT_EQ(xml.toStdString(), ("<languages>" + german + unnamed + "</languages>").toStdString());
}

TEST_F(Languages, BrokenFilesKeepWhatWasReadAndSayWhy) {
    const QString broken = iOut.path() + "/broken.xml";
    ASSERT_TRUE(TestSupport::writeFile(broken, valueFile("X", "<item key=\"next\"><value>1</value></item>"
                                                              "<item key=\"prev\"/>"
                                                              "<item key=\"zoom\"><value>3</value></item>")));
    FlashLanguage language;
    EXPECT_FALSE(language.loadFromXMLValue(broken));
    EXPECT_TRUE(language.errorString().contains("value"));
    EXPECT_EQ(language.metaItems()[0].value, "1");
    EXPECT_EQ(language.metaItems()[2].value, "Zoom");

    ASSERT_TRUE(TestSupport::writeFile(broken, "\x01 not xml"));
    language.loadFromXMLValue(broken);
    EXPECT_TRUE(language.errorString().contains(broken)) << language.errorString().toStdString();
}

TEST_F(Languages, ImportRefusesFilesWithoutUsableNameAndLeavesThePoolAlone) {
    addToPool("English", valueFile("English", ""));
    const QString noName = iOut.path() + "/noname.xml";
    const QString escaping = iOut.path() + "/escaping.xml";
    const QString good = iOut.path() + "/good.xml";
    ASSERT_TRUE(TestSupport::writeFile(noName, "<language><items/></language>"));
    ASSERT_TRUE(TestSupport::writeFile(escaping, valueFile("../../evil", "")));
    ASSERT_TRUE(TestSupport::writeFile(good, valueFile("Italian", "<item key=\"next\"><value>Avanti</value></item>")));

    FlashLanguage language;
    EXPECT_FALSE(language.importIntoPool(noName));
    EXPECT_TRUE(language.errorString().contains("info")) << language.errorString().toStdString();
    EXPECT_FALSE(language.importIntoPool(escaping));
    EXPECT_EQ(poolFiles(), QStringList({"English.xml"}));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(pool() + "../../evil.xml").absoluteFilePath()));

    EXPECT_TRUE(language.importIntoPool(good));
    EXPECT_EQ(poolFiles(), QStringList({"English.xml", "Italian.xml"}));
}

TEST_F(Languages, PoolListingOrderAndNewNames) {
    for (const char* name : {"English", "French", "German", "Language1", "Language3"})
        addToPool(name, valueFile(name, ""));
    const QStringList ordered = FlashLanguageSettings::orderedLanguageNames("German;Gone;English");
    ASSERT_EQ(ordered.size(), 5);
    EXPECT_EQ(ordered.mid(0, 2), QStringList({"German", "English"}));
    EXPECT_TRUE(ordered.mid(2).contains("French"));

    EXPECT_EQ(FlashLanguageSettings::newLanguageName(), "Language2");
    addToPool("Language2", valueFile("Language2", ""));
    EXPECT_EQ(FlashLanguageSettings::newLanguageName(), "Language4");

    EXPECT_FALSE(LanguageFiles::languageValuePathByName("French").isNull());
    FlashLanguageSettings::removeLanguageValueByName("French");
    EXPECT_TRUE(LanguageFiles::languageValuePathByName("French").isNull());
}

// A rename moves the pool file, and never onto another language or out of the pool.
TEST_F(Languages, RenameMovesThePoolFileOrRefuses) {
    const struct { const char* to; bool ok; QStringList files; } cases[] = {
        {"German", true, {"French.xml", "German.xml"}},
        {"French", false, {"French.xml", "German.xml"}},
        {"../German", false, {"French.xml", "German.xml"}},
        {"", false, {"French.xml", "German.xml"}},
        {"Deutsch", true, {"Deutsch.xml", "French.xml"}},
    };
    for (const auto& c : cases) {
        QDir(pool()).removeRecursively();
        addToPool("French", valueFile("French", "<item key=\"next\"><value>Suivante</value></item>"));
        addToPool("German", valueFile("German", "<item key=\"next\"><value>Weiter</value></item>"));
        FlashLanguage german;
        german.loadValueByLanguageName("German");
        EXPECT_EQ(german.rename(c.to), c.ok) << c.to;
        EXPECT_EQ(poolFiles(), c.files) << c.to;
        FlashLanguage renamed;
        renamed.loadValueByLanguageName(c.ok ? c.to : "German");
        EXPECT_EQ(renamed.metaItems()[0].value, "Weiter") << c.to;
    }
}

TEST_F(Languages, DefaultsAreCopiedWithoutOverwritingTheUsersFiles) {
    ASSERT_TRUE(TestSupport::writeFile(iAppFiles.path() + "/lang/value/English.xml", valueFile("English", "")));
    ASSERT_TRUE(TestSupport::writeFile(iAppFiles.path() + "/lang/value/Dutch.xml", valueFile("Dutch", "")));
    addToPool("English", "users own");
    FlashLanguageSettings::copyDefaultLanguagesToPool();
    EXPECT_EQ(poolFiles(), QStringList({"Dutch.xml", "English.xml"}));
    EXPECT_EQ(TestSupport::readFile(pool() + "English.xml"), "users own");
}

// The player's texts we ship: every language names itself and translates every item.
TEST(ShippedLanguages, EveryValueFileCoversTheMetaFile) {
    Resources::setAppFilesRoot({});
    FlashLanguage defaults;
    ASSERT_TRUE(defaults.errorString().isEmpty()) << defaults.errorString().toStdString();
    ASSERT_GE(defaults.metaItems().size(), 20u);
    const QStringList files = LanguageFiles::defaultLanguageValuePaths();
    QStringList names;
    for (const QString& path : files) {
        pugi::xml_document doc;
        ASSERT_TRUE(Xml::loadFile(doc, path).ok) << path.toStdString();
        FlashLanguage language;
        ASSERT_TRUE(language.loadFromXMLValue(path)) << language.errorString().toStdString();
        names << language.languageName();
        EXPECT_EQ(QFileInfo(path).completeBaseName(), language.languageName());
        const auto items = doc.document_element().child("items").children("item");
        EXPECT_EQ(size_t(std::distance(items.begin(), items.end())), defaults.metaItems().size())
            << path.toStdString();
    }
    for (const char* wanted : {"English", "French", "German", "Spanish", "Chinese (Simplified)"})
        EXPECT_TRUE(names.contains(wanted)) << wanted;
}

}
