// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Work put off until the first window is painted: not before, once only, and not at all
// when called off.
#include "DopoPrimoDisegno.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

class TstDopoPrimoDisegno : public QObject {
    Q_OBJECT

private slots:
    void dopoIlPrimoDisegnoUnaVolta();
};

void TstDopoPrimoDisegno::dopoIlPrimoDisegnoUnaVolta() {
    int eseguita = 0;
    bool dipintaPrima = false;
    QLabel finestra(u"Refill"_s);
    // Whether the window had been painted when the action ran.
    struct Pittura : QObject {
        bool dipinta = false;
        bool eventFilter(QObject*, QEvent* evento) override {
            if (evento->type() == QEvent::Paint)
                dipinta = true;
            return false;
        }
    } pittura;
    finestra.installEventFilter(&pittura);
    DopoPrimoDisegno::esegui([&] {
        ++eseguita;
        dipintaPrima = pittura.dipinta;
    });
    int annullata = 0;
    QPointer<DopoPrimoDisegno> revocata = DopoPrimoDisegno::esegui([&] { ++annullata; });
    delete revocata.data();

    QCoreApplication::processEvents();
    QCOMPARE(eseguita, 0); // nothing painted yet
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
    QTRY_COMPARE(eseguita, 1);
    QVERIFY(dipintaPrima);
    finestra.update();
    finestra.repaint();
    QCoreApplication::processEvents();
    QCOMPARE(eseguita, 1);
    QCOMPARE(annullata, 0);
}

QTEST_MAIN(TstDopoPrimoDisegno)
#include "tst_dopoprimodisegno.moc"
