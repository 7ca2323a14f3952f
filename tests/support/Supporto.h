// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include "BancoProva.h"
#include "RisponditoreBox.h"
#include "entry/StatoModulo.h"
#include "form/Etichetta.h"
#include "form/FrmRefill.h"
#include "form/PulsanteGrafico.h"

#include <QStringList>

#include <memory>

// Opens the real form on a host, running its start-up as Start does.
inline std::unique_ptr<KaloRefill::FrmRefill> apriForm(KaloRefill::HostApplicationPtr host) {
    KaloRefill::StatoModulo::istanza().applicazione = std::move(host);
    auto form = std::make_unique<KaloRefill::FrmRefill>();
    form->Form_Load();
    return form;
}

// The fields of a row that differ from the expected values, as "field: actual != expected";
// empty when they all match. Numbers compare by value whatever their type.
inline QString differenze(const QVariantMap& riga, const QVariantMap& attesi) {
    QStringList diverse;
    for (auto it = attesi.begin(); it != attesi.end(); ++it) {
        const QVariant valore = riga.value(it.key().toLower());
        if (valore != it.value())
            diverse << QStringLiteral("%1: %2 != %3").arg(it.key(), valore.toString(), it.value().toString());
    }
    return diverse.join(QStringLiteral("; "));
}

// The same, with the expected fields written as {"name", value} pairs.
inline QString differenze(const QVariantMap& riga, std::initializer_list<std::pair<const char*, QVariant>> attesi) {
    QVariantMap mappa;
    for (const auto& [campo, valore] : attesi)
        mappa.insert(QString::fromLatin1(campo), valore);
    return differenze(riga, mappa);
}

// Types keys on the form's keypad, one character a key.
inline void digita(KaloRefill::FrmRefill& form, const QString& tasti) {
    for (const QChar c : tasti)
        form.PremiTasto(QString(c));
}

// Opens machine `indice`, "Azzera" when the amount replaces the one it has, types `importo`
// on the keypad and presses "Salva".
inline void salvaRefill(KaloRefill::FrmRefill& form, int indice, const QString& importo, bool sostituisci = false) {
    form.CmdApparecchio[std::size_t(indice)]->click();
    if (sostituisci)
        form.CmdCanc->click();
    digita(form, importo);
    form.CmdSalva->click();
}

// Label of machine i under the "Codice Interno" option, as BancoProva names machines.
inline QString etichettaCodice(int i) {
    return QStringLiteral("C%1\rSlot %1\r").arg(i);
}

// A message box on one line: title | text | icon number [| default button].
inline QString riassunto(const RisponditoreBox::Box& box, bool predefinito = true) {
    QStringList parti{box.titolo, box.testo, QString::number(int(box.icona))};
    if (predefinito)
        parti << box.predefinito;
    return parti.join(QStringLiteral(" | "));
}
