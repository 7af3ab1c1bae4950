#include "ScriptedHost.h"
#include "TestMain.h"
#include "dialogs/frmRandomiser.h"

#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSlider>

using namespace Qt::StringLiterals;

namespace {

const QString kDigits = u"0123456789"_s;
const QString kUpper = u"ABCDEFGHJKMNPQRSTUVWXYZ"_s;  // without I, L and O
const QString kLower = u"abcdefghjkmnpqrstuvwxyz"_s;  // without i, l and o
constexpr int kDraws = 2000;

template <class T>
T* child(QWidget& form, const QString& name)
{
    T* found = form.findChild<T*>(name);
    if (found == nullptr) {
        qFatal("missing control %s", qPrintable(name));
    }
    return found;
}

} // namespace

class tst_frmRandomiser : public QObject
{
    Q_OBJECT

private slots:
    void designValues();
    void generate_data();
    void generate();
    void numericDisablesCase();
    void sliderKeepsText();
    void acceptNeedsText();
    void leaving_data();
    void leaving();
};

// A design value drifted: wrong caption, default kind, case, length or an Accept enabled early.
void tst_frmRandomiser::designValues()
{
    frmRandomiser form;
    QCOMPARE(form.objectName(), u"frmRandomiser"_s);
    QCOMPARE(form.windowTitle(), u"Password Generator"_s);
    QVERIFY(form.optType(0)->isChecked());
    QCOMPARE(form.optType(2)->text(), u"Numeric"_s);
    QVERIFY(child<QRadioButton>(form, u"optCase_0"_s)->isChecked());
    QCOMPARE(child<QGroupBox>(form, u"Frame3"_s)->title(), u" TYPE "_s);
    QCOMPARE(child<QGroupBox>(form, u"frmCase"_s)->title(), u" CASE "_s);
    auto* slider = child<QSlider>(form, u"sldNumChars"_s);
    QCOMPARE(slider->minimum(), 4);
    QCOMPARE(slider->maximum(), 16);
    QCOMPARE(slider->value(), 8);
    QCOMPARE(child<QLabel>(form, u"lblPWC"_s)->text(), u" 8: Characters"_s);
    QCOMPARE(form.txtRandomMaxLength(), 8);
    QVERIFY(!child<QPushButton>(form, u"cmdAccept"_s)->isEnabled());
    QCOMPARE(child<QPushButton>(form, u"cmdGen"_s)->text(), u"&Generate"_s);
    QCOMPARE(child<QPushButton>(form, u"cmdAccept"_s)->text(), u"&Accept"_s);
    QCOMPARE(child<QPushButton>(form, u"cmdCancel"_s)->text(), u"&Cancel"_s);
    QCOMPARE(child<QLabel>(form, u"Label1"_s)->text(),
             u"WARNING: Pressing ACCEPT will overwrite the existing Account Password!"_s);
}

void tst_frmRandomiser::generate_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("caseChoice");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("drawn");  // the codes drawn, before the case applies

    QTest::newRow("alpha+numeric mixed") << 0 << 0 << 8 << kDigits + kUpper + kLower;
    QTest::newRow("alpha mixed") << 1 << 0 << 8 << kUpper + kLower;
    QTest::newRow("numeric") << 2 << 0 << 16 << kDigits;
    QTest::newRow("alpha+numeric upper") << 0 << 1 << 10 << kDigits + kUpper + kLower;
    QTest::newRow("alpha+numeric lower") << 0 << 2 << 12 << kDigits + kUpper + kLower;
    QTest::newRow("alpha upper") << 1 << 1 << 8 << kUpper + kLower;
    QTest::newRow("numeric with lower") << 2 << 2 << 4 << kDigits;
}

// A password of the wrong length, a symbol outside the kind's alphabet (confusable letters
// included), the case not applied, a symbol that never comes up, or one drawn far more or
// less often than its share.
void tst_frmRandomiser::generate()
{
    QFETCH(int, kind);
    QFETCH(int, caseChoice);
    QFETCH(int, length);
    QFETCH(QString, drawn);

    // Each drawn code is equally likely; the case then folds letters together.
    QHash<QChar, int> share;
    for (const QChar c : drawn) {
        ++share[caseChoice == 1 ? c.toUpper() : caseChoice == 2 ? c.toLower() : c];
    }

    frmRandomiser form;
    form.optType(kind)->setChecked(true);
    child<QRadioButton>(form, u"optCase_%1"_s.arg(caseChoice))->setChecked(true);
    child<QSlider>(form, u"sldNumChars"_s)->setValue(length);
    auto* text = child<QLineEdit>(form, u"txtRandom"_s);

    QHash<QChar, int> seen;
    for (int draw = 0; draw < kDraws; ++draw) {
        form.cmdGen_Click();
        const QString password = text->text();
        QCOMPARE(password.size(), length);
        for (const QChar c : password) {
            QVERIFY2(share.contains(c), qPrintable(u"unexpected "_s + c + u" in "_s + password));
            ++seen[c];
        }
    }
    QCOMPARE(seen.size(), share.size());
    // The bounds lie many standard deviations away from the expected count.
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        const double expected = double(kDraws) * length * share.value(it.key()) / drawn.size();
        QVERIFY2(it.value() > expected * 0.6 && it.value() < expected * 1.4,
                 qPrintable(u"%1 drawn %2 times, expected about %3"_s.arg(it.key())
                                .arg(it.value())
                                .arg(expected)));
    }
}

// The case frame and its options stayed enabled for digits-only passwords, or stayed disabled
// after another kind was chosen again.
void tst_frmRandomiser::numericDisablesCase()
{
    frmRandomiser form;
    auto* frame = child<QGroupBox>(form, u"frmCase"_s);
    form.optType(2)->setChecked(true);
    QVERIFY(!frame->isEnabled());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!form.optCase(i)->isEnabled());
        QVERIFY(!form.optCase(i)->isEnabledTo(frame));
    }
    form.optType(1)->setChecked(true);
    QVERIFY(frame->isEnabled());
    for (int i = 0; i < 3; ++i) {
        QVERIFY(form.optCase(i)->isEnabled());
    }
}

// Moving the slider regenerated, cut or otherwise changed the current password, or left the
// length text and the box's limit behind.
void tst_frmRandomiser::sliderKeepsText()
{
    frmRandomiser form;
    auto* slider = child<QSlider>(form, u"sldNumChars"_s);
    auto* text = child<QLineEdit>(form, u"txtRandom"_s);
    auto* label = child<QLabel>(form, u"lblPWC"_s);

    slider->setValue(12);
    QCOMPARE(label->text(), u" 12: Characters"_s);
    QCOMPARE(form.txtRandomMaxLength(), 12);
    form.cmdGen_Click();
    const QString password = text->text();
    QCOMPARE(password.size(), 12);

    slider->setValue(4);
    QCOMPARE(label->text(), u" 4: Characters"_s);
    QCOMPARE(form.txtRandomMaxLength(), 4);
    QCOMPARE(text->text(), password);
    // The lower limit still stops typing into the longer text.
    text->end(false);
    QTest::keyClicks(text, u"x"_s);
    QCOMPARE(text->text(), password);

    slider->setValue(16);
    QCOMPARE(label->text(), u" 16: Characters"_s);
    QCOMPARE(text->text(), password);
}

// Accept could be pressed with nothing to accept, or stayed disabled after a password came.
void tst_frmRandomiser::acceptNeedsText()
{
    frmRandomiser form;
    auto* accept = child<QPushButton>(form, u"cmdAccept"_s);
    auto* text = child<QLineEdit>(form, u"txtRandom"_s);
    QVERIFY(!accept->isEnabled());
    form.cmdGen_Click();
    QVERIFY(accept->isEnabled());
    text->clear();
    QVERIFY(!accept->isEnabled());
    text->setText(u"k"_s);
    QVERIFY(accept->isEnabled());
}

void tst_frmRandomiser::leaving_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("callerSet");
    QTest::addColumn<bool>("expected");

    QTest::newRow("accept") << u"accept"_s << false << true;
    QTest::newRow("cancel") << u"cancel"_s << true << false;
    QTest::newRow("frame close keeps false") << u"close"_s << false << false;
    QTest::newRow("frame close keeps true") << u"close"_s << true << true;
}

// Accept or Cancel left the dialog up or gave the wrong result, or closing from the window
// frame changed the result the caller had set (and so overwrote the password).
void tst_frmRandomiser::leaving()
{
    QFETCH(QString, how);
    QFETCH(bool, callerSet);
    QFETCH(bool, expected);

    ScriptedHost host;
    frmRandomiser form;
    form.setAccepted(callerSet);
    host.onModal<frmRandomiser>(u"frmRandomiser"_s, [how](frmRandomiser& f) {
        f.cmdGen_Click();
        if (how == u"accept"_s) {
            QTest::mouseClick(f.findChild<QPushButton*>(u"cmdAccept"_s), Qt::LeftButton);
        } else if (how == u"cancel"_s) {
            QTest::mouseClick(f.findChild<QPushButton*>(u"cmdCancel"_s), Qt::LeftButton);
        } else {
            f.close();
        }
    });
    host::host().showModal(form, nullptr);
    VERIFY_DRAINED(host);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.Accepted(), expected);
    QCOMPARE(child<QLineEdit>(form, u"txtRandom"_s)->text().size(), 8);
}

PINVARA_TEST_MAIN(tst_frmRandomiser)
#include "tst_frmRandomiser.moc"
