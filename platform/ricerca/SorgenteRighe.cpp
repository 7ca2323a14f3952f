// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "SorgenteRighe.h"

#include <utility>

namespace KaloRefill {

namespace {

QString senzaTabella(const QString& campo) {
    return campo.section(QLatin1Char('.'), -1);
}

} // namespace

SorgenteRighe::SorgenteRighe(RecordsetPtr righe) : m_righe(std::move(righe)) {
    if (!m_righe)
        return;
    m_campi = m_righe->FieldNames();
    m_finita = false;
}

int SorgenteRighe::colonna(const QString& campo) const {
    for (qsizetype c = 0; c < m_campi.size(); ++c) {
        if (m_campi.at(c).compare(campo, Qt::CaseInsensitive) == 0)
            return static_cast<int>(c);
    }
    const QString cercato = senzaTabella(campo);
    for (qsizetype c = 0; c < m_campi.size(); ++c) {
        if (senzaTabella(m_campi.at(c)).compare(cercato, Qt::CaseInsensitive) == 0)
            return static_cast<int>(c);
    }
    return -1;
}

QList<QVariantList> SorgenteRighe::prossime(int quante) {
    if (m_finita || quante <= 0)
        return {};
    if (m_aPagine) {
        if (std::optional<QList<QVariantList>> pagina = m_righe->LeggiRighe(m_lette, quante)) {
            m_lette += pagina->size();
            m_finita = pagina->size() < quante;
            for (QVariantList& riga : *pagina)
                riga.resize(m_campi.size());
            return std::move(*pagina);
        }
        m_aPagine = false;
    }
    return percorri(quante);
}

QList<QVariantList> SorgenteRighe::percorri(int quante) {
    if (!m_percorsoIniziato) {
        m_percorsoIniziato = true;
        // MoveFirst on a set without rows is an error: ask first.
        if (m_righe->RecordCount() <= 0 || (m_righe->Bof() && m_righe->Eof())) {
            m_finita = true;
            return {};
        }
        m_righe->MoveFirst();
    }
    QList<QVariantList> lette;
    while (lette.size() < quante && !m_righe->Eof()) {
        QVariantList riga;
        riga.reserve(m_campi.size());
        for (const QString& campo : std::as_const(m_campi))
            riga.append(m_righe->Field(campo));
        lette.append(std::move(riga));
        m_righe->MoveNext();
    }
    m_lette += lette.size();
    m_finita = m_righe->Eof();
    return lette;
}

std::optional<QVariantList> SorgenteRighe::riepilogo(const QStringList& campiDaSommare) {
    if (!m_righe)
        return QVariantList{qint64(0)} + QVariantList(campiDaSommare.size());
    return m_righe->Riepilogo(campiDaSommare);
}

QString SorgenteRighe::sorgente() const {
    return m_righe ? m_righe->Source() : QString();
}

} // namespace KaloRefill
