// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "HostCronometrato.h"
#include "PavimentoServer.h"
#include "SalaServer.h"
#include "Serie.h"
#include "host/HostApplication.h"

#include <QDate>
#include <QString>

#include <memory>

namespace KaloRefill {
class DatabaseHost;
class FrmRefill;
} // namespace KaloRefill

// A hall's form on its own host, made current before each of its operations (the module
// keeps its host module-wide), and the floor on a copy of the same database.
struct BancoServer {
    // The last day of the generated history; the form works on the day after it.
    static const QDate UltimoGiorno;
    static const QDate Giorno;
    static const QString Operatore;
    // The amount typed for the r-th save: one digit of the keypad.
    static QString cifra(int r) { return QString::number(r % 9 + 1); }

    std::shared_ptr<KaloRefill::DatabaseHost> host;
    // In front of the host when the time of each kind of call is asked for.
    std::shared_ptr<HostCronometrato> cronometro;
    KaloRefill::HostApplicationPtr applicazione;
    KaloRefill::RecordsetPtr associazioni;
    std::unique_ptr<KaloRefill::FrmRefill> form;
    std::unique_ptr<PavimentoServer> pavimento;
    Serie salvataggio, primo, pavimentoSalva, pavimentoPrimo, pagina, totale;
    // The client's own CPU time of the timed saves.
    Serie salvataggioCpu, pavimentoSalvaCpu;

    BancoServer(const SalaServer& sala, const SalaServer* copia, bool dettagli = false);
    ~BancoServer();
    BancoServer(const BancoServer&) = delete;
    BancoServer& operator=(const BancoServer&) = delete;

    void attiva();
    // Machine button `pulsante` opened and one digit typed.
    void prepara(int pulsante, int r);
    void salva();
    void vaiAl(const QDate& giorno);
    // The day's header and rows made on both sides; the timed saves then change them.
    void primoGiro();
};
