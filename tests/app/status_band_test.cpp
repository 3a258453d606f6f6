#include "app/status_band.h"

#include <QProgressBar>
#include <QtTest>

namespace pelmar::app {

class StatusBandTest : public QObject {
    Q_OBJECT

  private slots:
    void positionsAreShownWhenPumpedAtMostOnceAFrame() {
        StatusBand band;
        band.setRange(0, 1000);
        QCOMPARE(band.progressBar().value(), 0);
        band.setPosition(400);
        band.pump();
        QCOMPARE(band.progressBar().value(), 0);  // the range was painted a moment ago
        QTest::qWait(60);
        band.setPosition(500);
        band.pump();
        QCOMPARE(band.progressBar().value(), 500);
    }

    void stepsAndPositionsStayInsideTheRange() {
        StatusBand band;
        band.setRange(0, 2);
        band.step();
        band.step();
        band.step();
        QTest::qWait(60);
        band.pump();
        QCOMPARE(band.progressBar().value(), 2);
        band.setPosition(4'000'000'000U);
        QTest::qWait(60);
        band.pump();
        QCOMPARE(band.progressBar().value(), 2);
    }

    void statusTextIsShownAtOnce() {
        StatusBand band;
        QCOMPARE(band.statusText(), QStringLiteral("Location"));
        band.setStatus("Reading Photos...");
        QCOMPARE(band.statusText(), QStringLiteral("Reading Photos..."));
    }
};

}  // namespace pelmar::app

QTEST_MAIN(pelmar::app::StatusBandTest)
#include "status_band_test.moc"
