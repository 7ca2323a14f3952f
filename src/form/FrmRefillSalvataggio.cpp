// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Saving one machine's amount into the day's refill document: the header, a log row,
// the machine row, the header's day total and the accounting entries, then the day's
// total on screen. Every step stands alone: a failure is reported and the next step
// runs; nothing is rolled back.
#include "../entry/StatoModulo.h"
#include "../host/Errore.h"
#include "../host/SqlTesti.h"
#include "ContestoSalvataggio.h"
#include "Etichetta.h"
#include "FrmRefill.h"
#include "Letture.h"
#include "Politica.h"
#include "PulsanteGrafico.h"

#include <QDateTime>

namespace KaloRefill {

Recordset& insieme(const RecordsetPtr& rs) {
    if (!rs)
        throw Errore::oggettoNonImpostato();
    return *rs;
}

namespace {
QVariant adesso() { return QDateTime::currentDateTime(); }

QString testo(Recordset& rs, const char* campo) {
    return Letture::testoPredefinito(rs.Field(QLatin1String(campo)));
}
} // namespace

PulsanteGrafico& FrmRefill::pulsanteSelezionato() {
    return pulsanteApparecchio(Letture::intero16(Bottone->caption()));
}

QString FrmRefill::idTesta(ContestoSalvataggio& c) {
    return Letture::testoPredefinito(insieme(c.rsTesta).Field(QStringLiteral("id")));
}

void FrmRefill::SalvaRefill() {
    Politica::Segnalazioni subito(this);
    SalvaRefill(subito);
}

void FrmRefill::SalvaRefill(Politica::Segnalazioni& segnalazioni) {
    ContestoSalvataggio c;
    const auto campo = [](const RecordsetPtr& rs, const char* nome, auto valore) {
        return [&rs, nome, valore] { insieme(rs).SetField(QLatin1String(nome), QVariant(valore())); };
    };
    const auto tag = [this] { return pulsanteSelezionato().tag(); };
    const auto macchina = [&c](const char* nome) { return testo(insieme(c.rsApparecchi), nome); };
    const auto utente = [this] { return host().User(); };
    const auto data = [this] { return dataRegistrazione(); };
    const QString trattino = QStringLiteral(" - ");

    std::vector<Politica::Passo> passi{
        [&] { c.rsLog = host().openrecordset(SqlTesti::logVuoto()); },
        [&] { c.totaleDocumento = Valuta(); },
        [&] { c.rsApparecchi = host().openrecordset(SqlTesti::tuttiApparecchi()); },
        [&] { c.rsTesta = host().openrecordset(SqlTesti::testataRefill(dataRegistrazione())); },
        // The first save of a date creates its header; later saves rewrite it.
        [&] {
            if (insieme(c.rsTesta).RecordCount() == 0)
                insieme(c.rsTesta).AddNew();
        },
        campo(c.rsTesta, "dataregistrazione", data),
        campo(c.rsTesta, "Codlocale", [this] { return CodLocale; }),
        campo(c.rsTesta, "codcausale", [] { return QStringLiteral("REF"); }),
        campo(c.rsTesta, "codiceazienda", [] { return QStringLiteral("Salagiochi"); }),
        campo(c.rsTesta, "idoperatore", utente),
        campo(c.rsTesta, "chiuso", [] { return qint16(0); }),
        campo(c.rsTesta, "import", [] { return qint16(0); }),
        campo(c.rsTesta, "iddata", adesso),
        [&] { insieme(c.rsTesta).Update(); },

        [&] { c.rsRiga = host().openrecordset(SqlTesti::rigaApparecchio(idTesta(c), tag())); },
        [&] { insieme(c.rsApparecchi).SetFilter(QStringLiteral("idscheda = ") + tag()); },

        [&] { insieme(c.rsLog).AddNew(); },
        campo(c.rsLog, "iddata", adesso),
        campo(c.rsLog, "idoperatore", utente),
        campo(c.rsLog, "orario", [] { return QTime::currentTime(); }),
        campo(c.rsLog, "importo1", [this] { return LabValore->caption(); }),
        campo(c.rsLog, "Descrizione",
              [&] {
                  return macchina("codiceinterno") + trattino + macchina("Nomescheda") + trattino +
                         macchina("nomemobile") + trattino + macchina("codiceaams");
              }),
        // A failed look-up takes the new-row path, as the next step after the test.
        [&] { c.rigaNuova = insieme(c.rsRiga).RecordCount() == 0; },
        [&] {
            if (c.rigaNuova)
                insieme(c.rsRiga).AddNew();
        },
        [&] {
            if (c.rigaNuova)
                insieme(c.rsLog).SetField(QStringLiteral("operazione"), QStringLiteral("Inserimento Refill"));
        },
        [&] {
            if (!c.rigaNuova)
                insieme(c.rsLog).SetField(QStringLiteral("notevarie"),
                                          QStringLiteral("Valore precedente =") + testo(insieme(c.rsRiga), "refilllocale"));
        },
        [&] {
            if (!c.rigaNuova)
                insieme(c.rsLog).SetField(QStringLiteral("operazione"), QStringLiteral("Modifica Refill"));
        },
        [&] { insieme(c.rsLog).Update(); },

        campo(c.rsRiga, "idtesta", [&] { return insieme(c.rsTesta).Field(QStringLiteral("id")); }),
        campo(c.rsRiga, "codarticolo", [] { return QStringLiteral("newslot"); }),
        campo(c.rsRiga, "linkapparecchio", [&] { return insieme(c.rsApparecchi).Field(QStringLiteral("Idapparecchio")); }),
        campo(c.rsRiga, "linkscheda", tag),
        campo(c.rsRiga, "Codlocale", [this] { return CodLocale; }),
        campo(c.rsRiga, "dataincasso", data),
        campo(c.rsRiga, "tipoincasso", [&] { return insieme(c.rsApparecchi).Field(QStringLiteral("tipologiaincasso")); }),
        campo(c.rsRiga, "Descrizione",
              [&] { return macchina("codiceinterno") + trattino + macchina("Nomescheda") + trattino + macchina("codiceaams"); }),
        campo(c.rsRiga, "refillgestore", [this] { return QString(LabValore->caption()).replace(QLatin1Char(','), QLatin1Char('.')); }),
        campo(c.rsRiga, "riga", [] { return qint16(0); }),
        campo(c.rsRiga, "catapparecchio", [&] { return insieme(c.rsApparecchi).Field(QStringLiteral("categoria")); }),
        campo(c.rsRiga, "idoperatore", utente),
        campo(c.rsRiga, "iddata", adesso),
        [&] { insieme(c.rsRiga).Update(); },

        // The document total, over every machine row of the header.
        [&] { c.rsTotaleDocumento = host().openrecordset(SqlTesti::totaleDocumento(idTesta(c))); },
        [&] {
            Recordset& totale = insieme(c.rsTotaleDocumento);
            c.totaleDocumento = totale.RecordCount() > 0 ? Valuta::daVariant(totale.Field(QStringLiteral("TotaleRefill")))
                                                         : Valuta();
        },
        // The venue's day total goes into the header.
        [&] {
            c.sqlTotaleGiorno = SqlTesti::totaleGiornoSalvataggio(Letture::testoPredefinito(CodLocale), dataRegistrazione());
        },
        [&] { c.rsTotaleGiorno = host().openrecordset(c.sqlTotaleGiorno); },
        [&] { c.totaleGiornoPresente = insieme(c.rsTotaleGiorno).RecordCount() >= 1; },
        [&] {
            if (c.totaleGiornoPresente)
                c.rsTesta = host().openrecordset(SqlTesti::testataRefill(dataRegistrazione()));
        },
        [&] {
            if (c.totaleGiornoPresente)
                insieme(c.rsTesta).SetField(QStringLiteral("refillnoleggiatore"),
                                            insieme(c.rsTotaleGiorno).Field(QStringLiteral("SommaDiRefillGestore")));
        },
        [&] {
            if (c.totaleGiornoPresente)
                insieme(c.rsTesta).Update();
        },
    };
    const std::vector<Politica::Passo> contabili = passiContabili(c);
    passi.insert(passi.end(), contabili.begin(), contabili.end());
    passi.emplace_back([this] { TotaleGiornata(); });

    Politica::passiConMessaggio(segnalazioni, passi);
}

} // namespace KaloRefill
