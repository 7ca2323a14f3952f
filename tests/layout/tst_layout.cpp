// The form's layout arithmetic, without a window: the places it writes for a given inner
// size, the sizes it refuses and the values later steps read after a refusal. Then the
// control tree as created, its pixel geometry once the window is resized, and the
// captions of its graphical buttons.

#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/LayoutRefill.h"
#include "form/PulsanteGrafico.h"
#include "form/Twips.h"

#include <QCheckBox>
#include <QDateEdit>
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

QString caption(const QWidget* w) {
    if (auto* p = qobject_cast<const PulsanteGrafico*>(w))
        return p->caption();
    if (auto* e = qobject_cast<const Etichetta*>(w))
        return e->caption();
    auto* c = qobject_cast<const QCheckBox*>(w);
    return c ? c->text() : QString();
}

// The bands of white ink (caption text on a dark button), top to bottom, inside the
// button's border and rounded corners.
QList<QRect> bande(const QImage& immagine) {
    QList<QRect> trovate;
    for (int y = 4; y < immagine.height() - 4; ++y) {
        QRect riga;
        for (int x = 4; x < immagine.width() - 4; ++x) {
            const QColor c = immagine.pixelColor(x, y);
            if (qMin(qMin(c.red(), c.green()), c.blue()) > 200)
                riga |= QRect(x, y, 1, 1);
        }
        if (!riga.isNull() && !trovate.isEmpty() && trovate.last().bottom() == y - 1)
            trovate.last() |= riga;
        else if (!riga.isNull())
            trovate.append(riga);
    }
    return trovate;
}

} // namespace

class TstLayout : public QObject {
    Q_OBJECT
private slots:
    void posti_data();
    void posti();
    void albero_data();
    void albero();
    void statoIniziale();
    void geometriaInPixel();
    void didascalie_data();
    void didascalie();
};

// Each entry: a control (a machine button by its number) and its expected Left Top Width
// Height; "-" or a missing value is not checked.
void TstLayout::posti_data() {
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
    QTest::newRow("minimised")
        << QList<QSizeF>{creataDim, {20000, 12000}, {0, 0}}
        << u"Picture1 - - 19880 2715; FrmTastiera 14765 2775 - 9175; FrmApparecchi - - 14655 9175;"
           " CmdAvanti - - 2907; FrmConto 14665; 0 60 1395 3633.75 1915; 5 3693.75 3310;"
           " 10 7327.5 5225; 15 10961.25 7140 3633.75 1915"_s;
    QTest::newRow("minimised then restored")
        << QList<QSizeF>{creataDim, {20000, 12000}, {0, 0}, creataDim} << creata;
    QTest::newRow("first layout while minimised")
        << QList<QSizeF>{{90, 60}}
        << u"Picture1 - - 12555; FrmTastiera 7440 2775 - 7875; FrmApparecchi - - 7335 6555;"
           " 5 1863.75 2655 1803.75 1260; FrmConto 7340"_s;
}

void TstLayout::posti() {
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
            QVERIFY2(parti.at(i + 1) == u"-" || valori[i] == parti.at(i + 1).toFloat(),
                     qPrintable(u"%1 [%2] is %3"_s.arg(voce).arg(i).arg(valori[i], 0, 'g', 12)));
    }
}

// Every control by name, with its caption as created, in each container.
void TstLayout::albero_data() {
    QTest::addColumn<QString>("controlli");
    QString macchine;
    for (int i = 0; i < FrmRefill::NumeroPulsanti; ++i)
        macchine += u"|CmdApparecchio_%1:%2"_s.arg(i).arg(u"abcdefghilmnopqr"_s.at(i));
    QTest::newRow("FrmRefill")
        << u"Picture1:|FrmTastiera:|FrmApparecchi:|testoBottone:a|Bottone:0"_s;
    QTest::newRow("Picture1") << u"FrmConto:|Image1:|LabApparecchio:Selezionare un apparecchio|"
                                 "LabTotali:Riepilogo Refill della giornata  "_s +
                                     QString(42, u'.');
    QTest::newRow("FrmConto") << u"ChkConferma:Conferma salvataggio|LabConto:0,00|"
                                 "LabOperazione:A|LabTitolo:Valore Refill|LabValore:0,00"_s;
    QTest::newRow("FrmTastiera")
        << u"Cmd:/|CmdPer:X|CmdMeno:--|CmdPiu:+|Cmd7:7|Cmd8:8|Cmd9:9|CmdCanc:Azzera|Cmd4:4|Cmd5:5|"
           "Cmd6:6|CmdDel:Del|Cmd1:1|Cmd2:2|Cmd3:3|CmdAnnulla:=|Cmd0:0|cmdVirgola:,|Cmd00:00|"
           "CmdSalva:Salva|CmdTrova:Cerca|CmdStampa:Stampa|CmdChiudi:Chiudi|txtData:|"
           "Lab1:Data Registrazione|LabStato:."_s;
    QTest::newRow("FrmApparecchi") << u"Opt1:Codice Interno|Opt2:Nome Apparecchio|"
                                      "Opt3:Codice AAMS|CmdDietro:|CmdAvanti:"_s +
                                          macchine;
}

void TstLayout::albero() {
    QFETCH(QString, controlli);
    FrmRefill form;
    for (const QString& voce : controlli.split(u'|')) {
        const QWidget* w = form.findChild<QWidget*>(voce.section(u':', 0, 0));
        QVERIFY2(w && w->parentWidget(), qPrintable(voce));
        const QWidget* padre = w->parentWidget();
        QCOMPARE(padre == &form ? u"FrmRefill"_s : padre->objectName(),
                 QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(caption(w), voce.section(u':', 1));
        QVERIFY2(!w->accessibleName().trimmed().isEmpty(), qPrintable(voce));
    }
}

void TstLayout::statoIniziale() {
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

// A real resize of the shown window lays the form out again, in whole pixels.
void TstLayout::geometriaInPixel() {
    FrmRefill form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The selection's hidden pair lies under the machine frame.
    for (const Etichetta* nascosta : {form.Bottone, form.testoBottone}) {
        const QWidget* sopra = form.childAt(nascosta->geometry().center());
        QVERIFY(sopra == form.FrmApparecchi || form.FrmApparecchi->isAncestorOf(sopra));
    }
    form.resize(1024, 768);
    QTRY_COMPARE(form.size(), QSize(1024, 768));
    QCOMPARE(form.Picture1->geometry(), QRect(4, 4, 1016, 181));
    QCOMPARE(form.FrmTastiera->geometry(), QRect(675, 185, 345, 580));
    QCOMPARE(form.FrmApparecchi->geometry(), QRect(4, 185, 668, 580));
    QCOMPARE(form.CmdApparecchio[0]->geometry(), QRect(4, 93, 165, 120));
    QCOMPARE(form.CmdApparecchio[15]->geometry(), QRect(499, 452, 165, 120));
    QCOMPARE(form.FrmConto->geometry().right() + 1, form.Picture1->width() - 7);
    QCOMPARE(form.Image1->geometry(), QRect(540, 28, 128, 128));
    // Smaller than the keypad: the sizes that would be negative keep their last values,
    // the band still follows, and restoring lays everything out again.
    form.resize(200, 150);
    QTRY_COMPARE(form.size(), QSize(200, 150));
    QCOMPARE(form.FrmApparecchi->size(), QSize(668, 580));
    QCOMPARE(form.Picture1->width(), 192);
    QCOMPARE(form.FrmTastiera->x(), -149);
    form.resize(1024, 768);
    QTRY_COMPARE(form.size(), QSize(1024, 768));
    QCOMPARE(form.CmdApparecchio[15]->geometry(), QRect(499, 452, 165, 120));
}

void TstLayout::didascalie_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("dimensione");
    QTest::addColumn<int>("righe"); // negative: at least that many; 0: more lines than fit
    QTest::newRow("CR LF") << u"0042\r\nGallo"_s << QSize(160, 120) << 2;
    QTest::newRow("code, name, amount") << u"0042\rGallo\r\r\u20AC  12,5"_s << QSize(160, 120) << 3;
    // A machine name with no blank in it is broken inside the button, not cut at its sides.
    QTest::newRow("long word") << u"SUPERLOTTOFORTUNAMAXIMA"_s << QSize(100, 120) << -2;
    // A refilled machine on a small button: smaller type, but the amount line is still there.
    QTest::newRow("small button") << u"0043\rFortuna\r\r\u20AC  150"_s << QSize(100, 64) << 3;
    // The first line (the machine's code) stays in view, the last ones are cut.
    QTest::newRow("too many lines") << u"WWWW\r.\r.\r.\r.\r.\r.\r.\r.\r."_s << QSize(100, 60) << 0;
}

void TstLayout::didascalie() {
    QFETCH(QString, caption);
    QFETCH(QSize, dimensione);
    QFETCH(int, righe);
    PulsanteGrafico p;
    p.setFont(QFont(p.font().family(), 12, QFont::Bold));
    p.setBackColor(QColor(0, 128, 128));
    p.setCaption(caption);
    p.resize(dimensione);
    const QImage immagine = p.grab().toImage();
    const QList<QRect> trovate = bande(immagine);
    QVERIFY(!trovate.isEmpty());
    for (const QRect& b : trovate) // never spilling out at the sides
        QVERIFY(b.width() < dimensione.width() - 8);
    if (righe == 0) {
        QVERIFY2(trovate.first().width() > 3 * trovate.last().width(),
                 "the first visible line is not the first line of the caption");
        QVERIFY(trovate.first().top() > 4);
    } else {
        QVERIFY2(righe < 0 ? trovate.size() >= -righe : trovate.size() == righe,
                 qPrintable(QString::number(trovate.size())));
        QVERIFY(trovate.last().bottom() < immagine.height() - 5);
    }
}

QTEST_MAIN(TstLayout)
#include "tst_layout.moc"
