// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The form's layout arithmetic, without a window: the sizes it refuses and the layout it
// comes back to. Then the real form down to its smallest size, every control inside its
// frame, its pictures as Qt draws them, and the captions of its graphical buttons.

#include "form/Didascalia.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/LayoutRefill.h"
#include "form/PulsanteGrafico.h"
#include "form/Twips.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTest>

#include <utility>

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
        QTest::newRow("narrower than 5465") << QList<QSizeF>{creata, {5400, 10785}, creata};
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

    // The form draws its pictures itself from the SVG files: at each button's size, plain and
    // greyed, what Qt's SVG icon engine draws from the same file.
    void immaginiComeIlMotoreSvgDiQt() {
        FrmRefill form;
        for (const QString& voce :
             u"CmdSalva:salva CmdCanc:azzera CmdTrova:cerca CmdStampa:stampa "
             "CmdChiudi:chiudi CmdDietro:indietro CmdAvanti:avanti"_s.split(u' ')) {
            const auto* pulsante = form.findChild<PulsanteGrafico*>(voce.section(u':', 0, 0));
            QVERIFY2(pulsante, qPrintable(voce));
            const QIcon diQt(u":/kalorefill/icons/%1.svg"_s.arg(voce.section(u':', 1)));
            // Painted into a rectangle the way the button paints it.
            const auto dipinta = [&](const QIcon& icona, QIcon::Mode modo) {
                QImage tela(pulsante->iconSize() + QSize(6, 6), QImage::Format_ARGB32_Premultiplied);
                tela.fill(Qt::white);
                QPainter p(&tela);
                icona.paint(&p, QRect(QPoint(3, 3), pulsante->iconSize()), Qt::AlignCenter, modo);
                return tela;
            };
            for (const QIcon::Mode modo : {QIcon::Normal, QIcon::Disabled})
                QVERIFY2(!diQt.isNull() && dipinta(pulsante->icon(), modo) == dipinta(diQt, modo),
                         qPrintable(voce));
        }
    }

    // Whatever the window's size, down to the smallest it accepts, every control lies inside
    // its frame and the frames inside the window, the selection's hidden pair under the
    // machine frame; from the created height up the keypad keeps its places to the twip.
    // A real resize lays the form out again, in whole pixels: "geometrie" gives some of them.
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
        const bool pienaAltezza = ottenuta.height() * Twips::PerPixel >= 2775 + 7875 + 50;
        for (const QWidget* w :
             form.FrmTastiera->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (pienaAltezza && !w->isWindow())
                QCOMPARE(w->geometry(), Twips::inPixel(Twips::di(w)));
        }
    }

    // The captions of the machine buttons, fitted without a window: words are never broken
    // over two lines, whatever the caption and the room.
    void didascalie_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<int>("righe");   // the lines drawn; -1: fewer than the caption's
        QTest::addColumn<bool>("intera"); // more than one line, all of the caption shown

        // The buttons of an 800 x 600 window, less their margins.
        LayoutRefill minima = comeCreato();
        minima.applica(800 * Twips::PerPixel, 600 * Twips::PerPixel);
        const int margini = 2 * PulsanteGrafico::Margine;
        const QSize macchina =
            Twips::inPixel(minima.CmdApparecchio[15]).size() - QSize(margini, margini);

        const auto riga = [](const QString& caption, QSize area, int righe) {
            QTest::newRow(qPrintable(QString(caption).replace(u'\n', u" / "_s)))
                << caption << area << righe << (righe > 1);
        };
        riga(u"Slot Machine Grande\nC12 AAMS123456789\n\n\u20AC  1500"_s, macchina, 6);
        // A name with no blank in it stays on one line, shortened if it must be.
        riga(u"SUPERLOTTOFORTUNAMAXIMAGRANDE"_s, QSize(92, 112), 1);
        // The first line (the machine's code) stays, the last ones go.
        riga(u"WWWW\n.\n.\n.\n.\n.\n.\n.\n.\n."_s, QSize(92, 52), -1);
    }

    void didascalie() {
        QFETCH(QString, caption);
        QFETCH(QSize, area);
        QFETCH(int, righe);
        // The machine buttons' type.
        const qreal punti = 12;
        QFont font(u"DejaVu Sans"_s);
        font.setPointSizeF(punti);
        font.setBold(true);
        const Didascalia::Composizione c = Didascalia::componi(caption, font, area);
        QTEST(c.intera, "intera");
        if (righe > 0)
            QCOMPARE(c.righe.size(), righe);
        else
            QVERIFY(c.righe.size() < caption.count(u'\n') + 1);
        QVERIFY(c.font.pointSizeF() <= punti && c.font.pointSizeF() >= Didascalia::PuntiMinimi);
        QVERIFY(c.righe.size() * c.altezzaRiga <= area.height());

        // Line by line, the words of the caption in order: each whole, or the last one it
        // shows shortened with an ellipsis.
        const QFontMetricsF metriche(c.font);
        QStringList parole;
        for (const QString& paragrafo : caption.split(u'\n'))
            parole << paragrafo.split(u' ', Qt::SkipEmptyParts) << QString();
        qsizetype i = 0;
        for (const QString& riga : c.righe) {
            QVERIFY2(metriche.horizontalAdvance(riga) <= area.width(), qPrintable(riga));
            const QStringList nellaRiga = riga.split(u' ', Qt::SkipEmptyParts);
            for (const QString& parola : nellaRiga) {
                while (i < parole.size() && parole.at(i).isEmpty())
                    ++i;
                QVERIFY2(i < parole.size(), qPrintable(riga));
                const bool accorciata =
                    parola.endsWith(QChar(0x2026)) && parole.at(i).startsWith(parola.chopped(1));
                QVERIFY2(parola == parole.at(i) || accorciata,
                         qPrintable(riga + u" / "_s + parole.at(i)));
                ++i;
            }
        }
    }
};

QTEST_MAIN(TstLayout)
#include "tst_layout.moc"
