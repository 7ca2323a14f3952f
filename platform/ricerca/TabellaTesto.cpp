// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "TabellaTesto.h"

#include "FormatoItaliano.h"
#include "ModelloRighe.h"

#include <utility>

namespace KaloRefill {

TabellaTesto TabellaTesto::daModello(const QAbstractItemModel& modello, const QList<int>& colonne,
                                     const QString& titolo) {
    TabellaTesto tabella;
    tabella.titolo = titolo;
    QList<Valuta> somme;
    for (const int colonna : colonne) {
        tabella.intestazioni.append(modello.headerData(colonna, Qt::Horizontal).toString());
        tabella.importi.append(
            modello.headerData(colonna, Qt::Horizontal, ModelloRighe::RuoloImporto).toBool());
        somme.append(Valuta());
    }
    const int righe = modello.rowCount();
    tabella.righe.reserve(righe);
    for (int r = 0; r < righe; ++r) {
        QStringList testi;
        testi.reserve(colonne.size());
        for (qsizetype i = 0; i < colonne.size(); ++i) {
            const QModelIndex indice = modello.index(r, colonne.at(i));
            testi.append(indice.data(Qt::DisplayRole).toString());
            if (tabella.importi.at(i)) {
                if (const auto importo =
                        FormatoItaliano::comeImporto(indice.data(ModelloRighe::RuoloValore)))
                    somme[i] = somme.at(i) + *importo;
            }
        }
        tabella.righe.append(std::move(testi));
    }
    if (!tabella.importi.contains(true))
        return tabella;
    bool etichettaMessa = false;
    for (qsizetype i = 0; i < colonne.size(); ++i) {
        if (tabella.importi.at(i)) {
            tabella.totale.append(FormatoItaliano::importo(somme.at(i)));
        } else if (!etichettaMessa) {
            tabella.totale.append(QStringLiteral("Totale"));
            etichettaMessa = true;
        } else {
            tabella.totale.append(QString());
        }
    }
    return tabella;
}

} // namespace KaloRefill
