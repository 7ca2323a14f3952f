// "Cerca" and "Stampa" against a test component plugin that logs every member it is
// given, and a host that logs every call: the exact sequence, the answer, the failure
// box and the release of everything obtained.
#include "HostProva.h"
#include "OsservatoreBox.h"
#include "RegistroProva.h"
#include "host/Errore.h"
#include "search/DataRisposta.h"
#include "search/RicercaRefill.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace KaloRefill;

namespace {

const QString sqlElenco = QStringLiteral(
    "select * from noteteste where codcausale='Ref' order by dataregistrazione desc");

// Everything up to Ricerca is the same for both lists but for the values given here.
QStringList passiFinoARicerca(const QString& modulo, const QString& caption, const QString& sql,
                              const QString& campo) {
    return {QStringLiteral("host.OpenRecordSetPreferenze(select * from viste)"),
            QStringLiteral("host.openrecordset(select * from operatori)"),
            QStringLiteral("crea KaloviaRicerca.Ricerca"),
            QStringLiteral("host.User"),
            QStringLiteral("User=mario (QString)"),
            QStringLiteral("Modulo=") + modulo,
            QStringLiteral("Caption=") + caption,
            QStringLiteral("host.openrecordset(%1)").arg(sql),
            QStringLiteral("elenco.Filter="),
            QStringLiteral("Recordset=elenco"),
            QStringLiteral("RecordsetOperatori=operatori"),
            QStringLiteral("RecordsetViste=viste"),
            QStringLiteral("CampoRicerca=") + campo,
            QStringLiteral("host.Percorso"),
            QStringLiteral("PercorsoPers=C:\\Kalovia\\pers\\"),
            QStringLiteral("host.Percorso"),
            QStringLiteral("Percorso=C:\\Kalovia\\"),
            QStringLiteral("StatusBar=1"),
            QStringLiteral("Toolbar=1"),
            QStringLiteral("FilterBar=1"),
            QStringLiteral("WindowsState=1"),
            QStringLiteral("Ricerca")};
}

// What cerca hands to the form: the date, noted in the same log.
std::function<void(const QDate&)> apriDataAnnotata() {
    return [](const QDate& data) {
        RegistroProva::annota(QStringLiteral("apriData(%1)").arg(data.toString(Qt::ISODate)));
    };
}

QString descrizioneCreazione() {
    return Errore::componenteNonCreabile().descrizione();
}

} // namespace

class TestRicercaRefill : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dataDellaRisposta_data();
    void dataDellaRisposta();

    void cercaInOrdineEApreLaDataScelta();
    void cercaRisposte_data();
    void cercaRisposte();
    void stampaGiornoInOrdine_data();
    void stampaGiornoInOrdine();

    void componenteNonInstallato_data();
    void componenteNonInstallato();
    void oggettoSenzaIMembri();
    void ospiteCheFallisce_data();
    void ospiteCheFallisce();
    void erroreDentroRicerca();
    void erroreNelPortareLaData();

private:
    QByteArray m_cartellaComponenti;
};

void TestRicercaRefill::init() {
    RegistroProva::azzera();
    m_cartellaComponenti = qgetenv("KALOREFILL_COMPONENTS");
}

void TestRicercaRefill::cleanup() {
    qputenv("KALOREFILL_COMPONENTS", m_cartellaComponenti);
    QCOMPARE(RegistroProva::componentiVivi(), 0);
}

void TestRicercaRefill::dataDellaRisposta_data() {
    QTest::addColumn<QVariant>("risposta");
    QTest::addColumn<QDate>("attesa");
    const QDate d(2011, 3, 15);
    QTest::newRow("data") << QVariant(d) << d;
    QTest::newRow("momento") << QVariant(QDateTime(d, QTime(10, 30))) << d;
    QTest::newRow("testo giorno prima") << QVariant(QStringLiteral("15/03/2011")) << d;
    QTest::newRow("testo senza zeri") << QVariant(QStringLiteral("5/3/2011")) << QDate(2011, 3, 5);
    QTest::newRow("testo ISO") << QVariant(QStringLiteral("2011-03-15")) << d;
    QTest::newRow("testo con ora") << QVariant(QStringLiteral("15/03/2011 10:30:00")) << d;
    QTest::newRow("ISO con ora") << QVariant(QStringLiteral("2011-03-15T10:30:00")) << d;
    QTest::newRow("spazi attorno") << QVariant(QStringLiteral(" 15/03/2011 ")) << d;
    QTest::newRow("vuota") << QVariant() << QDate();
    QTest::newRow("testo vuoto") << QVariant(QString()) << QDate();
    QTest::newRow("data nulla") << QVariant(QMetaType(QMetaType::QDate)) << QDate();
    QTest::newRow("giorno che non esiste") << QVariant(QStringLiteral("31/02/2011")) << QDate();
    QTest::newRow("parola") << QVariant(QStringLiteral("annulla")) << QDate();
    QTest::newRow("data e parola") << QVariant(QStringLiteral("15/03/2011 mattina")) << QDate();
    QTest::newRow("numero") << QVariant(40617) << QDate();
}

void TestRicercaRefill::dataDellaRisposta() {
    QFETCH(QVariant, risposta);
    QFETCH(QDate, attesa);
    const std::optional<QDate> data = DataRisposta::comeData(risposta);
    QCOMPARE(data.has_value(), attesa.isValid());
    if (data)
        QCOMPARE(*data, attesa);
}

void TestRicercaRefill::cercaInOrdineEApreLaDataScelta() {
    HostProva host;
    RegistroProva::risposta() = QDate(2011, 3, 15);
    OsservatoreBox box;
    RicercaRefill::cerca(nullptr, host, apriDataAnnotata());

    QStringList attesi =
        passiFinoARicerca(QStringLiteral("Refill"), QStringLiteral("Elenco Refill"), sqlElenco,
                          QStringLiteral("dataregistrazione"));
    attesi << QStringLiteral("Risposta") << QStringLiteral("Risposta")
           << QStringLiteral("apriData(2011-03-15)") << QStringLiteral("~componente");
    QCOMPARE(RegistroProva::voci(), attesi);
    QVERIFY(box.boxes.isEmpty());
    // The component held the three sets; with it gone, nothing holds them.
    QCOMPARE(host.consegnati.size(), size_t(3));
    QVERIFY(host.tuttiRilasciati());
}

void TestRicercaRefill::cercaRisposte_data() {
    QTest::addColumn<QVariant>("risposta");
    QTest::addColumn<QString>("apriData");
    QTest::addColumn<int>("letture");
    QTest::newRow("data") << QVariant(QDate(2011, 3, 14)) << QStringLiteral("2011-03-14") << 2;
    QTest::newRow("momento") << QVariant(QDateTime(QDate(2010, 12, 31), QTime(0, 0)))
                             << QStringLiteral("2010-12-31") << 2;
    QTest::newRow("testo") << QVariant(QStringLiteral("05/03/2011")) << QStringLiteral("2011-03-05")
                           << 2;
    QTest::newRow("niente") << QVariant() << QString() << 1;
    QTest::newRow("vuoto") << QVariant(QString()) << QString() << 1;
    QTest::newRow("non una data") << QVariant(QStringLiteral("Annulla")) << QString() << 1;
}

void TestRicercaRefill::cercaRisposte() {
    QFETCH(QVariant, risposta);
    QFETCH(QString, apriData);
    QFETCH(int, letture);
    HostProva host;
    RegistroProva::risposta() = risposta;
    QList<QDate> aperte;
    RicercaRefill::cerca(nullptr, host, [&](const QDate& d) { aperte << d; });
    QCOMPARE(RegistroProva::voci().count(QStringLiteral("Risposta")), letture);
    if (apriData.isEmpty()) {
        QVERIFY(aperte.isEmpty());
    } else {
        QCOMPARE(aperte.size(), 1);
        QCOMPARE(aperte.first(), QDate::fromString(apriData, Qt::ISODate));
    }
    QCOMPARE(RegistroProva::voci().last(), QStringLiteral("~componente"));
    QVERIFY(host.tuttiRilasciati());
}

void TestRicercaRefill::stampaGiornoInOrdine_data() {
    QTest::addColumn<QDate>("data");
    QTest::addColumn<QString>("titolo");
    QTest::addColumn<QString>("sql");
    const QString inizio = QStringLiteral(
        "SELECT NoteIncassi.DataIncasso, NoteIncassi.Descrizione, NoteIncassi.RefillGestore, "
        "NoteIncassi.IdOperatore, NoteTeste.CodCausale FROM NoteIncassi INNER JOIN NoteTeste ON "
        "NoteIncassi.IdTesta = NoteTeste.id where (((NoteIncassi.DataIncasso) = #");
    const QString fine = QStringLiteral(
        "#) And ((NoteTeste.CodCausale) = 'Ref')) ORDER BY NoteIncassi.DataIncasso DESC");
    // Day and month below 10 keep their zero, and the month comes first.
    QTest::newRow("5 marzo") << QDate(2011, 3, 5)
                             << QStringLiteral("Totale Refill del 05/03/2011 -> €  27,5")
                             << inizio + QStringLiteral("03-05-2011") + fine;
    QTest::newRow("giorno senza refill")
        << QDate(2026, 12, 4)
        << QStringLiteral("Riepilogo Refill Odierni  -> Nessun refill caricato")
        << inizio + QStringLiteral("12-04-2026") + fine;
}

void TestRicercaRefill::stampaGiornoInOrdine() {
    QFETCH(QDate, data);
    QFETCH(QString, titolo);
    QFETCH(QString, sql);
    HostProva host;
    // Whatever the component answers, the report does not read it.
    RegistroProva::risposta() = QDate(2011, 1, 1);
    OsservatoreBox box;
    RicercaRefill::stampaGiorno(nullptr, host, data, titolo);
    QStringList attesi = passiFinoARicerca(QStringLiteral("RefillGiorno"), titolo, sql,
                                           QStringLiteral("dataincasso"));
    attesi << QStringLiteral("~componente");
    QCOMPARE(RegistroProva::voci(), attesi);
    QVERIFY(box.boxes.isEmpty());
    QVERIFY(host.tuttiRilasciati());
}

void TestRicercaRefill::componenteNonInstallato_data() {
    QTest::addColumn<bool>("stampa");
    QTest::newRow("Cerca") << false;
    QTest::newRow("Stampa") << true;
}

void TestRicercaRefill::componenteNonInstallato() {
    QFETCH(bool, stampa);
    QTemporaryDir vuota;
    QVERIFY(vuota.isValid());
    qputenv("KALOREFILL_COMPONENTS", QFile::encodeName(vuota.path()));

    HostProva host;
    OsservatoreBox box;
    bool rilasciatiColBox = false;
    box.quandoAperto = [&] { rilasciatiColBox = host.tuttiRilasciati(); };
    bool aperta = false;
    if (stampa)
        RicercaRefill::stampaGiorno(nullptr, host, QDate(2011, 3, 15), QStringLiteral("Totale"));
    else
        RicercaRefill::cerca(nullptr, host, [&](const QDate&) { aperta = true; });

    QCOMPARE(box.boxes.size(), 1);
    QCOMPARE(box.boxes.first().testo,
             QStringLiteral("429 - Il componente ActiveX non può creare l'oggetto"));
    QCOMPARE(box.boxes.first().testo, QStringLiteral("429 - ") + descrizioneCreazione());
    QCOMPARE(box.boxes.first().icona, QMessageBox::Critical);
    QCOMPARE(box.boxes.first().pulsanti, QStringList{QStringLiteral("OK")});
    QCOMPARE(box.boxes.first().titolo, QStringLiteral("KaloRefill"));
    // Steps 2 and 3 ran, step 4 failed, nothing after it.
    QCOMPARE(RegistroProva::voci(),
             (QStringList{QStringLiteral("host.OpenRecordSetPreferenze(select * from viste)"),
                          QStringLiteral("host.openrecordset(select * from operatori)")}));
    QCOMPARE(host.consegnati.size(), size_t(2));
    QVERIFY(host.tuttiRilasciati());
    QVERIFY(rilasciatiColBox);
    QVERIFY(!aperta);
}

void TestRicercaRefill::oggettoSenzaIMembri() {
    HostProva host;
    RegistroProva::oggettoEstraneo() = true;
    OsservatoreBox box;
    RicercaRefill::cerca(nullptr, host, apriDataAnnotata());
    QCOMPARE(box.boxes.size(), 1);
    QCOMPARE(box.boxes.first().testo,
             QStringLiteral("438 - Proprietà o metodo non supportati dall'oggetto"));
    QCOMPARE(box.boxes.first().icona, QMessageBox::Critical);
    QCOMPARE(RegistroProva::voci().last(), QStringLiteral("crea KaloviaRicerca.Ricerca"));
    QVERIFY(host.tuttiRilasciati());
}

void TestRicercaRefill::ospiteCheFallisce_data() {
    QTest::addColumn<QString>("guasto");
    QTest::addColumn<QString>("ultimaVoce");
    QTest::addColumn<bool>("componenteCreato");
    QTest::newRow("viste") << QStringLiteral("OpenRecordSetPreferenze")
                           << QStringLiteral("host.OpenRecordSetPreferenze(select * from viste)")
                           << false;
    QTest::newRow("operatori") << QStringLiteral("operatori)")
                               << QStringLiteral("host.openrecordset(select * from operatori)")
                               << false;
    QTest::newRow("User") << QStringLiteral("host.User") << QStringLiteral("host.User") << true;
    QTest::newRow("elenco") << QStringLiteral("noteteste")
                            << QStringLiteral("host.openrecordset(%1)").arg(sqlElenco) << true;
    QTest::newRow("Filter") << QStringLiteral("elenco.Filter") << QStringLiteral("elenco.Filter=")
                            << true;
    QTest::newRow("Percorso") << QStringLiteral("host.Percorso") << QStringLiteral("host.Percorso")
                              << true;
}

void TestRicercaRefill::ospiteCheFallisce() {
    QFETCH(QString, guasto);
    QFETCH(QString, ultimaVoce);
    QFETCH(bool, componenteCreato);
    HostProva host;
    host.guasto = guasto;
    RegistroProva::risposta() = QDate(2011, 3, 15);
    OsservatoreBox box;
    bool aperta = false;
    RicercaRefill::cerca(nullptr, host, [&](const QDate&) { aperta = true; });

    QCOMPARE(box.boxes.size(), 1);
    QCOMPARE(box.boxes.first().testo, QStringLiteral("-2147467259 - Errore del database"));
    QCOMPARE(box.boxes.first().icona, QMessageBox::Critical);
    QStringList voci = RegistroProva::voci();
    QVERIFY(!voci.contains(QStringLiteral("Ricerca")));
    if (componenteCreato)
        QCOMPARE(voci.takeLast(), QStringLiteral("~componente"));
    QCOMPARE(voci.last(), ultimaVoce);
    QVERIFY(!aperta);
    QVERIFY(host.tuttiRilasciati());
}

void TestRicercaRefill::erroreDentroRicerca() {
    HostProva host;
    RegistroProva::numeroErroreInRicerca() = 91;
    RegistroProva::descrizioneErroreInRicerca() = QStringLiteral("Variabile oggetto non impostata");
    RegistroProva::risposta() = QDate(2011, 3, 15);
    OsservatoreBox box;
    bool aperta = false;
    RicercaRefill::cerca(nullptr, host, [&](const QDate&) { aperta = true; });
    QCOMPARE(box.boxes.size(), 1);
    QCOMPARE(box.boxes.first().testo, QStringLiteral("91 - Variabile oggetto non impostata"));
    QVERIFY(!RegistroProva::voci().contains(QStringLiteral("Risposta")));
    QCOMPARE(RegistroProva::voci().last(), QStringLiteral("~componente"));
    QVERIFY(!aperta);
    QVERIFY(host.tuttiRilasciati());
}

void TestRicercaRefill::erroreNelPortareLaData() {
    // Reloading the grid for the new date fails: the same box, and everything let go.
    HostProva host;
    RegistroProva::risposta() = QDate(2011, 3, 15);
    OsservatoreBox box;
    RicercaRefill::cerca(nullptr, host, [](const QDate&) { throw Errore::nessunRecordCorrente(); });
    QCOMPARE(box.boxes.size(), 1);
    QCOMPARE(box.boxes.first().testo,
             QStringLiteral("3021 - ") + Errore::nessunRecordCorrente().descrizione());
    QCOMPARE(RegistroProva::voci().last(), QStringLiteral("~componente"));
    QVERIFY(host.tuttiRilasciati());
}

QTEST_MAIN(TestRicercaRefill)
#include "tst_ricerca_refill.moc"
