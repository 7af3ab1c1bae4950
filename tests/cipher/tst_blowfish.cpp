// The Blowfish block cipher against the published vectors, and the string cipher's padding,
// unpadding, key and byte-exactness rules.
#include "../errortrace/CatchwellFixture.h"
#include "TestMain.h"
#include "cipher/StringCipher.h"
#include "cipher/basBlfArrays.h"
#include "cipher/basBlowfish.h"
#include "cipher/basBlowfishFns.h"
#include "cipher/basConvert.h"
#include "cipher/basUnsignedWord.h"

using namespace Qt::StringLiterals;
using namespace basBlowfish;

namespace {

QString latin1(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.constData(), bytes.size());
}

QByteArray encipheredBlock(QByteArray block)
{
    blf_EncryptBytes(block);
    return block;
}

QByteArray decipheredBlock(QByteArray block)
{
    blf_DecryptBytes(block);
    return block;
}

} // namespace

class TestBlowfish : public QObject
{
    Q_OBJECT

    CatchwellFixture fx;
    long depthBefore = 0;
    QString trappedAt;
    long trappedNumber = 0;

private slots:
    void init()
    {
        fx.setUp();
        trappedAt.clear();
        trappedNumber = 0;
        modCatchwell::setReportHook([this] {
            ++fx.reports;
            const auto& s = modCatchwell::state();
            trappedAt = s.cwTraceEntry[s.cwTraceDepth];
            trappedNumber = vb::Err().number;
            return int16_t(0);
        });
        depthBefore = modCatchwell::cwTraceDepth();
        Module1::SetKey(u"master-key"_s);
    }

    void cleanup()
    {
        QCOMPARE(modCatchwell::cwTraceDepth(), depthBefore);
        VERIFY_DRAINED(*fx.host);
        fx.tearDown();
    }

    void initialValuesAreThePiFraction()
    {
        // Guards against a table generated from the wrong digits or in the wrong order.
        QCOMPARE(basBlfArrays::kInitialP[0], 0x243F6A88u);
        QCOMPARE(basBlfArrays::kInitialP[17], 0x8979FB1Bu);
        QCOMPARE(basBlfArrays::kInitialS[0][0], 0xD1310BA6u);
        QCOMPARE(basBlfArrays::kInitialS[3][255], 0x3AC372E6u);
        basBlfArrays::blf_LoadArrays();
        QCOMPARE(blf_PArray, basBlfArrays::kInitialP);
        QCOMPARE(blf_SBoxes, basBlfArrays::kInitialS);
    }

    void publishedVectors_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        QTest::newRow("zeros") << "0000000000000000"_ba << "0000000000000000"_ba
                               << "4EF997456198DD78"_ba;
        QTest::newRow("ones") << "FFFFFFFFFFFFFFFF"_ba << "FFFFFFFFFFFFFFFF"_ba
                              << "51866FD5B85ECB8A"_ba;
        QTest::newRow("3000..") << "3000000000000000"_ba << "1000000000000001"_ba
                                << "7D856F9A613063F2"_ba;
        QTest::newRow("0123..") << "0123456789ABCDEF"_ba << "1111111111111111"_ba
                                << "61F9C3802281B096"_ba;
        QTest::newRow("FEDC..") << "FEDCBA9876543210"_ba << "0123456789ABCDEF"_ba
                                << "0ACEAB0FC6A0A28D"_ba;
        QTest::newRow("1111..") << "1111111111111111"_ba << "1111111111111111"_ba
                                << "2466DD878B963C9D"_ba;
        QTest::newRow("1111../0123..") << "1111111111111111"_ba << "0123456789ABCDEF"_ba
                                       << "7D0CC630AFDA1EC7"_ba;
        QTest::newRow("7CA1..") << "7CA110454A1A6E57"_ba << "01A1D6D039776742"_ba
                                << "59C68245EB05282B"_ba;
        QTest::newRow("0131..") << "0131D9619DC1376E"_ba << "5CD54CA83DEF57DA"_ba
                                << "B1B8CC0B250F09A0"_ba;
        QTest::newRow("07A1..") << "07A1133E4A0B2686"_ba << "0248D43806F67172"_ba
                                << "1730E5778BEA1DA4"_ba;

        // Keys of 1 to 24 bytes: the schedule has to cycle through short keys correctly.
        const QByteArray longKey = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677"_ba;
        const QList<std::pair<int, QByteArray>> byLength = {
            {1, "F9AD597C49DB005E"_ba},  {2, "E91D21C1D961A6D6"_ba},  {3, "E9C2B70A1BC65CF3"_ba},
            {4, "BE1E639408640F05"_ba},  {5, "B39E44481BDB1E6E"_ba},  {6, "9457AA83B1928C0D"_ba},
            {7, "8BB77032F960629D"_ba},  {8, "E87A244E2CC85E82"_ba},  {16, "93142887EE3BE15C"_ba},
            {24, "05044B62FA52D080"_ba}};
        for (const auto& [bytes, cipher] : byLength) {
            QTest::addRow("key of %d bytes", bytes)
                << longKey.left(bytes * 2) << "FEDCBA9876543210"_ba << cipher;
        }
        // The longest key accepted, 56 bytes 00 to 37.
        QByteArray k56;
        for (int i = 0; i < 56; ++i) {
            k56 += QByteArray(1, char(i)).toHex().toUpper();
        }
        QTest::newRow("key of 56 bytes") << k56 << "0123456789ABCDEF"_ba << "47A3ABD719E825FA"_ba;
    }

    void publishedVectors()
    {
        // Guards against a wrong key schedule, round order, byte order or table value.
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);
        QVERIFY(blf_KeyInit(QByteArray::fromHex(key)));
        QByteArray block = QByteArray::fromHex(plain);
        blf_EncryptBytes(block);
        QCOMPARE(block.toHex().toUpper(), cipher);
        blf_DecryptBytes(block);
        QCOMPARE(block.toHex().toUpper(), plain);
    }

    void wordHelpers()
    {
        // Guards against sign trouble where unsigned words meet signed 32-bit values.
        using namespace basUnsignedWord;
        QCOMPARE(uwJoin(0x12, 0x34, 0xAB, 0xFF), 0x1234ABFFu);
        uint8_t a = 0, b = 0, c = 0, d = 0;
        uwSplit(0xFE01AB7Fu, a, b, c, d);
        QCOMPARE(QList<int>({a, b, c, d}), QList<int>({0xFE, 0x01, 0xAB, 0x7F}));
        QCOMPARE(uw_ShiftLeftBy8(0x81234567u), 0x23456700u);
        QCOMPARE(uw_WordAdd(0xFFFFFFFFu, 2u), 1u);
        QCOMPARE(UnsignedToLong(4294967295LL), -1);
        QCOMPARE(UnsignedToLong(2147483648LL), int32_t(INT32_MIN));
        QCOMPARE(LongToUnsigned(-1), 4294967295LL);
        QCOMPARE(LongToUnsigned(INT32_MIN), 2147483648LL);
        QCOMPARE(fx.reports, 0);
    }

    void outOfRangeWordIsTrappedAndGivesZero()
    {
        // Guards against an overflow escaping the routine or leaving a half-made result.
        QCOMPARE(basUnsignedWord::UnsignedToLong(4294967296LL), 0);
        QCOMPARE(fx.reports, 1);
        QVERIFY(trappedAt.contains(u"basUnsignedWord : Function UnsignedToLong"_s));
        QCOMPARE(trappedNumber, 6L);
    }

    void shortBlockIsTrappedAndLeftAlone()
    {
        // Guards against reading past a block that is not 8 bytes long.
        QByteArray block("1234567");
        blf_EncryptBytes(block);
        QCOMPARE(block, "1234567"_ba);
        QCOMPARE(fx.reports, 1);
        QVERIFY(trappedAt.contains(u"basBlowfish : Function blf_EncryptBytes"_s));
        QCOMPARE(trappedNumber, 9L);
    }

    void emptyTextStaysEmpty()
    {
        // Guards against the empty text being padded into a block.
        QCOMPARE(Module1::Encrypt(QString()), QString());
        QCOMPARE(Module1::Decrypt(QString()), QString());
    }

    void padsToTheNextWholeBlock_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("expected");
        for (int length : {1, 4, 7, 8, 15, 16, 23}) {
            QTest::addRow("%d", length) << length << (length / 8 + 1) * 8;
        }
    }

    void padsToTheNextWholeBlock()
    {
        // Guards against a length that is a multiple of 8 going without its padding block.
        QFETCH(int, length);
        QFETCH(int, expected);
        QCOMPARE(Module1::Encrypt(QString(length, u'p')).size(), expected);
    }

    void eightCharactersGetABlockOfEights()
    {
        // Guards against the padding count 0 for a whole block.
        const QString c = Module1::Encrypt(u"ABCDEFGH"_s);
        QCOMPARE(c.size(), 16);
        QCOMPARE(c.left(8), latin1(encipheredBlock("ABCDEFGH"_ba)));
        QCOMPARE(c.mid(8), latin1(encipheredBlock(QByteArray(8, '\x08'))));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("short") << u"pass"_s;
        QTest::newRow("one") << u"x"_s;
        QTest::newRow("whole block") << u"password"_s;
        QTest::newRow("two blocks") << u"sixteen-chars-pw"_s;
        QTest::newRow("23") << u"abcdefghijklmnopqrstuvw"_s;
        QTest::newRow("blanks kept") << u"  a b  "_s;
        QTest::newRow("latin-1") << latin1("\xC4\xD6\xDC\xDF\xE9\xFF\xA0"_ba);
        QTest::newRow("NUL inside") << latin1(QByteArray("ab\0cd\0", 6));
        for (int code = 1; code <= 8; ++code) {
            QTest::addRow("ends in code %d", code) << u"secret"_s + QChar(code);
            QTest::addRow("block ends in code %d", code) << u"secret!"_s + QChar(code);
        }
        QTest::newRow("all eights") << QString(8, QChar(8));
    }

    void roundTrip()
    {
        // Guards against padding that eats or leaves characters of the text itself.
        QFETCH(QString, text);
        const QString c = Module1::Encrypt(text);
        QCOMPARE(c.size() % 8, 0);
        QCOMPARE(Module1::Decrypt(c), text);
        QCOMPARE(fx.reports, 0);
    }

    void verifierKnownAnswers_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("verifier");
        QTest::newRow("4 characters") << u"abcd"_s << "36E845B823520FBC"_ba;
        QTest::newRow("8 characters") << u"Secret12"_s << "91B0C4CD9E3FD7485C7732D38E4D9D9D"_ba;
        QTest::newRow("16 characters")
            << u"sixteen-chars-pw"_s << "1D966382530F49EA7DB88ADC61B01AEF4BC4FB79E1119F85"_ba;
        QTest::newRow("latin-1") << latin1("p\xE4ss w\xF6rd"_ba)
                                 << "8AF1B9EA5E99FC5E1C0A538485F39A3E"_ba;
    }

    void verifierKnownAnswers()
    {
        // Guards against a change of padding or character mapping that would make every
        // verifier stored by an earlier build refuse its own password.
        QFETCH(QString, password);
        QFETCH(QByteArray, verifier);
        Module1::SetKey(password);
        const QString c = Module1::Encrypt(password);
        QCOMPARE(basConvert::cv_BytesFromString(c).toHex().toUpper(), verifier);
        QCOMPARE(Module1::Decrypt(c), password);
    }

    void deterministicAndBlockwise()
    {
        // Guards against hidden chaining or state carried from one call to the next.
        const QString c = Module1::Encrypt(u"ABCDEFGHABCDEFGH"_s);
        QCOMPARE(Module1::Encrypt(u"ABCDEFGHABCDEFGH"_s), c);
        QCOMPARE(c.size(), 24);
        QCOMPARE(c.mid(0, 8), c.mid(8, 8));
        QVERIFY(c.mid(16, 8) != c.left(8));
    }

    void shortTextDecipheresToSpaces_data()
    {
        QTest::addColumn<int>("length");
        for (int length = 1; length <= 7; ++length) {
            QTest::addRow("%d", length) << length;
        }
    }

    void shortTextDecipheresToSpaces()
    {
        // Guards against deciphering a part block or stripping by a space's code.
        QFETCH(int, length);
        QCOMPARE(Module1::Decrypt(QString(length, u'\x03')), QString(length, u' '));
    }

    void tailBeyondWholeBlocksStaysSpaces_data() { shortTextDecipheresToSpaces_data(); }

    void tailBeyondWholeBlocksStaysSpaces()
    {
        // Guards against a ragged tail being deciphered, dropped or taken as padding.
        QFETCH(int, length);
        const QString c = Module1::Encrypt(u"password"_s);
        const QString tail(length, QChar(5));
        QCOMPARE(Module1::Decrypt(c + tail),
                 u"password"_s + QString(8, QChar(8)) + QString(length, u' '));
    }

    void lastCharacterDecidesTheStrip_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QString>("expected");
        QTest::newRow("code 0 strips nothing") << QByteArray("1234567\0", 8)
                                               << latin1(QByteArray("1234567\0", 8));
        QTest::newRow("code 9 strips nothing") << "1234567\t"_ba << u"1234567\t"_s;
        QTest::newRow("code 255 strips nothing") << "1234567\xFF"_ba << latin1("1234567\xFF"_ba);
        QTest::newRow("code 1") << "1234567\x01"_ba << u"1234567"_s;
        QTest::newRow("code 5 unchecked") << "ABCDEFG\x05"_ba << u"ABC"_s;
        QTest::newRow("code 8 strips all") << "abcdefg\x08"_ba << QString();
    }

    void lastCharacterDecidesTheStrip()
    {
        // Guards against checking the padding or stripping for codes outside 1 to 8.
        QFETCH(QByteArray, plain);
        QFETCH(QString, expected);
        QCOMPARE(Module1::Decrypt(latin1(encipheredBlock(plain))), expected);
    }

    void wrongKeyGivesTextNotError()
    {
        // Guards against a wrong key raising an error instead of giving a mismatch.
        const QString c = Module1::Encrypt(u"secret-password"_s);
        Module1::SetKey(u"other-key"_s);
        const QString p = Module1::Decrypt(c);
        QVERIFY(p != u"secret-password"_s);
        QVERIFY(p.size() >= c.size() - 8 && p.size() <= c.size());
        QCOMPARE(fx.reports, 0);
        QCOMPARE(vb::Err().number, 0L);
    }

    void overlongKeyLeavesTheOldKey()
    {
        // Guards against a 57-byte key replacing or damaging the key in force.
        const QString c = Module1::Encrypt(u"verifier"_s);
        Module1::SetKey(QString(57, u'k'));
        QCOMPARE(Module1::gKeyBytes.size(), 57);
        QCOMPARE(Module1::Encrypt(u"verifier"_s), c);
        QVERIFY(!blf_KeyInit(QByteArray(57, 'k')));
        QVERIFY(!blf_KeyInit(QByteArray()));
        QCOMPARE(Module1::Encrypt(u"verifier"_s), c);

        Module1::SetKey(QString(56, u'k'));
        const QString c56 = Module1::Encrypt(u"verifier"_s);
        QVERIFY(c56 != c);
        QVERIFY(blf_KeyInit(QByteArray(56, 'k')));
        QCOMPARE(Module1::Encrypt(u"verifier"_s), c56);
        QCOMPARE(fx.reports, 0);
    }

    void keyBytesAreOneBytePerCharacter()
    {
        // Guards against a multi-byte encoding or a NUL cutting the key short.
        const QString key = latin1(QByteArray("k\0\xE9y", 4));
        Module1::SetKey(key);
        QCOMPARE(Module1::gKeyBytes, QByteArray("k\0\xE9y", 4));
        const QString c = Module1::Encrypt(u"verifier"_s);
        Module1::SetKey(u"k"_s);
        QVERIFY(Module1::Encrypt(u"verifier"_s) != c);
        QCOMPARE(basConvert::cv_BytesFromString(QString(QChar(0x20AC))), "?"_ba);
    }

    void cipherTextKeepsEveryCode()
    {
        // Guards against cipher bytes cut at a NUL or altered by a text encoding.
        const QByteArray withNul("\0\0\0ABC\0\x80", 8);
        const QString plain = latin1(decipheredBlock(withNul));
        const QString c = Module1::Encrypt(plain);
        QCOMPARE(c.size(), 16);
        QCOMPARE(c.left(8), latin1(withNul));
        QCOMPARE(Module1::Decrypt(c), plain);

        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i) {
            all[i] = char(i);
        }
        QString plainAll;
        for (int k = 0; k < 32; ++k) {
            plainAll += latin1(decipheredBlock(all.mid(k * 8, 8)));
        }
        const QString cAll = basBlowfishFns::blf_StringEnc(plainAll);
        QCOMPARE(cAll.size(), 264);
        QCOMPARE(cAll.left(256), latin1(all));
        QCOMPARE(Module1::Decrypt(cAll), plainAll);
    }
};

PINVARA_TEST_MAIN(TestBlowfish)
#include "tst_blowfish.moc"
