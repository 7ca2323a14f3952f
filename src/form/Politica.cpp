#include "Politica.h"

#include "../host/Errore.h"
#include "Messaggio.h"

namespace KaloRefill::Politica {

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

void passiConMessaggio(QWidget* parent, const std::vector<Passo>& passi) {
    for (const Passo& passo : passi) {
        try {
            passo();
        } catch (...) {
            Messaggio::mostra(parent, comeErrore(std::current_exception()).descrizione());
        }
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
        Messaggio::mostra(parent,
                          QString::number(errore.numero()) + QStringLiteral(" - ") + errore.descrizione(),
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
