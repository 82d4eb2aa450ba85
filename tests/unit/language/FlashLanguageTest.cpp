#include "TestSupport.h"
#include "language/FlashLanguage.h"
#include "language/FlashLanguageSettings.h"
#include "language/LanguageFiles.h"
#include "util/Resources.h"
#include "util/Xml.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kHome = TestSupport::isolateUserFolders();

QByteArray item(const char* key, const QString& value) {
    return QStringLiteral("<item key=\"%1\"><value>%2</value></item>").arg(QLatin1String(key), value).toUtf8();
}

QByteArray valueFile(const QString& name, const QByteArray& items = {}) {
    return "<language><info><name>" + name.toUtf8() + "</name></info><items>" + items + "</items></language>";
}

class Languages : public ::testing::Test {
protected:
    void SetUp() override {
        Resources::setAppFilesRoot(iAppFiles.path());
        QByteArray meta = "<m><items>";
        for (const char* key : {"next", "prev", "zoom"})
            meta += QStringLiteral("<item key=\"%1\"><desc/><title>T-%1</title><value>V-%1</value></item>").arg(key).toUtf8();
        ASSERT_TRUE(TestSupport::writeFile(iAppFiles.path() + "/lang/Meta.xml", meta + "</items></m>"));
        QDir(pool()).removeRecursively();
    }
    void TearDown() override { Resources::setAppFilesRoot({}); }

    static QString pool() { return LanguageFiles::languageValuesPoolFolder(); }
    void addToPool(const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(TestSupport::writeFile(pool() + name + ".xml", bytes));
    }
    QStringList poolFiles() const { return QDir(pool()).entryList(QDir::Files, QDir::Name); }
    QString valueOf(const QString& language) const {
        FlashLanguage read;
        read.loadValueByLanguageName(language);
        return read.metaItems()[0].value;
    }

    QTemporaryDir iAppFiles;
    QTemporaryDir iOut;
};

TEST_F(Languages, ValueFilesOverrideOnlyDeclaredItemsSayWhatIsBrokenAndAreWrittenBack) {
    addToPool("French", valueFile("French", item("next", "Page suivante") + item("bogus", "ignored")));
    FlashLanguage language;
    ASSERT_TRUE(language.loadValueByLanguageName("French"));
    ASSERT_EQ(language.metaItems().size(), 3u);
    EXPECT_EQ(language.metaItems()[0].value + language.metaItems()[1].value + language.metaItems()[1].title,
              "Page suivanteV-prevT-prev");

    language.setLanguageName("Mine");
    language.setLangItemValue("Go", "next");
    language.save();
    EXPECT_EQ(valueOf("Mine"), "Go");
    FlashLanguage().save();   // a language without a name is not saved
    EXPECT_EQ(poolFiles(), QStringList({"French.xml", "Mine.xml"}));

    // A broken file keeps what was read and says why.
    const QString broken = iOut.path() + "/broken.xml";
    ASSERT_TRUE(TestSupport::writeFile(broken, valueFile("X", item("next", "1") + "<item key=\"prev\"/>" + item("zoom", "3"))));
    FlashLanguage partly;
    EXPECT_FALSE(partly.loadFromXMLValue(broken));
    EXPECT_TRUE(partly.errorString().contains("value"));
    EXPECT_EQ(partly.metaItems()[0].value + partly.metaItems()[2].value, "1V-zoom");

    ASSERT_TRUE(TestSupport::writeFile(broken, "\x01 not xml"));
    partly.loadFromXMLValue(broken);
    EXPECT_TRUE(partly.errorString().contains(broken)) << partly.errorString();
}

TEST_F(Languages, ChosenLanguagesBecomeOneElementEachWithDefaultsForUnknownNames) {
    addToPool("German", valueFile("German", item("zoom", "Vergrößern")));
    pugi::xml_document doc;
    FlashLanguageSettings("German;").flashNeededLanguagesAsXMLNode(doc);
    const QByteArray items = item("next", "V-next") + item("prev", "V-prev");
    const QByteArray german = valueFile("German", items + item("zoom", "Vergrößern"));
    EXPECT_EQ(Xml::toBytes(doc, false, false), "<languages>" + german + valueFile("", items + item("zoom", "V-zoom")) + "</languages>");
}

// Renames never overwrite another language, and neither renames nor imports write outside the pool.
TEST_F(Languages, ImportAndRenameRefuseNamesThatAreNoPlainFreeFileName) {
    addToPool("French", valueFile("French", item("next", "Suivante")));
    const struct { QByteArray file; bool ok; } imports[] = {
        {"<language><items/></language>", false}, {valueFile("../../evil"), false},
        {valueFile("German", item("next", "Weiter")), true},
    };
    for (const auto& c : imports) {
        ASSERT_TRUE(TestSupport::writeFile(iOut.path() + "/in.xml", c.file));
        FlashLanguage language;
        EXPECT_EQ(language.importIntoPool(iOut.path() + "/in.xml"), c.ok) << c.file.constData();
        EXPECT_NE(language.errorString().isEmpty(), !c.ok) << c.file.constData();
    }
    EXPECT_EQ(poolFiles(), QStringList({"French.xml", "German.xml"}));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(pool() + "../../evil.xml").absoluteFilePath()));

    for (const char* to : {"French", "../German", "", "Deutsch"}) {
        FlashLanguage german;
        german.loadValueByLanguageName("German");
        EXPECT_EQ(german.rename(to), QString(to) == "Deutsch") << to;
    }
    EXPECT_EQ(poolFiles(), QStringList({"Deutsch.xml", "French.xml"}));
    EXPECT_EQ(valueOf("Deutsch") + valueOf("French"), "WeiterSuivante");
}

TEST_F(Languages, NewNamesFillGapsAndDefaultsNeverOverwriteTheUsersFiles) {
    for (const char* name : {"Language1", "Language3"})
        addToPool(name, valueFile(name));
    EXPECT_EQ(FlashLanguageSettings::newLanguageName(), "Language2");
    addToPool("Language2", valueFile("Language2"));
    EXPECT_EQ(FlashLanguageSettings::newLanguageName(), "Language4");

    ASSERT_TRUE(TestSupport::writeFile(iAppFiles.path() + "/lang/value/Language1.xml", valueFile("Language1")));
    ASSERT_TRUE(TestSupport::writeFile(iAppFiles.path() + "/lang/value/Dutch.xml", valueFile("Dutch")));
    addToPool("Language1", "users own");
    FlashLanguageSettings::copyDefaultLanguagesToPool();
    EXPECT_EQ(poolFiles(), QStringList({"Dutch.xml", "Language1.xml", "Language2.xml", "Language3.xml"}));
    EXPECT_EQ(TestSupport::readFile(pool() + "Language1.xml"), "users own");
}

// The player's texts we ship: every language names itself and translates every item.
TEST(ShippedLanguages, EveryValueFileCoversTheMetaFile) {
    Resources::setAppFilesRoot({});
    FlashLanguage defaults;
    ASSERT_TRUE(defaults.errorString().isEmpty()) << defaults.errorString();
    ASSERT_GE(defaults.metaItems().size(), 20u);
    QStringList names;
    for (const QString& path : LanguageFiles::defaultLanguageValuePaths()) {
        pugi::xml_document doc;
        ASSERT_TRUE(Xml::loadFile(doc, path).ok) << path;
        FlashLanguage language;
        ASSERT_TRUE(language.loadFromXMLValue(path)) << language.errorString();
        names << language.languageName();
        EXPECT_EQ(QFileInfo(path).completeBaseName(), language.languageName());
        const auto items = doc.document_element().child("items").children("item");
        EXPECT_EQ(size_t(std::distance(items.begin(), items.end())), defaults.metaItems().size()) << path;
    }
    for (const char* wanted : {"English", "French", "German", "Spanish", "Chinese (Simplified)"})
        EXPECT_TRUE(names.contains(wanted)) << wanted;
}

}
