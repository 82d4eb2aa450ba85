#include "util/Base64.h"
#include "util/ColorText.h"
#include "util/CommonCryptor.h"
#include "util/NumberText.h"

#include <climits>

#include <gtest/gtest.h>

using namespace CommonCryptor;

// Published test vectors (and a key stream past its first 256 bytes); a text key is used as UTF-8.
TEST(RC4, MatchesTheKnownVectorsAndRefusesAnEmptyKey) {
    EXPECT_EQ(RC4EncryptedDataUsingKey(QByteArray("Plaintext"), QByteArray("Key")).toHex(), "bbf316e8d940af0ad3");
    EXPECT_EQ(RC4EncryptedDataUsingKey(QByteArray("Attack at dawn"), QByteArray("Secret")).toHex(),
              "45a01f645fc35b383552544b9bf5");
    EXPECT_EQ(RC4EncryptedDataUsingKey(QByteArray(600, '\0'), QByteArray("Key")).right(8).toHex(), "bacc94bfccc5303c");
    EXPECT_EQ(RC4EncryptedDataUsingKey(QByteArray("abc"), QStringLiteral("clé")),
              RC4EncryptedDataUsingKey(QByteArray("abc"), QStringLiteral("clé").toUtf8()));
    const QByteArray empty = RC4EncryptedDataUsingKey(QByteArray(), QByteArray("k"));
    EXPECT_TRUE(!empty.isNull() && empty.isEmpty());
    CryptorError error;
    EXPECT_TRUE(RC4EncryptedDataUsingKey(QByteArray("abc"), QByteArray(), &error).isNull());
    EXPECT_EQ(error.code, kParamError);
}

TEST(Base64, DecodingSkipsWhatIsNotInTheAlphabet) {
    const QList<QPair<QString, QByteArray>> cases = {{"QUJD", "ABC"}, {"QUJ", "AB"}, {"QQ", "A"}, {"Q", ""},
                                                     {"QU JD\n", "ABC"}, {"QUJD====", "ABC"}, {"QUJD\u00e9", ""}};
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(Base64::dataFromBase64String(text), bytes) << qPrintable(text);
}

TEST(ColourTexts, ReadLenientlyAndWriteSixLowerCaseDigits) {
    for (const char* text : {"ff8000", "0xff8000", "  FF8000"})
        EXPECT_EQ(ColorText::colorFromHexRGB(text), QColor(255, 128, 0)) << text;
    EXPECT_EQ(ColorText::colorFromHexRGB("").rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(ColorText::colorFromHexRGB("zz").rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(ColorText::colorToHexRGB(QColor::fromRgbF(0.499f, 0.499f, 0.499f)), "0x7f7f7f"); // truncated, not rounded
    EXPECT_EQ(ColorText::colorToHexRGB(ColorText::colorFromHexRGB("0x12ab9c")), "0x12ab9c");
    EXPECT_TRUE(ColorText::colorToHexRGB(QColor()).isEmpty());
}

TEST(NumberTexts, ReadLeadingDigitsLenientlyAndClamp) {
    const QList<QPair<const char16_t*, int>> cases = {{u"  42abc", 42}, {u"-7", -7}, {u"+3-5", 3}, {u"x12", 0}, {u"", 0},
                                                      {u"99999999999999999999", INT_MAX}, {u"-99999999999999999999", INT_MIN}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(NumberText::lenientInt(text), value);
}
