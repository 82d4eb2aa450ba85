#include "util/Base64.h"
#include "util/BriskUtility.h"
#include "util/ColorText.h"
#include "util/CommonCryptor.h"
#include "util/NumberText.h"

#include <climits>

#include <gtest/gtest.h>

using namespace CommonCryptor;

TEST(RC4, MatchesTheKnownVectorsAndIsItsOwnInverse) {
    // Published RC4 test vectors.
    EXPECT_EQ(RC4EncryptedDataUsingKey(QByteArray("Plaintext"), QByteArray("Key")).toHex(), "bbf316e8d940af0ad3");
    EXPECT_EQ(RC4EncryptedDataUsingKey(QByteArray("Attack at dawn"), QByteArray("Secret")).toHex(),
              "45a01f645fc35b383552544b9bf5");
    const QByteArray book = QByteArray(100000, 'x') + "tail";
    const QByteArray once = RC4EncryptedDataUsingKey(book, QStringLiteral("qv-bookkey-2009"));
    EXPECT_EQ(once.size(), book.size());
    EXPECT_NE(once, book);
    EXPECT_EQ(RC4EncryptedDataUsingKey(once, QStringLiteral("qv-bookkey-2009")), book);
    const QByteArray empty = RC4EncryptedDataUsingKey(QByteArray(), QByteArray("k"));
    EXPECT_FALSE(empty.isNull());
    EXPECT_TRUE(empty.isEmpty());
}

TEST(RC4, AStringKeyIsItsUtf8BytesAndBadKeysFailWithAnError) {
    EXPECT_EQ(RC4EncryptedDataUsingKey(QByteArray("abc"), QStringLiteral("clé")),
              RC4EncryptedDataUsingKey(QByteArray("abc"), QStringLiteral("clé").toUtf8()));
    CryptorError error;
    EXPECT_TRUE(RC4EncryptedDataUsingKey(QByteArray("abc"), QByteArray(), &error).isNull());
    EXPECT_EQ(error.code, kParamError);
    EXPECT_EQ(error.description, "Parameter Error");
    EXPECT_EQ(fixKeyLength(kRC4, QByteArray(600, 'k')).size(), 512);
    EXPECT_EQ(fixKeyLength(kAES128, "k").size(), 16);
    EXPECT_EQ(fixKeyLength(kAES128, QByteArray(20, 'k')).size(), 24);
    EXPECT_EQ(fixKeyLength(kCAST, QByteArray(20, 'k')).size(), 16);
    int status = 0;
    EXPECT_TRUE(dataEncryptedUsingAlgorithm("abc", kDES, "key", {}, 0, &status).isNull());
    EXPECT_EQ(status, kUnimplemented);
    EXPECT_EQ(errorWithCCCryptorStatus(-1).description, "Unknown Error");
}

TEST(Base64, DecodingSkipsWhatIsNotInTheAlphabet) {
    EXPECT_EQ(Base64::dataFromBase64String("QUJD"), "ABC");
    EXPECT_EQ(Base64::dataFromBase64String("QUJ"), "AB");
    EXPECT_EQ(Base64::dataFromBase64String("QQ"), "A");
    EXPECT_EQ(Base64::dataFromBase64String("Q"), "");
    EXPECT_EQ(Base64::dataFromBase64String("QU JD\n"), "ABC");
    EXPECT_EQ(Base64::dataFromBase64String("QUJD===="), "ABC");
    EXPECT_EQ(Base64::dataFromBase64String("QUJD\u00e9"), "");
    EXPECT_EQ(BriskUtility::decodebase64String("aGVsbG8gd29ybGQ="), "hello world");
    EXPECT_EQ(Base64::NewBase64Decode("QUJD", static_cast<size_t>(-1)), "ABC");
}

TEST(ColourTexts, ReadLenientlyAndWriteSixLowerCaseDigits) {
    for (const char* text : {"ff8000", "0xff8000", "  FF8000"}) {
        const QColor c = ColorText::colorFromHexRGB(text);
        EXPECT_EQ(c.red(), 255) << text;
        EXPECT_EQ(c.green(), 128) << text;
        EXPECT_EQ(c.blue(), 0) << text;
        EXPECT_EQ(c.alpha(), 255) << text;
    }
    EXPECT_EQ(ColorText::colorFromHexRGB("").rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(ColorText::colorFromHexRGB("zz").rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(ColorText::colorToHexRGB(QColor(255, 0, 0)), "0xff0000");
    EXPECT_EQ(ColorText::colorToHexRGB(QColor::fromRgbF(0.499f, 0.499f, 0.499f)), "0x7f7f7f"); // truncated, not rounded
    EXPECT_EQ(ColorText::colorToHexRGB(ColorText::colorFromHexRGB("0x12ab9c")), "0x12ab9c");
    EXPECT_TRUE(ColorText::colorToHexRGB(QColor()).isEmpty());
}

TEST(NumberTexts, ReadLeadingDigitsLenientlyAndClamp) {
    EXPECT_EQ(NumberText::lenientInt(u"  42abc"), 42);
    EXPECT_EQ(NumberText::lenientInt(u"-7"), -7);
    EXPECT_EQ(NumberText::lenientInt(u"+3-5"), 3);
    EXPECT_EQ(NumberText::lenientInt(u"x12"), 0);
    EXPECT_EQ(NumberText::lenientInt(u""), 0);
    EXPECT_EQ(NumberText::lenientInt(u"99999999999999999999"), INT_MAX);
    EXPECT_EQ(NumberText::lenientInt(u"-99999999999999999999"), INT_MIN);
}
