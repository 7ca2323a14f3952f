// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "KaloviaRicerca.h"

#include "FinestraRicerca.h"
#include "form/StileTocco.h"

#include <QApplication>

#include <utility>

namespace KaloRefill {

KaloviaRicerca::KaloviaRicerca(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("KaloviaRicerca.Ricerca"));
}

KaloviaRicerca::~KaloviaRicerca() = default;

void KaloviaRicerca::setUser(const QVariant& user) {
    m_impostazioni.user = user;
}
void KaloviaRicerca::setModulo(const QString& modulo) {
    m_impostazioni.modulo = modulo;
}
void KaloviaRicerca::setCaption(const QString& caption) {
    m_impostazioni.caption = caption;
}
void KaloviaRicerca::setRecordset(RecordsetPtr righe) {
    m_impostazioni.recordset = std::move(righe);
}
void KaloviaRicerca::setRecordsetOperatori(RecordsetPtr operatori) {
    m_impostazioni.operatori = std::move(operatori);
}
void KaloviaRicerca::setRecordsetViste(RecordsetPtr viste) {
    m_impostazioni.viste = std::move(viste);
}
void KaloviaRicerca::setCampoRicerca(const QString& campo) {
    m_impostazioni.campoRicerca = campo;
}
void KaloviaRicerca::setPercorsoPers(const QString& percorso) {
    m_impostazioni.percorsoPers = percorso;
}
void KaloviaRicerca::setPercorso(const QString& percorso) {
    m_impostazioni.percorso = percorso;
}
void KaloviaRicerca::setStatusBar(qint16 valore) {
    m_impostazioni.statusBar = valore;
}
void KaloviaRicerca::setToolbar(qint16 valore) {
    m_impostazioni.toolbar = valore;
}
void KaloviaRicerca::setFilterBar(qint16 valore) {
    m_impostazioni.filterBar = valore;
}
void KaloviaRicerca::setWindowsState(qint16 valore) {
    m_impostazioni.windowsState = valore;
}

void KaloviaRicerca::Ricerca() {
    m_risposta = QVariant();
    StileTocco::installa();
    // Over the window the operator was working in, so it stays in front of it.
    FinestraRicerca finestra(m_impostazioni, QApplication::activeWindow());
    finestra.exec();
    m_risposta = finestra.risposta();
}

QVariant KaloviaRicerca::Risposta() const {
    return m_risposta;
}

void KaloviaRicerca::aggiungiAzione(const QString& nomeOggetto, const QString& testo, const QString& campo,
                                    std::function<void(const QVariant&)> azione) {
    m_impostazioni.azioni.append({nomeOggetto, testo, campo, std::move(azione)});
}

} // namespace KaloRefill
