// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The form's layout arithmetic, without a window: the places it writes for a given inner
// size, the sizes it refuses and the values later steps read after a refusal. Then the
// control tree as created, its pixel geometry once the window is resized, and the
// captions of its graphical buttons.

#include "form/Didascalia.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/LayoutRefill.h"
#include "form/PulsanteGrafico.h"
#include "form/Twips.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
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

// A control of the layout by name; a machine button by its number.
const Twips::Rettangolo& rettangolo(const LayoutRefill& l, const QString& nome) {
    const Twips::Rettangolo* rettangoli[] = {
        &l.Picture1, &l.FrmTastiera, &l.FrmApparecchi, &l.CmdDietro, &l.Opt1,
        &l.Opt2,     &l.Opt3,        &l.CmdAvanti,     &l.FrmConto,  &l.Image1};
    const qsizetype i = u"Picture1 FrmTastiera FrmApparecchi CmdDietro Opt1 Opt2 Opt3 CmdAvanti "
                        "FrmConto Image1"_s.split(u' ')
                            .indexOf(nome);
    return i < 0 ? l.CmdApparecchio.at(nome.toUInt()) : *rettangoli[i];
}

// The form at its created size, 15270 x 10785; the grid through its diagonal buttons.
const QString creata =
    u"Picture1 60 60 15150 2715; FrmTastiera 10035 2775 5175 7960; FrmApparecchi 60 2775 9925 7960;"
    " CmdDietro 60 120 1961 1275; Opt1 2021 120 1961 1275; Opt2 3982 120 1961 1275;"
    " Opt3 5943 120 1961 1275; CmdAvanti 7904 120 1961 1275; FrmConto 9935 0 5115 2595;"
    " Image1 8015 420 1920 1920; 0 60 1395 2451.25 1611.25; 5 2511.25 3006.25 2451.25 1611.25;"
    " 10 4962.5 4617.5 2451.25 1611.25; 15 7413.75 6228.75 2451.25 1611.25"_s;

} // namespace

class TstLayout : public QObject {
    Q_OBJECT
private slots:
    // Each entry: a control (a machine button by its number) and its expected Left Top Width
    // Height; "-" or a missing value is not checked.
    void posti_data() {
        QTest::addColumn<QList<QSizeF>>("dimensioni");
        QTest::addColumn<QString>("attesi");
        const QSizeF creataDim(15270, 10785);
        QTest::newRow("created size") << QList<QSizeF>{creataDim} << creata;
        // C and D negative: their widths are refused, the lefts drop below 60.
        QTest::newRow("narrower than 5465")
            << QList<QSizeF>{creataDim, {5400, 10785}}
            << u"Picture1 - - 5280; FrmTastiera 165; FrmApparecchi - - 55; CmdDietro - - 1961;"
               " Opt1 47 - 1961; Opt2 34; Opt3 21; CmdAvanti 8; FrmConto 65; Image1 -1855;"
               " 0 60 - 2451.25; 5 43.75; 10 27.5; 15 11.25 - 2451.25"_s;
        // The machine frame's width is refused; the grid is computed from the kept one.
        QTest::newRow("narrower than the keypad")
            << QList<QSizeF>{creataDim, {5000, 10785}}
            << u"Picture1 - - 4880; FrmTastiera -235; FrmApparecchi - - 9925; CmdAvanti 7904;"
               " FrmConto -335; Image1 -2255; 5 2511.25 - 2451.25; 15 7413.75 - 2451.25"_s;
        // Every size is refused; positions are still written, from the kept sizes.
        QTest::newRow("minimised") << QList<QSizeF>{creataDim, {20000, 12000}, {0, 0}}
                                   << u"Picture1 - - 19880 2715; FrmTastiera 14765 2775 - 9175;"
                                      " FrmApparecchi - - 14655 9175; CmdAvanti - - 2907; FrmConto "
                                      "14665; 0 60 1395 3633.75 1915; 5 3693.75 3310;"
                                      " 10 7327.5 5225; 15 10961.25 7140 3633.75 1915"_s;
        QTest::newRow("minimised then restored")
            << QList<QSizeF>{creataDim, {20000, 12000}, {0, 0}, creataDim} << creata;
        QTest::newRow("first layout while minimised")
            << QList<QSizeF>{{90, 60}}
            << u"Picture1 - - 12555; FrmTastiera 7440 2775 - 7875; FrmApparecchi - - 7335 6555;"
               " 5 1863.75 2655 1803.75 1260; FrmConto 7340"_s;
    }

    void posti() {
        QFETCH(QList<QSizeF>, dimensioni);
        QFETCH(QString, attesi);
        LayoutRefill l = comeCreato();
        for (const QSizeF& d : dimensioni)
            l.applica(float(d.width()), float(d.height()));

        for (const QString& voce : attesi.split(u';')) {
            const QStringList parti = voce.simplified().split(u' ');
            const Twips::Rettangolo& r = rettangolo(l, parti.first());
            const float valori[] = {r.Left, r.Top, r.Width, r.Height};
            // Exact: a fuzzy compare would hide a step done in double precision.
            for (int i = 0; i + 1 < parti.size(); ++i)
                QVERIFY2(
                    parti.at(i + 1) == u"-" || valori[i] == parti.at(i + 1).toFloat(),
                    qPrintable(u"%1 [%2] is %3"_s.arg(voce).arg(i).arg(valori[i], 0, 'g', 12)));
        }
    }

    void statoIniziale() {
        FrmRefill form;
        QCOMPARE(form.windowTitle(), u"..:: Gestione Refill ::.."_s);
        QVERIFY(form.LabConto->isHidden() && !form.LabValore->isHidden());
        QVERIFY(form.ChkConferma->isChecked());
        QCOMPARE(form.txtData->displayFormat(), u"dd/MM/yyyy"_s);
        QCOMPARE(form.LabValore->palette().color(QPalette::WindowText), QColor(255, 255, 0));
        QVERIFY(!form.windowIcon().isNull() && !form.Image1->pixmap().isNull());
        // One search option at a time, the first one to begin with; the machines are no options.
        QVERIFY(form.Opt1->isChecked() && !form.Opt2->isChecked() && !form.Opt3->isChecked());
        form.Opt3->setChecked(true);
        QVERIFY(!form.Opt1->isChecked() && form.Opt3->isChecked());
        QVERIFY(!form.CmdApparecchio[0]->isCheckable());
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

    // The date's calendar is not built with the form; the first click on the arrow, or key
    // that can open it, builds it, at the touch size and font the form gives it.
    void calendarioAllaPrimaApertura_data() {
        QTest::addColumn<int>("tasto"); // none: a click on the arrow
        QTest::addColumn<int>("modificatori");
        QTest::newRow("freccia") << 0 << 0;
        QTest::newRow("F4") << int(Qt::Key_F4) << 0;
        QTest::newRow("Alt+Giù") << int(Qt::Key_Down) << int(Qt::AltModifier);
    }

    void calendarioAllaPrimaApertura() {
        QFETCH(int, tasto);
        QFETCH(int, modificatori);
        FrmRefill form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.txtData->findChild<QCalendarWidget*>());
        const QDate prima = form.txtData->date();
        form.txtData->setFocus();
        if (tasto == 0) // the arrow sits at the right end of the field
            QTest::mouseClick(form.txtData, Qt::LeftButton, {},
                              QPoint(form.txtData->width() - 4, form.txtData->height() / 2));
        else
            QTest::keyClick(form.txtData, Qt::Key(tasto), Qt::KeyboardModifiers(modificatori));
        const QCalendarWidget* calendario = form.txtData->findChild<QCalendarWidget*>();
        QVERIFY(calendario);
        // A click on the arrow opens it; a key may, depending on the style, and then it has
        // to be ready as well.
        if (tasto == 0)
            QTRY_VERIFY(calendario->isVisible());
        QVERIFY(calendario->minimumWidth() >= 360 && calendario->minimumHeight() >= 280);
        QCOMPARE(calendario->font().pointSizeF(), 12.0);
        QCOMPARE(calendario->selectedDate(), prima);
    }

    // Whatever the window's size, down to the smallest it accepts, every control lies inside
    // its frame and the frames inside the window, the selection's hidden pair under the
    // machine frame; from the created height up the keypad keeps its places to the twip.
    // A real resize lays the form out again, in whole pixels: "geometrie" gives some of them.
    void tastieraRaggiungibile_data() {
        QTest::addColumn<QSize>("richiesta");
        QTest::addColumn<QSize>("ottenuta");
        QTest::addColumn<QString>("geometrie");
        QTest::newRow("created") << QSize(1018, 719) << QSize(1018, 719) << QString();
        QTest::newRow("1024x768")
            << QSize(1024, 768) << QSize(1024, 768)
            << u"Picture1 4 4 1016 181; FrmTastiera 675 185 345 580; FrmApparecchi 4 185 668 580;"
               " CmdApparecchio_0 4 93 165 120; CmdApparecchio_15 499 452 165 120;"
               " Image1 540 28 128 128"_s;
        QTest::newRow("768 screen with panel and title")
            << QSize(1366, 700) << QSize(1366, 700) << QString();
        QTest::newRow("1920x1080") << QSize(1920, 1080) << QSize(1920, 1080) << QString();
        QTest::newRow("800x600") << QSize(800, 600) << QSize(800, 600) << QString();
        QTest::newRow("smallest") << QSize(800, 480) << QSize(800, 480) << QString();
        QTest::newRow("below the smallest") << QSize(640, 400) << QSize(800, 480) << QString();
    }

    void tastieraRaggiungibile() {
        QFETCH(QSize, richiesta);
        QFETCH(QSize, ottenuta);
        QFETCH(QString, geometrie);
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
        if (geometrie.isEmpty())
            return;
        for (const QString& voce : geometrie.split(u';')) {
            const QStringList p = voce.simplified().split(u' ');
            QCOMPARE(form.findChild<QWidget*>(p.at(0))->geometry(),
                     QRect(p.at(1).toInt(), p.at(2).toInt(), p.at(3).toInt(), p.at(4).toInt()));
        }
        QCOMPARE(form.FrmConto->geometry().right() + 1, form.Picture1->width() - 7);
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
