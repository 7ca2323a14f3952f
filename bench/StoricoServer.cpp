// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "StoricoServer.h"

#include "ConnessionePg.h"
#include "GeneratoreStorico.h"

#include <QTime>

namespace {

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
QByteArray momento(const QDate& giorno, const QTime& ora) {
    return (giorno.toString(Qt::ISODate) + QLatin1Char(' ') + ora.toString(u"HH:mm:ss")).toUtf8();
}

// One row of COPY's text format (no value here holds a tab, newline or backslash).
void riga(QByteArray& righe, std::initializer_list<QByteArray> valori) {
    bool primo = true;
    for (const QByteArray& v : valori) {
        if (!primo)
            righe += '\t';
        righe += v.isNull() ? QByteArrayLiteral("\\N") : v;
        primo = false;
    }
    righe += '\n';
}

QByteArray numero(double v) {
    return QByteArray::number(v, 'f', 2);
}

} // namespace

void StoricoServer::preparaSala(ConnessionePg& db) {
    QByteArray macchine;
    for (int i = 1; i <= GeneratoreStorico::Apparecchi; ++i)
        riga(macchine, {QByteArray::number(1000 + i), QByteArray::number(5000 + i), codiceInterno(i), nomeScheda(i),
                        QByteArrayLiteral("Mobile ") + QByteArray::number(i), aams(i), "6", "AWP", "-1",
                        QByteArray::number(i), GeneratoreStorico::CodLocale.toUtf8()});
    db.copia("COPY apparecchi (idscheda, idapparecchio, codiceinterno, nomescheda, nomemobile, codiceaams, "
             "tipologiaincasso, categoria, attiva, ordineincasso, codlocale) FROM STDIN",
             macchine);
    db.esegui("INSERT INTO anagraficalocali (codlocale, ragionesociale) VALUES ('" +
              GeneratoreStorico::CodLocale.toUtf8() + "', 'Sala Giochi Centrale');"
              "INSERT INTO tabassociazioneconti (cassasalagiochi, cassarefill) VALUES ('C.01.001', 'C.01.010')");
    QByteArray persone;
    for (int o = 0; o < GeneratoreStorico::Operatori; ++o)
        riga(persone, {operatore(o), QByteArrayLiteral("Nome ") + QByteArray::number(o), "Rossi"});
    db.copia("COPY operatori (codice, nome, cognome) FROM STDIN", persone);
}

void StoricoServer::scrivi(ConnessionePg& db, const QDate& ultimoGiorno, int giorni) {
    struct Causale {
        const char* codice;
        int tipoIncasso;
        const char* articolo;
    };
    static const Causale causali[] = {
        {"REF", 6, "newslot"}, {"INC", 1, "incasso"}, {"VER", 2, "versamento"}, {"PRE", 3, "prelievo"}};
    const QByteArray locale = GeneratoreStorico::CodLocale.toUtf8();
    const long long primaTesta = db.numero("SELECT coalesce(max(id), 0) + 1 FROM noteteste");
    QByteArray teste, incassi, movimenti, log;
    long long idTesta = primaTesta;
    const QDate primo = ultimoGiorno.addDays(1 - giorni);
    for (int g = 0; g < giorni; ++g) {
        const QDate giorno = primo.addDays(g);
        const QByteArray data = giorno.toString(Qt::ISODate).toUtf8();
        for (const Causale& causale : causali) {
            const bool refill = qstrcmp(causale.codice, "REF") == 0;
            const QByteArray chi = operatore(g);
            const QTime inizio(refill ? 14 : 9, (g * 7) % 60, 0);
            const QTime fine = inizio.addSecs(GeneratoreStorico::Apparecchi * 190);
            double totale = 0;
            for (int i = 1; i <= GeneratoreStorico::Apparecchi; ++i)
                totale += (g * 7 + i * 13) % 200 + 0.5;
            const QByteArray id = QByteArray::number(idTesta++);
            riga(teste, {id, data, locale, causale.codice, "Salagiochi", chi, g + 1 < giorni ? "-1" : "0", "0",
                         momento(giorno, fine), numero(totale)});
            for (int i = 1; i <= GeneratoreStorico::Apparecchi; ++i) {
                const double importo = (g * 7 + i * 13) % 200 + 0.5;
                const QByteArray quando = momento(giorno, inizio.addSecs(i * 190));
                riga(incassi, {id, causale.articolo, QByteArray::number(5000 + i), QByteArray::number(1000 + i), locale,
                               data, QByteArray::number(causale.tipoIncasso),
                               codiceInterno(i) + " - " + nomeScheda(i) + " - " + aams(i), numero(importo), "0", "AWP",
                               chi, quando});
                if (refill)
                    riga(log, {quando, chi, quando.mid(11), numero(importo),
                               codiceInterno(i) + " - " + nomeScheda(i) + " - Mobile " + QByteArray::number(i) +
                                   " - " + aams(i),
                               "Inserimento Refill"});
            }
            for (int r = 1; r <= 2; ++r)
                riga(movimenti,
                     {id, data,
                      refill ? (r == 1 ? QByteArrayLiteral("Refill Hopper") : QByteArrayLiteral("Carico Hopper(Refill)"))
                             : QByteArray(causale.articolo),
                      numero(r == 1 ? 0.0 : totale), numero(r == 1 ? totale : 0.0),
                      r == 1 ? QByteArrayLiteral("C.01.001") : QByteArrayLiteral("C.01.010"), locale,
                      momento(giorno, fine), chi, QByteArray::number(r)});
        }
    }
    db.esegui("BEGIN");
    db.copia("COPY noteteste (id, dataregistrazione, codlocale, codcausale, codiceazienda, idoperatore, chiuso, "
             "import, iddata, refillnoleggiatore) FROM STDIN",
             teste);
    db.copia("COPY noteincassi (idtesta, codarticolo, linkapparecchio, linkscheda, codlocale, dataincasso, "
             "tipoincasso, descrizione, refillgestore, riga, catapparecchio, idoperatore, iddata) FROM STDIN",
             incassi);
    db.copia("COPY noterighe (idtesta, data, descrizione, dare, avere, codconto, codlocale, iddata, idoperatore, "
             "riga) FROM STDIN",
             movimenti);
    db.copia("COPY logoperazioni (iddata, idoperatore, orario, importo1, descrizione, operazione) FROM STDIN", log);
    // The keys given here were not taken from the sequence: the host's next insert must not
    // meet them.
    db.esegui("SELECT setval(pg_get_serial_sequence('noteteste', 'id'), (SELECT max(id) FROM noteteste))");
    db.esegui("COMMIT");
    // A server plans by its statistics, which autovacuum would gather soon after a load this
    // size; the timed part must not depend on when that happens.
    db.esegui("VACUUM ANALYZE");
}
