// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "documento/DocumentoRefill.h"

#include "form/Letture.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"

#include <QDateTime>

namespace KaloRefill {

const std::array<DocumentoRefill::Scrittura, 2> DocumentoRefill::Scritture{{
    {1, "Refill Hopper", false, "CassaSalaGiochi"},
    {2, "Carico Hopper(Refill)", true, "CassaRefill"},
}};

// The working sets and values of one save or one rewrite; they live as long as its steps.
struct DocumentoRefill::Lavoro {
    RecordsetPtr rsLog;
    RecordsetPtr rsApparecchi;
    RecordsetPtr rsTesta;
    RecordsetPtr rsRiga;
    RecordsetPtr rsTotaleDocumento;
    RecordsetPtr rsTotaleGiorno;
    RecordsetPtr rsRighe;
    Valuta totaleDocumento;
    QString sqlTotaleGiorno;
    bool rigaNuova = true;
    bool totaleGiornoPresente = true;
};

namespace {
// The set a step works on; Errore 91 when an earlier step failed to open it.
Recordset& insieme(const RecordsetPtr& rs) {
    if (!rs)
        throw Errore::oggettoNonImpostato();
    return *rs;
}

QVariant adesso() {
    return QDateTime::currentDateTime();
}

QString testo(Recordset& rs, const char* campo) {
    return Letture::testoPredefinito(rs.Field(QLatin1String(campo)));
}

// A step writing one field of the current row of one of the working sets, its value read
// when the step runs.
template <typename L, typename F>
DocumentoRefill::Passo campo(const std::shared_ptr<L>& l, RecordsetPtr L::*rs, const char* nome,
                             F valore) {
    return [l, rs, nome, valore] {
        insieme((*l).*rs).SetField(QLatin1String(nome), QVariant(valore()));
    };
}

// The header's id as the SQL texts take it.
QString idTesta(const RecordsetPtr& rsTesta) {
    return Letture::testoPredefinito(insieme(rsTesta).Field(QStringLiteral("id")));
}
} // namespace

std::vector<DocumentoRefill::Passo> DocumentoRefill::passiSalvataggio(const Voce& voce) {
    const auto l = std::make_shared<Lavoro>();
    HostApplication& host = m_host;
    const auto macchina = [l](const char* nome) { return testo(insieme(l->rsApparecchi), nome); };
    const auto utente = [&host] { return host.User(); };
    const QString trattino = QStringLiteral(" - ");

    // Each step holds `l`: the working sets live as long as the steps.
    std::vector<Passo> passi{
        [l, &host] { l->rsLog = host.openrecordset(SqlTesti::logVuoto()); },
        [l] { l->totaleDocumento = Valuta(); },
        [l, &host] { l->rsApparecchi = host.openrecordset(SqlTesti::tuttiApparecchi()); },
        [l, &host, voce] { l->rsTesta = host.openrecordset(SqlTesti::testataRefill(voce.data())); },
        // The first save of a date creates its header; later saves rewrite it.
        [l] {
            if (insieme(l->rsTesta).RecordCount() == 0)
                insieme(l->rsTesta).AddNew();
        },
        campo(l, &Lavoro::rsTesta, "dataregistrazione", voce.data),
        campo(l, &Lavoro::rsTesta, "Codlocale", voce.codLocale),
        campo(l, &Lavoro::rsTesta, "codcausale", [] { return QStringLiteral("REF"); }),
        campo(l, &Lavoro::rsTesta, "codiceazienda", [] { return QStringLiteral("Salagiochi"); }),
        campo(l, &Lavoro::rsTesta, "idoperatore", utente),
        campo(l, &Lavoro::rsTesta, "chiuso", [] { return qint16(0); }),
        campo(l, &Lavoro::rsTesta, "import", [] { return qint16(0); }),
        campo(l, &Lavoro::rsTesta, "iddata", adesso),
        [l] { insieme(l->rsTesta).Update(); },

        [l, &host, voce] {
            l->rsRiga =
                host.openrecordset(SqlTesti::rigaApparecchio(idTesta(l->rsTesta), voce.idScheda()));
        },
        [l, voce] {
            insieme(l->rsApparecchi).SetFilter(QStringLiteral("idscheda = ") + voce.idScheda());
        },

        [l] { insieme(l->rsLog).AddNew(); },
        campo(l, &Lavoro::rsLog, "iddata", adesso),
        campo(l, &Lavoro::rsLog, "idoperatore", utente),
        campo(l, &Lavoro::rsLog, "orario", [] { return QTime::currentTime(); }),
        campo(l, &Lavoro::rsLog, "importo1", voce.importoMostrato),
        campo(l, &Lavoro::rsLog, "Descrizione",
              [=] {
                  return macchina("codiceinterno") + trattino + macchina("Nomescheda") + trattino +
                         macchina("nomemobile") + trattino + macchina("codiceaams");
              }),
        // A failed look-up takes the new-row path, as the next step after the test.
        [l] { l->rigaNuova = insieme(l->rsRiga).RecordCount() == 0; },
        [l] {
            if (l->rigaNuova)
                insieme(l->rsRiga).AddNew();
        },
        [l] {
            if (l->rigaNuova)
                insieme(l->rsLog).SetField(QStringLiteral("operazione"),
                                           QStringLiteral("Inserimento Refill"));
        },
        [l] {
            if (!l->rigaNuova)
                insieme(l->rsLog).SetField(QStringLiteral("notevarie"),
                                           QStringLiteral("Valore precedente =") +
                                               testo(insieme(l->rsRiga), "refilllocale"));
        },
        [l] {
            if (!l->rigaNuova)
                insieme(l->rsLog).SetField(QStringLiteral("operazione"),
                                           QStringLiteral("Modifica Refill"));
        },
        [l] { insieme(l->rsLog).Update(); },

        campo(l, &Lavoro::rsRiga, "idtesta",
              [l] { return insieme(l->rsTesta).Field(QStringLiteral("id")); }),
        campo(l, &Lavoro::rsRiga, "codarticolo", [] { return QStringLiteral("newslot"); }),
        campo(l, &Lavoro::rsRiga, "linkapparecchio",
              [l] { return insieme(l->rsApparecchi).Field(QStringLiteral("Idapparecchio")); }),
        campo(l, &Lavoro::rsRiga, "linkscheda", voce.idScheda),
        campo(l, &Lavoro::rsRiga, "Codlocale", voce.codLocale),
        campo(l, &Lavoro::rsRiga, "dataincasso", voce.data),
        campo(l, &Lavoro::rsRiga, "tipoincasso",
              [l] { return insieme(l->rsApparecchi).Field(QStringLiteral("tipologiaincasso")); }),
        campo(l, &Lavoro::rsRiga, "Descrizione",
              [=] {
                  return macchina("codiceinterno") + trattino + macchina("Nomescheda") + trattino +
                         macchina("codiceaams");
              }),
        campo(l, &Lavoro::rsRiga, "refillgestore", [voce] { return QVariant::fromValue(voce.importo()); }),
        campo(l, &Lavoro::rsRiga, "riga", [] { return qint16(0); }),
        campo(l, &Lavoro::rsRiga, "catapparecchio",
              [l] { return insieme(l->rsApparecchi).Field(QStringLiteral("categoria")); }),
        campo(l, &Lavoro::rsRiga, "idoperatore", utente),
        campo(l, &Lavoro::rsRiga, "iddata", adesso),
        [l] { insieme(l->rsRiga).Update(); },

        // The document total, over every machine row of the header.
        [l, &host] {
            l->rsTotaleDocumento =
                host.openrecordset(SqlTesti::totaleDocumento(idTesta(l->rsTesta)));
        },
        [l] {
            Recordset& totale = insieme(l->rsTotaleDocumento);
            l->totaleDocumento =
                totale.RecordCount() > 0
                    ? Valuta::daVariant(totale.Field(QStringLiteral("TotaleRefill")))
                    : Valuta();
        },
        // The venue's day total goes into the header.
        [l, voce] {
            l->sqlTotaleGiorno = SqlTesti::totaleGiornoSalvataggio(
                Letture::testoPredefinito(voce.codLocale()), voce.data());
        },
        [l, &host] { l->rsTotaleGiorno = host.openrecordset(l->sqlTotaleGiorno); },
        [l] { l->totaleGiornoPresente = insieme(l->rsTotaleGiorno).RecordCount() >= 1; },
        [l, &host, voce] {
            if (l->totaleGiornoPresente)
                l->rsTesta = host.openrecordset(SqlTesti::testataRefill(voce.data()));
        },
        [l] {
            if (l->totaleGiornoPresente)
                insieme(l->rsTesta)
                    .SetField(
                        QStringLiteral("refillnoleggiatore"),
                        insieme(l->rsTotaleGiorno).Field(QStringLiteral("SommaDiRefillGestore")));
        },
        [l] {
            if (l->totaleGiornoPresente)
                insieme(l->rsTesta).Update();
        },
    };
    const std::vector<Passo> scritture = passiScritture(l, voce);
    passi.insert(passi.end(), scritture.begin(), scritture.end());
    return passi;
}

// All entries of the header go, and two are written from the document total.
std::vector<DocumentoRefill::Passo>
DocumentoRefill::passiScritture(const std::shared_ptr<Lavoro>& l, const Voce& voce) {
    HostApplication& host = m_host;
    std::vector<Passo> passi{
        [l, &host] { host.Execute(SqlTesti::cancellaRighe(idTesta(l->rsTesta))); },
        [l, &host] { l->rsRighe = host.openrecordset(SqlTesti::righeContabili()); },
    };
    for (const Scrittura& s : Scritture) {
        const auto scrivi = [l](const char* nome, std::function<QVariant()> valore) {
            return Passo(
                [l, nome, valore] { insieme(l->rsRighe).SetField(QLatin1String(nome), valore()); });
        };
        const std::function<QVariant()> totale = [l] {
            return QVariant::fromValue(l->totaleDocumento);
        };
        const std::function<QVariant()> zero = [] { return QVariant(0); };
        passi.insert(
            passi.end(),
            {
                [l] { insieme(l->rsRighe).AddNew(); },
                scrivi("idtesta", [l] { return insieme(l->rsTesta).Field(QStringLiteral("id")); }),
                scrivi("Data", [voce] { return QVariant(voce.data()); }),
                scrivi("Descrizione", [s] { return QVariant(QLatin1String(s.descrizione)); }),
                scrivi("dare", s.totaleInDare ? totale : zero),
                scrivi("avere", s.totaleInDare ? zero : totale),
                scrivi("codconto", [voce, s] { return voce.conto(s.ruoloConto); }),
                scrivi("Codlocale", voce.codLocale),
                scrivi("iddata", adesso),
                scrivi("idoperatore", [&host] { return host.User(); }),
                scrivi("riga", [s] { return QVariant(s.riga); }),
                [l] { insieme(l->rsRighe).Update(); },
            });
    }
    return passi;
}

Valuta DocumentoRefill::importoApparecchio(const QDate& data, qint64 idScheda) {
    const RecordsetPtr testata = m_host.openrecordset(SqlTesti::testataRefill(data));
    if (testata->RecordCount() == 0)
        return {};
    const RecordsetPtr riga = m_host.openrecordset(SqlTesti::rigaApparecchio(
        testata->Field(QStringLiteral("id")).toString(), QString::number(idScheda)));
    if (riga->RecordCount() == 0)
        return {};
    const QVariant importo = riga->Field(QStringLiteral("refillgestore"));
    return importo.isNull() ? Valuta() : Valuta::daVariant(importo);
}

Valuta DocumentoRefill::riscrivi(qint64 idTesta, const QDate& data) {
    const auto l = std::make_shared<Lavoro>();
    const QString id = QString::number(idTesta);
    const RecordsetPtr somma = m_host.openrecordset(SqlTesti::totaleDocumento(id));
    const QVariant totale =
        somma->RecordCount() > 0 ? somma->Field(QStringLiteral("TotaleRefill")) : QVariant();
    l->totaleDocumento = totale.isNull() ? Valuta() : Valuta::daVariant(totale);

    l->rsTesta = m_host.openrecordset(SqlTesti::testataPerId(id));
    if (l->rsTesta->RecordCount() == 0)
        throw Errore::nessunRecordCorrente();
    const QVariant codLocale = l->rsTesta->Field(QStringLiteral("Codlocale"));
    l->rsTesta->SetField(QStringLiteral("refillnoleggiatore"),
                         QVariant::fromValue(l->totaleDocumento));
    l->rsTesta->Update();

    const RecordsetPtr associazioni = m_host.openrecordset(SqlTesti::associazioneConti());
    if (associazioni->RecordCount() == 0)
        throw Errore::database(QStringLiteral("la tabella TabAssociazioneConti è vuota: le "
                                              "scritture contabili non si possono scrivere"));

    Voce voce;
    voce.data = [data] { return data; };
    voce.codLocale = [codLocale] { return codLocale; };
    voce.conto = [associazioni](const char* ruolo) {
        return associazioni->Field(QLatin1String(ruolo));
    };
    // Here every step must succeed: the first failure ends the rewrite and its unit.
    for (const Passo& passo : passiScritture(l, voce))
        passo();
    return l->totaleDocumento;
}

} // namespace KaloRefill
