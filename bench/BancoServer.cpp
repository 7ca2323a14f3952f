// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "BancoServer.h"

#include "DatabaseHost.h"
#include "GeneratoreStorico.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"

#include <QCheckBox>

using namespace KaloRefill;

const QDate BancoServer::UltimoGiorno(2026, 12, 4);
const QDate BancoServer::Giorno = BancoServer::UltimoGiorno.addDays(1);
const QString BancoServer::Operatore = QStringLiteral("bench");

BancoServer::BancoServer(const SalaServer& sala, const SalaServer* copia, bool dettagli) {
    if (copia)
        pavimento = std::make_unique<PavimentoServer>(copia->conninfo, GeneratoreStorico::CodLocale, Operatore);
    OpzioniHost opzioni;
    opzioni.data = Giorno;
    opzioni.user = Operatore;
    host = DatabaseHost::apri(sala.indirizzo, opzioni);
    cronometro = std::make_shared<HostCronometrato>(host);
    applicazione = dettagli ? HostApplicationPtr(cronometro) : HostApplicationPtr(host);
    StatoModulo::istanza().applicazione = applicazione;
    form = std::make_unique<FrmRefill>();
    form->Form_Load();
    associazioni = StatoModulo::istanza().rsAssociazioneConti;
    form->ChkConferma->setCheckState(Qt::Unchecked);
}

BancoServer::~BancoServer() {
    attiva();
    form.reset();
    StatoModulo::istanza().applicazione.reset();
    StatoModulo::istanza().rsAssociazioneConti.reset();
}

void BancoServer::attiva() {
    StatoModulo::istanza().applicazione = applicazione;
    StatoModulo::istanza().rsAssociazioneConti = associazioni;
}

void BancoServer::prepara(int pulsante, int r) {
    form->CmdApparecchio_Click(pulsante);
    form->PremiTasto(cifra(r));
}

void BancoServer::salva() {
    form->PremiTasto(QStringLiteral("Salva"));
}

void BancoServer::vaiAl(const QDate& giorno) {
    form->impostaDataRegistrazione(giorno);
    form->txtData_Change();
}

void BancoServer::primoGiro() {
    for (int i = 0; i < FrmRefill::NumeroPulsanti; ++i) {
        attiva();
        prepara(i, i);
        salva();
        if (pavimento)
            pavimento->salva(Giorno, 1001 + i, cifra(i));
    }
}
