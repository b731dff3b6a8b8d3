// The places a reader jumped from, walked back and forward like a browser's
// history. Each row is a script: "jN" jumps away from page N; "bN>M" goes back
// from page N and must land on page M ("-": nowhere, at the end); "fN>M" the
// same forward.
#include "viewer/pdf/JumpHistory.h"

#include <QtTest>

namespace {

ViewPlace at(int page)
{
    return {page, QPointF(10, 20)};
}

QString jumps(int from, int to) // "jfrom … jto-1"
{
    QStringList steps;
    for (int page = from; page < to; ++page)
        steps << QStringLiteral("j%1").arg(page);
    return steps.join(QLatin1Char(' '));
}

QString backs(int from, int downTo) // back from `from` one page at a time
{
    QStringList steps;
    for (int page = from; page > downTo; --page)
        steps << QStringLiteral("b%1>%2").arg(page).arg(page - 1);
    return steps.join(QLatin1Char(' '));
}

} // namespace

class TestJumpHistory : public QObject {
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("back and forward") << "j0 j1 b2>1 b1>0 b0>- f0>1 f1>2 f2>-";
        QTest::newRow("a new jump forgets the way forward") << "j0 j1 b2>1 j1 f5>- b5>1 b1>0";
        QTest::newRow("back from where the last jump left goes further") << "j0 j1 b1>0 f0>1";
        // Find hits already in view are jumps that do not move: a hundred of
        // them must not push the place before them out.
        QTest::newRow("the same place is kept once")
            << "j9 " + QStringList(150, QStringLiteral("j0")).join(QLatin1Char(' ')) + " b1>0 b0>9";
        QTest::newRow("the last hundred places are kept")
            << jumps(0, 150) + ' ' + backs(150, 50) + " b50>-";
    }

    void walk()
    {
        QFETCH(QString, script);
        JumpHistory history;
        const QRegularExpression step(QStringLiteral("^([jbf])(\\d+)(?:>(\\d+|-))?$"));
        for (const QString &text : script.split(QLatin1Char(' '))) {
            const QRegularExpressionMatch m = step.match(text);
            QVERIFY2(m.hasMatch(), qPrintable(text));
            const ViewPlace here = at(m.captured(2).toInt());
            if (m.captured(1) == QLatin1String("j")) {
                history.jumpedFrom(here);
                continue;
            }
            const std::optional<ViewPlace> to =
                m.captured(1) == QLatin1String("b") ? history.back(here) : history.forward(here);
            const QString want = m.captured(3);
            const QString got = to ? QString::number(to->page) : QStringLiteral("-");
            QVERIFY2(got == want, qPrintable(text + QStringLiteral(" went to ") + got));
            if (to)
                QCOMPARE(to->point, at(0).point);
        }
    }
};

QTEST_MAIN(TestJumpHistory)
#include "test_jump_history.moc"
