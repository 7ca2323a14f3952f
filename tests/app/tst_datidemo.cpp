#include "DatabaseHost.h"
#include "DatiDemo.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"
#include "host/Valuta.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;

namespace {

// The three days before the working date hold refills; the oldest is closed.
constexpr int giorniAttesi = 3;

QString testo(const RecordsetPtr& insieme, const char* campo) {
    return insieme->Field(QLatin1String(campo)).toString();
}

qint64 intero(const RecordsetPtr& insieme, const char* campo) {
    return insieme->Field(QLatin1String(campo)).toLongLong();
}

Valuta importo(const RecordsetPtr& insieme, const char* campo) {
    return Valuta::daVariant(insieme->Field(QLatin1String(campo)));
}

// Every row of a set, one text per row, for comparing whole tables.
QStringList righe(const RecordsetPtr& insieme) {
    QStringList risultato;
    const QStringList campi = insieme->FieldNames();
    for (; !insieme->Eof(); insieme->MoveNext()) {
        QStringList valori;
        for (const QString& campo : campi) {
            const QVariant valore = insieme->Field(campo);
            valori << campo + QLatin1Char('=') +
                          (valore.userType() == qMetaTypeId<Valuta>()
                               ? valore.value<Valuta>().testo()
                               : valore.toString());
        }
        risultato << valori.join(QLatin1Char('|'));
    }
    return risultato;
}

} // namespace

class TestDatiDemo : public QObject {
    Q_OBJECT

    QTemporaryDir m_cartella;
    int m_numero = 0;

    std::shared_ptr<DatabaseHost> nuovoDemo(const QDate& dataLavoro) {
        const QString percorso = m_cartella.filePath(QStringLiteral("demo%1.db").arg(++m_numero));
        auto host =
            DatabaseHost::crea(percorso, OpzioniHost{dataLavoro, QStringLiteral("OP01"), {}});
        DatiDemo::riempi(*host, dataLavoro);
        return host;
    }

    static QString codLocale(HostApplication& host) {
        const RecordsetPtr locali = host.openrecordset(SqlTesti::locali());
        return testo(locali, "Codlocale");
    }

private slots:
    void initTestCase() { QVERIFY(m_cartella.isValid()); }

    void dateDiLavoro_data() {
        QTest::addColumn<QDate>("dataLavoro");
        QTest::newRow("un venerdì di marzo") << QDate(2025, 3, 14);
        // The refill days fall in the previous year and in a leap February.
        QTest::newRow("capodanno") << QDate(2026, 1, 2);
        QTest::newRow("dopo il 29 febbraio") << QDate(2024, 3, 1);
    }

    // What the form lists: the query it sends at start-up.
    void apparecchiDelModulo_data() { dateDiLavoro_data(); }
    void apparecchiDelModulo() {
        QFETCH(QDate, dataLavoro);
        const auto host = nuovoDemo(dataLavoro);
        const RecordsetPtr attivi = host->openrecordset(SqlTesti::apparecchiAttivi());
        QCOMPARE(attivi->RecordCount(), 40);

        QSet<qint64> schede;
        QSet<QString> codici;
        qint64 ordinePrecedente = 0;
        for (; !attivi->Eof(); attivi->MoveNext()) {
            const QString codice = testo(attivi, "codiceinterno");
            QVERIFY2(!codice.isEmpty() && !testo(attivi, "Nomescheda").isEmpty(),
                     qPrintable(codice));
            QVERIFY2(!schede.contains(intero(attivi, "idscheda")),
                     "idscheda must tell machines apart");
            QVERIFY2(!codici.contains(codice), qPrintable(codice));
            schede.insert(intero(attivi, "idscheda"));
            codici.insert(codice);
            QVERIFY2(intero(attivi, "ordineincasso") > ordinePrecedente, qPrintable(codice));
            ordinePrecedente = intero(attivi, "ordineincasso");
            QVERIFY(!attivi->Field(QStringLiteral("Idapparecchio")).isNull());
            const QString aams = testo(attivi, "codiceaams");
            QVERIFY2(aams.size() == 12 || aams.size() == 16, qPrintable(aams));
            QVERIFY2(QSet<QString>({QStringLiteral("AWP"), QStringLiteral("VLT")})
                         .contains(testo(attivi, "categoria")),
                     qPrintable(codice));
        }
    }

    // Machines out of service or with other takings are in the register but off the form.
    void apparecchiEsclusi() {
        const auto host = nuovoDemo(QDate(2025, 3, 14));
        QSet<qint64> listati;
        for (const RecordsetPtr attivi = host->openrecordset(SqlTesti::apparecchiAttivi());
             !attivi->Eof(); attivi->MoveNext())
            listati.insert(intero(attivi, "idscheda"));

        int fuoriServizio = 0;
        int altriIncassi = 0;
        const RecordsetPtr tutti = host->openrecordset(SqlTesti::tuttiApparecchi());
        for (; !tutti->Eof(); tutti->MoveNext()) {
            const bool attiva = intero(tutti, "attiva") != 0;
            const bool refill = intero(tutti, "tipologiaincasso") == 6;
            QCOMPARE(listati.contains(intero(tutti, "idscheda")), attiva && refill);
            fuoriServizio += !attiva ? 1 : 0;
            altriIncassi += attiva && !refill ? 1 : 0;
        }
        QVERIFY(fuoriServizio >= 2);
        QVERIFY(altriIncassi >= 2);
    }

    void localeContiOperatori() {
        const auto host = nuovoDemo(QDate(2025, 3, 14));
        const RecordsetPtr locali = host->openrecordset(SqlTesti::locali());
        QCOMPARE(locali->RecordCount(), 1);
        QVERIFY(!testo(locali, "Codlocale").isEmpty());

        const RecordsetPtr conti = host->openrecordset(SqlTesti::associazioneConti());
        QCOMPARE(conti->RecordCount(), 1);
        QVERIFY(!testo(conti, "CassaSalaGiochi").isEmpty());
        QVERIFY(!testo(conti, "CassaRefill").isEmpty());
        QVERIFY(testo(conti, "CassaSalaGiochi") != testo(conti, "CassaRefill"));

        const RecordsetPtr operatori = host->openrecordset(SqlTesti::operatori());
        QVERIFY(operatori->RecordCount() >= 2);
        QSet<QString> codici;
        for (; !operatori->Eof(); operatori->MoveNext()) {
            QVERIFY(!testo(operatori, "codice").isEmpty());
            QVERIFY(!testo(operatori, "cognome").isEmpty());
            codici.insert(testo(operatori, "codice"));
        }
        QCOMPARE(codici.size(), operatori->RecordCount());
    }

    // The refill days, found the way the form and the search list find them.
    void giorniDiRefill_data() { dateDiLavoro_data(); }
    void giorniDiRefill() {
        QFETCH(QDate, dataLavoro);
        const auto host = nuovoDemo(dataLavoro);

        QCOMPARE(host->openrecordset(SqlTesti::testataRefill(dataLavoro))->RecordCount(), 0);
        QCOMPARE(host->openrecordset(SqlTesti::testataRefill(dataLavoro.addDays(-giorniAttesi - 1)))
                     ->RecordCount(),
                 0);

        const RecordsetPtr elenco = host->openrecordset(SqlTesti::elencoRefill());
        QCOMPARE(elenco->RecordCount(), giorniAttesi);
        QList<QDate> date;
        QList<bool> chiusi;
        for (; !elenco->Eof(); elenco->MoveNext()) {
            date << elenco->Field(QStringLiteral("dataregistrazione")).toDate();
            chiusi << (intero(elenco, "chiuso") != 0);
            QCOMPARE(testo(elenco, "codcausale"), QStringLiteral("REF"));
            QCOMPARE(testo(elenco, "Codlocale"), codLocale(*host));
        }
        // Newest first, as the search list shows them; only the oldest has been closed.
        QCOMPARE(date, (QList<QDate>{dataLavoro.addDays(-1), dataLavoro.addDays(-2),
                                     dataLavoro.addDays(-3)}));
        QCOMPARE(chiusi, (QList<bool>{false, false, true}));
        for (const QDate& data : date)
            QCOMPARE(host->openrecordset(SqlTesti::testataRefill(data))->RecordCount(), 1);
    }

    // Header total, day total and document total agree, and the rows are the form's own.
    void righeDeiGiorni_data() { dateDiLavoro_data(); }
    void righeDeiGiorni() {
        QFETCH(QDate, dataLavoro);
        const auto host = nuovoDemo(dataLavoro);
        const QString locale = codLocale(*host);

        QHash<qint64, QString> descrizioni;
        for (const RecordsetPtr attivi = host->openrecordset(SqlTesti::apparecchiAttivi());
             !attivi->Eof(); attivi->MoveNext())
            descrizioni.insert(intero(attivi, "idscheda"),
                               testo(attivi, "codiceinterno") + QStringLiteral(" - ") +
                                   testo(attivi, "Nomescheda") + QStringLiteral(" - ") +
                                   testo(attivi, "codiceaams"));

        int righeTotali = 0;
        for (int giorno = 1; giorno <= giorniAttesi; ++giorno) {
            const QDate data = dataLavoro.addDays(-giorno);
            const RecordsetPtr testata = host->openrecordset(SqlTesti::testataRefill(data));
            const QString id = testo(testata, "id");
            const Valuta totaleTestata = importo(testata, "refillnoleggiatore");

            const RecordsetPtr giornata = host->openrecordset(SqlTesti::totaleGiorno(locale, data));
            QCOMPARE(giornata->RecordCount(), 1);
            QCOMPARE(importo(giornata, "SommaDiRefillGestore"), totaleTestata);
            const RecordsetPtr documento = host->openrecordset(SqlTesti::totaleDocumento(id));
            QCOMPARE(importo(documento, "TotaleRefill"), totaleTestata);
            QVERIFY(totaleTestata > Valuta());

            const RecordsetPtr macchine = host->openrecordset(
                QStringLiteral("select * from noteincassi where idtesta=") + id);
            QVERIFY(macchine->RecordCount() >= 8);
            QSet<qint64> viste;
            for (; !macchine->Eof(); macchine->MoveNext()) {
                const qint64 scheda = intero(macchine, "linkscheda");
                QVERIFY2(descrizioni.contains(scheda),
                         "a refill on a machine the form does not list");
                QVERIFY2(!viste.contains(scheda), "one row per machine and day");
                viste.insert(scheda);
                QCOMPARE(testo(macchine, "Descrizione"), descrizioni.value(scheda));
                QCOMPARE(macchine->Field(QStringLiteral("dataincasso")).toDate(), data);
                QCOMPARE(testo(macchine, "codarticolo"), QStringLiteral("newslot"));
                QCOMPARE(intero(macchine, "tipoincasso"), 6);
                QVERIFY(importo(macchine, "refillgestore") > Valuta());
                // The form finds the row of each machine by header and idscheda.
                QCOMPARE(host->openrecordset(SqlTesti::rigaApparecchio(id, QString::number(scheda)))
                             ->RecordCount(),
                         1);
            }
            // The day report lists the same rows.
            QCOMPARE(host->openrecordset(SqlTesti::refillDelGiorno(data))->RecordCount(),
                     macchine->RecordCount());
            righeTotali += macchine->RecordCount();
        }
        // One log row per save.
        QCOMPARE(host->openrecordset(QStringLiteral("select * from LogOperazioni"))->RecordCount(),
                 righeTotali);
    }

    // The two entries the form writes: the day's total out of the hall's cash, into refill.
    void contabilitaBilanciata() {
        const QDate dataLavoro(2025, 3, 14);
        const auto host = nuovoDemo(dataLavoro);
        const RecordsetPtr conti = host->openrecordset(SqlTesti::associazioneConti());
        for (int giorno = 1; giorno <= giorniAttesi; ++giorno) {
            const QDate data = dataLavoro.addDays(-giorno);
            const RecordsetPtr testata = host->openrecordset(SqlTesti::testataRefill(data));
            const QString id = testo(testata, "id");
            const Valuta totale =
                importo(host->openrecordset(SqlTesti::totaleDocumento(id)), "TotaleRefill");

            const RecordsetPtr voci =
                host->openrecordset(QStringLiteral("select * from noterighe where idtesta=") + id);
            QCOMPARE(voci->RecordCount(), 2);
            Valuta dare;
            Valuta avere;
            for (; !voci->Eof(); voci->MoveNext()) {
                QCOMPARE(voci->Field(QStringLiteral("Data")).toDate(), data);
                dare = dare + importo(voci, "dare");
                avere = avere + importo(voci, "avere");
                if (intero(voci, "riga") == 1) {
                    QCOMPARE(testo(voci, "Descrizione"), QStringLiteral("Refill Hopper"));
                    QCOMPARE(importo(voci, "dare"), Valuta());
                    QCOMPARE(importo(voci, "avere"), totale);
                    QCOMPARE(testo(voci, "codconto"), testo(conti, "CassaSalaGiochi"));
                } else {
                    QCOMPARE(intero(voci, "riga"), 2);
                    QCOMPARE(testo(voci, "Descrizione"), QStringLiteral("Carico Hopper(Refill)"));
                    QCOMPARE(importo(voci, "dare"), totale);
                    QCOMPARE(importo(voci, "avere"), Valuta());
                    QCOMPARE(testo(voci, "codconto"), testo(conti, "CassaRefill"));
                }
            }
            QCOMPARE(dare, avere);
        }
    }

    // Tests and screenshots rely on a working date always giving the same hall.
    void sempreUguale() {
        const QDate dataLavoro(2025, 3, 14);
        const auto primo = nuovoDemo(dataLavoro);
        const auto secondo = nuovoDemo(dataLavoro);
        for (const char* tabella :
             {"anagraficalocali", "apparecchi", "TabAssociazioneConti", "operatori", "noteteste",
              "noteincassi", "noterighe", "LogOperazioni"}) {
            const QString sql = QStringLiteral("select * from ") + QLatin1String(tabella);
            const QStringList attese = righe(primo->openrecordset(sql));
            QVERIFY2(!attese.isEmpty(), tabella);
            QCOMPARE(righe(secondo->openrecordset(sql)), attese);
        }
    }

    // Filling twice would give two venues and doubled refills: refused, nothing added.
    void soloSuDatabaseNuovo() {
        const auto host = nuovoDemo(QDate(2025, 3, 14));
        QVERIFY_THROWS_EXCEPTION(Errore, DatiDemo::riempi(*host, QDate(2025, 3, 20)));
        QCOMPARE(host->openrecordset(SqlTesti::locali())->RecordCount(), 1);
        QCOMPARE(host->openrecordset(SqlTesti::tuttiApparecchi())->RecordCount(),
                 nuovoDemo(QDate(2025, 3, 14))
                     ->openrecordset(SqlTesti::tuttiApparecchi())
                     ->RecordCount());
        QCOMPARE(host->openrecordset(SqlTesti::elencoRefill())->RecordCount(), giorniAttesi);
    }
};

QTEST_GUILESS_MAIN(TestDatiDemo)
#include "tst_datidemo.moc"
