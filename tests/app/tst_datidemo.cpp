// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "MotoreProva.h"
#include "DatabaseHost.h"
#include "DatiDemo.h"
#include "host/SqlTesti.h"
#include "host/Valuta.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace KaloRefill;

static QVariant campo(const RecordsetPtr& insieme, const char* nome) {
    return insieme->Field(QLatin1String(nome));
}

class TestDatiDemo : public QObject {
    Q_OBJECT

    QTemporaryDir m_cartella;

    std::shared_ptr<DatabaseHost> nuovoDemo(const QDate& data) {
        const QString cartella = m_cartella.filePath(data.toString(Qt::ISODate));
        QDir().mkpath(cartella);
        auto host = DatabaseHost::crea(MotoreProva::nuovoDatabase(cartella),
                                       OpzioniHost{data, QStringLiteral("OP01"), {}});
        DatiDemo::riempi(*host, data);
        return host;
    }

private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }
    // The form's own query lists exactly the active refill machines, forty of them; the
    // register also holds machines out of service or with other takings, never listed.
    void apparecchi() {
        const auto demo = nuovoDemo(QDate(2025, 6, 10));
        const RecordsetPtr attivi = demo->openrecordset(SqlTesti::apparecchiAttivi());
        QCOMPARE(attivi->RecordCount(), 40);
        QSet<qint64> listati;
        for (; !attivi->Eof(); attivi->MoveNext())
            listati.insert(campo(attivi, "idscheda").toLongLong());
        QCOMPARE(listati.size(), 40);
        int fuoriServizio = 0;
        int altriIncassi = 0;
        for (const RecordsetPtr tutti = demo->openrecordset(SqlTesti::tuttiApparecchi());
             !tutti->Eof(); tutti->MoveNext()) {
            const bool attiva = campo(tutti, "attiva").toLongLong() != 0;
            const bool refill = campo(tutti, "tipologiaincasso").toLongLong() == 6;
            QCOMPARE(listati.contains(campo(tutti, "idscheda").toLongLong()), attiva && refill);
            fuoriServizio += attiva ? 0 : 1;
            altriIncassi += attiva && !refill ? 1 : 0;
        }
        QVERIFY(fuoriServizio >= 2);
        QVERIFY(altriIncassi >= 2);
    }

    // The three days before the working date hold refills, the oldest closed, found the way
    // the form and the search list find them, also across a new year or a 29 February.
    // Each day's header total is its rows' total; its two accounting entries move that total
    // from the hall's cash to the refill account.
    void giorniDiRefill_data() {
        QTest::addColumn<QDate>("data");
        QTest::newRow("marzo") << QDate(2025, 3, 14);
        QTest::newRow("capodanno") << QDate(2026, 1, 2);
        QTest::newRow("dopo il 29 febbraio") << QDate(2024, 3, 1);
    }

    void giorniDiRefill() {
        QFETCH(QDate, data);
        const auto demo = nuovoDemo(data);
        const auto apri = [&demo](const QString& sql) { return demo->openrecordset(sql); };
        const RecordsetPtr conti = apri(SqlTesti::associazioneConti());
        const QString cassa = campo(conti, "CassaSalaGiochi").toString();
        const QString refill = campo(conti, "CassaRefill").toString();
        QVERIFY(!cassa.isEmpty() && !refill.isEmpty() && cassa != refill);
        // The operator starts the working day on an empty document.
        QCOMPARE(apri(SqlTesti::testataRefill(data))->RecordCount(), 0);
        QList<std::pair<QDate, bool>> giorni; // each refill day, and whether it is closed
        for (const RecordsetPtr elenco = apri(SqlTesti::elencoRefill()); !elenco->Eof();
             elenco->MoveNext()) {
            const QDate giorno = campo(elenco, "dataregistrazione").toDate();
            giorni.append({giorno, campo(elenco, "chiuso").toLongLong() != 0});
            const RecordsetPtr testata = apri(SqlTesti::testataRefill(giorno));
            QCOMPARE(testata->RecordCount(), 1);
            const QString id = campo(testata, "id").toString();
            const Valuta totale = Valuta::daVariant(campo(testata, "refillnoleggiatore"));
            QVERIFY(totale > Valuta());
            QCOMPARE(Valuta::daVariant(campo(apri(SqlTesti::totaleDocumento(id)), "TotaleRefill")),
                     totale);
            QStringList voci;
            for (const RecordsetPtr v =
                     apri(QStringLiteral("select * from noterighe where idtesta=%1 order by riga")
                              .arg(id));
                 !v->Eof(); v->MoveNext())
                voci << QStringLiteral("%1 %2 %3 %4 %5")
                            .arg(campo(v, "riga").toString(), campo(v, "Descrizione").toString(),
                                 Valuta::daVariant(campo(v, "dare")).testo(),
                                 Valuta::daVariant(campo(v, "avere")).testo(),
                                 campo(v, "codconto").toString());
            QCOMPARE(voci, (QStringList{
                               QStringLiteral("1 Refill Hopper 0 %1 %2").arg(totale.testo(), cassa),
                               QStringLiteral("2 Carico Hopper(Refill) %1 0 %2")
                                   .arg(totale.testo(), refill)}));
        }
        QCOMPARE(giorni, (QList<std::pair<QDate, bool>>{{data.addDays(-1), false},
                                                        {data.addDays(-2), false},
                                                        {data.addDays(-3), true}}));
    }
};

QTEST_GUILESS_MAIN(TestDatiDemo)
#include "tst_datidemo.moc"
