// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/Politica.h"

#include "form/Messaggio.h"
#include "host/Errore.h"
#include "host/HostApplication.h"
#include "host/UnitaDiLavoro.h"

#include <utility>

namespace KaloRefill::Politica {

namespace {
bool unitaPersa(std::exception_ptr eccezione) {
    try {
        std::rethrow_exception(eccezione);
    } catch (const Errore& errore) {
        return errore.numero() == CodiceErrore::UnitaNonRiuscita;
    } catch (...) {
        return false;
    }
}

QString testoUnitaNonRiuscita(const Errore& errore) {
    return QStringLiteral(
               "Salvataggio non riuscito: %1.\n\nNessun dato di questo refill è stato "
               "salvato. Il refill resta aperto: premere di nuovo \"Salva\" per riprovare.")
        .arg(errore.descrizione());
}
} // namespace

Errore comeErrore(std::exception_ptr eccezione) {
    try {
        std::rethrow_exception(eccezione);
    } catch (const Errore& errore) {
        return errore;
    } catch (const std::bad_alloc&) {
        return {7, QStringLiteral("Memoria esaurita")};
    } catch (const std::exception& altro) {
        return {51, QStringLiteral("Errore interno: %1").arg(QString::fromLocal8Bit(altro.what()))};
    } catch (...) {
        return {51, QStringLiteral("Errore interno")};
    }
}

void terminaInSilenzio(const Passo& lavoro) {
    try {
        lavoro();
    } catch (...) {
    }
}

void Segnalazioni::raccogliScritture() {
    if (m_unita == nullptr)
        return;
    for (const Errore& errore : m_unita->ScrittureFallite())
        m_trattenute.push_back({errore.descrizione(), 0});
}

Segnalazioni::Ritardo::Ritardo(Segnalazioni& s) : m_s(s) {
    if (m_s.m_unita && m_s.m_ritardi++ == 0)
        m_s.m_unita->RitardaScritture(true);
}

Segnalazioni::Ritardo::~Ritardo() {
    if (m_s.m_unita && --m_s.m_ritardi == 0)
        m_s.m_unita->RitardaScritture(false);
}

void Segnalazioni::segnala(const QString& testo, int stile) {
    // A write sent late failed before this box's step: its box comes first.
    raccogliScritture();
    if (m_inUnita)
        m_trattenute.push_back({testo, stile});
    else
        Messaggio::mostra(m_parent, testo, stile);
}

void Segnalazioni::mostraTrattenute() {
    // Taken out first: a box answered may lead to further work on this object.
    const std::vector<Box> trattenute = std::exchange(m_trattenute, {});
    for (const Box& box : trattenute)
        Messaggio::mostra(m_parent, box.testo, box.stile);
}

void passiConMessaggio(Segnalazioni& segnalazioni, const std::vector<Passo>& passi) {
    Segnalazioni::Ritardo ritardo(segnalazioni);
    for (const Passo& passo : passi) {
        try {
            passo();
        } catch (...) {
            if (segnalazioni.inUnita() && unitaPersa(std::current_exception()))
                throw;
            segnalazioni.segnala(comeErrore(std::current_exception()).descrizione());
        }
    }
    ritardo.fine();
}

void passiConMessaggio(QWidget* parent, const std::vector<Passo>& passi) {
    Segnalazioni subito(parent);
    passiConMessaggio(subito, passi);
}

bool inUnitaDiLavoro(QWidget* parent, HostApplication& host, const Lavoro& lavoro,
                     const Passo& ripristina) {
    Segnalazioni segnalazioni(parent, true);
    try {
        std::unique_ptr<UnitaDiLavoro> unita = host.IniziaUnita();
        if (!unita) {
            Segnalazioni subito(parent);
            lavoro(subito);
            return true;
        }
        segnalazioni.segui(unita.get());
        try {
            lavoro(segnalazioni);
            unita->Conferma();
            segnalazioni.raccogliScritture();
        } catch (...) {
            // The unit goes before any box is shown: dropping it lets the lock go.
            segnalazioni.segui(nullptr);
            unita.reset();
            throw;
        }
        segnalazioni.segui(nullptr);
        unita.reset();
        segnalazioni.mostraTrattenute();
        return true;
    } catch (...) {
        const Errore errore = comeErrore(std::current_exception());
        terminaInSilenzio(ripristina);
        segnalazioni.mostraTrattenute();
        if (errore.numero() == CodiceErrore::UnitaNonRiuscita)
            Messaggio::mostra(parent, testoUnitaNonRiuscita(errore), Messaggio::Esclamativo);
        else
            Messaggio::mostra(parent, errore.descrizione());
        return false;
    }
}

void passiInSilenzio(const std::vector<Passo>& passi) {
    for (const Passo& passo : passi)
        terminaInSilenzio(passo);
}

void descrizioneETermina(QWidget* parent, const Passo& lavoro) {
    try {
        lavoro();
    } catch (...) {
        Messaggio::mostra(parent, comeErrore(std::current_exception()).descrizione());
    }
}

void numeroEDescrizioneETermina(QWidget* parent, const Passo& lavoro) {
    try {
        lavoro();
    } catch (...) {
        const Errore errore = comeErrore(std::current_exception());
        Messaggio::mostra(
            parent, QString::number(errore.numero()) + QStringLiteral(" - ") + errore.descrizione(),
            Messaggio::Critico);
    }
}

void segnalaErrore(QWidget* parent, const Passo& lavoro) {
    try {
        lavoro();
    } catch (...) {
        const Errore errore = comeErrore(std::current_exception());
        Messaggio::mostra(parent,
                          QStringLiteral("Errore di run-time '%1':\n\n%2")
                              .arg(errore.numero())
                              .arg(errore.descrizione()),
                          Messaggio::Critico);
    }
}

} // namespace KaloRefill::Politica
