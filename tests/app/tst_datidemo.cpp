#include "DatabaseHost.h"
#include "DatiDemo.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"
#include "host/Valuta.h"

#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;

namespace {

// The three days before the working date hold refills; the oldest is closed.
constexpr int giorniAttesi = 3;
const QDate dataLavoro(2025, 3, 14);

QString testo(const RecordsetPtr& insieme, const char* campo) {
    return insieme->Field(QLatin1String(campo)).toString();
}

qint64 intero(const RecordsetPtr& insieme, const char* campo) {
    return insieme->Field(QLatin1String(campo)).toLongLong();
}

Valuta importo(const RecordsetPtr& insieme, const char* campo) {
    return Valuta::daVariant(insieme->Field(QLatin1String(campo)));
}

// Every row of a set as text, for comparing whole tables.
QStringList righe(const RecordsetPtr& insieme) {
    QStringList risultato;
    for (; !insieme->Eof(); insieme->MoveNext()) {
        QStringList valori;
        for (const QString& campo : insieme->FieldNames()) {
            const QVariant valore = insieme->Field(campo);
            valori << (valore.userType() == qMetaTypeId<Valuta>() ? valore.value<Valuta>().testo()
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
    std::shared_ptr<DatabaseHost> m_demo;

    std::shared_ptr<DatabaseHost> nuovoDemo(const QDate& data) {
        const QString percorso = m_cartella.filePath(QStringLiteral("demo%1.db").arg(++m_numero));
        auto host = DatabaseHost::crea(percorso, OpzioniHost{data, QStringLiteral("OP01"), {}});
        DatiDemo::riempi(*host, data);
        return host;
    }

    RecordsetPtr apri(const QString& sql) { return m_demo->openrecordset(sql); }

private slots:
    void initTestCase() {
        QVERIFY(m_cartella.isValid());
        m_demo = nuovoDemo(dataLavoro);
    }

    // The form lists, with its own query, exactly the active refill machines: forty of them,
    // each told apart by idscheda, in takings order.
    void apparecchi() {
        const RecordsetPtr attivi = apri(SqlTesti::apparecchiAttivi());
        QCOMPARE(attivi->RecordCount(), 40);
        QSet<qint64> listati;
        QSet<QString> codici;
        qint64 ordinePrecedente = 0;
        for (; !attivi->Eof(); attivi->MoveNext()) {
            listati.insert(intero(attivi, "idscheda"));
            codici.insert(testo(attivi, "codiceinterno"));
            QVERIFY(intero(attivi, "ordineincasso") > ordinePrecedente);
            ordinePrecedente = intero(attivi, "ordineincasso");
            const qsizetype lunghezzaAams = testo(attivi, "codiceaams").size();
            QVERIFY(lunghezzaAams == 12 || lunghezzaAams == 16);
        }
        QCOMPARE(listati.size(), 40);
        QCOMPARE(codici.size(), 40);

        // The rest of the register: out of service, or active with other takings.
        int fuoriServizio = 0;
        int altriIncassi = 0;
        for (const RecordsetPtr tutti = apri(SqlTesti::tuttiApparecchi()); !tutti->Eof();
             tutti->MoveNext()) {
            const bool attiva = intero(tutti, "attiva") != 0;
            const bool refill = intero(tutti, "tipologiaincasso") == 6;
            QCOMPARE(listati.contains(intero(tutti, "idscheda")), attiva && refill);
            fuoriServizio += attiva ? 0 : 1;
            altriIncassi += attiva && !refill ? 1 : 0;
        }
        QVERIFY(fuoriServizio >= 2);
        QVERIFY(altriIncassi >= 2);
    }

    // Without a venue or the accounts the form opens with warnings; the demo has both.
    void localeContiOperatori() {
        const RecordsetPtr locali = apri(SqlTesti::locali());
        QCOMPARE(locali->RecordCount(), 1);
        QVERIFY(!testo(locali, "Codlocale").isEmpty());
        const RecordsetPtr conti = apri(SqlTesti::associazioneConti());
        QCOMPARE(conti->RecordCount(), 1);
        QVERIFY(!testo(conti, "CassaSalaGiochi").isEmpty());
        QVERIFY(testo(conti, "CassaSalaGiochi") != testo(conti, "CassaRefill"));
        QVERIFY(apri(SqlTesti::operatori())->RecordCount() >= 2);
    }

    // The refill days, found the way the form and the search list find them, also when they
    // fall in the previous year or around a 29 February.
    void giorniDiRefill_data() {
        QTest::addColumn<QDate>("data");
        QTest::newRow("marzo") << dataLavoro;
        QTest::newRow("capodanno") << QDate(2026, 1, 2);
        QTest::newRow("dopo il 29 febbraio") << QDate(2024, 3, 1);
    }

    void giorniDiRefill() {
        QFETCH(QDate, data);
        const auto host = data == dataLavoro ? m_demo : nuovoDemo(data);
        // The operator starts the working day on an empty document.
        QCOMPARE(host->openrecordset(SqlTesti::testataRefill(data))->RecordCount(), 0);

        const RecordsetPtr elenco = host->openrecordset(SqlTesti::elencoRefill());
        QList<QDate> date;
        QList<bool> chiusi;
        for (; !elenco->Eof(); elenco->MoveNext()) {
            date << elenco->Field(QStringLiteral("dataregistrazione")).toDate();
            chiusi << (intero(elenco, "chiuso") != 0);
            QCOMPARE(host->openrecordset(SqlTesti::testataRefill(date.last()))->RecordCount(), 1);
        }
        QCOMPARE(date, (QList<QDate>{data.addDays(-1), data.addDays(-2), data.addDays(-3)}));
        QCOMPARE(chiusi, (QList<bool>{false, false, true}));
    }

    // Each day's document as the form leaves it: the header's total is the day total and the
    // document total, each row belongs to a listed machine, and the two accounting entries
    // move that total from the hall's cash to the refill account.
    void documentiDeiGiorni() {
        const QString locale = testo(apri(SqlTesti::locali()), "Codlocale");
        const RecordsetPtr conti = apri(SqlTesti::associazioneConti());
        QHash<qint64, QString> descrizioni;
        for (const RecordsetPtr a = apri(SqlTesti::apparecchiAttivi()); !a->Eof(); a->MoveNext())
            descrizioni.insert(intero(a, "idscheda"),
                               testo(a, "codiceinterno") + QStringLiteral(" - ") +
                                   testo(a, "Nomescheda") + QStringLiteral(" - ") +
                                   testo(a, "codiceaams"));
        int righeTotali = 0;
        for (int giorno = 1; giorno <= giorniAttesi; ++giorno) {
            const QDate data = dataLavoro.addDays(-giorno);
            const RecordsetPtr testata = apri(SqlTesti::testataRefill(data));
            const QString id = testo(testata, "id");
            const Valuta totale = importo(testata, "refillnoleggiatore");
            QVERIFY(totale > Valuta());
            QCOMPARE(importo(apri(SqlTesti::totaleGiorno(locale, data)), "SommaDiRefillGestore"),
                     totale);
            QCOMPARE(importo(apri(SqlTesti::totaleDocumento(id)), "TotaleRefill"), totale);

            const RecordsetPtr macchine =
                apri(QStringLiteral("select * from noteincassi where idtesta=") + id);
            for (; !macchine->Eof(); macchine->MoveNext()) {
                const qint64 scheda = intero(macchine, "linkscheda");
                QCOMPARE(testo(macchine, "Descrizione"), descrizioni.value(scheda));
                QCOMPARE(macchine->Field(QStringLiteral("dataincasso")).toDate(), data);
                QCOMPARE(
                    apri(SqlTesti::rigaApparecchio(id, QString::number(scheda)))->RecordCount(), 1);
            }
            QCOMPARE(apri(SqlTesti::refillDelGiorno(data))->RecordCount(), macchine->RecordCount());
            righeTotali += macchine->RecordCount();

            const RecordsetPtr voci =
                apri(QStringLiteral("select * from noterighe where idtesta=") + id);
            QCOMPARE(voci->RecordCount(), 2);
            QStringList lette;
            for (; !voci->Eof(); voci->MoveNext())
                lette << QStringLiteral("%1 %2 %3 %4 %5")
                             .arg(testo(voci, "riga"), testo(voci, "Descrizione"),
                                  importo(voci, "dare").testo(), importo(voci, "avere").testo(),
                                  testo(voci, "codconto"));
            lette.sort();
            QCOMPARE(lette, (QStringList{QStringLiteral("1 Refill Hopper 0 %1 %2")
                                             .arg(totale.testo(), testo(conti, "CassaSalaGiochi")),
                                         QStringLiteral("2 Carico Hopper(Refill) %1 0 %2")
                                             .arg(totale.testo(), testo(conti, "CassaRefill"))}));
        }
        // One log row per save.
        QCOMPARE(apri(QStringLiteral("select * from LogOperazioni"))->RecordCount(), righeTotali);
    }

    // Tests and screenshots rely on a working date always giving the same hall.
    void sempreUguale() {
        const auto secondo = nuovoDemo(dataLavoro);
        for (const char* tabella :
             {"anagraficalocali", "apparecchi", "TabAssociazioneConti", "operatori", "noteteste",
              "noteincassi", "noterighe", "LogOperazioni"}) {
            const QString sql = QStringLiteral("select * from ") + QLatin1String(tabella);
            const QStringList attese = righe(apri(sql));
            QVERIFY2(!attese.isEmpty(), tabella);
            QCOMPARE(righe(secondo->openrecordset(sql)), attese);
        }
    }

    // Filling twice would give two venues and doubled refills: refused, nothing added.
    void soloSuDatabaseNuovo() {
        const int apparecchi = apri(SqlTesti::tuttiApparecchi())->RecordCount();
        QVERIFY_THROWS_EXCEPTION(Errore, DatiDemo::riempi(*m_demo, dataLavoro.addDays(7)));
        QCOMPARE(apri(SqlTesti::locali())->RecordCount(), 1);
        QCOMPARE(apri(SqlTesti::tuttiApparecchi())->RecordCount(), apparecchi);
        QCOMPARE(apri(SqlTesti::elencoRefill())->RecordCount(), giorniAttesi);
    }

    void cleanupTestCase() { m_demo.reset(); }
};

QTEST_GUILESS_MAIN(TestDatiDemo)
#include "tst_datidemo.moc"
