// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "controlli/Operatori.h"

#include "controlli/Pin.h"
#include "documento/RegistroRefill.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"

namespace KaloRefill {

namespace {
QString testo(Recordset& rs, const QString& campo) {
    const QStringList nomi = rs.FieldNames();
    for (const QString& n : nomi)
        if (n.compare(campo, Qt::CaseInsensitive) == 0)
            return rs.Field(campo).toString();
    return {};
}

OperatoreRefill daRiga(Recordset& rs) {
    OperatoreRefill o;
    o.codice = testo(rs, QStringLiteral("codice"));
    o.nome = testo(rs, QStringLiteral("nome"));
    o.cognome = testo(rs, QStringLiteral("cognome"));
    o.ruolo = testo(rs, QStringLiteral("ruolo"));
    o.haPin = !testo(rs, QStringLiteral("pinhash")).isEmpty();
    return o;
}
} // namespace

QString OperatoreRefill::nomeCompleto() const {
    const QString persona = (nome + QLatin1Char(' ') + cognome).trimmed();
    return persona.isEmpty() ? codice : persona + QStringLiteral(" (") + codice + QLatin1Char(')');
}

QList<OperatoreRefill> Operatori::elenco() {
    QList<OperatoreRefill> risultato;
    const RecordsetPtr rs = m_host.openrecordset(SqlTesti::operatori());
    for (; !rs->Eof(); rs->MoveNext()) {
        // An operator taken off the hall keeps his rows but signs nothing more.
        const QVariant attivo = rs->Field(QStringLiteral("attivo"));
        if (!attivo.isNull() && attivo.toInt() == 0)
            continue;
        risultato.append(daRiga(*rs));
    }
    std::sort(risultato.begin(), risultato.end(),
              [](const OperatoreRefill& a, const OperatoreRefill& b) { return a.codice < b.codice; });
    return risultato;
}

RecordsetPtr Operatori::riga(const QString& codice) {
    return m_host.openrecordset(QStringLiteral("select * from operatori where codice=") +
                                RegistroRefill::testoSql(codice));
}

Operatori::Risposta Operatori::verifica(const QString& codice, const QString& pin, const QDateTime& adesso) {
    Risposta r;
    const RecordsetPtr rs = riga(codice);
    if (codice.isEmpty() || rs->RecordCount() == 0) {
        r.messaggio = QStringLiteral("Scegliere l'operatore prima di digitare il PIN.");
        return r;
    }
    r.operatore = daRiga(*rs);
    const QString chi = r.operatore.nomeCompleto();
    const QDateTime bloccato = rs->Field(QStringLiteral("bloccatofino")).toDateTime();
    if (bloccato.isValid() && bloccato > adesso) {
        r.esito = Esito::Bloccato;
        r.messaggio = QStringLiteral("L'operatore %1 è bloccato fino alle %2 per troppi PIN errati.")
                          .arg(chi, bloccato.toString(QStringLiteral("HH:mm:ss")));
        return r;
    }
    const QString hash = rs->Field(QStringLiteral("pinhash")).toString();
    if (hash.isEmpty()) {
        r.esito = Esito::SenzaPin;
        r.messaggio = QStringLiteral("L'operatore %1 non ha ancora un PIN: lo imposta un responsabile con "
                                     "\"Gestione PIN\".").arg(chi);
        return r;
    }
    if (Pin::verifica(hash, pin)) {
        if (rs->Field(QStringLiteral("tentativipin")).toInt() != 0 || bloccato.isValid()) {
            rs->SetField(QStringLiteral("tentativipin"), 0);
            rs->SetField(QStringLiteral("bloccatofino"), QVariant());
            rs->Update();
        }
        r.esito = Esito::Accettato;
        return r;
    }
    const int tentativi = rs->Field(QStringLiteral("tentativipin")).toInt() + 1;
    r.esito = Esito::PinErrato;
    if (tentativi >= TentativiMassimi) {
        const QDateTime fino = adesso.addSecs(MinutiBlocco * 60);
        rs->SetField(QStringLiteral("tentativipin"), 0);
        rs->SetField(QStringLiteral("bloccatofino"), fino.addMSecs(-fino.time().msec()));
        rs->Update();
        scriviLog(r.operatore.codice, QStringLiteral("Blocco PIN"),
                  QStringLiteral("Operatore %1 bloccato fino alle %2 dopo %3 PIN errati")
                      .arg(r.operatore.codice, fino.toString(QStringLiteral("HH:mm:ss")))
                      .arg(TentativiMassimi),
                  adesso);
        r.esito = Esito::Bloccato;
        r.messaggio = QStringLiteral("PIN errato per la %1ª volta: l'operatore %2 è bloccato per %3 minuti.")
                          .arg(TentativiMassimi)
                          .arg(chi)
                          .arg(MinutiBlocco);
        return r;
    }
    rs->SetField(QStringLiteral("tentativipin"), tentativi);
    rs->Update();
    r.messaggio = QStringLiteral("PIN errato per %1. Tentativi rimasti prima del blocco: %2.")
                      .arg(chi)
                      .arg(TentativiMassimi - tentativi);
    return r;
}

void Operatori::scriviLog(const QString& operatore, const QString& operazione, const QString& descrizione,
                          const QDateTime& adesso) {
    const RecordsetPtr log = m_host.openrecordset(SqlTesti::logVuoto());
    log->AddNew();
    log->SetField(QStringLiteral("iddata"), adesso);
    log->SetField(QStringLiteral("idoperatore"), operatore);
    log->SetField(QStringLiteral("orario"), adesso.time());
    log->SetField(QStringLiteral("Descrizione"), descrizione);
    log->SetField(QStringLiteral("operazione"), operazione);
    log->Update();
}

void Operatori::impostaPin(const QString& codice, const QString& pin, const QString& responsabile) {
    const RecordsetPtr rs = riga(codice);
    if (rs->RecordCount() == 0)
        throw Errore::database(QStringLiteral("Operatore %1 non trovato.").arg(codice));
    rs->SetField(QStringLiteral("pinhash"), Pin::hash(pin));
    rs->SetField(QStringLiteral("tentativipin"), 0);
    rs->SetField(QStringLiteral("bloccatofino"), QVariant());
    rs->Update();
    if (!responsabile.isEmpty())
        scriviLog(responsabile, QStringLiteral("Gestione PIN"),
                  QStringLiteral("Nuovo PIN per l'operatore %1, impostato da %2").arg(codice, responsabile),
                  QDateTime::currentDateTime());
}

} // namespace KaloRefill
