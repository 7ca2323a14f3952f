// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// Machine pages: the 16 buttons show the venue's machines a page at a time, with the
// amounts already saved for the date. The paging state is the current row of
// rsApparecchi: after a page is filled it stands on the row after the last machine shown.
#include "form/Colori.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/Letture.h"
#include "form/Messaggio.h"
#include "form/Politica.h"
#include "form/PulsanteGrafico.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"

namespace KaloRefill {

namespace {
const QString SenzaApparecchio = QStringLiteral("0");

Recordset& richiedi(const RecordsetPtr& insieme) {
    if (!insieme)
        throw Errore::oggettoNonImpostato();
    return *insieme;
}

QString richiestaAbbandono() {
    return QStringLiteral("Attenzione è gia aperto un refill non salvato su un altro apparecchio, "
                          "annullo l'operazione?");
}
} // namespace

QString FrmRefill::etichettaApparecchio() {
    Recordset& rs = *rsApparecchi;
    const auto campo = [&rs](const char* nome) {
        return Letture::testoPredefinito(rs.Field(QLatin1String(nome)));
    };
    const QChar cr = QLatin1Char('\r');
    if (Opt1->isChecked())
        return campo("codiceinterno") + cr + campo("Nomescheda") + cr;
    if (Opt2->isChecked())
        return campo("Nomescheda") + cr + campo("codiceinterno") + QLatin1Char(' ') + campo("codiceaams") + cr;
    return campo("codiceaams") + cr;
}

void FrmRefill::CaricaPagina() {
    Recordset& apparecchi = richiedi(rsApparecchi);
    const RecordsetPtr rsTesta = host().openrecordset(SqlTesti::testataRefill(dataRegistrazione()));
    const bool registrazione = rsTesta->RecordCount() > 0;

    if (registrazione && Letture::vero(rsTesta->Field(QStringLiteral("chiuso")))) {
        Scelta = Messaggio::mostra(
            this,
            QStringLiteral("Attenzione! la registrazione risulta chiusa, una modifica dei dati "
                           "compromettera la sincronizzazione con la sede centrale.") +
                QStringLiteral("\r\r") + QStringLiteral("Confermi l'abbandono della modifica?"),
            Messaggio::SiNo | Messaggio::Critico, QStringLiteral("Attenzione!"));
        if (Scelta.toInt() == Messaggio::Si) {
            // Sixteen moves forward balance the rewind of the page still on screen, so the
            // same page comes back, now for the working date. Before the first page is
            // filled no button holds a machine, the rewind does not move, and neither must
            // this: the first page of the working date comes.
            const bool paginaSulloSchermo = CmdApparecchio[0]->tag() != SenzaApparecchio;
            for (int i = 0; paginaSulloSchermo && i < NumeroPulsanti; ++i) {
                if (!apparecchi.Eof())
                    apparecchi.MoveNext();
            }
            impostaDataRegistrazione(host().Data());
            txtData_Change();
            return;
        }
    }

    const QString idTesta = registrazione ? Letture::testoPredefinito(rsTesta->Field(QStringLiteral("id"))) : QString();
    // Every look-up of the page is opened before any is read: a server answers them
    // together, in one round trip rather than sixteen.
    std::array<RecordsetPtr, NumeroPulsanti> righe;
    for (std::size_t i = 0; i < righe.size(); ++i) {
        PulsanteGrafico* pulsante = CmdApparecchio[i];
        pulsante->setBackColor(Colori::SenzaImporto);
        if (apparecchi.Eof()) {
            pulsante->setBackColorSistema();
            pulsante->setCaption(QString());
            pulsante->setTag(SenzaApparecchio);
            continue;
        }
        const QString idScheda = Letture::testoPredefinito(apparecchi.Field(QStringLiteral("idscheda")));
        pulsante->setCaption(etichettaApparecchio());
        pulsante->setTag(idScheda);
        if (registrazione)
            righe[i] = host().openrecordset(SqlTesti::rigaApparecchio(idTesta, idScheda));
        apparecchi.MoveNext();
    }
    for (std::size_t i = 0; i < righe.size(); ++i) {
        if (!righe[i] || righe[i]->RecordCount() == 0)
            continue;
        const QVariant importo = righe[i]->Field(QStringLiteral("refillgestore"));
        if (Letture::vero(importo)) {
            PulsanteGrafico* pulsante = CmdApparecchio[i];
            pulsante->setBackColor(Colori::ConImporto);
            pulsante->setCaption(pulsante->caption() + QLatin1Char('\r') + QStringLiteral("€  ") +
                                 Letture::testoPredefinito(importo));
        }
    }
}

void FrmRefill::RicaricaPagina() {
    Politica::descrizioneETermina(this, [this] {
        LabApparecchio->setCaption(QStringLiteral("Selezionare un apparecchio"));
        Recordset& apparecchi = richiedi(rsApparecchi);
        // Back by the machines on screen, to the first one of the page.
        for (PulsanteGrafico* pulsante : CmdApparecchio) {
            if (pulsante->tag() == SenzaApparecchio)
                break;
            apparecchi.MovePrevious();
        }
        if (apparecchi.Bof())
            apparecchi.MoveFirst();
        CaricaPagina();
    });
}

bool FrmRefill::abbandonaRefillAperto() {
    if (!RefillAperto)
        return true;
    Scelta = Messaggio::mostra(this, richiestaAbbandono(),
                               Messaggio::SiNo | Messaggio::Esclamativo | Messaggio::SecondoPredefinito,
                               QStringLiteral("Attenzione!!"));
    if (Scelta.toInt() != Messaggio::Si)
        return false;
    RefillAperto = 0;
    return true;
}

void FrmRefill::CmdAvanti_Click() {
    Politica::segnalaErrore(this, [this] {
        if (!abbandonaRefillAperto())
            return;
        Recordset& apparecchi = richiedi(rsApparecchi);
        if (apparecchi.RecordCount() > 0) {
            if (apparecchi.Bof())
                apparecchi.MoveFirst();
            if (!apparecchi.Eof())
                CaricaPagina();
        }
    });
}

void FrmRefill::CmdDietro_Click() {
    Politica::descrizioneETermina(this, [this] {
        if (!abbandonaRefillAperto())
            return;
        Recordset& apparecchi = richiedi(rsApparecchi);
        // Two pages back: the one on screen, whose rows were already passed, and the one
        // before it.
        for (int i = 0; i < 2 * NumeroPulsanti; ++i) {
            if (apparecchi.Bof())
                apparecchi.MoveFirst();
            else
                apparecchi.MovePrevious();
        }
        if (apparecchi.Bof())
            apparecchi.MoveFirst();
        LabApparecchio->setCaption(QStringLiteral("Selezionare un apparecchio"));
        CaricaPagina();
    });
}

void FrmRefill::Opt_Click() { RicaricaPagina(); }

void FrmRefill::txtData_Change() {
    RicaricaPagina();
    TotaleGiornata();
}

} // namespace KaloRefill
