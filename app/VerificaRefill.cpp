// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "VerificaRefill.h"

#include "documento/DocumentoRefill.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"
#include "host/Valuta.h"

#include <QDateTime>
#include <QHash>
#include <QMap>
#include <QStringList>

#include <algorithm>

namespace KaloRefill {

namespace {

QString testoData(const QDate& data) {
    return data.toString(QStringLiteral("dd/MM/yyyy"));
}

Valuta importo(const QVariant& valore) {
    return valore.isNull() ? Valuta() : Valuta::daVariant(valore);
}

QString euro(const Valuta& valore) {
    return QStringLiteral("€ ") + valore.testo();
}

} // namespace

struct VerificaRefill::Movimento {
    int riga = 0;
    QString descrizione;
    QVariant dare;
    QVariant avere;
    QString conto;
};

struct VerificaRefill::Documento {
    qint64 id = 0;
    QDate data;
    QVariant totale;
    Valuta somma;
    int righe = 0;
    QList<Movimento> movimenti;
    // Machines (idscheda) with more than one row in the header, and how many.
    QMap<qint64, int> schede;
};

struct VerificaRefill::Orfana {
    qint64 id = 0;
    qint64 idTesta = 0;
    QDate data;
    QString descrizione;
};

VerificaRefill::VerificaRefill(HostApplication& host, const QDate& dal, const QDate& al)
    : m_host(host), m_dal(dal), m_al(al) {}

QList<VerificaRefill::Orfana> VerificaRefill::leggiOrfane(const QDate& dal, const QDate& al, bool righe) {
    const RecordsetPtr rs = m_host.openrecordset(SqlTesti::orfaneDelPeriodo(righe, dal, al));
    QList<Orfana> orfane;
    for (; !rs->Eof(); rs->MoveNext()) {
        Orfana o;
        o.id = rs->Field(QStringLiteral("id")).toLongLong();
        o.idTesta = rs->Field(QStringLiteral("idtesta")).toLongLong();
        o.data = rs->Field(QStringLiteral("giorno")).toDate();
        o.descrizione = righe ? QStringLiteral("riga dell'apparecchio %1 per %2 senza testata")
                                    .arg(rs->Field(QStringLiteral("linkscheda")).toString(),
                                         euro(importo(rs->Field(QStringLiteral("refillgestore")))))
                              : QStringLiteral("scrittura contabile \"%1\" senza testata")
                                    .arg(rs->Field(QStringLiteral("descrizione")).toString());
        orfane.append(o);
    }
    return orfane;
}

QList<VerificaRefill::Documento> VerificaRefill::leggiDocumenti(const QDate& dal, const QDate& al) {
    QList<Documento> documenti;
    QHash<qint64, qsizetype> indice;
    const RecordsetPtr testate = m_host.openrecordset(SqlTesti::testateDelPeriodo(dal, al));
    for (; !testate->Eof(); testate->MoveNext()) {
        Documento d;
        d.id = testate->Field(QStringLiteral("id")).toLongLong();
        d.data = testate->Field(QStringLiteral("dataregistrazione")).toDate();
        d.totale = testate->Field(QStringLiteral("refillnoleggiatore"));
        indice.insert(d.id, documenti.size());
        documenti.append(d);
    }

    const RecordsetPtr righe = m_host.openrecordset(SqlTesti::righeDelPeriodo(dal, al));
    for (; !righe->Eof(); righe->MoveNext()) {
        const qsizetype i = indice.value(righe->Field(QStringLiteral("idtesta")).toLongLong(), -1);
        if (i < 0)
            continue;
        documenti[i].somma = documenti[i].somma + importo(righe->Field(QStringLiteral("refillgestore")));
        ++documenti[i].righe;
        ++documenti[i].schede[righe->Field(QStringLiteral("linkscheda")).toLongLong()];
    }

    const RecordsetPtr movimenti = m_host.openrecordset(SqlTesti::scrittureDelPeriodo(dal, al));
    for (; !movimenti->Eof(); movimenti->MoveNext()) {
        const qsizetype i = indice.value(movimenti->Field(QStringLiteral("idtesta")).toLongLong(), -1);
        if (i < 0)
            continue;
        Movimento m;
        m.riga = movimenti->Field(QStringLiteral("riga")).toInt();
        m.descrizione = movimenti->Field(QStringLiteral("descrizione")).toString();
        m.dare = movimenti->Field(QStringLiteral("dare"));
        m.avere = movimenti->Field(QStringLiteral("avere"));
        m.conto = movimenti->Field(QStringLiteral("codconto")).toString();
        documenti[i].movimenti.append(m);
    }
    return documenti;
}

QList<VerificaRefill::Problema> VerificaRefill::problemiDi(const QList<Documento>& documenti) {
    QStringList conti;
    const RecordsetPtr associazioni = m_host.openrecordset(SqlTesti::associazioneConti());
    for (const DocumentoRefill::Scrittura& s : DocumentoRefill::Scritture)
        conti << (associazioni->RecordCount() > 0 ? associazioni->Field(QLatin1String(s.ruoloConto)).toString()
                                                  : QString());

    QList<Problema> problemi;
    QMap<QDate, QList<qint64>> perData;
    for (const Documento& d : documenti)
        perData[d.data].append(d.id);

    for (const Documento& d : documenti) {
        const QList<qint64>& stessaData = perData.value(d.data);
        if (stessaData.size() > 1 && stessaData.constFirst() != d.id) {
            problemi.append({d.data, d.id,
                             QStringLiteral("testata doppia: la data ha già la testata %1")
                                 .arg(stessaData.constFirst())});
            continue; // mending moves its rows under the first header
        }
        for (auto it = d.schede.cbegin(); it != d.schede.cend(); ++it)
            if (it.value() > 1)
                problemi.append({d.data, d.id,
                                 QStringLiteral("riga doppia: l'apparecchio %1 ha %2 righe nella testata")
                                     .arg(it.key()).arg(it.value())});
        if (d.totale.isNull())
            problemi.append({d.data, d.id,
                             QStringLiteral("totale della testata vuoto, righe per %1").arg(euro(d.somma))});
        else if (importo(d.totale) != d.somma)
            problemi.append({d.data, d.id,
                             QStringLiteral("totale della testata %1 diverso dalla somma delle righe %2")
                                 .arg(euro(importo(d.totale)), euro(d.somma))});

        if (d.movimenti.size() != 2) {
            problemi.append({d.data, d.id,
                             QStringLiteral("%1 scritture contabili invece di 2").arg(d.movimenti.size())});
            continue;
        }
        for (int k = 0; k < 2; ++k) {
            const DocumentoRefill::Scrittura& a = DocumentoRefill::Scritture.at(std::size_t(k));
            const Movimento& m = d.movimenti.at(k);
            const Valuta dare = a.dare(d.somma);
            const Valuta avere = a.avere(d.somma);
            const bool giusta = m.riga == a.riga &&
                                m.descrizione == QLatin1String(a.descrizione) &&
                                !m.dare.isNull() && !m.avere.isNull() && importo(m.dare) == dare &&
                                importo(m.avere) == avere && m.conto == conti.at(k);
            if (!giusta)
                problemi.append(
                    {d.data, d.id,
                     QStringLiteral("scrittura %1 (\"%2\") non è dare %3, avere %4 sul conto %5")
                         .arg(QString::number(a.riga), QLatin1String(a.descrizione), euro(dare),
                              euro(avere), conti.at(k))});
        }
    }
    return problemi;
}

QList<VerificaRefill::Problema> VerificaRefill::verifica() {
    QList<Problema> problemi = problemiDi(leggiDocumenti(m_dal, m_al));
    for (const bool righe : {true, false})
        for (const Orfana& o : leggiOrfane(m_dal, m_al, righe))
            problemi.append({o.data, o.idTesta, o.descrizione});
    std::stable_sort(problemi.begin(), problemi.end(),
                     [](const Problema& a, const Problema& b) { return a.data < b.data; });
    return problemi;
}

QList<VerificaRefill::Problema> VerificaRefill::ripara() {
    const QList<Problema> trovati = verifica();
    QMap<QDate, QList<Problema>> perData;
    for (const Problema& p : trovati)
        perData[p.data].append(p);
    for (auto it = perData.cbegin(); it != perData.cend(); ++it)
        if (it.key().isValid()) // a row without a date cannot be placed: only told
            riparaData(it.key(), it.value());
    return trovati;
}

void VerificaRefill::riparaData(const QDate& data, const QList<Problema>& problemi) {
    const std::unique_ptr<UnitaDiLavoro> unita = m_host.IniziaUnita();
    // Read again inside the unit: another workstation may have saved since.
    const QList<Documento> documenti = leggiDocumenti(data, data);
    const QList<Orfana> righe = leggiOrfane(data, data, true);
    const QList<Orfana> scritture = leggiOrfane(data, data, false);
    QStringList note;
    for (const Problema& p : problemi)
        note << QStringLiteral("testata %1: %2").arg(QString::number(p.idTesta), p.descrizione);
    // Entries are written anew from the rows; without a header nothing is left to hold them.
    for (const Orfana& o : scritture)
        m_host.Execute(SqlTesti::cancellaScrittura(o.id));
    if (documenti.isEmpty()) {
        // Rows of a date that has no refill document any more: taken away, and the log
        // keeps what they held.
        for (const Orfana& o : righe)
            m_host.Execute(SqlTesti::cancellaRiga(o.id));
        if (!righe.isEmpty() || !scritture.isEmpty())
            scriviLog({}, QStringLiteral("Righe refill del %1 senza testata").arg(testoData(data)),
                      note.join(QStringLiteral("; ")));
        if (unita)
            unita->Conferma();
        return;
    }
    const qint64 primaria = documenti.constFirst().id;
    for (qsizetype i = 1; i < documenti.size(); ++i)
        unisciDuplicati(primaria, documenti.at(i).id);
    for (const Orfana& o : righe)
        m_host.Execute(SqlTesti::spostaRiga(o.id, primaria));
    unaRigaPerApparecchio(primaria);
    riscriviDocumento(primaria, data, note.join(QStringLiteral("; ")));
    if (unita)
        unita->Conferma();
}

// One row per machine in a header: where a machine has several, the later save wins (the
// later time, then the later row).
void VerificaRefill::unaRigaPerApparecchio(qint64 idTesta) {
    const RecordsetPtr rs = m_host.openrecordset(SqlTesti::righeDellaTestata(idTesta));
    QHash<qint64, std::pair<qint64, QDateTime>> tenute; // linkscheda -> (id, iddata)
    QList<qint64> daTogliere;
    for (; !rs->Eof(); rs->MoveNext()) {
        const qint64 id = rs->Field(QStringLiteral("id")).toLongLong();
        const qint64 scheda = rs->Field(QStringLiteral("linkscheda")).toLongLong();
        const QDateTime quando = rs->Field(QStringLiteral("iddata")).toDateTime();
        const auto gia = tenute.constFind(scheda);
        if (gia == tenute.cend() || !(quando < gia->second)) {
            if (gia != tenute.cend())
                daTogliere.append(gia->first);
            tenute.insert(scheda, {id, quando});
        } else {
            daTogliere.append(id);
        }
    }
    for (const qint64 id : daTogliere)
        m_host.Execute(SqlTesti::cancellaRiga(id));
}

// The rows of a second header of the same date go under the first one; where both hold
// the same machine the later save wins, so no machine is counted twice.
void VerificaRefill::unisciDuplicati(qint64 primaria, qint64 duplicata) {
    const auto righeDi = [this](qint64 idTesta) { return m_host.openrecordset(SqlTesti::righeDellaTestata(idTesta)); };
    QHash<qint64, std::pair<qint64, QDateTime>> esistenti; // linkscheda -> (id, iddata)
    for (const RecordsetPtr rs = righeDi(primaria); !rs->Eof(); rs->MoveNext())
        esistenti.insert(rs->Field(QStringLiteral("linkscheda")).toLongLong(),
                         {rs->Field(QStringLiteral("id")).toLongLong(),
                          rs->Field(QStringLiteral("iddata")).toDateTime()});

    for (const RecordsetPtr rs = righeDi(duplicata); !rs->Eof(); rs->MoveNext()) {
        const qint64 id = rs->Field(QStringLiteral("id")).toLongLong();
        const qint64 scheda = rs->Field(QStringLiteral("linkscheda")).toLongLong();
        const QDateTime quando = rs->Field(QStringLiteral("iddata")).toDateTime();
        const auto gia = esistenti.constFind(scheda);
        if (gia != esistenti.cend()) {
            const bool piuRecente = quando > gia->second;
            m_host.Execute(SqlTesti::cancellaRiga(piuRecente ? gia->first : id));
            if (!piuRecente)
                continue;
        }
        m_host.Execute(SqlTesti::spostaRiga(id, primaria));
        esistenti.insert(scheda, {id, quando});
    }
    m_host.Execute(SqlTesti::cancellaRighe(QString::number(duplicata)));
    m_host.Execute(SqlTesti::cancellaTestata(duplicata));
}

// The header's total from its rows and the two entries written anew, as a save leaves them.
void VerificaRefill::riscriviDocumento(qint64 idTesta, const QDate& data, const QString& note) {
    const Valuta totale = DocumentoRefill(m_host).riscrivi(idTesta, data);
    scriviLog(QVariant::fromValue(totale),
              QStringLiteral("Documento refill del %1 (testata %2)").arg(testoData(data)).arg(idTesta), note);
}

void VerificaRefill::scriviLog(const QVariant& importo, const QString& descrizione, const QString& note) {
    const RecordsetPtr log = m_host.openrecordset(SqlTesti::logVuoto());
    log->AddNew();
    log->SetField(QStringLiteral("iddata"), QDateTime::currentDateTime());
    log->SetField(QStringLiteral("idoperatore"), m_host.User());
    log->SetField(QStringLiteral("orario"), QTime::currentTime());
    log->SetField(QStringLiteral("importo1"), importo.isValid() ? importo : QVariant::fromValue(Valuta()));
    log->SetField(QStringLiteral("Descrizione"), descrizione);
    log->SetField(QStringLiteral("notevarie"), note);
    log->SetField(QStringLiteral("operazione"), QStringLiteral("Riparazione Refill"));
    log->Update();
}

QString VerificaRefill::tabella(const QList<Problema>& problemi) {
    QString testo = QStringLiteral("%1  %2  %3\n")
                        .arg(QStringLiteral("Data"), -10)
                        .arg(QStringLiteral("Testata"), 8)
                        .arg(QStringLiteral("Problema"));
    for (const Problema& p : problemi)
        testo += QStringLiteral("%1  %2  %3\n")
                     .arg(testoData(p.data), -10)
                     .arg(QString::number(p.idTesta), 8)
                     .arg(p.descrizione);
    return testo;
}

} // namespace KaloRefill
