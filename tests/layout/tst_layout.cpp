// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The form's layout arithmetic, without a window: the sizes it refuses and the layout it
// comes back to. Then the real form down to its smallest size, every control inside its
// frame, and a caption of its machine buttons.

#include "form/Didascalia.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/LayoutRefill.h"
#include "form/Twips.h"

#include <QFontMetricsF>
#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {

// The places as the form is created.
LayoutRefill comeCreato() {
    LayoutRefill l;
    l.Picture1 = {60, 60, 12555, 2715};
    l.FrmTastiera = {7440, 2820, 5175, 7875};
    l.FrmApparecchi = {60, 3540, 7335, 6555};
    l.CmdDietro = l.Opt1 = l.Opt2 = l.Opt3 = l.CmdAvanti = {60, 120, 0, 1275};
    l.FrmConto = {7320, 0, 5115, 2595};
    l.Image1 = {5400, 420, 1920, 1920};
    return l;
}

// Every place of the layout, in a fixed order.
QList<float> valori(const LayoutRefill& l) {
    QList<float> v;
    for (const Twips::Rettangolo* r :
         {&l.Picture1, &l.FrmTastiera, &l.FrmApparecchi, &l.CmdDietro, &l.Opt1, &l.Opt2, &l.Opt3,
          &l.CmdAvanti, &l.FrmConto, &l.Image1})
        v << r->Left << r->Top << r->Width << r->Height;
    for (const Twips::Rettangolo& r : l.CmdApparecchio)
        v << r.Left << r.Top << r.Width << r.Height;
    return v;
}

} // namespace

class TstLayout : public QObject {
    Q_OBJECT
private slots:
    // Sizes too small for the controls (a narrow or minimised window) leave them at sizes
    // they had, never negative ones; back at the created size the form is as created.
    void posti_data() {
        QTest::addColumn<QList<QSizeF>>("dimensioni");
        const QSizeF creata(15270, 10785);
        QTest::newRow("narrower than the keypad") << QList<QSizeF>{creata, {5000, 10785}, creata};
        QTest::newRow("minimised") << QList<QSizeF>{creata, {20000, 12000}, {0, 0}, creata};
        QTest::newRow("first layout while minimised") << QList<QSizeF>{{90, 60}, creata};
    }

    void posti() {
        QFETCH(QList<QSizeF>, dimensioni);
        LayoutRefill attesa = comeCreato();
        attesa.applica(15270, 10785);
        LayoutRefill l = comeCreato();
        for (const QSizeF& d : dimensioni) {
            l.applica(float(d.width()), float(d.height()));
            const QList<float> v = valori(l);
            for (qsizetype i = 2; i < v.size(); i += 4)
                QVERIFY2(v[i] >= 0 && v[i + 1] >= 0, qPrintable(QString::number(i / 4)));
        }
        QCOMPARE(valori(l), valori(attesa));
        QCOMPARE(l.CmdApparecchio[15].Left + l.CmdApparecchio[15].Width + l.CmdDietro.Left,
                 l.FrmApparecchi.Width);
    }

    // Whatever the window's size, down to the smallest it accepts, every control lies inside
    // its frame and the frames inside the window, the selection's hidden pair under the
    // machine frame.
    void tastieraRaggiungibile_data() {
        QTest::addColumn<QSize>("richiesta");
        QTest::addColumn<QSize>("ottenuta");
        QTest::newRow("1024x768") << QSize(1024, 768) << QSize(1024, 768);
        QTest::newRow("smallest") << QSize(800, 480) << QSize(800, 480);
        QTest::newRow("below the smallest") << QSize(640, 400) << QSize(800, 480);
    }

    void tastieraRaggiungibile() {
        QFETCH(QSize, richiesta);
        QFETCH(QSize, ottenuta);
        FrmRefill form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.resize(richiesta);
        QTRY_COMPARE(form.size(), ottenuta);
        for (const QWidget* cornice : {form.Picture1, form.FrmTastiera, form.FrmApparecchi}) {
            QVERIFY2(form.rect().contains(cornice->geometry()), qPrintable(cornice->objectName()));
            for (const QWidget* w : cornice->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!w->isWindow())
                    QVERIFY2(cornice->rect().contains(w->geometry()), qPrintable(w->objectName()));
            }
        }
        for (const Etichetta* nascosta : {form.Bottone, form.testoBottone}) {
            const QWidget* sopra = form.childAt(nascosta->geometry().center());
            QVERIFY(sopra == form.FrmApparecchi || form.FrmApparecchi->isAncestorOf(sopra));
        }
    }

    // A machine's caption on a small button, fitted without a window: it shrinks until all of
    // it fits, no word broken over two lines.
    void didascalia() {
        const QSize area(92, 56);
        const QString caption = u"0043\nFortuna\n\n\u20AC  150"_s;
        QFont font(u"DejaVu Sans"_s);
        font.setPointSizeF(12);
        font.setBold(true);
        const Didascalia::Composizione c = Didascalia::componi(caption, font, area);
        QVERIFY(c.intera);
        QVERIFY(c.font.pointSizeF() <= 12 && c.font.pointSizeF() >= Didascalia::PuntiMinimi);
        QVERIFY(c.righe.size() * c.altezzaRiga <= area.height());
        const QFontMetricsF metriche(c.font);
        for (const QString& riga : c.righe)
            QVERIFY2(metriche.horizontalAdvance(riga) <= area.width(), qPrintable(riga));
        QCOMPARE(c.righe.size(), 4);
        QCOMPARE(c.righe.join(u' ').split(u' ', Qt::SkipEmptyParts),
                 QString(caption).replace(u'\n', u' ').split(u' ', Qt::SkipEmptyParts));
    }
};

QTEST_MAIN(TstLayout)
#include "tst_layout.moc"
