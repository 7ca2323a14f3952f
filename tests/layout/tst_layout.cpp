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

    // The form draws its pictures itself from the SVG files: pixel for pixel what Qt's SVG icon
    // engine draws from the same file, at the button's size and at others, plain and greyed.
    void immaginiComeIlMotoreSvgDiQt_data() {
        QTest::addColumn<QString>("controllo");
        QTest::addColumn<QString>("file");
        for (const QString& voce :
             u"CmdSalva:salva CmdCanc:azzera CmdTrova:cerca CmdStampa:stampa "
             "CmdChiudi:chiudi CmdDietro:indietro CmdAvanti:avanti"_s.split(u' '))
            QTest::newRow(qPrintable(voce)) << voce.section(u':', 0, 0) << voce.section(u':', 1);
    }

    void immaginiComeIlMotoreSvgDiQt() {
        QFETCH(QString, controllo);
        QFETCH(QString, file);
        FrmRefill form;
        const auto* pulsante = form.findChild<PulsanteGrafico*>(controllo);
        QVERIFY(pulsante && !pulsante->icon().isNull());
        const QIcon diQt(u":/kalorefill/icons/%1.svg"_s.arg(file));
        QVERIFY(!diQt.isNull());
        for (const QSize lato :
             {pulsante->iconSize(), QSize(16, 16), QSize(80, 51), QSize(200, 90)}) {
            for (const QIcon::Mode modo : {QIcon::Normal, QIcon::Disabled}) {
                // As a pixmap, and painted into a rectangle the way the button paints it.
                const auto dipinta = [&](const QIcon& icona) {
                    QImage tela(lato + QSize(6, 6), QImage::Format_ARGB32_Premultiplied);
                    tela.fill(Qt::white);
                    QPainter p(&tela);
                    icona.paint(&p, QRect(QPoint(3, 3), lato), Qt::AlignCenter, modo);
                    return tela;
                };
                QVERIFY2(
                    pulsante->icon().pixmap(lato, modo).toImage() ==
                            diQt.pixmap(lato, modo).toImage() &&
                        dipinta(pulsante->icon()) == dipinta(diQt),
                    qPrintable(u"%1x%2 modo %3"_s.arg(lato.width()).arg(lato.height()).arg(modo)));
            }
        }
    }

    // Whatever the window's size, down to the smallest it accepts, every control lies inside
    // its frame and the frames inside the window, the selection's hidden pair under the
    // machine frame; from the created height up the keypad keeps its places to the twip.
    // A real resize lays the form out again, in whole pixels: "geometrie" gives some of them.
    void tastieraRaggiungibile_data() {
        QTest::addColumn<QSize>("richiesta");
        QTest::addColumn<QSize>("ottenuta");
        QTest::newRow("created") << QSize(1018, 719) << QSize(1018, 719);
        QTest::newRow("1024x768") << QSize(1024, 768) << QSize(1024, 768);
        QTest::newRow("800x600") << QSize(800, 600) << QSize(800, 600);
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

    // The captions of the machine and option buttons, fitted without a window: words are
    // never broken over two lines, whatever the caption and the room.
    void didascalie_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("area");
        QTest::addColumn<qreal>("punti");
        QTest::addColumn<int>("righe");   // the lines drawn; -1: fewer than the caption's
        QTest::addColumn<bool>("intera"); // more than one line, all of the caption shown

        // The buttons of an 800 x 600 window, less their margins.
        LayoutRefill minima = comeCreato();
        minima.applica(800 * Twips::PerPixel, 600 * Twips::PerPixel);
        const int margini = 2 * PulsanteGrafico::Margine;
        const QSize opzioneMinima = Twips::inPixel(minima.Opt2).size() - QSize(margini, margini);
        const QSize macchina =
            Twips::inPixel(minima.CmdApparecchio[15]).size() - QSize(margini, margini);

        const auto riga = [](const QString& caption, QSize area, qreal punti, int righe) {
            QTest::newRow(qPrintable(QString(caption).replace(u'\n', u" / "_s)))
                << caption << area << punti << righe << (righe > 1);
        };
        for (const QString& opzione :
             {u"Nome Apparecchio"_s, u"Codice Interno"_s, u"Codice AAMS"_s})
            riga(opzione, opzioneMinima, 9.75, 2);
        riga(u"0042\nGallo\n\n\u20AC  12,5"_s, QSize(160, 120), 12, 4);
        riga(u"Slot Machine Grande\nC12 AAMS123456789\n\n\u20AC  1500"_s, macchina, 12, 6);
        riga(u"0043\nFortuna\n\n\u20AC  150"_s, QSize(92, 56), 12, 4);
        // A name with no blank in it stays on one line, shortened if it must be.
        riga(u"SUPERLOTTOFORTUNAMAXIMAGRANDE"_s, QSize(92, 112), 12, 1);
        // The first line (the machine's code) stays, the last ones go.
        riga(u"WWWW\n.\n.\n.\n.\n.\n.\n.\n.\n."_s, QSize(92, 52), 12, -1);
    }

    void didascalie() {
        QFETCH(QString, caption);
        QFETCH(QSize, area);
        QFETCH(qreal, punti);
        QFETCH(int, righe);
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
