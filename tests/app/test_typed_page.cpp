// The number typed into the page box or the go-to-page prompt.
#include "ui/TypedPage.h"

#include <QLocale>
#include <QTest>

class TestTypedPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("page");
        QTest::newRow("plain") << "12" << 12;
        QTest::newRow("blanks around") << "  12  " << 12;
        QTest::newRow("fraction floors down") << "3.9" << 3;
        QTest::newRow("7.9") << "7.9" << 7;
        QTest::newRow("negative fraction floors away from zero") << "-0.5" << -1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("plus sign") << "+5" << 5;
        QTest::newRow("exponent") << "1e2" << 100;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << int(-2147483648LL);
    }
    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, page);
        const auto parsed = parseTypedPage(text);
        QVERIFY(parsed.has_value());
        QCOMPARE(*parsed, page);
    }

    void rejectsWhatIsNoPageNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
        QTest::newRow("letters") << "abc";
        QTest::newRow("trailing letters") << "12abc";
        QTest::newRow("beyond 32 bits") << "2147483648";
        QTest::newRow("below 32 bits") << "-2147483649";
        QTest::newRow("huge exponent") << "1e300";
        QTest::newRow("infinity") << "inf";
        QTest::newRow("not a number") << "nan";
    }
    void rejectsWhatIsNoPageNumber()
    {
        QFETCH(QString, text);
        QVERIFY(!parseTypedPage(text).has_value());
    }

    void followsTheUsersLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        const auto parsed = parseTypedPage(QStringLiteral("3,7"));
        QLocale::setDefault(QLocale::c());
        QVERIFY(parsed.has_value());
        QCOMPARE(*parsed, 3);
    }
};

QTEST_GUILESS_MAIN(TestTypedPage)
#include "test_typed_page.moc"
