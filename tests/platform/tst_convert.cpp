#include "TestMain.h"
#include "platform/vb/Constants.h"
#include "platform/vb/Convert.h"
#include "platform/vb/Error.h"

class TestConvert : public QObject
{
    Q_OBJECT

    static long errorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const vb::Error& e) {
            return e.number;
        }
        return 0;
    }

private slots:
    void strictIntegerRejectsWhatIsNotWholly_a_number_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("plain") << "1073" << 1073 << 0;
        QTest::newRow("blanks around") << " 12 " << 12 << 0;
        QTest::newRow("empty") << "" << 0 << 13;
        QTest::newRow("digits then letters") << "12ab" << 0 << 13;
        QTest::newRow("word") << "Name" << 0 << 13;
        QTest::newRow("half to even down") << "2.5" << 2 << 0;
        QTest::newRow("half to even up") << "3.5" << 4 << 0;
        QTest::newRow("hex") << "&H10" << 16 << 0;
        QTest::newRow("top of range") << "32767" << 32767 << 0;
        QTest::newRow("overflow") << "32768" << 0 << 6;
        QTest::newRow("negative overflow") << "-32769" << 0 << 6;
    }
    void strictIntegerRejectsWhatIsNotWholly_a_number()
    {
        // Guards against the strict conversion taking a leading number like the lenient one.
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, error);
        int16_t got = 0;
        QCOMPARE(errorOf([&] { got = vb::cInt(text); }), error);
        if (error == 0) {
            QCOMPARE(int(got), value);
        }
    }

    void lenientValueTakesTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("digits then letters") << "12ab" << 12.0;
        QTest::newRow("none") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("inner blanks skipped") << " 1 2" << 12.0;
        QTest::newRow("decimals") << "2.75x" << 2.75;
        QTest::newRow("negative") << "-10" << -10.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
    }
    void lenientValueTakesTheLeadingNumber()
    {
        // Guards against Val failing or reading past the leading number.
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(vb::val(text), value);
    }

    void trimTakesBlanksOnly()
    {
        // Guards against Trim keeping an outer blank or taking tabs and line ends with them.
        QCOMPARE(vb::trim(QStringLiteral("  a b  ")), QStringLiteral("a b"));
        QCOMPARE(vb::trim(QStringLiteral(" \ta\r\n ")), QStringLiteral("\ta\r\n"));
        QCOMPARE(vb::trim(QStringLiteral("   ")), QString());
    }

    void booleansReadAndWriteAsThePlatformDoes()
    {
        // Guards against settings written as "true"/"1" or a bad word read as False.
        QCOMPARE(vb::boolText(true), QStringLiteral("True"));
        QCOMPARE(vb::boolText(false), QStringLiteral("False"));
        QVERIFY(vb::cBool(QStringLiteral("TRUE")));
        QVERIFY(!vb::cBool(QStringLiteral("false")));
        QVERIFY(vb::cBool(QStringLiteral("-1")));
        QVERIFY(!vb::cBool(QStringLiteral("0")));
        QCOMPARE(errorOf([] { vb::cBool(QStringLiteral("Yes")); }), 13L);
    }

    void numbersWriteAsThePlatformWritesThem()
    {
        // Guards against "1000.0" or exponent forms in stored settings.
        QCOMPARE(vb::cStrSingle(1000.0f), QStringLiteral("1000"));
        QCOMPARE(vb::cStrSingle(4912.45f), QStringLiteral("4912.45"));
        QCOMPARE(vb::cStrSingle(-150.1f), QStringLiteral("-150.1"));
        QCOMPARE(vb::cStr(0.5), QStringLiteral("0.5"));
        QCOMPARE(vb::str(8), QStringLiteral(" 8"));
        QCOMPARE(vb::str(-3), QStringLiteral("-3"));
        QCOMPARE(vb::cStr(1e20), QStringLiteral("1E+20"));
    }

    void formatPatterns_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::newRow("line counter") << 12.0 << "00000" << "00012";
        QTest::newRow("seconds") << 12.3456 << "00000.000" << "00012.346";
        QTest::newRow("grouped") << 1234567.0 << "###,###,###" << "1,234,567";
        QTest::newRow("grouped small") << 512.0 << "###,###,###" << "512";
        QTest::newRow("grouped zero") << 0.0 << "###,###,###" << "";
        QTest::newRow("grouped negative") << -2048.0 << "###,###,###" << "-2,048";
        QTest::newRow("percent") << 45.678 << "##.##" << "45.68";
        QTest::newRow("percent whole") << 5.0 << "##.##" << "5.";
        QTest::newRow("percent fraction") << 0.5 << "##.##" << ".5";
    }
    void formatPatterns()
    {
        // Guards against log and report numbers losing their fixed widths.
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QCOMPARE(vb::format(value, pattern), text);
    }

    void sixteenBitOverflowIsAnError()
    {
        // Guards against silent wrap-around of 16-bit values.
        QCOMPARE(errorOf([] { vb::cInt(40000.0); }), 6L);
        QCOMPARE(errorOf([] { vb::cLng(3e9); }), 6L);
        QCOMPARE(int(vb::cInt(-32768.0)), -32768);
    }

    void twipsBeyondAnyScreenStopAtTheLimit_data()
    {
        QTest::addColumn<double>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("rounds") << 22.5 << 2;
        QTest::newRow("huge") << 1e30 << int(vb::kMaxPixels);
        QTest::newRow("huge negative") << -1e30 << -int(vb::kMaxPixels);
        QTest::newRow("not a number") << std::nan("") << 0;
    }
    void twipsBeyondAnyScreenStopAtTheLimit()
    {
        // Guards against a damaged stored place overflowing the conversion to int.
        QFETCH(double, twips);
        QTEST(vb::twipsToPixels(twips), "pixels");
    }
};

PINVARA_TEST_MAIN(TestConvert)
#include "tst_convert.moc"
