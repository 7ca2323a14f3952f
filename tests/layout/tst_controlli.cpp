// The form's control tree as created, and its pixel geometry once the window is resized.

#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/PulsanteGrafico.h"
#include "form/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QRectF>
#include <QTest>

using namespace KaloRefill;

namespace {

QWidget* controllo(FrmRefill& form, const QString& nome) {
    return form.findChild<QWidget*>(nome);
}

QString caption(const QWidget* w) {
    if (auto* p = qobject_cast<const PulsanteGrafico*>(w))
        return p->caption();
    if (auto* e = qobject_cast<const Etichetta*>(w))
        return e->caption();
    if (auto* c = qobject_cast<const QCheckBox*>(w))
        return c->text();
    return QString();
}

} // namespace

class TstControlli : public QObject {
    Q_OBJECT
private slots:
    void albero_data();
    void albero();
    void tastiera_data();
    void tastiera();
    void statoIniziale();
    void opzioniEsclusive();
    void pulsantiApparecchio();
    void bottoneSottoLaCornice();
    void immagini();
    void nomiAccessibili();
    void geometriaInPixel();
    void tastieraFerma();
};

// Name, class, container, caption and created place (twips) of the controls that no
// layout step moves.
void TstControlli::albero_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("classe");
    QTest::addColumn<QString>("contenitore");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QRectF>("posto");

    const auto riga = [](const char* nome, const char* classe, const char* contenitore,
                         const QString& testo, QRectF posto) {
        QTest::newRow(nome) << QString::fromLatin1(nome) << QString::fromLatin1(classe)
                            << QString::fromLatin1(contenitore) << testo << posto;
    };
    const char* etichetta = "KaloRefill::Etichetta";
    const char* pulsante = "KaloRefill::PulsanteGrafico";
    riga("ChkConferma", "QCheckBox", "FrmConto", QStringLiteral("Conferma salvataggio"),
         {0, 120, 5115, 315});
    riga("LabConto", etichetta, "FrmConto", QStringLiteral("0,00"), {180, 840, 4455, 435});
    riga("LabOperazione", etichetta, "FrmConto", QStringLiteral("A"), {4740, 840, 255, 375});
    riga("LabTitolo", etichetta, "FrmConto", QStringLiteral("Valore Refill"),
         {180, 1440, 4755, 555});
    riga("LabValore", etichetta, "FrmConto", QStringLiteral("0,00"), {180, 1860, 4755, 555});
    riga("LabApparecchio", etichetta, "Picture1", QStringLiteral("Selezionare un apparecchio"),
         {180, 120, 6855, 1635});
    riga("LabTotali", etichetta, "Picture1",
         QStringLiteral("Riepilogo Refill della giornata  ") + QString(42, QLatin1Char('.')),
         {120, 2160, 7155, 435});
    riga("CmdTrova", pulsante, "FrmTastiera", QStringLiteral("Cerca"), {2580, 6540, 1275, 1275});
    riga("CmdStampa", pulsante, "FrmTastiera", QStringLiteral("Stampa"), {3840, 6540, 1275, 1275});
    riga("CmdChiudi", pulsante, "FrmTastiera", QStringLiteral("Chiudi"), {1620, 7080, 975, 735});
    riga("txtData", "QDateEdit", "FrmTastiera", QString(), {120, 7380, 1455, 375});
    riga("Lab1", etichetta, "FrmTastiera", QStringLiteral("Data Registrazione"),
         {120, 7140, 1455, 375});
    riga("LabStato", etichetta, "FrmTastiera", QStringLiteral("."), {120, 6540, 4935, 795});
    riga("testoBottone", etichetta, "FrmRefill", QStringLiteral("a"), {840, 2880, 1755, 375});
    riga("Bottone", etichetta, "FrmRefill", QStringLiteral("0"), {120, 2880, 555, 315});
    // Laid out once already, at the created size.
    riga("Picture1", "QFrame", "FrmRefill", QString(), {60, 60, 15150, 2715});
    riga("FrmConto", "QFrame", "Picture1", QString(), {9935, 0, 5115, 2595});
    riga("Image1", etichetta, "Picture1", QString(), {8015, 420, 1920, 1920});
    riga("FrmTastiera", "QFrame", "FrmRefill", QString(), {10035, 2775, 5175, 7960});
    riga("FrmApparecchi", "QFrame", "FrmRefill", QString(), {60, 2775, 9925, 7960});
    riga("Opt3", pulsante, "FrmApparecchi", QStringLiteral("Codice AAMS"), {5943, 120, 1961, 1275});
    riga("Opt2", pulsante, "FrmApparecchi", QStringLiteral("Nome Apparecchio"),
         {3982, 120, 1961, 1275});
    riga("Opt1", pulsante, "FrmApparecchi", QStringLiteral("Codice Interno"),
         {2021, 120, 1961, 1275});
    riga("CmdDietro", pulsante, "FrmApparecchi", QString(), {60, 120, 1961, 1275});
    riga("CmdAvanti", pulsante, "FrmApparecchi", QString(), {7904, 120, 1961, 1275});
}

void TstControlli::albero() {
    QFETCH(QString, nome);
    QFETCH(QString, classe);
    QFETCH(QString, contenitore);
    QFETCH(QString, testo);
    QFETCH(QRectF, posto);

    FrmRefill form;
    QWidget* w = controllo(form, nome);
    QVERIFY2(w, "missing control");
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), classe);
    QVERIFY(w->parentWidget());
    const QString padre =
        w->parentWidget() == &form ? QStringLiteral("FrmRefill") : w->parentWidget()->objectName();
    QCOMPARE(padre, contenitore);
    QCOMPARE(caption(w), testo);
    QCOMPARE(w->property(Twips::Proprieta).toRectF(), posto);
    QCOMPARE(w->geometry(), Twips::inPixel({float(posto.x()), float(posto.y()),
                                            float(posto.width()), float(posto.height())}));
}

void TstControlli::tastiera_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QPoint>("cella");
    QTest::addColumn<QColor>("sfondo");
    QTest::addColumn<qreal>("punti");
    QTest::addColumn<bool>("grassetto");

    const QColor giallo(192, 192, 0), teal(0, 128, 128), oliva(128, 128, 0);
    const auto tasto = [](const char* nome, const char* testo, int colonna, int riga, QColor sfondo,
                          qreal punti, bool grassetto) {
        QTest::newRow(nome) << QString::fromLatin1(nome) << QString::fromLatin1(testo)
                            << QPoint(colonna, riga) << sfondo << punti << grassetto;
    };
    tasto("Cmd", "/", 0, 0, teal, 24, true);
    tasto("CmdPer", "X", 1, 0, teal, 24, true);
    tasto("CmdMeno", "--", 2, 0, teal, 24, true);
    tasto("CmdPiu", "+", 3, 0, teal, 24, true);
    tasto("Cmd7", "7", 0, 1, giallo, 24, true);
    tasto("Cmd8", "8", 1, 1, giallo, 24, true);
    tasto("Cmd9", "9", 2, 1, giallo, 24, true);
    tasto("CmdCanc", "Azzera", 3, 1, QColor(192, 0, 0), 13.5, false);
    tasto("Cmd4", "4", 0, 2, giallo, 24, true);
    tasto("Cmd5", "5", 1, 2, giallo, 24, true);
    tasto("Cmd6", "6", 2, 2, giallo, 24, true);
    tasto("CmdDel", "Del", 3, 2, oliva, 24, true);
    tasto("Cmd1", "1", 0, 3, giallo, 24, true);
    tasto("Cmd2", "2", 1, 3, giallo, 24, true);
    tasto("Cmd3", "3", 2, 3, giallo, 24, true);
    tasto("CmdAnnulla", "=", 3, 3, oliva, 24, true);
    tasto("Cmd0", "0", 0, 4, giallo, 24, true);
    tasto("cmdVirgola", ",", 1, 4, giallo, 24, true);
    tasto("Cmd00", "00", 2, 4, giallo, 24, true);
    tasto("CmdSalva", "Salva", 3, 4, QColor(0, 192, 0), 18, true);
}

void TstControlli::tastiera() {
    QFETCH(QString, nome);
    QFETCH(QString, testo);
    QFETCH(QPoint, cella);
    QFETCH(QColor, sfondo);
    QFETCH(qreal, punti);
    QFETCH(bool, grassetto);

    FrmRefill form;
    auto* p = qobject_cast<PulsanteGrafico*>(controllo(form, nome));
    QVERIFY2(p, "missing key");
    QCOMPARE(p->parentWidget(), form.FrmTastiera);
    QCOMPARE(p->caption(), testo);
    QCOMPARE(p->backColor(), sfondo);
    QCOMPARE(p->font().pointSizeF(), punti);
    QCOMPARE(p->font().bold(), grassetto);
    QCOMPARE(p->property(Twips::Proprieta).toRectF(),
             QRectF(60 + 1260 * cella.x(), 180 + 1260 * cella.y(), 1275, 1275));
    // A finger-sized square: 85 pixels.
    QCOMPARE(p->size(), QSize(85, 85));
}

void TstControlli::statoIniziale() {
    FrmRefill form;
    QCOMPARE(form.windowTitle(), QStringLiteral("..:: Gestione Refill ::.."));
    QVERIFY(form.LabConto->isHidden());
    QVERIFY(!form.LabValore->isHidden());
    QVERIFY(form.ChkConferma->isChecked());
    QCOMPARE(form.txtData->displayFormat(), QStringLiteral("dd/MM/yyyy"));
    QVERIFY(form.txtData->calendarPopup());
    QCOMPARE(form.txtData->parentWidget(), form.FrmTastiera);
    // Colours over the black band.
    QCOMPARE(form.Picture1->palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(form.Picture1->autoFillBackground());
    QCOMPARE(form.FrmConto->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(form.LabValore->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QCOMPARE(form.LabConto->palette().color(QPalette::WindowText), QColor(255, 255, 128));
    QCOMPARE(form.LabApparecchio->palette().color(QPalette::WindowText), QColor(0, 192, 0));
    QCOMPARE(form.LabOperazione->palette().color(QPalette::WindowText), QColor(192, 64, 0));
    QCOMPARE(form.LabTotali->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(form.ChkConferma->palette().color(QPalette::WindowText), QColor(Qt::white));
    QVERIFY(form.LabValore->alignment() & Qt::AlignRight);
    QVERIFY(form.LabConto->alignment() & Qt::AlignRight);
    QCOMPARE(form.LabValore->font().pointSizeF(), 24.0);
    QVERIFY(form.LabValore->font().bold());
}

void TstControlli::opzioniEsclusive() {
    FrmRefill form;
    QVERIFY(form.Opt1->isChecked());
    QVERIFY(!form.Opt2->isChecked());
    QVERIFY(!form.Opt3->isChecked());
    for (PulsanteGrafico* o : {form.Opt1, form.Opt2, form.Opt3}) {
        QCOMPARE(o->backColor(), QColor(0, 128, 0));
        QCOMPARE(o->font().pointSizeF(), 9.75);
        QVERIFY(o->font().bold());
    }
    form.Opt3->setChecked(true);
    QVERIFY(!form.Opt1->isChecked());
    QVERIFY(form.Opt3->isChecked());
    // The grid's buttons are not part of the group.
    QVERIFY(!form.CmdApparecchio[0]->isCheckable());
}

void TstControlli::pulsantiApparecchio() {
    FrmRefill form;
    const QString lettere = QStringLiteral("abcdefghilmnopqr");
    for (int i = 0; i < FrmRefill::NumeroPulsanti; ++i) {
        PulsanteGrafico* p = form.CmdApparecchio[std::size_t(i)];
        QVERIFY(p);
        QCOMPARE(p->objectName(), QStringLiteral("CmdApparecchio_%1").arg(i));
        QCOMPARE(p->parentWidget(), form.FrmApparecchi);
        QCOMPARE(p->caption(), QString(lettere.at(i)));
        QCOMPARE(p->tag(), QStringLiteral("0"));
        QCOMPARE(p->font().pointSizeF(), 12.0);
        QVERIFY(p->font().bold());
        if (i > 0)
            QCOMPARE(p->backColor(), QColor(0, 128, 128));
    }
    QCOMPARE(form.CmdApparecchio[0]->backColor(), QApplication::palette().color(QPalette::Button));
}

// Bottone and testoBottone hold the selection; the machine frame hides them.
void TstControlli::bottoneSottoLaCornice() {
    FrmRefill form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (Etichetta* nascosta : {form.Bottone, form.testoBottone}) {
        QCOMPARE(nascosta->caption(),
                 nascosta == form.Bottone ? QStringLiteral("0") : QStringLiteral("a"));
        QVERIFY(form.FrmApparecchi->geometry().contains(nascosta->geometry()));
        QWidget* sopra = form.childAt(nascosta->geometry().center());
        QVERIFY(sopra);
        QVERIFY2(sopra == form.FrmApparecchi || form.FrmApparecchi->isAncestorOf(sopra),
                 qPrintable(sopra->objectName()));
    }
}

// The pictures come from the module's own resources.
void TstControlli::immagini() {
    FrmRefill form;
    QVERIFY(!form.windowIcon().pixmap(32, 32).isNull());
    for (PulsanteGrafico* p : {form.CmdSalva, form.CmdCanc, form.CmdTrova, form.CmdStampa,
                               form.CmdChiudi, form.CmdDietro, form.CmdAvanti})
        QVERIFY2(!p->icon().pixmap(p->iconSize()).isNull(), qPrintable(p->objectName()));
    QCOMPARE(form.CmdStampa->iconSize(), QSize(48, 48));
    QCOMPARE(form.CmdAvanti->iconSize(), QSize(80, 51));
    QVERIFY(!form.Image1->pixmap().isNull());
    QCOMPARE(form.Image1->size(), QSize(128, 128));
    // Drawn, not blank: the hopper has more than one colour.
    const QImage hopper = form.Image1->pixmap().toImage();
    QVERIFY(hopper.pixelColor(hopper.width() / 2, hopper.height() - 8) !=
            hopper.pixelColor(hopper.width() / 2, hopper.height() / 2));
}

void TstControlli::nomiAccessibili() {
    FrmRefill form;
    const QList<QWidget*> figli = form.findChildren<QWidget*>();
    int controlli = 0;
    for (QWidget* w : figli) {
        // Parts of the date picker (its line edit, its calendar) are named by Qt.
        if (w->objectName().isEmpty() || w->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        ++controlli;
        QVERIFY2(!w->accessibleName().trimmed().isEmpty(), qPrintable(w->objectName()));
    }
    // Frames, keypad, command buttons, date and its labels, options, machines, page
    // buttons, the band's controls, the hidden pair.
    QCOMPARE(controlli, 4 + 20 + 3 + 3 + 3 + 16 + 2 + 8 + 2);
    QCOMPARE(form.CmdDietro->accessibleName(), QStringLiteral("Pagina precedente"));
    QCOMPARE(form.CmdAvanti->accessibleName(), QStringLiteral("Pagina successiva"));
    QCOMPARE(form.txtData->accessibleName(), QStringLiteral("Data registrazione"));
    QCOMPARE(form.Image1->accessibleName(), QStringLiteral("Immagine hopper"));
    QCOMPARE(form.CmdMeno->accessibleName(), QStringLiteral("Meno"));
    // A machine button follows its caption, and names its place when it has none.
    form.CmdApparecchio[4]->setCaption(QStringLiteral("0042\rSlot Gallo\r"));
    QCOMPARE(form.CmdApparecchio[4]->accessibleName(), QStringLiteral("0042 Slot Gallo"));
    form.CmdApparecchio[4]->setCaption(QString());
    QCOMPARE(form.CmdApparecchio[4]->accessibleName(), QStringLiteral("Apparecchio 5"));
}

// A real resize of the shown window lays the form out again, in whole pixels.
void TstControlli::geometriaInPixel() {
    FrmRefill form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(1024, 768);
    QTRY_COMPARE(form.size(), QSize(1024, 768));

    // The keypad frame's right edge lines up with the band's; 50 twips between frames.
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

// Nothing inside the keypad frame moves when the window does.
void TstControlli::tastieraFerma() {
    FrmRefill form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QList<QRect> prima;
    const QList<QWidget*> dentro =
        form.FrmTastiera->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* w : dentro)
        prima << w->geometry();
    form.resize(1400, 900);
    QTRY_COMPARE(form.size(), QSize(1400, 900));
    QCOMPARE(form.FrmTastiera->width(), 345);
    for (int i = 0; i < dentro.size(); ++i)
        QCOMPARE(dentro.at(i)->geometry(), prima.at(i));
}

QTEST_MAIN(TstControlli)
#include "tst_controlli.moc"
