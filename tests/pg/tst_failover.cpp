// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// A standby that takes over: the hall's address names a primary server and its streaming
// standby (synchronous replication). The primary's machine is lost while the cash desk keeps
// saving; the standby is promoted. A save in flight fails with one box, the next press of
// "Salva" works on the new primary through the same address, and no save the operator saw
// confirmed is missing there. Then the lost server comes back as the new standby, and again.
// (A server lost while the desk stands idle: see tst_server_remoto.)
#include "ClusterProva.h"
#include "DatabaseHost.h"
#include "Incoerenze.h"
#include "PianoSalvataggi.h"
#include "Supporto.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <atomic>
#include <map>
#include <thread>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {
constexpr int Cicli = 5;
const QDate PrimoGiorno(2026, 1, 1);
// Machine after machine, amounts of every size; the date is the cycle's.
const PianoSalvataggi piano{PrimoGiorno, 0, 1, 0, 1};

} // namespace

class TstFailover : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void passaggioAlloStandby();

    void cleanupTestCase() {
        m_form.reset();
        StatoModulo::istanza().applicazione.reset();
    }

private:
    bool inStreaming(ClusterProva& primario) {
        QElapsedTimer tempo;
        tempo.start();
        QString uscita;
        while (tempo.elapsed() < 30000) {
            if (primario.sql(
                    u"select count(*) from pg_stat_replication where state = 'streaming'"_s,
                    u"postgres"_s, &uscita) &&
                uscita.trimmed() == u"1"_s)
                // Synchronous from now on: a commit returns once the standby has it.
                return primario.sql(u"alter system set synchronous_standby_names = '*'"_s) &&
                       primario.sql(u"select pg_reload_conf()"_s);
            QThread::msleep(100);
        }
        return false;
    }

    QString boxVisti() const { return m_risponditore.testi().join(u" / "_s); }

    ClusterProva m_server[2];
    std::unique_ptr<FrmRefill> m_form;
    RisponditoreBox m_risponditore;
};

void TstFailover::initTestCase() {
    ClusterProva& primario = m_server[0];
    ClusterProva& standby = m_server[1];
    const bool pronto = primario.inizializza() && primario.avvia() &&
                        primario.sql(u"create database kalorefill"_s) &&
                        standby.standbyDi(primario) && standby.avvia() && inStreaming(primario);
    // A server the test cannot start fails the run: nothing would have been shown.
    QVERIFY2(pronto, qPrintable(primario.errore() + standby.errore()));

    const QString indirizzo =
        u"postgresql://tester@localhost:%1,localhost:%2/kalorefill?target_session_attrs=read-write&connect_timeout=3"_s
            .arg(primario.porta())
            .arg(standby.porta());
    DatabaseHost::crea(indirizzo);
    QVERIFY2(primario.sql(uR"(
insert into anagraficalocali (codlocale) values ('SG01');
insert into tabassociazioneconti (cassasalagiochi, cassarefill) values ('C.01.001', 'C.01.010');
insert into apparecchi (idscheda, idapparecchio, codiceinterno, nomescheda, codiceaams, tipologiaincasso,
                        attiva, ordineincasso, codlocale)
select 1000 + i, 'A' || i, 'C' || i, 'Slot ' || i, 'AAMS' || i, 6, -1, i, 'SG01'
  from generate_series(1, 16) i)"_s,
                          u"kalorefill"_s),
             qPrintable(primario.errore()));
    m_form = apriForm(DatabaseHost::apri(indirizzo, OpzioniHost{PrimoGiorno, u"OP01"_s, {}}));
    m_form->ChkConferma->setChecked(false);
    QVERIFY2(m_risponditore.boxes().isEmpty(), qPrintable(boxVisti()));
}

// Each cycle works on a day of its own, as a hall does: machine after machine, the amount
// typed, "Salva" pressed again while a save fails, as the form asks.
void TstFailover::passaggioAlloStandby() {
    int n = 0;
    for (int ciclo = 0; ciclo < Cicli; ++ciclo) {
        ClusterProva& primario = m_server[ciclo % 2];
        ClusterProva& standby = m_server[(ciclo + 1) % 2];
        const QDate giorno = PrimoGiorno.addDays(ciclo);
        m_form->txtData->setDate(giorno);
        // idscheda -> cents: every save made, and the most a retried one may have added
        // (a commit the server kept while its answer was lost with it).
        std::map<int, qint64> attesi;
        std::map<int, qint64> forseDoppi;
        std::atomic<bool> promosso = false;
        std::atomic<bool> riuscito = true;
        // The primary's machine goes away in the middle of the saves.
        std::thread guasto([&] {
            QThread::msleep(300 + 97 * static_cast<unsigned long>(ciclo));
            riuscito = primario.ferma(u"immediate"_s) && standby.promuovi();
            promosso = true;
        });
        int salvataggi = 0;
        int salvatiDopo = 0;
        QElapsedTimer tempo;
        tempo.start();
        while (salvatiDopo < 3 && tempo.elapsed() < 60000) {
            const int tasto = piano.pulsante(n);
            m_form->CmdApparecchio[static_cast<std::size_t>(tasto)]->click();
            digita(*m_form, piano.importo(n));
            QVERIFY2(m_risponditore.boxes().isEmpty(), qPrintable(boxVisti()));
            for (;;) {
                const bool dopoLaPromozione = promosso;
                // No box is left from before: the boxes of this press.
                m_form->CmdSalva->click();
                const QStringList boxes = m_risponditore.testi();
                m_risponditore.azzera();
                // One box for a failed save, whatever went wrong inside it.
                QVERIFY2(boxes.size() <= 1, qPrintable(boxes.join(u" / "_s)));
                if (boxes.isEmpty())
                    break;
                QVERIFY2(!dopoLaPromozione, qPrintable(u"ciclo %1: \"Salva\" non riuscito con il nuovo "
                                                       "primario pronto: %2"_s.arg(ciclo).arg(boxes.join(u" / "_s))));
                QVERIFY2(tempo.elapsed() < 60000, "il salvataggio non riesce più");
                forseDoppi[1001 + tasto] += piano.centesimi(n);
                QThread::msleep(50);
            }
            attesi[1001 + tasto] += piano.centesimi(n);
            ++salvataggi;
            salvatiDopo += promosso ? 1 : 0;
            ++n;
        }
        guasto.join();
        QVERIFY2(riuscito, qPrintable(primario.errore() + standby.errore()));
        QVERIFY2(salvatiDopo == 3, "nessun salvataggio dopo la promozione");
        QVERIFY2(salvataggi > salvatiDopo, "nessun salvataggio prima del guasto");

        // Every confirmed save is on the new primary, whole.
        const QString nuovoPrimario = u"postgresql://tester@localhost:%1/kalorefill"_s.arg(standby.porta());
        std::map<int, qint64> presenti;
        for (const QVariantList& r : DbDiretto(nuovoPrimario).righe(
                 u"select i.linkscheda, i.refillgestore from noteteste t join noteincassi i on "
                 "i.idtesta = t.id where t.codcausale = 'REF' and t.dataregistrazione = '%1'"_s.arg(
                     giorno.toString(Qt::ISODate))))
            presenti[r.at(0).toInt()] = qRound64(r.at(1).toDouble() * 100);
        for (const auto& [scheda, centesimiAttesi] : attesi) {
            const qint64 trovati = presenti[scheda];
            QVERIFY2(trovati >= centesimiAttesi && trovati <= centesimiAttesi + forseDoppi[scheda],
                     qPrintable(u"ciclo %1, apparecchio %2: %3 centesimi, attesi %4"_s.arg(ciclo).arg(scheda)
                                    .arg(trovati).arg(centesimiAttesi)));
        }
        QCOMPARE(incoerenze(nuovoPrimario), QStringList());

        // The lost server comes back as the standby of the new primary.
        QDir(primario.dati()).removeRecursively();
        QVERIFY2(primario.standbyDi(standby) && primario.avvia() && inStreaming(standby),
                 qPrintable(primario.errore() + standby.errore()));
    }
}

QTEST_MAIN(TstFailover)
#include "tst_failover.moc"
