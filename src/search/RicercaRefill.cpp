// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "search/RicercaRefill.h"

#include "form/Politica.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"
#include "search/AzioniRicerca.h"
#include "search/ComponenteRicerca.h"
#include "search/DataRisposta.h"

#include "ComponentRegistry.h"

#include <QObject>

#include <memory>

namespace KaloRefill::RicercaRefill {

namespace {

// The name the suite's search-and-report component has always been created by.
const QString nomeComponente = QStringLiteral("KaloviaRicerca.Ricerca");

// What the runtime says when an object lacks the members it is asked for.
constexpr int membroNonSupportato = 438;

// The settings of the bars and of the window: the integer 1, not a true Boolean.
constexpr qint16 attivo = 1;

// A new search component, or the runtime's creation failure (429) when none is installed.
std::unique_ptr<QObject> creaComponente() {
    std::unique_ptr<QObject> oggetto = ComponentRegistry::create(nomeComponente);
    if (!oggetto)
        throw Errore::componenteNonCreabile();
    if (!qobject_cast<ComponenteRicerca*>(oggetto.get()))
        throw Errore(membroNonSupportato,
                     QStringLiteral("Proprietà o metodo non supportati dall'oggetto"));
    return oggetto;
}

// The list shown by one press of "Cerca" or "Stampa".
struct Elenco {
    QString modulo;
    QString caption;
    QString sql;
    QString campoRicerca;
};

// Runs the component over one list, in the order the host's suite expects its members to
// be set. After Ricerca returns, dopo (when given) reads the answer. Every recordset and
// the component are let go when this returns or throws.
void mostraElenco(HostApplication& host, const Elenco& elenco,
                  const std::function<void(ComponenteRicerca&)>& dopo,
                  const std::function<void(QObject&)>& prima = {}) {
    const RecordsetPtr viste = host.OpenRecordSetPreferenze(SqlTesti::viste());
    const RecordsetPtr operatori = host.openrecordset(SqlTesti::operatori());
    const std::unique_ptr<QObject> oggetto = creaComponente();
    ComponenteRicerca& componente = *qobject_cast<ComponenteRicerca*>(oggetto.get());

    componente.setUser(host.User());
    componente.setModulo(elenco.modulo);
    componente.setCaption(elenco.caption);

    const RecordsetPtr righe = host.openrecordset(elenco.sql);
    righe->SetFilter(QString());

    componente.setRecordset(righe);
    componente.setRecordsetOperatori(operatori);
    componente.setRecordsetViste(viste);
    componente.setCampoRicerca(elenco.campoRicerca);
    // The host's suite writes its personal folder with a Windows separator, whatever
    // the platform: the components look for it spelt that way.
    componente.setPercorsoPers(host.Percorso() + QStringLiteral("pers\\"));
    componente.setPercorso(host.Percorso());
    componente.setStatusBar(attivo);
    componente.setToolbar(attivo);
    componente.setFilterBar(attivo);
    componente.setWindowsState(attivo);

    if (prima)
        prima(*oggetto);
    componente.Ricerca();
    if (dopo)
        dopo(componente);
}

void apriScelta(ComponenteRicerca& componente, const std::function<void(const QDate&)>& apriData) {
    if (!DataRisposta::comeData(componente.Risposta()))
        return;
    // Read again, as the form always has: the answer is taken once it is known to be a date.
    const std::optional<QDate> data = DataRisposta::comeData(componente.Risposta());
    if (data && apriData)
        apriData(*data);
}

} // namespace

void cerca(QWidget* parent, HostApplication& host,
           const std::function<void(const QDate&)>& apriData) {
    Politica::numeroEDescrizioneETermina(parent, [&] {
        const Elenco elenco{QStringLiteral("Refill"), QStringLiteral("Elenco Refill"),
                            SqlTesti::elencoRefill(), QStringLiteral("dataregistrazione")};
        mostraElenco(host, elenco, [&](ComponenteRicerca& componente) { apriScelta(componente, apriData); });
    });
}

void cercaBuoni(QWidget* parent, HostApplication& host, const std::function<void(const QDate&)>& apriData,
                const std::function<void(qint64)>& ristampa) {
    Politica::numeroEDescrizioneETermina(parent, [&] {
        // The business day is the date the form opens on, as a header's date is otherwise.
        const Elenco elenco{
            QStringLiteral("BuoniRefill"), QStringLiteral("Elenco Refill"),
            QStringLiteral("select id, codlocale, anno, numero, giornata as dataregistrazione, dataora, "
                           "codiceinterno, nomescheda, differenza, operatore as idoperatore, testimone, motivo "
                           "from RegistroRefill order by dataora desc, id desc"),
            QStringLiteral("dataregistrazione")};
        mostraElenco(
            host, elenco, [&](ComponenteRicerca& componente) { apriScelta(componente, apriData); },
            [&](QObject& oggetto) {
                if (auto* azioni = qobject_cast<AzioniRicerca*>(&oggetto))
                    azioni->aggiungiAzione(QStringLiteral("pulsanteRistampa"), QStringLiteral("Ristampa buono"),
                                           QStringLiteral("id"), [parent, &ristampa](const QVariant& id) {
                                               // A failure is told without closing the list.
                                               Politica::numeroEDescrizioneETermina(
                                                   parent, [&] { ristampa(id.toLongLong()); });
                                           });
            });
    });
}

void stampaGiorno(QWidget* parent, HostApplication& host, const QDate& data,
                  const QString& titolo) {
    Politica::numeroEDescrizioneETermina(parent, [&] {
        const Elenco elenco{QStringLiteral("RefillGiorno"), titolo, SqlTesti::refillDelGiorno(data),
                            QStringLiteral("dataincasso")};
        mostraElenco(host, elenco, {});
    });
}

} // namespace KaloRefill::RicercaRefill
