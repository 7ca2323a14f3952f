// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "GeneratoreStorico.h"

#include "ConnessioneDiretta.h"
#include "IstruzioneDiretta.h"

#include <QFile>
#include <QTime>

#include <unistd.h>

const QString GeneratoreStorico::CodLocale = QStringLiteral("SG01");

namespace {

QByteArray utf8(const QString& testo) {
    return testo.toUtf8();
}

QByteArray codiceInterno(int i) {
    return QByteArrayLiteral("AWP") + QByteArray::number(i).rightJustified(2, '0');
}

QByteArray nomeScheda(int i) {
    return QByteArrayLiteral("Slot ") + QByteArray::number(i);
}

QByteArray aams(int i) {
    return QByteArrayLiteral("AAMS") + QByteArray::number(i).rightJustified(12, '0');
}

QByteArray operatore(int numero) {
    return QByteArrayLiteral("operatore") + QByteArray::number(numero % GeneratoreStorico::Operatori + 1);
}

// As the host keeps a moment: "yyyy-MM-dd HH:mm:ss".
QByteArray momento(const QDate& giorno, const QTime& ora) {
    return utf8(giorno.toString(Qt::ISODate) + QLatin1Char(' ') + ora.toString(u"HH:mm:ss"));
}

// Writes, then makes sure the file is on disk: otherwise the first timed commits would pay
// for flushing the history.
void suDisco(const QString& percorsoFile) {
    QFile scritto(percorsoFile);
    if (scritto.open(QIODevice::ReadWrite))
        ::fsync(scritto.handle());
}

} // namespace

void GeneratoreStorico::preparaSala(const QString& percorsoFile) {
    {
        ConnessioneDiretta db(percorsoFile);
        db.esegui("BEGIN");
        IstruzioneDiretta macchina(
            db, "insert into apparecchi (idscheda, Idapparecchio, codiceinterno, Nomescheda, "
                "nomemobile, codiceaams, tipologiaincasso, categoria, attiva, ordineincasso, "
                "Codlocale) values (?, ?, ?, ?, ?, ?, 6, 'AWP', -1, ?, 'SG01')");
        for (int i = 1; i <= Apparecchi; ++i) {
            macchina.lega(1, 1000LL + i)
                .lega(2, QByteArray::number(5000 + i))
                .lega(3, codiceInterno(i))
                .lega(4, nomeScheda(i))
                .lega(5, QByteArrayLiteral("Mobile ") + QByteArray::number(i))
                .lega(6, aams(i))
                .lega(7, static_cast<long long>(i));
            macchina.esegui();
        }
        db.esegui("insert into anagraficalocali (Codlocale, ragionesociale) values ('SG01', "
                  "'Sala Giochi Centrale')");
        db.esegui("insert into TabAssociazioneConti (CassaSalaGiochi, CassaRefill) values "
                  "('C.01.001', 'C.01.010')");
        IstruzioneDiretta persona(db, "insert into operatori (codice, nome, cognome) values "
                                      "(?, ?, 'Rossi')");
        for (int o = 0; o < Operatori; ++o) {
            persona.lega(1, operatore(o)).lega(2, QByteArrayLiteral("Nome ") + QByteArray::number(o));
            persona.esegui();
        }
        db.esegui("COMMIT");
    }
    suDisco(percorsoFile);
}

void GeneratoreStorico::scrivi(const QString& percorsoFile, const QDate& ultimoGiorno,
                               int giorni, bool conRighe) {
    {
        ConnessioneDiretta db(percorsoFile);
        db.esegui("BEGIN");
        IstruzioneDiretta testa(
            db, "insert into noteteste (dataregistrazione, Codlocale, codcausale, codiceazienda, "
                "idoperatore, chiuso, import, iddata, refillnoleggiatore) "
                "values (?, 'SG01', ?, 'Salagiochi', ?, ?, 0, ?, ?)");
        IstruzioneDiretta riga(
            db, "insert into noteincassi (idtesta, codarticolo, linkapparecchio, linkscheda, "
                "Codlocale, dataincasso, tipoincasso, Descrizione, refillgestore, riga, "
                "catapparecchio, idoperatore, iddata) "
                "values (?, ?, ?, ?, 'SG01', ?, ?, ?, ?, 0, 'AWP', ?, ?)");
        IstruzioneDiretta movimento(
            db, "insert into noterighe (idtesta, Data, Descrizione, dare, avere, codconto, "
                "Codlocale, iddata, idoperatore, riga) values (?, ?, ?, ?, ?, ?, 'SG01', ?, ?, ?)");
        IstruzioneDiretta log(
            db, "insert into LogOperazioni (iddata, idoperatore, orario, importo1, Descrizione, "
                "operazione) values (?, ?, ?, ?, ?, 'Inserimento Refill')");

        struct Causale {
            const char* codice;
            int tipoIncasso;
            const char* articolo;
        };
        static const Causale causali[] = {
            {"REF", 6, "newslot"}, {"INC", 1, "incasso"}, {"VER", 2, "versamento"},
            {"PRE", 3, "prelievo"}};

        const QDate primo = ultimoGiorno.addDays(1 - giorni);
        for (int g = 0; g < giorni; ++g) {
            const QDate giorno = primo.addDays(g);
            const QByteArray data = utf8(giorno.toString(Qt::ISODate));
            for (const Causale& causale : causali) {
                const bool refill = qstrcmp(causale.codice, "REF") == 0;
                const QByteArray chi = operatore(g);
                // Saves run through the afternoon, one machine a few minutes after another.
                const QTime inizio(refill ? 14 : 9, (g * 7) % 60, 0);
                const QTime fine = inizio.addSecs(Apparecchi * 190);
                double totale = 0;
                for (int i = 1; i <= Apparecchi; ++i)
                    totale += (g * 7 + i * 13) % 200 + 0.5;
                testa.lega(1, data)
                    .lega(2, QByteArray(causale.codice))
                    .lega(3, chi)
                    // Older days were closed by the evening's accounting.
                    .lega(4, g + 1 < giorni ? -1LL : 0LL)
                    .lega(5, momento(giorno, fine))
                    .lega(6, totale);
                testa.esegui();
                if (!conRighe)
                    continue;
                const long long idTesta = db.ultimoId();
                for (int i = 1; i <= Apparecchi; ++i) {
                    const double importo = (g * 7 + i * 13) % 200 + 0.5;
                    const QByteArray quando = momento(giorno, inizio.addSecs(i * 190));
                    const QByteArray descrizione = codiceInterno(i) + " - " + nomeScheda(i) + " - " + aams(i);
                    riga.lega(1, idTesta)
                        .lega(2, QByteArray(causale.articolo))
                        .lega(3, QByteArray::number(5000 + i))
                        .lega(4, 1000LL + i)
                        .lega(5, data)
                        .lega(6, static_cast<long long>(causale.tipoIncasso))
                        .lega(7, descrizione)
                        .lega(8, importo)
                        .lega(9, chi)
                        .lega(10, quando);
                    riga.esegui();
                    if (refill) {
                        log.lega(1, quando)
                            .lega(2, chi)
                            .lega(3, quando.mid(11))
                            .lega(4, importo)
                            .lega(5, codiceInterno(i) + " - " + nomeScheda(i) + " - Mobile " +
                                         QByteArray::number(i) + " - " + aams(i));
                        log.esegui();
                    }
                }
                for (int r = 1; r <= 2; ++r) {
                    movimento.lega(1, idTesta)
                        .lega(2, data)
                        .lega(3, refill ? (r == 1 ? QByteArrayLiteral("Refill Hopper")
                                                  : QByteArrayLiteral("Carico Hopper(Refill)"))
                                        : QByteArray(causale.articolo))
                        .lega(4, r == 1 ? 0.0 : totale)
                        .lega(5, r == 1 ? totale : 0.0)
                        .lega(6, r == 1 ? QByteArrayLiteral("C.01.001") : QByteArrayLiteral("C.01.010"))
                        .lega(7, momento(giorno, fine))
                        .lega(8, chi)
                        .lega(9, static_cast<long long>(r));
                    movimento.esegui();
                }
            }
        }
        db.esegui("COMMIT");
    }
    suDisco(percorsoFile);
}
