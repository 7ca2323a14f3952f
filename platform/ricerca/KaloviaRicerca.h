// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "ImpostazioniRicerca.h"
#include "search/AzioniRicerca.h"
#include "search/ComponenteRicerca.h"

#include <QObject>
#include <QVariant>

namespace KaloRefill {

// "KaloviaRicerca.Ricerca": the suite's search-and-report component. It keeps what the
// caller sets, shows the list in a modal window when Ricerca is called and keeps the
// operator's pick in Risposta.
class KaloviaRicerca final : public QObject, public ComponenteRicerca, public AzioniRicerca {
    Q_OBJECT
    Q_INTERFACES(KaloRefill::ComponenteRicerca KaloRefill::AzioniRicerca)
public:
    explicit KaloviaRicerca(QObject* parent = nullptr);
    ~KaloviaRicerca() override;

    void setUser(const QVariant& user) override;
    void setModulo(const QString& modulo) override;
    void setCaption(const QString& caption) override;
    void setRecordset(RecordsetPtr righe) override;
    void setRecordsetOperatori(RecordsetPtr operatori) override;
    void setRecordsetViste(RecordsetPtr viste) override;
    void setCampoRicerca(const QString& campo) override;
    void setPercorsoPers(const QString& percorso) override;
    void setPercorso(const QString& percorso) override;
    void setStatusBar(qint16 valore) override;
    void setToolbar(qint16 valore) override;
    void setFilterBar(qint16 valore) override;
    void setWindowsState(qint16 valore) override;

    // Runs the list window modally over the caller's window and returns when the
    // operator has picked a row or closed it. A failure reading the rows is thrown.
    void Ricerca() override;
    QVariant Risposta() const override;

    void aggiungiAzione(const QString& nomeOggetto, const QString& testo, const QString& campo,
                        std::function<void(const QVariant&)> azione) override;

    const ImpostazioniRicerca& impostazioni() const { return m_impostazioni; }

private:
    ImpostazioniRicerca m_impostazioni;
    QVariant m_risposta;
};

} // namespace KaloRefill
