// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Rules of the accountable refills that a clock or a written register row decide: how long
// a PIN lock-out lasts, and what the register's check says of a row whose figures disagree.
#include "BancoProva.h"
#include "MotoreProva.h"
#include "RisponditorePin.h"
#include "controlli/Operatori.h"
#include "documento/RegistroRefill.h"
#include "documento/VerificaRegistro.h"

#include <QCryptographicHash>
#include <QTest>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

class TestRegole : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }

    void bloccoPin_data() {
        QTest::addColumn<int>("errati");  // wrong PINs in a row at 10:00:00
        QTest::addColumn<int>("secondi"); // then the right PIN, this long after
        QTest::addColumn<bool>("accettato");
        QTest::newRow("quattro errati non bloccano") << 4 << 0 << true;
        QTest::newRow("cinque errati: bloccato subito") << 5 << 0 << false;
        QTest::newRow("libero dopo 5 minuti") << 5 << 300 << true;
    }
    // The clock is the caller's: the lock-out runs five minutes from the fifth wrong PIN.
    void bloccoPin() {
        QFETCH(int, errati);
        QFETCH(int, secondi);
        QFETCH(bool, accettato);
        const auto banco = BancoProva::salaPronta(1);
        attivaControlli(*banco->host());
        Operatori operatori(*banco->host());
        const QDateTime alle10(QDate(2026, 12, 4), QTime(10, 0));
        for (int i = 0; i < errati; ++i)
            QVERIFY(operatori.verifica(QStringLiteral("OP02"), QStringLiteral("9999"), alle10).esito != Operatori::Esito::Accettato);
        const auto r = operatori.verifica(QStringLiteral("OP02"), QStringLiteral("2222"), alle10.addSecs(secondi));
        QCOMPARE(r.esito == Operatori::Esito::Accettato, accettato);
        if (!accettato)
            QVERIFY2(r.messaggio.contains(QStringLiteral("10:05:00")), qPrintable(r.messaggio));
    }

    void verificaRegistro_data() {
        QTest::addColumn<QString>("salvataggi"); // "before after difference" of one machine's saves of a day
        QTest::addColumn<QString>("problema");   // how the check's complaint begins; empty: none
        QTest::newRow("differenza sbagliata") << u"10 30 5"_s << u"differenza"_s;
        QTest::newRow("in fila") << u"0 10 10;10 15 5"_s << QString();
        QTest::newRow("non parte da dove era") << u"0 10 10;5 15 10"_s << u"parte da"_s;
    }
    // Rows written with their own hashes but figures that disagree (a difference that is not
    // "after - before", a save that does not start where the one before left the machine)
    // are named by the check; right ones are not. Each row's stored hash is the SHA-256 of
    // its canonical text after the hall's previous row's hash, as an auditor recomputes the
    // chain from the rows alone.
    void verificaRegistro() {
        QFETCH(QString, salvataggi);
        QFETCH(QString, problema);
        const auto banco = BancoProva::salaPronta(1);
        int minuto = 0;
        for (const QString& s : salvataggi.split(u';')) {
            const QStringList v = s.split(u' ');
            RigaRegistro riga;
            riga.codLocale = QStringLiteral("SG01");
            riga.anno = 2026;
            riga.dataOra = QDateTime(QDate(2026, 12, 4), QTime(10, ++minuto));
            riga.giornata = QDate(2026, 12, 4);
            riga.idScheda = 1001;
            riga.codiceInterno = QStringLiteral("C1");
            riga.operatore = QStringLiteral("OP02");
            riga.prima = Valuta::daDecimillesimi(v.at(0).toLongLong() * 10000);
            riga.dopo = Valuta::daDecimillesimi(v.at(1).toLongLong() * 10000);
            riga.differenza = Valuta::daDecimillesimi(v.at(2).toLongLong() * 10000);
            RegistroRefill(*banco->host()).aggiungi(riga);
        }
        const QList<RigaRegistro> righe = RegistroRefill(*banco->host()).leggi({}, {});
        QCOMPARE(righe.size(), salvataggi.count(u';') + 1);
        QString precedente;
        for (const RigaRegistro& r : righe) {
            QCOMPARE(r.impronta, QString::fromLatin1(QCryptographicHash::hash(r.testoCanonico(precedente),
                                                                              QCryptographicHash::Sha256).toHex()));
            precedente = r.impronta;
        }
        QStringList trovati;
        for (const auto& p : VerificaRegistro(*banco->host(), {}, {}).verifica())
            if (p.descrizione.startsWith(QStringLiteral("differenza")) || p.descrizione.startsWith(QStringLiteral("parte da")))
                trovati << p.descrizione;
        QCOMPARE(trovati.size(), problema.isEmpty() ? 0 : 1);
        if (!problema.isEmpty())
            QVERIFY2(trovati.first().startsWith(problema), qPrintable(trovati.first()));
    }
};

QTEST_MAIN(TestRegole)
#include "tst_regole.moc"
