// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "VisteColonne.h"

#include <QHash>

#include <exception>
#include <utility>

namespace KaloRefill {

namespace {

const QString campoModulo = QStringLiteral("modulo");
const QString campoUtente = QStringLiteral("utente");
const QString campoColonna = QStringLiteral("colonna");
const QString campoPosizione = QStringLiteral("posizione");
const QString campoLarghezza = QStringLiteral("larghezza");

QString comeTesto(const QVariant& valore) {
    return valore.isNull() ? QString() : valore.toString().trimmed();
}

int comeIntero(const QVariant& valore, int predefinito) {
    bool ok = false;
    const int numero = valore.toInt(&ok);
    return ok && !valore.isNull() ? numero : predefinito;
}

bool haRighe(Recordset& rs) {
    return rs.RecordCount() > 0 && !(rs.Bof() && rs.Eof());
}

} // namespace

VisteColonne::VisteColonne(RecordsetPtr viste, QString modulo, QVariant utente)
    : m_viste(std::move(viste)), m_modulo(std::move(modulo)), m_utente(comeTesto(utente)) {
    if (!m_viste)
        return;
    QStringList campi;
    try {
        campi = m_viste->FieldNames();
    } catch (const std::exception&) {
        return; // a views set that cannot say its columns is not used
    }
    m_utilizzabile = true;
    for (const QString& campo :
         {campoModulo, campoUtente, campoColonna, campoPosizione, campoLarghezza})
        m_utilizzabile = m_utilizzabile && campi.contains(campo, Qt::CaseInsensitive);
}

bool VisteColonne::perQuestaLista() const {
    return comeTesto(m_viste->Field(campoModulo)).compare(m_modulo, Qt::CaseInsensitive) == 0 &&
           comeTesto(m_viste->Field(campoUtente)).compare(m_utente, Qt::CaseInsensitive) == 0;
}

QList<VisteColonne::Colonna> VisteColonne::leggi() const {
    QList<Colonna> colonne;
    if (!m_utilizzabile || !haRighe(*m_viste))
        return colonne;
    m_viste->MoveFirst();
    while (!m_viste->Eof()) {
        if (perQuestaLista()) {
            colonne.append({comeTesto(m_viste->Field(campoColonna)),
                            comeIntero(m_viste->Field(campoPosizione), -1),
                            comeIntero(m_viste->Field(campoLarghezza), -1)});
        }
        m_viste->MoveNext();
    }
    return colonne;
}

void VisteColonne::salva(const QList<Colonna>& colonne) const {
    if (!m_utilizzabile)
        return;
    QHash<QString, Colonna> daScrivere;
    for (const Colonna& colonna : colonne)
        daScrivere.insert(colonna.campo.toLower(), colonna);

    if (haRighe(*m_viste)) {
        m_viste->MoveFirst();
        while (!m_viste->Eof()) {
            if (perQuestaLista()) {
                const QString chiave = comeTesto(m_viste->Field(campoColonna)).toLower();
                if (const auto trovata = daScrivere.constFind(chiave);
                    trovata != daScrivere.cend()) {
                    const Colonna& nuova = *trovata;
                    if (comeIntero(m_viste->Field(campoPosizione), -1) != nuova.posizione ||
                        comeIntero(m_viste->Field(campoLarghezza), 0) != nuova.larghezza) {
                        m_viste->SetField(campoPosizione, nuova.posizione);
                        m_viste->SetField(campoLarghezza, nuova.larghezza);
                        m_viste->Update();
                    }
                    daScrivere.remove(chiave);
                }
            }
            m_viste->MoveNext();
        }
    }
    // New rows in the order of the columns given, so the table reads naturally.
    for (const Colonna& colonna : colonne) {
        if (!daScrivere.contains(colonna.campo.toLower()))
            continue;
        m_viste->AddNew();
        m_viste->SetField(campoModulo, m_modulo);
        m_viste->SetField(campoUtente, m_utente);
        m_viste->SetField(campoColonna, colonna.campo);
        m_viste->SetField(campoPosizione, colonna.posizione);
        m_viste->SetField(campoLarghezza, colonna.larghezza);
        m_viste->Update();
        daScrivere.remove(colonna.campo.toLower());
    }
}

} // namespace KaloRefill
