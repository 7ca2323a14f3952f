#include "Politica.h"

#include "../host/Errore.h"
#include "../host/HostApplication.h"
#include "Messaggio.h"

namespace KaloRefill::Politica {

namespace {
// Units open on this thread: only inside one does a lost unit stop the steps.
thread_local int unitaAperte = 0;

bool unitaPersa(std::exception_ptr eccezione) {
    if (unitaAperte == 0)
        return false;
    try {
        std::rethrow_exception(eccezione);
    } catch (const Errore& errore) {
        return errore.numero() == CodiceErrore::UnitaNonRiuscita;
    } catch (...) {
        return false;
    }
}

struct UnitaAperta {
    UnitaAperta() { ++unitaAperte; }
    ~UnitaAperta() { --unitaAperte; }
    UnitaAperta(const UnitaAperta&) = delete;
    UnitaAperta& operator=(const UnitaAperta&) = delete;
};

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

void passiConMessaggio(QWidget* parent, const std::vector<Passo>& passi) {
    for (const Passo& passo : passi) {
        try {
            passo();
        } catch (...) {
            if (unitaPersa(std::current_exception()))
                throw;
            Messaggio::mostra(parent, comeErrore(std::current_exception()).descrizione());
        }
    }
}

bool inUnitaDiLavoro(QWidget* parent, HostApplication& host, const Passo& lavoro,
                     const Passo& ripristina) {
    try {
        std::unique_ptr<UnitaDiLavoro> unita = host.IniziaUnita();
        if (!unita) {
            lavoro();
            return true;
        }
        {
            const UnitaAperta aperta;
            lavoro();
        }
        unita->Conferma();
        return true;
    } catch (...) {
        const Errore errore = comeErrore(std::current_exception());
        terminaInSilenzio(ripristina);
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
